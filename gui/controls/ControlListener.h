// Told by a control after the user changed its value. Reads tag and value from the control.
#pragma once

namespace kelp {

class Control;
class DrawContext;

class ControlListener {
public:
    virtual ~ControlListener() = default;
    // context is null when the change did not come from a mouse event.
    virtual void valueChanged(DrawContext* context, Control* control) = 0;
};

}  // namespace kelp
