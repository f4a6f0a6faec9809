#include "gui/controls/TrackingToggleButton.h"

#include "gui/controls/PictureStrip.h"
#include "gui/controls/PressTracking.h"

namespace kelp {

TrackingToggleButton::TrackingToggleButton(const Rect& bounds, ControlListener* listener, VstInt32 tag,
                                           VstInt32 frameHeight, Picture* background, const Point& offset)
    : Control(bounds, listener, tag, background), offset(offset), frameHeight(frameHeight)
{
}

TrackingToggleButton::~TrackingToggleButton() = default;

// The two states start at the top of the picture: offset is not applied.
void TrackingToggleButton::draw(DrawContext* context)
{
    clampValue();
    const Point source{0, getValue() != 0.0f ? frameHeight : 0};
    PictureStrip::drawFrame(background, context, bounds, source, transparent);
    drawnValue = getValue();
    setDirty(false);
}

void TrackingToggleButton::mouseDown(DrawContext* context, const Point& where)
{
    const int buttons = DrawContext::mouseButtons();
    if (!(buttons & mouseLeft))
        return;
    const float atPress = getValue();
    const float toggled = atPress == 0.0f ? 1.0f : 0.0f;
    PressTracking::track(
        *this, context, where,
        [&](const Point& at) {
            setValue(bounds.pointInsideClosed(at) ? toggled : atPress);
            PressTracking::tellIfDirty(listener, context, this);
        },
        [buttons](int now) { return now == buttons; });
    drawnValue = getValue();
}

}  // namespace kelp
