// A small click area that, when clicked, becomes the root view's modal view and shows a splash
// picture over splashRect until it is clicked again (or closeSplash is called).
#pragma once

#include "gui/controls/Control.h"

namespace kelp {

class SplashControl : public Control {
public:
    // splashRect is in window coordinates; splashOffset is where the splash begins in background.
    SplashControl(const Rect& bounds, ControlListener* listener, VstInt32 tag, Picture* background,
                  const Rect& splashRect, const Point& splashOffset);
    ~SplashControl() override;

    void draw(DrawContext* context) override;
    // Only the left button hits it.
    bool containsPoint(const Point& where, VstInt32 buttons = -1) const override;
    void mouseDown(DrawContext* context, const Point& where) override;
    virtual void closeSplash();

    // The splash is up: this control is its root view's modal view.
    bool isShowingSplash() const;

protected:
    // Back to the click area, the modal state ended.
    void hideSplash();

    Rect splashRect;
    Rect savedBounds;  // the click area while the splash is up
    Point splashOffset;
};

}  // namespace kelp
