// A spring-loaded three-way switch: -1 while the pointer holds the top (or left) half, +1 the
// bottom (or right) half, and back to 0 when the button is let go. The strip holds three frames:
// -1, 0, +1 from the top.
#pragma once

#include "gui/controls/Control.h"

namespace kelp {

class RockerSwitch : public Control {
public:
    enum Style { styleLeftRight = 1 };  // without it the rocker is up/down

    RockerSwitch(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 frameHeight, Picture* background,
                 const Point& offset, VstInt32 style);
    ~RockerSwitch() override;

    void draw(DrawContext* context) override;
    void mouseDown(DrawContext* context, const Point& where) override;
    // A positive distance nudges to -1, any other to +1; the listener hears the return to 0.
    bool wheel(DrawContext* context, const Point& where, float distance) override;

    // The value a pointer at where gives; outside the switch, `outside`.
    float valueAt(const Point& where, float outside) const;

protected:
    Point offset;
    VstInt32 frameHeight;
    VstInt32 style;
};

}  // namespace kelp
