#include "gui/controls/RockerSwitch.h"

#include "gui/controls/PictureStrip.h"
#include "gui/controls/PressTracking.h"

namespace kelp {

RockerSwitch::RockerSwitch(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 frameHeight,
                           Picture* background, const Point& offset, VstInt32 style)
    : Control(bounds, listener, tag, background), offset(offset), frameHeight(frameHeight), style(style)
{
}

RockerSwitch::~RockerSwitch() = default;

void RockerSwitch::draw(DrawContext* context)
{
    Point source = offset;
    if (getValue() == 1.0f)
        source.v += 2 * frameHeight;
    else if (getValue() == 0.0f)
        source.v += frameHeight;
    PictureStrip::drawFrame(background, context, bounds, source, transparent);
    setDirty(false);
}

// The middle line belongs to both halves; the first half wins.
float RockerSwitch::valueAt(const Point& where, float outside) const
{
    Rect first = bounds;
    Rect second = bounds;
    if (style & styleLeftRight) {
        first.right = second.left = bounds.left + bounds.width() / 2;
    } else {
        first.bottom = second.top = bounds.top + bounds.height() / 2;
    }
    if (first.pointInsideClosed(where))
        return -1.0f;
    if (second.pointInsideClosed(where))
        return 1.0f;
    return outside;
}

void RockerSwitch::mouseDown(DrawContext* context, const Point& where)
{
    if (!(DrawContext::mouseButtons() & mouseLeft))
        return;
    const float atPress = getValue();
    PressTracking::track(
        *this, context, where,
        [&](const Point& at) {
            setValue(valueAt(at, atPress));
            PressTracking::tellIfDirty(listener, context, this);
        },
        [](int now) { return (now & (mouseLeft | mouseMiddle | mouseRight)) != 0; });
    setValue(0.0f);
    PressTracking::tell(listener, context, this);
}

bool RockerSwitch::wheel(DrawContext* context, const Point&, float distance)
{
    if (!mouseEnabled())
        return false;
    setValue(distance > 0.0f ? -1.0f : 1.0f);
    PressTracking::tellIfDirty(listener, context, this);
    setValue(0.0f);
    PressTracking::tell(listener, context, this);
    return true;
}

}  // namespace kelp
