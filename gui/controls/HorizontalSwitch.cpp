#include "gui/controls/HorizontalSwitch.h"

#include "gui/controls/PictureStrip.h"
#include "gui/controls/PressTracking.h"

HorizontalSwitch::HorizontalSwitch(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 frameCount,
                                   VstInt32 frameHeight, VstInt32 positionCount, Picture* background,
                                   const Point& offset)
    : Control(bounds, listener, tag, background), offset(offset), frameHeight(frameHeight), frameCount(frameCount),
      positionCount(positionCount)
{
    defaultValue = 0.0f;
}

HorizontalSwitch::~HorizontalSwitch() = default;

// The strip starts at the top of the picture: offset is not applied.
void HorizontalSwitch::draw(DrawContext* context)
{
    const int frame = PictureStrip::nearestFrame(getValue(), positionCount - 1);
    PictureStrip::drawFrame(background, context, bounds, Point{0, frame * frameHeight}, transparent);
    setDirty(false);
}

void HorizontalSwitch::mouseDown(DrawContext* context, const Point& where)
{
    const int buttons = DrawContext::mouseButtons();
    if (!mouseEnabled() || !(buttons & mouseLeft))
        return;
    if (buttons == (mouseLeft | modifierControl)) {
        setValue(getDefaultValue());
        PressTracking::tellIfDirty(listener, context, this);
        return;
    }
    // The positions share the picture's width; without a picture, the switch's own.
    const int width = background ? background->getWidth() : bounds.width();
    const double step = double(width) / positionCount;
    PressTracking::track(
        *this, context, where,
        [&](const Point& at) {
            setValue(PictureStrip::positionValue(at.h - bounds.left, step, positionCount));
            PressTracking::tellIfDirty(listener, context, this);
        },
        [buttons](int now) { return now == buttons; });
}
