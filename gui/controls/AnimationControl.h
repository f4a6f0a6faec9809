// Shows one frame of a picture strip, selected by its value: the pixel offset of the frame in
// the strip (0, frameHeight, 2 x frameHeight, ...). A click starts or stops it; its owner steps
// it with nextFrame or previousFrame, and only a running animation is drawn.
#pragma once

#include "gui/controls/Control.h"

namespace kelp {

class AnimationControl : public Control {
public:
    AnimationControl(const Rect& bounds, ControlListener* listener, VstInt32 tag, VstInt32 frameCount,
                     VstInt32 frameHeight, Picture* background, const Point& offset);
    ~AnimationControl() override;

    // Draws nothing, and stays dirty, while stopped.
    void draw(DrawContext* context) override;
    // Stopped: starts and tells the listener. Running: shows the first frame and stops.
    void mouseDown(DrawContext* context, const Point& where) override;

    virtual void start();
    virtual void stop();
    // Both wrap around: after the last frame comes the first, before the first the last.
    virtual void nextFrame();
    virtual void previousFrame();

    bool isRunning() const { return running; }

protected:
    Point offset;
    VstInt32 frameCount;
    VstInt32 frameHeight;
    VstInt32 stripHeight;
    bool running = false;
};

}  // namespace kelp
