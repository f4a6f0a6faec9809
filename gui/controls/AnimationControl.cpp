#include "gui/controls/AnimationControl.h"

#include <cmath>

#include "gui/controls/PictureStrip.h"
#include "gui/controls/PressTracking.h"

namespace kelp {

AnimationControl::AnimationControl(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 frameCount,
                                   VstInt32 frameHeight, Picture* background, const Point& offset)
    : Control(bounds, listener, tag, background), offset(offset), frameCount(frameCount), frameHeight(frameHeight),
      stripHeight(frameCount * frameHeight)
{
}

AnimationControl::~AnimationControl() = default;

void AnimationControl::draw(DrawContext* context)
{
    if (!running)
        return;
    const Point source{offset.h, offset.v + VstInt32(std::trunc(getValue()))};
    PictureStrip::drawFrame(background, context, bounds, source, transparent);
    setDirty(false);
}

void AnimationControl::mouseDown(DrawContext* context, const Point&)
{
    if (!mouseEnabled() || !(DrawContext::mouseButtons() & mouseLeft))
        return;
    setValue(0.0f);
    if (running) {
        draw(context);
        stop();
        return;
    }
    start();
    setDirty(true);
    PressTracking::tell(listener, context, this);
}

void AnimationControl::start() { running = true; }

void AnimationControl::stop() { running = false; }

void AnimationControl::nextFrame()
{
    const float next = getValue() + float(frameHeight);
    setValue(next >= float(stripHeight) ? 0.0f : next);
}

void AnimationControl::previousFrame()
{
    const float previous = getValue() - float(frameHeight);
    const float last = stripHeight > frameHeight ? float(stripHeight - frameHeight) : 0.0f;
    setValue(previous < 0.0f ? last : previous);
}

}  // namespace kelp
