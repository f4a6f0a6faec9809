#include "gui/controls/Slider.h"

#include <new>

#include "gui/controls/ControlListener.h"
#include "gui/controls/ValueStep.h"
#include "gui/draw/OffscreenContext.h"
#include "gui/draw/Picture.h"
#include "gui/draw/RootView.h"

namespace kelp {

Slider::Slider(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 firstPosition,
               VstInt32 lastPosition, Picture* handlePicture, Picture* background, const Point& offset, VstInt32 style)
    : Control(bounds, listener, tag, background), offset(offset), handlePicture(nullptr), handleWidth(1),
      handleHeight(1), style(style), width(bounds.width()), height(bounds.height())
{
    setHandlePicture(handlePicture);
    startInset = firstPosition - along(bounds.topLeft());
    travel = lastPosition - firstPosition;
    setHandleOffset(Point{});
}

Slider::Slider(const Rect& bounds, ControlListener* listener, VstInt32 tag, const Point& handleOffset,
               VstInt32 trackLength, Picture* handlePicture, Picture* background, const Point& offset, VstInt32 style)
    : Control(bounds, listener, tag, background), offset(offset), handlePicture(nullptr), handleWidth(1),
      handleHeight(1), style(style), width(bounds.width()), height(bounds.height())
{
    setHandlePicture(handlePicture);
    travel = trackLength - handleLength();
    setHandleOffset(handleOffset);
}

Slider::~Slider()
{
    delete offscreen;
    if (handlePicture)
        handlePicture->release();
}

bool Slider::addedTo(View*)
{
    delete offscreen;
    offscreen = new (std::nothrow) OffscreenContext(root, width, height, colorBlack);
    return true;
}

bool Slider::removedFrom(View*)
{
    delete offscreen;
    offscreen = nullptr;
    return true;
}

void Slider::setTransparentHandle(bool flag) { transparentHandle = flag; }

void Slider::setFreeClick(bool flag) { freeClick = flag; }

bool Slider::getFreeClick() const { return freeClick; }

void Slider::setHandleOffset(const Point& point)
{
    handleOffset = point;
    minPosition = along(point) + startInset;
    maxPosition = minPosition + travel + handleLength();
}

void Slider::setHandlePicture(Picture* picture)
{
    Picture::replace(handlePicture, picture);
    handleWidth = picture ? picture->getWidth() : 1;
    handleHeight = picture ? picture->getHeight() : 1;
}

Picture* Slider::getHandlePicture() const { return handlePicture; }

void Slider::setZoomFactor(float factor) { zoomFactor = factor; }

float Slider::getZoomFactor() const { return zoomFactor; }

// Clamped, a value outside the range leaves the whole handle at the track's end.
Rect Slider::handleAt(bool clamped) const
{
    VstInt32 start = minPosition + VstInt32(float(travel) * trackFraction(getValue()));
    if (clamped && start + handleLength() > maxPosition)
        start = maxPosition - handleLength();
    if (clamped && start < minPosition)
        start = minPosition;
    const VstInt32 end = start + handleLength();
    if (horizontal())
        return Rect{start, handleOffset.v, end, handleOffset.v + handleHeight};
    return Rect{handleOffset.h, start, handleOffset.h + handleWidth, end};
}

void Slider::draw(DrawContext* context)
{
    if (offscreen) {
        const Rect surface{0, 0, width, height};
        if (!background)
            clearSurface();
        else if (transparent)
            background->drawKeyed(offscreen, surface, offset);
        else
            background->draw(offscreen, surface, offset);
        if (handlePicture && transparentHandle)
            handlePicture->drawKeyed(offscreen, handleAt(true), Point{});
        else if (handlePicture)
            handlePicture->draw(offscreen, handleAt(true), Point{});
        offscreen->copyTo(context, bounds, Point{});
    }
    setDirty(false);
}

// Without a background the handle drawn last time must go.
void Slider::clearSurface()
{
    const Rect surface{0, 0, width, height};
    offscreen->setPenColor(colorBlack);
    offscreen->setBrushColor(colorBlack);
    offscreen->frameRect(surface);
    offscreen->fillRect(surface);
}

void Slider::mouseDown(DrawContext* context, const Point& where)
{
    if (!mouseEnabled())
        return;
    const int buttons = DrawContext::mouseButtons();
    if (buttons == (mouseLeft | modifierControl)) {
        resetToDefault(context);
        return;
    }
    // Without travel no position along the track means a value.
    if (!(buttons & mouseLeft) || !context || travel == 0)
        return;
    float zero = float(along(bounds.topLeft()) + along(handleOffset) + startInset);
    if (freeClick) {
        zero += float(handleLength() / 2 - 1);
    } else {
        Rect grip = handleAt(false);
        grip.offset(bounds.left, bounds.top);
        if (!grip.pointInsideClosed(where))
            return;
        zero = float(along(where)) - float(travel) * trackFraction(getValue());
    }
    track(context, where, buttons, zero);
}

void Slider::resetToDefault(DrawContext* context)
{
    setValue(getDefaultValue());
    if (isDirty() && listener)
        listener->valueChanged(context, this);
}

// zero is the pointer coordinate of track fraction 0. Shift pressed anchors the fine movement at
// the current value; Shift released moves zero so the pointer carries on from the current value.
void Slider::track(DrawContext* context, Point where, int buttons, float zero)
{
    float anchor = getValue();
    bool fine = buttons & modifierShift;
    if (root) {
        root->beginEdit(tag);
        root->setFocusView(this);
    }
    while (((buttons = DrawContext::mouseButtons()) & mouseLeft) && inOpenWindow()) {
        const bool shift = buttons & modifierShift;
        if (shift && !fine)
            anchor = getValue();
        else if (!shift && fine)
            zero = float(along(where)) - float(travel) * trackFraction(getValue());
        fine = shift;
        float reached = trackFraction((float(along(where)) - zero) / float(travel));
        if (fine)
            reached = anchor + (reached - anchor) / zoomFactor;
        setValue(reached);
        clampValue();
        if (isDirty() && listener)
            listener->valueChanged(context, this);
        context->cursorPosition(where);
        idleNow();
    }
    if (root)
        root->endEdit(tag);
}

VstInt32 Slider::keyDown(VstKeyCode& key) { return ValueStep::keyDown(*this, listener, key); }

bool Slider::wheel(DrawContext* context, const Point&, float distance)
{
    return ValueStep::wheel(*this, listener, context, distance);
}

}  // namespace kelp
