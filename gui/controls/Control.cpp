#include "gui/controls/Control.h"

#include <bit>
#include <cstdint>

#include "gui/draw/DrawContext.h"
#include "gui/draw/Picture.h"
#include "gui/draw/RootView.h"

namespace kelp {

static_assert(std::atomic<float>::is_always_lock_free);

namespace {

    // Shorter gaps than this are too hard to hit, whatever the system says.
    constexpr VstInt32 shortestDoubleClick = 250;

    VstInt32 systemDoubleClickTime()
    {
        const VstInt32 time = DrawContext::doubleClickTime();
        return time < shortestDoubleClick ? shortestDoubleClick : time;
    }

}  // namespace

Control::Control(const Rect& bounds, ControlListener* listener, VstInt32 tag, Picture* background)
    : View(bounds), listener(listener), tag(tag), oldValue(1.0f), defaultValue(0.5f), value(0.0f), minValue(0.0f),
      maxValue(1.0f), wheelIncrement(0.1f), lastClickTime(-1), doubleClickInterval(systemDoubleClickTime()),
      background(background), backOffset{}
{
    if (background)
        background->retain();
}

Control::~Control()
{
    if (background)
        background->release();
}

bool Control::isDirty() const { return oldValue != value.load(std::memory_order_relaxed) || dirty; }

void Control::setDirty(bool flag)
{
    dirty = flag;
    const float current = value.load(std::memory_order_relaxed);
    if (!flag) {
        oldValue = current;
        return;
    }
    // Any value but -1 differs from -1; -1 itself (exactly that bit pattern) gets 0.
    oldValue = std::bit_cast<std::uint32_t>(current) == std::bit_cast<std::uint32_t>(-1.0f) ? 0.0f : -1.0f;
}

void Control::idleNow()
{
    if (root)
        root->runHostIdle();
}

void Control::setValue(float newValue) { value.store(newValue, std::memory_order_relaxed); }

float Control::getValue() const { return value.load(std::memory_order_relaxed); }

void Control::setMin(float newMin) { minValue = newMin; }

float Control::getMin() const { return minValue; }

void Control::setMax(float newMax) { maxValue = newMax; }

float Control::getMax() const { return maxValue; }

void Control::setOldValue(float newOldValue) { oldValue = newOldValue; }

float Control::getOldValue() const { return oldValue; }

void Control::setDefaultValue(float newDefault) { defaultValue = newDefault; }

float Control::getDefaultValue() const { return defaultValue; }

void Control::setTag(VstInt32 newTag) { tag = newTag; }

void Control::setBackground(Picture* picture) { Picture::replace(background, picture); }

Picture* Control::getBackground() const { return background; }

void Control::setBackOffset(const Point& offset) { backOffset = offset; }

void Control::alignBackOffset() { backOffset = bounds.topLeft(); }

void Control::setWheelIncrement(float increment) { wheelIncrement = increment; }

float Control::getWheelIncrement() const { return wheelIncrement; }

// The maximum is tested first, so an inverted range pulls high values to the maximum.
void Control::clampValue()
{
    const float current = value.load(std::memory_order_relaxed);
    if (current > maxValue)
        value.store(maxValue, std::memory_order_relaxed);
    else if (current < minValue)
        value.store(minValue, std::memory_order_relaxed);
}

bool Control::inOpenWindow() const { return !root || root->windowIsOpen(); }

bool Control::isDoubleClick()
{
    const VstInt32 now = root ? root->tickCount() : 0;
    if (lastClickTime > 0 && lastClickTime + doubleClickInterval > now) {
        lastClickTime = 0;
        return true;
    }
    lastClickTime = now;
    return false;
}

}  // namespace kelp
