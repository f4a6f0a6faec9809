// A view with a float value in a range, a tag and a listener: the base of every control.
#pragma once

#include <atomic>

#include "gui/controls/View.h"

namespace kelp {

class ControlListener;
class Picture;

class Control : public View {
public:
    // listener and background may be null; a background is retained.
    Control(const Rect& bounds, ControlListener* listener, VstInt32 tag, Picture* background);
    ~Control() override;

    void draw(DrawContext* context) override = 0;
    // Dirty while the value differs from the one last drawn, or when marked explicitly.
    bool isDirty() const override;
    void setDirty(bool flag) override;

    virtual void idleNow();
    virtual void setValue(float newValue);
    virtual float getValue() const;
    virtual void setMin(float newMin);
    virtual float getMin() const;
    virtual void setMax(float newMax);
    virtual float getMax() const;
    virtual void setOldValue(float newOldValue);
    virtual float getOldValue() const;
    virtual void setDefaultValue(float newDefault);
    virtual float getDefaultValue() const;
    virtual void setTag(VstInt32 newTag);
    virtual void setBackground(Picture* picture);
    virtual Picture* getBackground() const;
    virtual void setBackOffset(const Point& offset);
    virtual void alignBackOffset();
    virtual void setWheelIncrement(float increment);
    virtual float getWheelIncrement() const;
    virtual void clampValue();

    VstInt32 getTag() const { return tag; }
    // False once the window this control is in was closed or destroyed: a gesture ends then.
    bool inOpenWindow() const;
    // True for the second of two clicks within the double-click interval; needs a root view.
    bool isDoubleClick();

protected:
    ControlListener* listener;
    VstInt32 tag;
    float oldValue;
    float defaultValue;
    // Set from whichever thread sets a parameter, drawn on the user-interface thread.
    std::atomic<float> value;
    float minValue;
    float maxValue;
    float wheelIncrement;
    VstInt32 lastClickTime;
    VstInt32 doubleClickInterval;
    Picture* background;
    Point backOffset;
};

}  // namespace kelp
