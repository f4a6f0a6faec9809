// The wheel and arrow-key steps that knobs and sliders share: a step of the control's wheel
// increment, a tenth of it with Shift, clamped, and the listener told when it shows.
#pragma once

#include "host/VstInterface.h"

namespace kelp {

class Control;
class ControlListener;
class DrawContext;

class ValueStep {
public:
    // Refused (false) while the control takes no mouse input; Shift is read from the live keys.
    static bool wheel(Control& control, ControlListener* listener, DrawContext* context, float distance);
    // Up and right step up, left and down step down; any other key answers -1.
    static VstInt32 keyDown(Control& control, ControlListener* listener, const VstKeyCode& key);

private:
    static void stepBy(Control& control, ControlListener* listener, DrawContext* context, float steps, bool fine);
};

}  // namespace kelp
