#include "gui/controls/SplashControl.h"

#include "gui/controls/PictureStrip.h"
#include "gui/controls/PressTracking.h"
#include "gui/draw/RootView.h"

namespace kelp {

SplashControl::SplashControl(const Rect& bounds, ControlListener* listener, VstInt32 tag, Picture* background,
                             const Rect& splashRect, const Point& splashOffset)
    : Control(bounds, listener, tag, background), splashRect(splashRect), savedBounds{}, splashOffset(splashOffset)
{
}

SplashControl::~SplashControl() = default;

void SplashControl::draw(DrawContext* context)
{
    if (getValue() != 0.0f)
        PictureStrip::drawFrame(background, context, splashRect, splashOffset, transparent);
    setDirty(false);
}

bool SplashControl::containsPoint(const Point& where, VstInt32 buttons) const
{
    return bounds.pointInsideClosed(where) && (buttons & mouseLeft);
}

bool SplashControl::isShowingSplash() const { return root && root->getModalView() == this; }

// Only a splash that is up gives back the bounds it took: a splash the root refused never saved any.
void SplashControl::hideSplash()
{
    if (!isShowingSplash())
        return;
    bounds = savedBounds;
    root->setModalView(nullptr);
}

void SplashControl::mouseDown(DrawContext* context, const Point&)
{
    if (!mouseEnabled() || !(DrawContext::mouseButtons() & mouseLeft))
        return;
    setValue(getValue() == 0.0f ? 1.0f : 0.0f);
    if (getValue() != 0.0f) {
        if (root && root->setModalView(this)) {
            savedBounds = bounds;
            bounds = splashRect;
            draw(context);
            PressTracking::tell(listener, context, this);
        }
    } else {
        const bool wasShowing = isShowingSplash();
        hideSplash();
        if (wasShowing && context)
            root->draw(context);
        PressTracking::tell(listener, context, this);
    }
    setDirty(true);
}

void SplashControl::closeSplash()
{
    setDirty(true);
    setValue(0.0f);
    if (isShowingSplash()) {
        hideSplash();
        root->redrawNow();
    }
}

}  // namespace kelp
