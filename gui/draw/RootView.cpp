#include "gui/draw/RootView.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "editor/GuiEditorBase.h"
#include "gui/draw/DrawContext.h"
#include "gui/draw/DropTarget.h"
#include "gui/draw/GraphicsLibrary.h"
#include "gui/draw/Picture.h"
#include "gui/draw/VstWindow.h"
#include "host/ModuleInstance.h"

namespace {

// Shared by every root of this library; the name carries the module handle so that two
// plug-in libraries in one host never share a class.
char className[32];
VstInt32 classUseCount = 0;

constexpr VstInt32 childSlotsPerGrowth = 20;

HINSTANCE instance() { return static_cast<HINSTANCE>(moduleInstance); }

// Runs f with a fresh context on the window's device context, then gives the device back.
template <typename F>
void withWindowContext(RootView* root, HWND window, F f)
{
    if (!window)
        return;
    HDC device = GetDC(window);
    if (!device)
        return;
    {
        DrawContext context(root, device, window);
        f(&context);
    }
    ReleaseDC(window, device);
}

RootView* rootOf(HWND window) { return reinterpret_cast<RootView*>(GetWindowLongPtrA(window, GWLP_USERDATA)); }

Rect rectOf(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

Rect windowRect(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return rectOf(r);
}

// Every resize here keeps the position and brings the window to the top of its siblings.
void sizeWindow(HWND window, VstInt32 width, VstInt32 height)
{
    SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE);
}

}  // namespace

// --- construction ------------------------------------------------------------------------

RootView::RootView(const Rect& rect, HWND hostWindow, GuiEditorBase* editor)
    : View(rect), ownerEditor(editor), hostWindow(hostWindow), background(nullptr), count(0), capacity(0),
      children(nullptr), modalView(nullptr), focusView(nullptr), firstDrawPending(true), isOpen(true),
      dropsEnabled(false), ownWindow(nullptr), graphicsLibrary(nullptr), standAlone(false), record(nullptr),
      savedCursor(nullptr), cursorSaved(false), holdsWindowClass(false)
{
    OleInitialize(nullptr);
    graphicsLibrary = GraphicsLibrary::load();
    if (hostWindow)
        createOwnWindow();
}

RootView::RootView(const Rect& rect, const char* title, GuiEditorBase* editor, VstInt32 style)
    : View(rect), ownerEditor(editor), hostWindow(nullptr), background(nullptr), count(0), capacity(0),
      children(nullptr), modalView(nullptr), focusView(nullptr), firstDrawPending(true), isOpen(false),
      dropsEnabled(false), ownWindow(nullptr), graphicsLibrary(nullptr), standAlone(true), record(nullptr),
      savedCursor(nullptr), cursorSaved(false), holdsWindowClass(false)
{
    OleInitialize(nullptr);
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
    OleUninitialize();
    if (graphicsLibrary)
        GraphicsLibrary::unload(graphicsLibrary);
    destroyOwnWindow();
    if (holdsWindowClass)
        unregisterWindowClass();
    if (standAlone)
        closeOwnWindow();
    std::free(record);
}

bool RootView::createOwnWindow()
{
    if (!holdsWindowClass) {
        registerWindowClass();
        holdsWindowClass = true;
    }
    ownWindow = CreateWindowExA(0, className, "Window", WS_CHILD | WS_VISIBLE, 0, 0, bounds.width(),
                                bounds.height(), hostWindow, nullptr, instance(), nullptr);
    if (!ownWindow)
        return false;
    SetWindowLongPtrA(ownWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    enableFileDrops(true);
    return true;
}

void RootView::destroyOwnWindow()
{
    if (ownWindow && IsWindow(ownWindow) && rootOf(ownWindow) == this) {
        SetWindowLongPtrA(ownWindow, GWLP_USERDATA, 0);  // late messages find no root
        DestroyWindow(ownWindow);
    }
    ownWindow = nullptr;
}

void RootView::registerWindowClass()
{
    if (++classUseCount != 1)
        return;
    std::snprintf(className, sizeof className, "Plugin%08x", unsigned(reinterpret_cast<std::uintptr_t>(moduleInstance)));
    WNDCLASSA windowClass{};
    windowClass.style = CS_GLOBALCLASS;
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = instance();
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = className;
    RegisterClassA(&windowClass);
    DrawContext::setMouseButtonsSwapped(GetSystemMetrics(SM_SWAPBUTTON) > 0);
}

void RootView::unregisterWindowClass()
{
    if (--classUseCount == 0)
        UnregisterClassA(className, instance());
}

const char* RootView::windowClassName() { return className; }

VstInt32 RootView::windowClassUseCount() { return classUseCount; }

// --- window procedure --------------------------------------------------------------------

// Every message holds the editor busy: a host that closes the editor or the effect from
// inside (a callback during a drag, a timer in a menu loop) must not free this root under us.
LRESULT CALLBACK RootView::windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    RootView* root = rootOf(window);
    if (!root)
        return DefWindowProcA(window, message, wParam, lParam);
    EditorBase::Busy busy(root->ownerEditor);
    return root->handleMessage(window, message, wParam, lParam);
}

LRESULT RootView::handleMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_DESTROY:
        windowDestroyed();
        break;
    case WM_PAINT: {
        RECT update;
        if (GetUpdateRect(window, &update, FALSE))
            return paint(window);
        break;
    }
    case WM_MEASUREITEM:
        if (measureMenuItem(window, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)))
            return 1;
        break;
    case WM_DRAWITEM:
        if (drawMenuItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam)))
            return 1;
        break;
    case WM_CTLCOLOREDIT:
        if (HBRUSH brush = editBoxBrush(reinterpret_cast<HDC>(wParam)))
            return reinterpret_cast<LRESULT>(brush);
        break;
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
        return press(window, lParam);
    default:
        break;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

// The window goes away with its parent when the host closes first: nothing is drawn or
// resized from then on, and the drop registration is given back while the window exists.
void RootView::windowDestroyed()
{
    enableFileDrops(false);
    isOpen = false;
    hostWindow = nullptr;
}

LRESULT RootView::paint(HWND window)
{
    PAINTSTRUCT paintRecord;
    HDC device = BeginPaint(window, &paintRecord);
    {
        DrawContext context(this, device, window);
        drawInRect(&context, rectOf(paintRecord.rcPaint));
    }
    EndPaint(window, &paintRecord);
    return 0;
}

LRESULT RootView::press(HWND window, LPARAM lParam)
{
    // Both halves unsigned, as the message packs them.
    const Point where{VstInt32(std::uint16_t(lParam & 0xFFFF)), VstInt32(std::uint16_t((lParam >> 16) & 0xFFFF))};
    withWindowContext(this, window, [&](DrawContext* context) { mouseDown(context, where); });
    return 0;
}

bool RootView::measureMenuItem(HWND window, MEASUREITEMSTRUCT* item)
{
    if (item->CtlType != ODT_MENU || item->itemData == 0 || !focusView)
        return false;
    auto* source = dynamic_cast<MenuItemPainterSource*>(focusView);
    MenuItemPainter* painter = source ? source->itemPainter() : nullptr;
    if (!painter)
        return false;
    Point size{0, 0};
    withWindowContext(this, window, [&](DrawContext* context) {
        painter->measureItem(reinterpret_cast<void*>(item->itemData), context, size);
    });
    item->itemWidth = UINT(size.h);
    item->itemHeight = UINT(size.v);
    return true;
}

bool RootView::drawMenuItem(DRAWITEMSTRUCT* item)
{
    if (item->CtlType != ODT_MENU || item->itemData == 0 || !focusView)
        return false;
    auto* source = dynamic_cast<MenuItemPainterSource*>(focusView);
    MenuItemPainter* painter = source ? source->itemPainter() : nullptr;
    if (!painter)
        return false;
    VstInt32 state = 0;
    if (item->itemState & ODS_CHECKED)
        state += 1;
    if (item->itemState & ODS_DISABLED)
        state += 2;
    if (item->itemState & ODS_SELECTED)
        state += 4;
    Rect area = rectOf(item->rcItem);
    area.bottom += 1;
    DrawContext context(this, item->hDC, nullptr);
    painter->drawItem(reinterpret_cast<void*>(item->itemData), VstInt32(item->itemID), state, &context, area);
    return true;
}

HBRUSH RootView::editBoxBrush(HDC editContext)
{
    auto* colors = dynamic_cast<EditBoxColors*>(focusView);
    if (!colors)
        return nullptr;
    const Color back = colors->editBackColor();
    SetTextColor(editContext, colors->editTextColor().platformColor());
    SetBkColor(editContext, back.platformColor());
    HBRUSH& brush = colors->editBackBrush();
    if (brush)
        GraphicsLibrary::deleteObject(brush);
    brush = GraphicsLibrary::created(CreateSolidBrush(back.platformColor()));
    return brush;
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
    withWindowContext(this, ownWindow, [&](DrawContext* made) { answer = view->wheel(made, position, distance); });
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

void RootView::setBackgroundPicture(Picture* picture)
{
    if (picture)
        picture->retain();
    if (background)
        background->release();
    background = picture;
}

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
    withWindowContext(this, ownWindow, [&](DrawContext* context) {
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
    withWindowContext(this, ownWindow, [&](DrawContext* context) { redrawIfDirty(context); });
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

bool RootView::cursorInWindow(Point& where) const
{
    POINT cursor{};
    GetCursorPos(&cursor);
    where = Point{cursor.x, cursor.y};
    if (ownWindow) {
        const Rect window = windowRect(ownWindow);
        where = where - window.topLeft();
    }
    return true;
}

void RootView::setCursorShape(VstInt32 kind)
{
    static const LPCSTR shapes[] = {IDC_WAIT, IDC_SIZEWE, IDC_SIZENS, IDC_SIZEALL, IDC_SIZENESW, IDC_SIZENWSE};
    if (!cursorSaved) {
        savedCursor = GetCursor();
        cursorSaved = true;
    }
    if (kind == 0)
        SetCursor(savedCursor);
    else if (kind >= 1 && kind <= 6)
        SetCursor(LoadCursorA(nullptr, shapes[kind - 1]));
}

bool RootView::enableFileDrops(bool on)
{
    if (!dropsEnabled && !on)
        return true;
    if (!ownWindow)
        return false;
    if (on) {
        // Our own reference bridges the registration: a refused target is deleted here.
        DropTarget* target = new DropTarget(this);
        target->AddRef();
        const HRESULT result = RegisterDragDrop(ownWindow, target);
        target->Release();
        if (FAILED(result))
            return false;
    } else {
        RevokeDragDrop(ownWindow);
    }
    dropsEnabled = on;
    return true;
}

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

VstInt32 RootView::tickCount() const { return ownerEditor ? VstInt32(GetTickCount()) : 0; }

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

bool RootView::resizeTo(VstInt32 width, VstInt32 height)
{
    if (!isOpen || (width == bounds.width() && height == bounds.height()))
        return false;
    if (askHostToResize(width, height)) {
        sizeWindow(ownWindow, width, height);
        return true;
    }
    bounds.right = bounds.left + width;
    bounds.bottom = bounds.top + height;

    // Each enclosing window keeps the margin it had around its child, up to the first one
    // that frames its child with exactly the dialog frame; an MDI client and anything
    // above it, and anything far larger than its child, are left alone.
    const VstInt32 frame = 2 * GetSystemMetrics(SM_CYDLGFRAME);
    VstInt32 dx = 0;
    VstInt32 dy = 0;
    HWND h = ownWindow;
    if (frame != 0) {
        do {
            if (!h)
                return true;
            HWND p = GetParent(h);
            if (!p)
                break;
            char name[1024] = "";
            GetClassNameA(p, name, sizeof name);
            if (std::strcmp(name, "MDIClient") == 0)
                break;
            const Rect child = windowRect(h);
            const Rect parentRect = windowRect(p);
            sizeWindow(h, width + dx, height + dy);
            dx = parentRect.width() - child.width();
            dy = parentRect.height() - child.height();
            if (dx > 80 || dy > 80)
                return true;
            h = p;
        } while (dx != frame);
    }
    if (!h)
        return true;
    sizeWindow(h, width + dx, height + dy);
    return true;
}

HWND RootView::hostFrameWindow() const
{
    HWND h = ownWindow;
    const Rect first = windowRect(h);
    while (h) {
        if (GetWindowLongA(h, GWL_STYLE) & (WS_CAPTION | WS_BORDER))
            break;
        HWND p = GetParent(h);
        if (!p)
            break;
        const Rect parentRect = windowRect(p);
        if (std::abs(parentRect.width() - first.width()) > 60 || std::abs(parentRect.height() - first.height()) > 60)
            break;
        h = p;
    }
    return h;
}

bool RootView::hostFramePosition(VstInt32& x, VstInt32& y)
{
    if (!isOpen)
        return false;
    HWND frame = hostFrameWindow();
    const Rect r = windowRect(frame);
    POINT corner{r.left, r.top};
    MapWindowPoints(nullptr, GetParent(frame), &corner, 1);
    x = corner.x;
    y = corner.y;
    return true;
}

bool RootView::hostFrameRect(Rect& rect)
{
    if (!isOpen)
        return false;
    HWND w = GetParent(ownWindow);
    HWND a = GetParent(GetParent(w));
    const Rect r = windowRect(w);
    POINT corner{r.left, r.top};
    MapWindowPoints(nullptr, a, &corner, 1);
    rect = Rect::fromSize(corner.x, corner.y, r.width(), r.height());
    return true;
}

bool RootView::openOwnWindow(const Point* position)
{
    if (!standAlone || !record)
        return false;
    if (isOpen) {
        BringWindowToTop(GetParent(GetParent(ownWindow)));
        return false;
    }
    if (position) {
        record->xPos = std::int16_t(position->h);
        record->yPos = std::int16_t(position->v);
    }
    hostWindow = ownerEditor ? static_cast<HWND>(ownerEditor->openHostWindow(record)) : nullptr;
    if (hostWindow && createOwnWindow())
        isOpen = true;
    return isOpen;
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
