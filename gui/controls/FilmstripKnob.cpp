#include "gui/controls/FilmstripKnob.h"

namespace kelp {

FilmstripKnob::FilmstripKnob(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 frameCount,
                             VstInt32 frameHeight, Picture* background, const Point& offset)
    : Knob(bounds, listener, tag, background, nullptr, offset), frameCount(frameCount), frameHeight(frameHeight)
{
    inset = 0;
}

FilmstripKnob::~FilmstripKnob() = default;

// The strip has no frames past its end: values above 1 show the last frame, negative ones (and
// a strip without frames) the first.
VstInt32 FilmstripKnob::frameTop() const
{
    const float value = getValue();
    const VstInt32 lastTop = (frameCount - 1) * frameHeight;
    if (!(value >= 0.0f) || frameHeight <= 0 || lastTop <= 0)
        return 0;
    const float top = float(lastTop) * value;
    if (top >= float(lastTop))
        return lastTop;
    return VstInt32(top) / frameHeight * frameHeight;
}

void FilmstripKnob::draw(DrawContext* context)
{
    drawBackground(context, Point{0, frameTop()});
    setDirty(false);
}

}  // namespace kelp
