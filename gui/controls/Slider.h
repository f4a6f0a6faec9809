// A handle picture moving along a straight track over a background picture. Drawn double-buffered
// through an offscreen surface of its own, which exists while the slider is in a container.
// Dragged with the left button (slowly with Shift), reset by Control+click, stepped by the wheel
// and the arrow keys.
#pragma once

#include "gui/controls/Control.h"

namespace kelp {

class OffscreenContext;

class Slider : public Control {
public:
    // Orientation, and which end of the track is value 0 (give exactly one end).
    enum Style : VstInt32 {
        kHorizontal = 1,
        kVertical = 2,
        kLeft = 8,
        kRight = 0x10,
        kTop = 0x20,
        kBottom = 0x40,
    };

    // firstPosition and lastPosition are window coordinates of the handle's value-0 and value-1
    // positions along the track.
    Slider(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 firstPosition, VstInt32 lastPosition,
           Picture* handlePicture, Picture* background, const Point& offset, VstInt32 style);
    // handleOffset: the handle's value-0 corner in control coordinates; the handle travels
    // trackLength minus its own length.
    Slider(const Rect& bounds, ControlListener* listener, VstInt32 tag, const Point& handleOffset, VstInt32 trackLength,
           Picture* handlePicture, Picture* background, const Point& offset, VstInt32 style);
    ~Slider() override;

    void draw(DrawContext* context) override;
    void mouseDown(DrawContext* context, const Point& where) override;
    VstInt32 keyDown(VstKeyCode& key) override;
    bool wheel(DrawContext* context, const Point& where, float distance) override;
    bool removedFrom(View* container) override;
    bool addedTo(View* container) override;

    virtual void setTransparentHandle(bool flag);
    // With a free click the handle's middle jumps to the pointer; without, only a press on the
    // handle drags it, by the point where it was gripped.
    virtual void setFreeClick(bool flag);
    virtual bool getFreeClick() const;
    virtual void setHandleOffset(const Point& point);
    virtual void setHandlePicture(Picture* picture);
    virtual Picture* getHandlePicture() const;
    // Slow-down of dragging with Shift.
    virtual void setZoomFactor(float factor);
    virtual float getZoomFactor() const;

protected:
    Point offset;
    Point handleOffset;
    Picture* handlePicture;
    OffscreenContext* offscreen = nullptr;
    VstInt32 handleWidth;
    VstInt32 handleHeight;
    VstInt32 travel = 0;
    VstInt32 style;
    VstInt32 minPosition = 0;
    VstInt32 maxPosition = 0;
    VstInt32 startInset = 0;
    VstInt32 width;
    VstInt32 height;
    float zoomFactor = 10.0f;
    bool transparentHandle = true;
    bool freeClick = true;

private:
    bool horizontal() const { return style & kHorizontal; }
    VstInt32 along(const Point& p) const { return horizontal() ? p.h : p.v; }
    VstInt32 handleLength() const { return horizontal() ? handleWidth : handleHeight; }
    // Value to track fraction and back (the same mapping both ways).
    float trackFraction(float f) const { return style & (kLeft | kTop) ? f : 1.0f - f; }
    // Where the handle is, in control coordinates.
    Rect handleAt(bool clamped) const;
    void clearSurface();
    void resetToDefault(DrawContext* context);
    void track(DrawContext* context, Point where, int buttons, float zero);
};

}  // namespace kelp
