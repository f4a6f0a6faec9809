// Picks one of positionCount positions from how far across the switch the pointer is, and
// shows the frame nearest its value. Dragging moves it between positions until release.
#pragma once

#include "gui/controls/Control.h"

class HorizontalSwitch : public Control {
public:
    // The default value, which the left button with Control restores, is 0.
    HorizontalSwitch(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 frameCount,
                     VstInt32 frameHeight, VstInt32 positionCount, Picture* background, const Point& offset);
    ~HorizontalSwitch() override;

    void draw(DrawContext* context) override;
    void mouseDown(DrawContext* context, const Point& where) override;

protected:
    Point offset;
    VstInt32 frameHeight;
    VstInt32 frameCount;  // stored only: the frame shown follows positionCount
    VstInt32 positionCount;
};
