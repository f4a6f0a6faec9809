#include "gui/controls/View.h"

#include "gui/draw/RootView.h"

namespace kelp {

View::View(const Rect& bounds)
    : refCount(1), bounds(bounds), mouseArea(bounds), root(nullptr), parent(nullptr), dirty(false), mouseOn(true),
      transparent(false)
{
}

View::~View() = default;

void View::draw(DrawContext*) { setDirty(false); }

void View::drawInRect(DrawContext* context, const Rect&) { draw(context); }

bool View::overlaps(const Rect& rect) { return bounds.overlapsClosed(rect); }

void View::mouseDown(DrawContext*, const Point&) {}

void View::redrawIfDirty(DrawContext* context)
{
    if (isDirty()) {
        draw(context);
        setDirty(false);
    }
}

VstInt32 View::notify(View*, const char*) { return 0; }

VstInt32 View::keyDown(VstKeyCode&) { return -1; }

VstInt32 View::keyUp(VstKeyCode&) { return -1; }

bool View::drop(char**, VstInt32, VstInt32, const Point&) { return false; }

bool View::wheel(DrawContext*, const Point&, float) { return false; }

void View::focusLost(DrawContext*) {}

void View::focusGained(DrawContext*) {}

bool View::isDirty() const { return dirty; }

void View::setDirty(bool flag) { dirty = flag; }

void View::enableMouse(bool flag) { mouseOn = flag; }

bool View::mouseEnabled() const { return mouseOn; }

void View::setMouseArea(const Rect& rect) { mouseArea = rect; }

Rect& View::getMouseArea(Rect& rect) const
{
    rect = mouseArea;
    return rect;
}

bool View::containsPoint(const Point& where, VstInt32) const { return bounds.pointInsideClosed(where); }

void View::setTransparent(bool flag) { transparent = flag; }

bool View::isTransparent() const { return transparent; }

void View::setBounds(const Rect& rect)
{
    bounds = rect;
    setDirty(true);
}

Rect& View::getBounds(Rect& rect) const
{
    rect = bounds;
    return rect;
}

void View::setParent(View* view) { parent = view; }

void View::setRoot(RootView* rootView) { root = rootView; }

GuiEditorBase* View::editor() { return root ? root->editor() : nullptr; }

bool View::removedFrom(View*) { return true; }

bool View::addedTo(View*) { return true; }

VstInt32 View::release()
{
    if (refCount <= 0)
        return refCount;
    if (--refCount == 0) {
        delete this;
        return 0;
    }
    return refCount;
}

void View::retain() { ++refCount; }

VstInt32 View::referenceCount() const { return refCount; }

void View::redrawNow()
{
    if (root)
        root->drawView(this);
}

}  // namespace kelp
