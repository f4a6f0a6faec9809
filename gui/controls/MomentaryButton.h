// A button that is on only while held with the pointer over it and always returns to off,
// telling its listener so. With a modifier held, a press flips it once and lets go at once.
// The picture holds off above on, each frameHeight high, from offset.
#pragma once

#include "gui/controls/Control.h"

namespace kelp {

class MomentaryButton : public Control {
public:
    MomentaryButton(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 frameHeight,
                    Picture* background, const Point& offset);
    ~MomentaryButton() override;

    void draw(DrawContext* context) override;
    void mouseDown(DrawContext* context, const Point& where) override;

protected:
    Point offset;
    VstInt32 frameHeight;
};

}  // namespace kelp
