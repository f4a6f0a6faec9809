#include "gui/controls/VerticalSwitch.h"

#include "gui/controls/PictureStrip.h"
#include "gui/controls/PressTracking.h"

namespace kelp {

VerticalSwitch::VerticalSwitch(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 frameCount,
                               VstInt32 frameHeight, VstInt32 positionCount, Picture* background, const Point& offset)
    : Control(bounds, listener, tag, background), offset(offset), frameHeight(frameHeight), frameCount(frameCount),
      positionCount(positionCount)
{
    defaultValue = 0.0f;
}

VerticalSwitch::~VerticalSwitch() = default;

// The strip starts at the top of the picture: offset is not applied.
void VerticalSwitch::draw(DrawContext* context)
{
    const int frame = PictureStrip::nearestFrame(getValue(), positionCount - 1);
    PictureStrip::drawFrame(background, context, bounds, Point{0, frame * frameHeight}, transparent);
    setDirty(false);
}

void VerticalSwitch::mouseDown(DrawContext* context, const Point& where)
{
    const int buttons = DrawContext::mouseButtons();
    if (!mouseEnabled() || !(buttons & mouseLeft))
        return;
    if (buttons == (mouseLeft | modifierControl)) {
        setValue(getDefaultValue());
        PressTracking::tellIfDirty(listener, context, this);
        return;
    }
    const double step = positionStep();
    PressTracking::track(
        *this, context, where,
        [&](const Point& at) {
            setValue(PictureStrip::positionValue(distanceAlong(at), step, positionCount));
            PressTracking::tellIfDirty(listener, context, this);
        },
        [buttons](int now) { return now == buttons; });
}

int VerticalSwitch::distanceAlong(const Point& at) const { return at.v - bounds.top; }

double VerticalSwitch::positionStep() const { return double(frameHeight) / positionCount; }

}  // namespace kelp
