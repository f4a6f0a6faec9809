#include "gui/controls/Knob.h"

#include <cmath>
#include <numbers>

#include "gui/controls/ControlListener.h"
#include "gui/controls/ValueStep.h"
#include "gui/draw/DrawContext.h"
#include "gui/draw/Picture.h"
#include "gui/draw/RootView.h"

namespace kelp {

namespace {

    constexpr float twoPi = 6.2831855f;
    // Pixels of linear drag for the whole range, before any Shift slow-down.
    constexpr float linearTravel = 200.0f;

    VstInt32 insetFor(const Picture* handle) { return VstInt32(2.5f + float(handle->getWidth()) / 2.0f); }

}  // namespace

Knob::Knob(const Rect& bounds, ControlListener* listener, VstInt32 tag, Picture* background, Picture* handlePicture,
           const Point& offset)
    : Control(bounds, listener, tag, background), offset(offset), radius(float(bounds.right - bounds.left) * 0.5f)
{
    setHandlePicture(handlePicture);
    setStartAngle(5.0f * std::numbers::pi_v<float> / 4.0f);
    setRangeAngle(-3.0f * std::numbers::pi_v<float> / 2.0f);
}

Knob::~Knob()
{
    if (handlePicture)
        handlePicture->release();
}

void Knob::drawBackground(DrawContext* context, const Point& source)
{
    if (!background)
        return;
    if (transparent)
        background->drawKeyed(context, bounds, source);
    else
        background->draw(context, bounds, source);
}

void Knob::draw(DrawContext* context)
{
    drawBackground(context, offset);
    drawHandle(context);
    setDirty(false);
}

// The line version is light with a shadow one pixel lower and to the left.
void Knob::drawHandle(DrawContext* context)
{
    Point p;
    valueToPoint(p);
    if (handlePicture) {
        const VstInt32 w = handlePicture->getWidth();
        const VstInt32 h = handlePicture->getHeight();
        const Rect area = Rect::fromSize(bounds.left + p.h - w / 2, bounds.top + p.v - h / 2, w, h);
        handlePicture->drawKeyed(context, area, Point{});
        return;
    }
    const Point centre{bounds.left - 1 + bounds.width() / 2, bounds.top + bounds.height() / 2};
    const Point tip{bounds.left - 1 + p.h, bounds.top + p.v};
    const Point lift{1, -1};
    context->setPenColor(shadowColor);
    context->moveTo(tip);
    context->lineTo(centre);
    context->setPenColor(handleColor);
    context->moveTo(tip + lift);
    context->lineTo(centre + lift);
}

void Knob::recompute()
{
    slope = (maxValue - minValue) / rangeAngle;
    intercept = minValue - startAngle * slope;
    halfGap = (twoPi - std::fabs(rangeAngle)) * 0.5f;
    setDirty(true);
}

void Knob::setStartAngle(float angle)
{
    startAngle = angle;
    recompute();
}

float Knob::getStartAngle() const { return startAngle; }

void Knob::setRangeAngle(float angle)
{
    rangeAngle = angle;
    recompute();
}

float Knob::getRangeAngle() const { return rangeAngle; }

// An empty range or sweep has no angle for the value: the handle stays at the start.
void Knob::valueToPoint(Point& point) const
{
    float angle = (getValue() - intercept) / slope;
    if (!std::isfinite(angle))
        angle = startAngle;
    const float reach = radius - float(inset);
    point.h = VstInt32(std::cos(angle) * reach + radius + 0.5f);
    point.v = VstInt32(radius - std::sin(angle) * reach + 0.5f);
}

// Angles are measured from the reference end: the maximum when the sweep turns clockwise, the
// minimum otherwise. A point in the gap gives the end on its side of the gap.
float Knob::pointToValue(const Point& point) const
{
    float a = float(std::atan2(radius - float(point.v), float(point.h) - radius));
    if (a < 0.0f)
        a += twoPi;
    const bool clockwise = rangeAngle < 0.0f;
    const float d = clockwise ? a - startAngle - rangeAngle : a - startAngle;
    float w = d;
    if (w < 0.0f)
        w += twoPi;
    else if (double(w) > 2.0 * std::numbers::pi)
        w -= twoPi;

    const float sweep = std::fabs(rangeAngle);
    const float gapEnd = sweep + halfGap;
    const float reference = clockwise ? maxValue : minValue;
    if (w > gapEnd)
        return reference;
    if (w > sweep)
        return clockwise ? minValue : maxValue;
    if (!std::isfinite(slope))  // no sweep to map onto
        return reference;
    float along = d;
    if (along > gapEnd)
        along -= twoPi;
    else if (along < -halfGap)
        along += twoPi;
    return reference + along * slope;
}

void Knob::setInset(VstInt32 newInset) { inset = newInset; }

void Knob::setShadowColor(const Color& color)
{
    shadowColor = color;
    setDirty(true);
}

void Knob::setHandleColor(const Color& color)
{
    handleColor = color;
    setDirty(true);
}

void Knob::setHandlePicture(Picture* picture)
{
    if (picture)
        inset = insetFor(picture);
    Picture::replace(handlePicture, picture);
}

void Knob::setZoomFactor(float factor) { zoomFactor = factor; }

float Knob::getZoomFactor() const { return zoomFactor; }

void Knob::mouseDown(DrawContext* context, const Point& where)
{
    const int buttons = DrawContext::mouseButtons();
    if (!mouseEnabled() || !(buttons & mouseLeft))
        return;
    if (buttons == (mouseLeft | modifierControl)) {
        resetToDefault(context);
        return;
    }
    if (!context)  // nothing to follow the pointer with
        return;
    const bool alt = buttons & modifierAlt;
    track(context, where, buttons, (RootView::knobMode() == linearMode) != alt);
}

void Knob::resetToDefault(DrawContext* context)
{
    setValue(getDefaultValue());
    if (isDirty() && listener)
        listener->valueChanged(context, this);
}

// Runs until the left button is released. Linear: right and up increase; a change of Shift
// rescales around the current position so that the value does not jump. Circular: the value
// follows the angle, but a turn across the gap pins it at the end it left.
void Knob::track(DrawContext* context, Point where, int buttons, bool linear)
{
    const Point corner = bounds.topLeft();
    const Point first = where;
    float scale = linearScale(buttons);
    float base = getValue();
    float last = pointToValue(where - corner);
    if (root) {
        root->beginEdit(tag);
        root->setFocusView(this);
    }
    Point previous{-1, -1};
    int previousButtons = buttons;
    do {
        buttons = DrawContext::mouseButtons();
        if (where != previous) {
            previous = where;
            if (linear) {
                const float delta = float((where.h - first.h) + (first.v - where.v));
                if (buttons != previousButtons) {
                    const float newScale = linearScale(buttons);
                    base += delta * (scale - newScale);
                    scale = newScale;
                    previousButtons = buttons;
                }
                setValue(base + delta * scale);
                clampValue();
            } else {
                setValue(pinnedAcrossGap(pointToValue(where - corner), last));
            }
            if (isDirty() && listener)
                listener->valueChanged(context, this);
        }
        context->cursorPosition(where);
        idleNow();
    } while ((buttons & mouseLeft) && inOpenWindow());
    if (root)
        root->endEdit(tag);
}

float Knob::linearScale(int buttons) const
{
    const float travel = buttons & modifierShift ? linearTravel * zoomFactor : linearTravel;
    return (maxValue - minValue) / travel;
}

// last keeps the last value reached on the sweep.
float Knob::pinnedAcrossGap(float reached, float& last) const
{
    const float half = (maxValue - minValue) * 0.5f;
    if (last - reached > half)
        return maxValue;
    if (reached - last > half)
        return minValue;
    last = reached;
    return reached;
}

VstInt32 Knob::keyDown(VstKeyCode& key) { return ValueStep::keyDown(*this, listener, key); }

bool Knob::wheel(DrawContext* context, const Point&, float distance)
{
    return ValueStep::wheel(*this, listener, context, distance);
}

}  // namespace kelp
