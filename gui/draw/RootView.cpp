#include "gui/draw/RootView.h"

#include <cstdio>
#include <cstdlib>

#include "editor/GuiEditorBase.h"
#include "gui/draw/DrawContext.h"
#include "gui/draw/Picture.h"
#include "gui/draw/VstWindow.h"

namespace kelp {

namespace {

    constexpr VstInt32 childSlotsPerGrowth = 20;

}  // namespace

// --- construction ------------------------------------------------------------------------

RootView::RootView(const Rect& rect, NativeWindow hostWindow, GuiEditorBase* editor)
    : View(rect), ownerEditor(editor), hostWindow(hostWindow), background(nullptr), count(0), capacity(0),
      children(nullptr), modalView(nullptr), focusView(nullptr), firstDrawPending(true), isOpen(true),
      dropsEnabled(false), ownWindow(nullptr), graphicsLibrary(nullptr), standAlone(false), record(nullptr),
      savedCursor(nullptr), cursorSaved(false), holdsWindowClass(false)
{
    startWindowing(true);
    if (hostWindow)
        createOwnWindow();
}

RootView::RootView(const Rect& rect, const char* title, GuiEditorBase* editor, VstInt32 style)
    : View(rect), ownerEditor(editor), hostWindow(nullptr), background(nullptr), count(0), capacity(0),
      children(nullptr), modalView(nullptr), focusView(nullptr), firstDrawPending(true), isOpen(false),
      dropsEnabled(false), ownWindow(nullptr), graphicsLibrary(nullptr), standAlone(true), record(nullptr),
      savedCursor(nullptr), cursorSaved(false), holdsWindowClass(false)
{
    startWindowing(false);
    record = static_cast<VstWindow*>(std::calloc(1, sizeof(VstWindow)));
    if (!record)
        return;
    std::snprintf(record->title, sizeof record->title, "%s", title ? title : "");
    record->xPos = std::int16_t(bounds.left);
    record->yPos = std::int16_t(bounds.top);
    record->width = std::int16_t(bounds.width());
    record->height = std::int16_t(bounds.height());
    record->style = style;
}

RootView::~RootView()
{
    setCursorShape(0);
    enableFileDrops(false);
    detachAll(true);
    if (background)
        background->release();
    stopWindowing();
    if (standAlone)
        closeOwnWindow();
    std::free(record);
}

// --- drawing and input -------------------------------------------------------------------

void RootView::draw(DrawContext* context)
{
    firstDrawPending = false;
    if (background)
        background->draw(context, Rect{0, 0, background->getWidth(), background->getHeight()}, Point{0, 0});
    for (VstInt32 i = 0; i < count; ++i)
        children[i]->draw(context);
    if (modalView)
        modalView->draw(context);
}

void RootView::drawInRect(DrawContext* context, const Rect& updateRect)
{
    firstDrawPending = false;
    if (background)
        background->draw(context, updateRect, updateRect.topLeft());
    for (VstInt32 i = 0; i < count; ++i)
        if (children[i]->overlaps(updateRect))
            children[i]->drawInRect(context, updateRect);
    // The modal view is drawn whole, so it always ends up on top.
    if (modalView && modalView->overlaps(updateRect))
        modalView->draw(context);
}

void RootView::mouseDown(DrawContext* context, const Point& where)
{
    if (focusView) {
        focusView->focusLost(nullptr);
        focusView = nullptr;
    }
    const VstInt32 buttons = context ? DrawContext::mouseButtons() : -1;
    if (modalView) {
        if (modalView->containsPoint(where, buttons))
            modalView->mouseDown(context, where);
        return;
    }
    for (VstInt32 i = count - 1; i >= 0; --i) {
        View* child = children[i];
        if (child->mouseEnabled() && child->containsPoint(where, buttons)) {
            child->mouseDown(context, where);
            return;
        }
    }
}

void RootView::redrawIfDirty(DrawContext* context)
{
    if (!isOpen)
        return;
    if (modalView) {
        modalView->redrawIfDirty(context);
    } else if (isDirty()) {
        draw(context);
        setDirty(false);
    } else {
        for (VstInt32 i = 0; i < count; ++i)
            children[i]->redrawIfDirty(context);
    }
}

// Keys go to the focus view, then the modal view, then the children from the top, until
// one answers something other than -1 (not handled).
VstInt32 RootView::offerKey(VstInt32 (View::*handler)(VstKeyCode&), VstKeyCode& key)
{
    VstInt32 answer = focusView ? (focusView->*handler)(key) : -1;
    if (answer == -1 && modalView)
        answer = (modalView->*handler)(key);
    for (VstInt32 i = count - 1; answer == -1 && i >= 0; --i)
        answer = (children[i]->*handler)(key);
    return answer;
}

VstInt32 RootView::keyDown(VstKeyCode& key) { return offerKey(&View::keyDown, key); }

VstInt32 RootView::keyUp(VstKeyCode& key) { return offerKey(&View::keyUp, key); }

bool RootView::drop(char** items, VstInt32 itemCount, VstInt32 kind, const Point& where)
{
    if (modalView || focusView)
        return false;
    for (VstInt32 i = count - 1; i >= 0; --i) {
        View* child = children[i];
        if (child->mouseEnabled() && child->boundsRef().pointInsideClosed(where) &&
            child->drop(items, itemCount, kind, where))
            return true;
    }
    return false;
}

bool RootView::wheel(DrawContext* context, const Point&, float distance)
{
    View* view = childUnderCursor();
    if (!view)
        return false;
    Point position{};
    cursorInWindow(position);
    if (context)
        return view->wheel(context, position, distance);
    bool answer = false;
    withWindowContext([&](DrawContext* made) { answer = view->wheel(made, position, distance); });
    return answer;
}

GuiEditorBase* RootView::editor() { return ownerEditor; }

// --- children ----------------------------------------------------------------------------

bool RootView::attachChild(View* view)
{
    if (count == capacity) {
        const VstInt32 grown = capacity + childSlotsPerGrowth;
        auto* larger = static_cast<View**>(std::realloc(children, sizeof(View*) * std::size_t(grown)));
        if (!larger)
            return false;
        children = larger;
        capacity = grown;
    }
    children[count++] = view;
    view->setRoot(this);
    view->addedTo(this);
    return true;
}

bool RootView::detachChild(View* view, bool withRelease)
{
    VstInt32 kept = 0;
    bool found = false;
    for (VstInt32 i = 0; i < count; ++i) {
        if (children[i] != view) {
            children[kept++] = children[i];
            continue;
        }
        found = true;
        view->removedFrom(this);
        if (withRelease)
            view->release();
    }
    // The count follows the array: a view attached twice must not leave a stale slot behind.
    if (found)
        count = kept;
    return true;
}

bool RootView::detachAll(bool withRelease)
{
    if (focusView) {
        focusView->focusLost(nullptr);
        focusView = nullptr;
    }
    for (VstInt32 i = 0; i < count; ++i) {
        children[i]->removedFrom(this);
        if (withRelease)
            children[i]->release();
    }
    std::free(children);
    children = nullptr;
    count = 0;
    capacity = 0;
    return true;
}

bool RootView::hasChild(View* view) const
{
    for (VstInt32 i = 0; i < count; ++i)
        if (children[i] == view)
            return true;
    return false;
}

VstInt32 RootView::childCount() const { return count; }

View* RootView::childAt(VstInt32 index) const { return index >= 0 && index < count ? children[index] : nullptr; }

void RootView::setBackgroundPicture(Picture* picture) { Picture::replace(background, picture); }

bool RootView::setModalView(View* view)
{
    if (view && modalView)
        return false;
    if (modalView)
        modalView->removedFrom(this);
    modalView = view;
    if (modalView)
        modalView->addedTo(this);
    return true;
}

void RootView::setFocusView(View* view)
{
    View* previous = focusView;
    focusView = view;
    if (previous)
        previous->focusLost(nullptr);
}

void RootView::markDirtyIn(const Rect& rect)
{
    for (VstInt32 i = 0; i < count; ++i)
        if (children[i]->boundsRef().overlapsClosed(rect))
            children[i]->setDirty(true);
}

void RootView::drawView(View* view)
{
    withWindowContext([&](DrawContext* context) {
        if (view && hasChild(view))
            view->draw(context);
        else
            draw(context);
    });
}

void RootView::redrawDirty()
{
    if (!isOpen || firstDrawPending || !anythingDirty())
        return;
    withWindowContext([&](DrawContext* context) { redrawIfDirty(context); });
}

bool RootView::anythingDirty() const
{
    if (modalView || isDirty())
        return true;
    for (VstInt32 i = 0; i < count; ++i)
        if (children[i]->isDirty())
            return true;
    return false;
}

View* RootView::childUnderCursor()
{
    if (modalView)
        return modalView;
    Point where{};
    cursorInWindow(where);
    for (VstInt32 i = count - 1; i >= 0; --i)
        if (children[i]->boundsRef().pointInsideClosed(where))
            return children[i];
    return nullptr;
}

// --- closing while busy ------------------------------------------------------------------

RootView::ModalLoop::ModalLoop(RootView* root) : root(root), outer(root ? root->modalLoops : nullptr)
{
    if (root)
        root->modalLoops = this;
}

RootView::ModalLoop::~ModalLoop()
{
    if (root)
        root->modalLoops = outer;
}

void RootView::shutWindow()
{
    for (ModalLoop* loop = modalLoops; loop; loop = loop->outer) {
        if (!loop->wasEnded) {
            loop->wasEnded = true;
            loop->endLoop();
        }
    }
    setFocusView(nullptr);  // an open edit box takes its text and closes
    enableFileDrops(false);
    destroyOwnWindow();
    if (standAlone)
        closeOwnWindow();
    isOpen = false;
    hostWindow = nullptr;
}

// --- gateway -----------------------------------------------------------------------------

void RootView::runHostIdle()
{
    if (ownerEditor)
        ownerEditor->idleStep();
}

void RootView::beginEdit(VstInt32 tag)
{
    if (ownerEditor)
        ownerEditor->beginEdit(tag);
}

bool RootView::endEdit(VstInt32 tag) { return ownerEditor && ownerEditor->endEdit(tag); }

VstInt32 RootView::knobMode() { return GuiEditorBase::knobMode; }

bool RootView::askHostToResize(VstInt32 width, VstInt32 height)
{
    return ownerEditor && ownerEditor->sizeWindow(width, height);
}

bool RootView::closeOwnWindow()
{
    if (!standAlone || !isOpen || !hostWindow)
        return false;
    if (ownerEditor)
        ownerEditor->closeHostWindow(record);
    hostWindow = nullptr;
    return true;
}

}  // namespace kelp
