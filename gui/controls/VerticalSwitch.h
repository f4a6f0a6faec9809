// Picks one of positionCount positions from how far down the switch the pointer is, and shows
// the frame nearest its value. Dragging moves it between positions until the button is let go.
#pragma once

#include "gui/controls/Control.h"

namespace kelp {

class VerticalSwitch : public Control {
public:
    // The default value, which the left button with Control restores, is 0.
    VerticalSwitch(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 frameCount,
                   VstInt32 frameHeight, VstInt32 positionCount, Picture* background, const Point& offset);
    ~VerticalSwitch() override;

    void draw(DrawContext* context) override;
    void mouseDown(DrawContext* context, const Point& where) override;

protected:
    // How far along the switch the pointer is, from its start, and the pixels each position
    // takes: down the switch here, across it in the horizontal one.
    virtual int distanceAlong(const Point& at) const;
    virtual double positionStep() const;

    Point offset;
    VstInt32 frameHeight;
    VstInt32 frameCount;  // stored only: the frame shown follows positionCount
    VstInt32 positionCount;
};

}  // namespace kelp
