#include "gui/draw/ViewGroup.h"

#include <new>

#include "gui/draw/DrawContext.h"
#include "gui/draw/OffscreenContext.h"
#include "gui/draw/Picture.h"
#include "gui/draw/RootView.h"

namespace kelp {

ViewGroup::ViewGroup(const Rect& rect, RootView* rootView, Picture* background) : View(rect), background(background)
{
    root = rootView;
    if (background)
        background->retain();
}

ViewGroup::~ViewGroup()
{
    if (background)
        background->release();
    detachAll(true);
    deleteOffscreen();
}

template <typename Action>
void ViewGroup::forEachChild(Action action) const
{
    for (ChildNode* node = firstChild; node;) {
        ChildNode* next = node->next;  // the action may unlink the node
        action(node->view);
        node = next;
    }
}

// --- coordinates -------------------------------------------------------------------------

ViewGroup::SavedOrigin ViewGroup::enterOrigin(DrawContext* context, const Point& corner)
{
    if (!context)
        return SavedOrigin{};
    const SavedOrigin saved{context->getOrigin(), context->getScreenOrigin()};
    context->setOrigin(corner);
    // Contexts without a window (memory surfaces) count from the screen's corner.
    context->setScreenOrigin(DrawContext::windowCorner(context->getWindow()) + corner);
    return saved;
}

void ViewGroup::leaveOrigin(DrawContext* context, const SavedOrigin& saved)
{
    if (!context)
        return;
    context->setOrigin(saved.origin);
    context->setScreenOrigin(saved.screenOrigin);
}

// --- buffer ------------------------------------------------------------------------------

OffscreenContext* ViewGroup::buffer()
{
    if (offscreenOn && !offscreen)
        makeOffscreen();
    return offscreenOn ? offscreen : nullptr;
}

void ViewGroup::makeOffscreen()
{
    if (root)
        offscreen = new (std::nothrow) OffscreenContext(root, bounds.width(), bounds.height(), colorBlack);
}

void ViewGroup::deleteOffscreen()
{
    delete offscreen;
    offscreen = nullptr;
}

// --- drawing -----------------------------------------------------------------------------

// The background's part under area (group coordinates). A transparent group without a
// picture paints nothing.
void ViewGroup::paintBackground(DrawContext* target, const Rect& area)
{
    if (background) {
        const Point from = area.topLeft() + backgroundOffset;
        if (transparent)
            background->drawKeyed(target, area, from);
        else
            background->draw(target, area, from);
    } else if (!transparent) {
        target->setBrushColor(backColor);
        target->fillRect(area);
    }
}

// Composes `area` (container coordinates) of the group: the background under it, then every
// child or only those over it, in the buffer and copied out, or straight into the context.
void ViewGroup::compose(DrawContext* context, const Rect& area, bool everyChild)
{
    Rect local = area;
    local.offset(-bounds.left, -bounds.top);
    OffscreenContext* target = buffer();
    const SavedOrigin saved = target ? SavedOrigin{} : enterOrigin(context, bounds.topLeft());
    DrawContext* into = target ? static_cast<DrawContext*>(target) : context;
    // A buffered group that lets things through starts from what lies beneath it.
    if (target && transparent)
        target->copyFrom(context, area, local.topLeft());
    paintBackground(into, local);
    forEachChild([&](View* child) {
        if (everyChild || child->overlaps(local))
            child->draw(into);
    });
    if (target)
        target->copyTo(context, area, local.topLeft());
    else
        leaveOrigin(context, saved);
    setDirty(false);
}

void ViewGroup::draw(DrawContext* context)
{
    if (context)
        compose(context, bounds, true);
}

void ViewGroup::drawInRect(DrawContext* context, const Rect& updateRect)
{
    Rect area = updateRect;
    area.clipTo(bounds);
    if (context)
        compose(context, area, false);
}

void ViewGroup::redrawIfDirty(DrawContext* context)
{
    if (drawMode == redrawWhole) {
        if (isDirty())
            draw(context);
        return;
    }
    if (drawMode != redrawDirtyChildren || !context)
        return;
    if (dirty) {
        draw(context);
        setDirty(false);
        return;
    }
    if (offscreenOn && offscreen) {
        const bool anything = isDirty();
        forEachChild([&](View* child) { child->redrawIfDirty(offscreen); });
        if (anything)
            offscreen->copyTo(context, bounds, Point{0, 0});
        setDirty(false);
        return;
    }
    // Straight to the window: each dirty child over its own part of the background.
    const SavedOrigin saved = enterOrigin(context, bounds.topLeft());
    forEachChild([&](View* child) {
        if (!child->isDirty())
            return;
        ViewGroup* nested = child->notify(this, kMsgCheckIfViewContainer) ? dynamic_cast<ViewGroup*>(child) : nullptr;
        const VstInt32 nestedMode = nested ? nested->getDrawMode() : redrawWhole;
        if (nested)
            nested->setDrawMode(redrawWhole);
        paintBackground(context, child->boundsRef());
        child->redrawIfDirty(context);
        if (nested)
            nested->setDrawMode(nestedMode);
    });
    leaveOrigin(context, saved);
    setDirty(false);
}

// --- input -------------------------------------------------------------------------------

void ViewGroup::mouseDown(DrawContext* context, const Point& where)
{
    const Point local = where - bounds.topLeft();
    const SavedOrigin saved = enterOrigin(context, bounds.topLeft());
    const VstInt32 buttons = context ? DrawContext::mouseButtons() : -1;
    for (ChildNode* node = lastChild; node; node = node->previous) {
        if (node->view->mouseEnabled() && node->view->containsPoint(local, buttons)) {
            node->view->mouseDown(context, local);
            break;
        }
    }
    leaveOrigin(context, saved);
}

VstInt32 ViewGroup::notify(View*, const char* message) { return message == kMsgCheckIfViewContainer ? 1 : 0; }

// The children from the top until one answers something other than -1 (not handled).
VstInt32 ViewGroup::offerKey(VstInt32 (View::*handler)(VstKeyCode&), VstKeyCode& key)
{
    VstInt32 answer = -1;
    for (ChildNode* node = lastChild; node && answer == -1; node = node->previous)
        answer = (node->view->*handler)(key);
    return answer;
}

VstInt32 ViewGroup::keyDown(VstKeyCode& key) { return offerKey(&View::keyDown, key); }

VstInt32 ViewGroup::keyUp(VstKeyCode& key) { return offerKey(&View::keyUp, key); }

bool ViewGroup::drop(char** items, VstInt32 count, VstInt32 kind, const Point& where)
{
    if (!root)
        return false;
    const Point local = where - bounds.topLeft();
    Rect area;
    for (ChildNode* node = lastChild; node; node = node->previous) {
        View* child = node->view;
        if (child->mouseEnabled() && child->getMouseArea(area).pointInsideClosed(local) &&
            child->drop(items, count, kind, local))
            return true;
    }
    return false;
}

bool ViewGroup::wheel(DrawContext* context, const Point& where, float distance)
{
    if (!root)
        return false;
    Point cursor;
    root->cursorInWindow(cursor);
    cursor = cursor - bounds.topLeft();
    View* target = nullptr;
    Rect area;
    for (ChildNode* node = lastChild; node && !target; node = node->previous)
        if (node->view->getMouseArea(area).pointInsideClosed(cursor))
            target = node->view;
    if (!target)
        return false;
    const SavedOrigin saved = enterOrigin(context, bounds.topLeft());
    const bool answer = target->wheel(context, where - bounds.topLeft(), distance);
    leaveOrigin(context, saved);
    return answer;
}

void ViewGroup::focusLost(DrawContext* context)
{
    forEachChild([&](View* child) { child->focusLost(context); });
}

void ViewGroup::focusGained(DrawContext* context)
{
    forEachChild([&](View* child) { child->focusGained(context); });
}

bool ViewGroup::isDirty() const
{
    if (dirty)
        return true;
    for (ChildNode* node = firstChild; node; node = node->next)
        if (node->view->isDirty())
            return true;
    return false;
}

// --- placement and buffer lifetime -------------------------------------------------------

void ViewGroup::setBounds(const Rect& rect)
{
    View::setBounds(rect);
    if (offscreen) {
        deleteOffscreen();
        makeOffscreen();
    }
}

bool ViewGroup::removedFrom(View*)
{
    deleteOffscreen();
    return true;
}

bool ViewGroup::addedTo(View*)
{
    if (!offscreen && offscreenOn)
        makeOffscreen();
    return true;
}

// --- children ----------------------------------------------------------------------------

void ViewGroup::placeChild(View* view, const Rect& mouseArea, bool mouseEnabled)
{
    if (!view)
        return;
    view->enableMouse(mouseEnabled);
    view->setMouseArea(mouseArea);
    attachChild(view);
}

bool ViewGroup::attachChild(View* view)
{
    // A second node for the same view would have its creator's reference dropped twice.
    if (!view || hasChild(view))
        return false;
    auto* node = new (std::nothrow) ChildNode{view, nullptr, lastChild};
    if (!node)
        return false;
    view->retain();
    view->setRoot(root);
    view->setParent(this);
    if (lastChild)
        lastChild->next = node;
    else
        firstChild = node;
    lastChild = node;
    view->addedTo(this);
    view->setDirty(true);
    return true;
}

void ViewGroup::unlink(ChildNode* node)
{
    (node->previous ? node->previous->next : firstChild) = node->next;
    (node->next ? node->next->previous : lastChild) = node->previous;
}

void ViewGroup::detachChild(View* view, bool withRelease)
{
    for (ChildNode* node = firstChild; node;) {
        ChildNode* next = node->next;
        if (node->view == view) {
            view->removedFrom(this);
            unlink(node);
            if (withRelease)
                view->release();
            view->release();  // the node's own reference
            delete node;
        }
        node = next;
    }
}

void ViewGroup::detachAll(bool withRelease)
{
    forEachChild([&](View* child) { detachChild(child, withRelease); });
    firstChild = nullptr;
    lastChild = nullptr;
}

bool ViewGroup::hasChild(View* view) const
{
    for (ChildNode* node = firstChild; node; node = node->next)
        if (node->view == view)
            return true;
    return false;
}

VstInt32 ViewGroup::childCount() const
{
    VstInt32 count = 0;
    for (ChildNode* node = firstChild; node; node = node->next)
        ++count;
    return count;
}

View* ViewGroup::childAt(VstInt32 index) const
{
    if (index < 0)
        return nullptr;
    ChildNode* node = firstChild;
    for (; node && index > 0; --index)
        node = node->next;
    return node ? node->view : nullptr;
}

// --- fields ------------------------------------------------------------------------------

void ViewGroup::setBackColor(const Color& color) { backColor = color; }

Color ViewGroup::getBackColor() const { return backColor; }

void ViewGroup::setBackgroundPicture(Picture* picture) { Picture::replace(background, picture); }

Picture* ViewGroup::getBackgroundPicture() const { return background; }

void ViewGroup::setBackgroundOffset(const Point& offset) { backgroundOffset = offset; }

Point ViewGroup::getBackgroundOffset() const { return backgroundOffset; }

void ViewGroup::setDrawMode(VstInt32 mode) { drawMode = mode; }

VstInt32 ViewGroup::getDrawMode() const { return drawMode; }

void ViewGroup::useOffscreen(bool flag)
{
    offscreenOn = flag;
    if (!flag)
        deleteOffscreen();
}

}  // namespace kelp
