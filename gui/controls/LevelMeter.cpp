#include "gui/controls/LevelMeter.h"

#include <algorithm>
#include <cmath>

#include "gui/controls/PictureStrip.h"

namespace kelp {

namespace {

    Rect ordered(const Rect& r)
    {
        return Rect{std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
                    std::max(r.top, r.bottom)};
    }

    // Pixels covered by k of segmentCount segments of a picture extent pixels long.
    VstInt32 coveredPixels(VstInt32 k, VstInt32 segmentCount, VstInt32 extent)
    {
        return VstInt32(std::trunc(double(k) / segmentCount * extent));
    }

}  // namespace

LevelMeter::LevelMeter(const Rect& bounds, Picture* onPicture, Picture* offPicture, VstInt32 segmentCount,
                       VstInt32 style)
    : Control(bounds, nullptr, 0, nullptr), onPicture(onPicture), offPicture(offPicture),
      segmentCount(std::max(segmentCount, VstInt32(1))), style(style), onRect(ordered(bounds)), offRect(ordered(bounds))
{
    if (onPicture)
        onPicture->retain();
    if (offPicture)
        offPicture->retain();
}

LevelMeter::~LevelMeter()
{
    if (onPicture)
        onPicture->release();
    if (offPicture)
        offPicture->release();
}

void LevelMeter::setDirty(bool flag) { View::setDirty(flag); }

void LevelMeter::setDecayStep(float step) { decayStep = step; }

void LevelMeter::draw(DrawContext* context)
{
    if (!onPicture) {
        // Nothing to show: the level is taken as shown, so the meter stops asking to be drawn.
        oldValue = getValue();
        setDirty(false);
        return;
    }
    clampValue();
    const float shown = std::max(oldValue - decayStep, getValue());
    oldValue = shown;
    const Rect area = ordered(bounds);
    onRect = offRect = area;
    if (style & styleHorizontal) {
        const VstInt32 k = VstInt32(std::trunc(segmentCount * shown + 0.5));
        const VstInt32 c = coveredPixels(k, segmentCount, onPicture->getWidth());
        onRect.right = offRect.left = area.left + c;
        PictureStrip::drawFrame(onPicture, context, onRect, Point{0, 0}, transparent);
        PictureStrip::drawFrame(offPicture, context, offRect, Point{c, 0}, transparent);
    } else {
        const VstInt32 k = VstInt32(std::trunc((getMax() - shown) * segmentCount + 0.5));
        const VstInt32 c = coveredPixels(k, segmentCount, onPicture->getHeight());
        offRect.bottom = onRect.top = area.top + c;
        PictureStrip::drawFrame(offPicture, context, offRect, Point{0, 0}, transparent);
        PictureStrip::drawFrame(onPicture, context, onRect, Point{0, c}, transparent);
    }
    setDirty(false);
}

}  // namespace kelp
