#include "gui/controls/MomentaryButton.h"

#include "gui/controls/PictureStrip.h"
#include "gui/controls/PressTracking.h"

namespace kelp {

MomentaryButton::MomentaryButton(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 frameHeight,
                                 Picture* background, const Point& offset)
    : Control(bounds, listener, tag, background), offset(offset), frameHeight(frameHeight)
{
}

MomentaryButton::~MomentaryButton() = default;

void MomentaryButton::draw(DrawContext* context)
{
    clampValue();
    Point source = offset;
    if (getValue() != 0.0f)
        source.v += frameHeight;
    PictureStrip::drawFrame(background, context, bounds, source, transparent);
    setDirty(false);
}

void MomentaryButton::mouseDown(DrawContext* context, const Point& where)
{
    const int buttons = DrawContext::mouseButtons();
    if (!(buttons & mouseLeft))
        return;
    const float atPress = getValue();
    const float pressed = atPress == 0.0f ? 1.0f : 0.0f;
    if (buttons == mouseLeft) {
        PressTracking::track(
            *this, context, where,
            [&](const Point& at) {
                setValue(bounds.pointInsideClosed(at) ? pressed : atPress);
                PressTracking::tellIfDirty(listener, context, this);
            },
            [](int now) { return now == mouseLeft; });
    } else {
        setValue(pressed);
        PressTracking::tell(listener, context, this);
    }
    setValue(0.0f);
    PressTracking::tell(listener, context, this);
}

}  // namespace kelp
