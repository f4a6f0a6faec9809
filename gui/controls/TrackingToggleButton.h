// A two-state button that shows the other state while the pointer is held over it and keeps
// the state under the pointer at release: dragging off before letting go cancels the toggle.
// The picture holds off above on, each frameHeight high.
#pragma once

#include "gui/controls/Control.h"

namespace kelp {

class TrackingToggleButton : public Control {
public:
    TrackingToggleButton(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 frameHeight,
                         Picture* background, const Point& offset);
    ~TrackingToggleButton() override;

    void draw(DrawContext* context) override;
    void mouseDown(DrawContext* context, const Point& where) override;

    float getDrawnValue() const { return drawnValue; }

protected:
    Point offset;
    VstInt32 frameHeight;
    float drawnValue = 0.0f;  // the value after the last drawing or press
};

}  // namespace kelp
