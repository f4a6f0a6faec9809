#include "gui/controls/ValueStep.h"

#include "gui/controls/Control.h"
#include "gui/controls/ControlListener.h"
#include "gui/draw/DrawContext.h"

namespace kelp {

bool ValueStep::wheel(Control& control, ControlListener* listener, DrawContext* context, float distance)
{
    if (!control.mouseEnabled())
        return false;
    stepBy(control, listener, context, distance, DrawContext::mouseButtons() & modifierShift);
    return true;
}

VstInt32 ValueStep::keyDown(Control& control, ControlListener* listener, const VstKeyCode& key)
{
    float direction = 0.0f;
    if (key.virt == VKEY_UP || key.virt == VKEY_RIGHT)
        direction = 1.0f;
    else if (key.virt == VKEY_LEFT || key.virt == VKEY_DOWN)
        direction = -1.0f;
    else
        return -1;
    stepBy(control, listener, nullptr, direction, key.modifier & MODIFIER_SHIFT);
    return 1;
}

void ValueStep::stepBy(Control& control, ControlListener* listener, DrawContext* context, float steps, bool fine)
{
    float step = control.getWheelIncrement() * steps;
    if (fine)
        step *= 0.1f;
    control.setValue(control.getValue() + step);
    control.clampValue();
    if (control.isDirty() && listener)
        listener->valueChanged(context, &control);
}

}  // namespace kelp
