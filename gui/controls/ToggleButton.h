// A two-state button drawn from one picture holding both states stacked vertically: off
// above, on below. Each left press flips the value between 0.0 and 1.0.
#pragma once

#include "gui/controls/Control.h"

namespace kelp {

class ToggleButton : public Control {
public:
    ToggleButton(const Rect& bounds, ControlListener* listener, VstInt32 tag, Picture* background);
    ~ToggleButton() override;

    void draw(DrawContext* context) override;
    void mouseDown(DrawContext* context, const Point& where) override;
};

}  // namespace kelp
