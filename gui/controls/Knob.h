// A rotary control: the value maps to an angle on an arc, marked by a handle (a two-colour line
// from the centre, or a small picture) over a background picture. Turned by dragging around the
// centre or linearly (up and right increase), by the wheel and by the arrow keys.
#pragma once

#include "gui/controls/Control.h"

namespace kelp {

class Knob : public Control {
public:
    // handlePicture may be null (a line is drawn); it is retained. offset is where the knob's
    // face starts in the background picture.
    Knob(const Rect& bounds, ControlListener* listener, VstInt32 tag, Picture* background, Picture* handlePicture,
         const Point& offset);
    ~Knob() override;

    void draw(DrawContext* context) override;
    void mouseDown(DrawContext* context, const Point& where) override;
    VstInt32 keyDown(VstKeyCode& key) override;
    bool wheel(DrawContext* context, const Point& where, float distance) override;

    virtual void drawHandle(DrawContext* context);
    // Angles are radians counter-clockwise from "right"; a negative range turns clockwise. Setting
    // either maps the range as it is at that moment; later changes of the range need a new angle.
    virtual void setStartAngle(float angle);
    virtual float getStartAngle() const;
    virtual void setRangeAngle(float angle);
    virtual float getRangeAngle() const;
    // Points are relative to the top-left corner of the bounds.
    virtual void valueToPoint(Point& point) const;
    virtual float pointToValue(const Point& point) const;
    virtual void setInset(VstInt32 newInset);
    virtual void setShadowColor(const Color& color);
    virtual void setHandleColor(const Color& color);
    virtual void setHandlePicture(Picture* picture);
    // Slow-down of linear dragging with Shift.
    virtual void setZoomFactor(float factor);
    virtual float getZoomFactor() const;

    VstInt32 getInset() const { return inset; }

    // The module-wide knob mode that selects linear dragging; Alt selects the other way.
    static constexpr VstInt32 linearMode = 2;

protected:
    void drawBackground(DrawContext* context, const Point& source);

    Point offset;
    Color handleColor = colorWhite;
    Color shadowColor = colorGrey;
    Picture* handlePicture = nullptr;
    VstInt32 inset = 3;
    float startAngle = 0.0f;
    float rangeAngle = 0.0f;
    float halfGap = 0.0f;
    float slope = 0.0f;
    float intercept = 0.0f;
    float radius;
    float zoomFactor = 1.5f;

private:
    void recompute();
    void resetToDefault(DrawContext* context);
    void track(DrawContext* context, Point where, int buttons, bool linear);
    float linearScale(int buttons) const;
    float pinnedAcrossGap(float reached, float& last) const;
};

}  // namespace kelp
