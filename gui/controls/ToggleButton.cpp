#include "gui/controls/ToggleButton.h"

#include <cmath>

#include "gui/controls/ControlListener.h"
#include "gui/draw/DrawContext.h"
#include "gui/draw/Picture.h"

namespace kelp {

ToggleButton::ToggleButton(const Rect& bounds, ControlListener* listener, VstInt32 tag, Picture* background)
    : Control(bounds, listener, tag, background)
{
}

ToggleButton::~ToggleButton() = default;

void ToggleButton::draw(DrawContext* context)
{
    if (background) {
        const int offset = getValue() == 0.0f ? 0 : background->getHeight() / 2;
        if (transparent)
            background->drawKeyed(context, bounds, Point{0, offset});
        else
            background->draw(context, bounds, Point{0, offset});
    }
    setDirty(false);
}

// The state changes on the press itself; nothing tracks the mouse until release.
void ToggleButton::mouseDown(DrawContext* context, const Point&)
{
    if (!mouseEnabled() || !(DrawContext::mouseButtons() & mouseLeft))
        return;
    // Truncated toward zero: 0.7 counts as off and becomes 1.0.
    setValue(std::trunc(getValue()) != 0.0f ? 0.0f : 1.0f);
    idleNow();
    if (listener)
        listener->valueChanged(context, this);
}

}  // namespace kelp
