// The root view's window on Win32: a child window "Window" of the class "Plugin%08x" (the
// module handle in hex, so that two plug-in libraries in one host never share a class),
// registered with the first root and unregistered with the last. Its procedure handles
//   WM_PAINT        draws the views over the update region (only when there is one);
//   WM_L/R/MBUTTONDOWN  a press, with both halves of the position unsigned;
//   WM_MEASUREITEM, WM_DRAWITEM  owner-drawn menu items of the focus view;
//   WM_CTLCOLOREDIT the colours of the focus view's edit box;
//   WM_DESTROY      the window went with its parent: nothing is drawn from then on.
// Every message holds the editor busy, so that a host closing the editor or the effect from
// inside (a callback during a drag, a timer in a menu's loop) frees nothing under us.
// Also here: the window's device contexts, the cursor, OLE file drops, and resizing through
// the host or up the chain of enclosing windows.
#include "gui/draw/RootView.h"

#include <windows.h>

#include <cstdlib>
#include <cstring>

#include "editor/GuiEditorBase.h"
#include "gui/draw/DrawContext.h"
#include "gui/draw/DropTarget.h"
#include "gui/draw/GraphicsLibrary.h"
#include "gui/draw/VstWindow.h"
#include "host/ModuleInstance.h"

namespace kelp {

namespace {

    char className[32];
    VstInt32 classUseCount = 0;

    HINSTANCE instance() { return static_cast<HINSTANCE>(moduleInstance); }

    HWND handleOf(NativeWindow window) { return static_cast<HWND>(window); }

    RootView* rootOf(HWND window) { return reinterpret_cast<RootView*>(::GetWindowLongPtrA(window, GWLP_USERDATA)); }

    Rect rectOf(const RECT& r) { return Rect{r.left, r.top, r.right, r.bottom}; }

    Rect windowRect(HWND window)
    {
        RECT r{};
        ::GetWindowRect(window, &r);
        return rectOf(r);
    }

    // Every resize here keeps the position and brings the window to the top of its siblings.
    void sizeWindow(HWND window, VstInt32 width, VstInt32 height)
    {
        ::SetWindowPos(window, nullptr, 0, 0, width, height, SWP_NOMOVE);
    }

}  // namespace

struct RootView::Window {
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        RootView* root = rootOf(window);
        if (!root)
            return ::DefWindowProcA(window, message, wParam, lParam);
        EditorBase::Busy busy(root->ownerEditor);
        try {
            return handle(*root, window, message, wParam, lParam);
        } catch (...) {  // nothing may unwind into the system's message dispatch
            return 0;
        }
    }

    static LRESULT handle(RootView& root, HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        switch (message) {
        case WM_DESTROY:
            root.windowDestroyed();
            break;
        case WM_PAINT: {
            RECT update;
            if (::GetUpdateRect(window, &update, FALSE))
                return paint(root, window);
            break;
        }
        case WM_MEASUREITEM:
            if (measureMenuItem(root, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam)))
                return 1;
            break;
        case WM_DRAWITEM:
            if (drawMenuItem(root, reinterpret_cast<DRAWITEMSTRUCT*>(lParam)))
                return 1;
            break;
        case WM_CTLCOLOREDIT:
            if (HBRUSH brush = editBoxBrush(root, reinterpret_cast<HDC>(wParam)))
                return reinterpret_cast<LRESULT>(brush);
            break;
        case WM_LBUTTONDOWN:
        case WM_RBUTTONDOWN:
        case WM_MBUTTONDOWN:
            return press(root, lParam);
        default:
            break;
        }
        return ::DefWindowProcA(window, message, wParam, lParam);
    }

    static LRESULT paint(RootView& root, HWND window)
    {
        PAINTSTRUCT paintRecord;
        HDC device = ::BeginPaint(window, &paintRecord);
        {
            DrawContext context(&root, device, window);
            root.drawInRect(&context, rectOf(paintRecord.rcPaint));
        }
        ::EndPaint(window, &paintRecord);
        return 0;
    }

    static LRESULT press(RootView& root, LPARAM lParam)
    {
        // Both halves unsigned, as the message packs them.
        const Point where{VstInt32(std::uint16_t(lParam & 0xFFFF)), VstInt32(std::uint16_t((lParam >> 16) & 0xFFFF))};
        root.withWindowContext([&](DrawContext* context) { root.mouseDown(context, where); });
        return 0;
    }

    static MenuItemPainter* menuItemPainter(RootView& root, UINT controlType, ULONG_PTR itemData)
    {
        if (controlType != ODT_MENU || itemData == 0 || !root.focusView)
            return nullptr;
        auto* source = dynamic_cast<MenuItemPainterSource*>(root.focusView);
        return source ? source->itemPainter() : nullptr;
    }

    static bool measureMenuItem(RootView& root, MEASUREITEMSTRUCT* item)
    {
        MenuItemPainter* painter = menuItemPainter(root, item->CtlType, item->itemData);
        if (!painter)
            return false;
        Point size{0, 0};
        root.withWindowContext([&](DrawContext* context) {
            painter->measureItem(reinterpret_cast<void*>(item->itemData), context, size);
        });
        item->itemWidth = UINT(size.h);
        item->itemHeight = UINT(size.v);
        return true;
    }

    static bool drawMenuItem(RootView& root, DRAWITEMSTRUCT* item)
    {
        MenuItemPainter* painter = menuItemPainter(root, item->CtlType, item->itemData);
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
        DrawContext context(&root, item->hDC, nullptr);
        painter->drawItem(reinterpret_cast<void*>(item->itemData), VstInt32(item->itemID), state, &context, area);
        return true;
    }

    static HBRUSH editBoxBrush(RootView& root, HDC editContext)
    {
        auto* colors = dynamic_cast<EditBoxColors*>(root.focusView);
        if (!colors)
            return nullptr;
        const Color back = colors->editBackColor();
        ::SetTextColor(editContext, colors->editTextColor().platformColor());
        ::SetBkColor(editContext, back.platformColor());
        NativeObject& brush = colors->editBackBrush();
        if (brush)
            GraphicsLibrary::deleteObject(brush);
        brush = GraphicsLibrary::created(::CreateSolidBrush(back.platformColor()));
        return static_cast<HBRUSH>(brush);
    }
};

// --- construction ------------------------------------------------------------------------

void RootView::startWindowing(bool loadGraphics)
{
    ::OleInitialize(nullptr);
    if (loadGraphics)
        graphicsLibrary = GraphicsLibrary::load();
}

void RootView::stopWindowing()
{
    ::OleUninitialize();
    if (graphicsLibrary)
        GraphicsLibrary::unload(graphicsLibrary);
    destroyOwnWindow();
    if (holdsWindowClass)
        unregisterWindowClass();
}

bool RootView::createOwnWindow()
{
    if (!holdsWindowClass) {
        registerWindowClass();
        holdsWindowClass = true;
    }
    HWND window = ::CreateWindowExA(0, className, "Window", WS_CHILD | WS_VISIBLE, 0, 0, bounds.width(),
                                    bounds.height(), handleOf(hostWindow), nullptr, instance(), nullptr);
    ownWindow = window;
    if (!window)
        return false;
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    enableFileDrops(true);
    return true;
}

void RootView::destroyOwnWindow()
{
    HWND window = handleOf(ownWindow);
    if (window && ::IsWindow(window) && rootOf(window) == this) {
        ::SetWindowLongPtrA(window, GWLP_USERDATA, 0);  // late messages find no root
        ::DestroyWindow(window);
    }
    ownWindow = nullptr;
}

void RootView::registerWindowClass()
{
    if (++classUseCount != 1)
        return;
    std::snprintf(className, sizeof className, "Plugin%08x",
                  unsigned(reinterpret_cast<std::uintptr_t>(moduleInstance)));
    WNDCLASSA windowClass{};
    windowClass.style = CS_GLOBALCLASS;
    windowClass.lpfnWndProc = Window::procedure;
    windowClass.hInstance = instance();
    windowClass.hCursor = ::LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = ::GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = className;
    ::RegisterClassA(&windowClass);
    DrawContext::setMouseButtonsSwapped(::GetSystemMetrics(SM_SWAPBUTTON) > 0);
}

void RootView::unregisterWindowClass()
{
    if (--classUseCount == 0)
        ::UnregisterClassA(className, instance());
}

const char* RootView::windowClassName() { return className; }

VstInt32 RootView::windowClassUseCount() { return classUseCount; }

// The window goes away with its parent when the host closes first: nothing is drawn or
// resized from then on, and the drop registration is given back while the window exists.
void RootView::windowDestroyed()
{
    enableFileDrops(false);
    isOpen = false;
    hostWindow = nullptr;
}

// --- the window's device, cursor and drops -------------------------------------------------

void RootView::withWindowContext(const std::function<void(DrawContext*)>& draw)
{
    HWND window = handleOf(ownWindow);
    if (!window)
        return;
    HDC device = ::GetDC(window);
    if (!device)
        return;
    {
        DrawContext context(this, device, window);
        draw(&context);
    }
    ::ReleaseDC(window, device);
}

bool RootView::cursorInWindow(Point& where) const
{
    POINT cursor{};
    ::GetCursorPos(&cursor);
    where = Point{cursor.x, cursor.y};
    if (ownWindow)
        where = where - windowRect(handleOf(ownWindow)).topLeft();
    return true;
}

void RootView::setCursorShape(VstInt32 kind)
{
    static const LPCSTR shapes[] = {IDC_WAIT, IDC_SIZEWE, IDC_SIZENS, IDC_SIZEALL, IDC_SIZENESW, IDC_SIZENWSE};
    if (!cursorSaved) {
        savedCursor = ::GetCursor();
        cursorSaved = true;
    }
    if (kind == 0)
        ::SetCursor(static_cast<HCURSOR>(savedCursor));
    else if (kind >= 1 && kind <= 6)
        ::SetCursor(::LoadCursorA(nullptr, shapes[kind - 1]));
}

bool RootView::enableFileDrops(bool on)
{
    if (!dropsEnabled && !on)
        return true;
    HWND window = handleOf(ownWindow);
    if (!window)
        return false;
    if (on) {
        if (!DropTarget::registerWith(window, this))
            return false;
    } else {
        ::RevokeDragDrop(window);
    }
    dropsEnabled = on;
    return true;
}

VstInt32 RootView::tickCount() const { return ownerEditor ? VstInt32(::GetTickCount()) : 0; }

// --- the host's window ---------------------------------------------------------------------

bool RootView::resizeTo(VstInt32 width, VstInt32 height)
{
    if (!isOpen || (width == bounds.width() && height == bounds.height()))
        return false;
    if (askHostToResize(width, height)) {
        sizeWindow(handleOf(ownWindow), width, height);
        return true;
    }
    bounds.right = bounds.left + width;
    bounds.bottom = bounds.top + height;

    // Each enclosing window keeps the margin it had around its child, up to the first one
    // that frames its child with exactly the dialog frame; an MDI client and anything
    // above it, and anything far larger than its child, are left alone.
    const VstInt32 frame = 2 * ::GetSystemMetrics(SM_CYDLGFRAME);
    VstInt32 dx = 0;
    VstInt32 dy = 0;
    HWND h = handleOf(ownWindow);
    if (frame != 0) {
        do {
            if (!h)
                return true;
            HWND p = ::GetParent(h);
            if (!p)
                break;
            char name[1024] = "";
            ::GetClassNameA(p, name, sizeof name);
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

NativeWindow RootView::hostFrameWindow() const
{
    HWND h = handleOf(ownWindow);
    const Rect first = windowRect(h);
    while (h) {
        if (::GetWindowLongA(h, GWL_STYLE) & (WS_CAPTION | WS_BORDER))
            break;
        HWND p = ::GetParent(h);
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
    HWND frame = handleOf(hostFrameWindow());
    const Rect r = windowRect(frame);
    POINT corner{r.left, r.top};
    ::MapWindowPoints(nullptr, ::GetParent(frame), &corner, 1);
    x = corner.x;
    y = corner.y;
    return true;
}

bool RootView::hostFrameRect(Rect& rect)
{
    if (!isOpen)
        return false;
    HWND w = ::GetParent(handleOf(ownWindow));
    HWND a = ::GetParent(::GetParent(w));
    const Rect r = windowRect(w);
    POINT corner{r.left, r.top};
    ::MapWindowPoints(nullptr, a, &corner, 1);
    rect = Rect::fromSize(corner.x, corner.y, r.width(), r.height());
    return true;
}

bool RootView::openOwnWindow(const Point* position)
{
    if (!standAlone || !record)
        return false;
    if (isOpen) {
        ::BringWindowToTop(::GetParent(::GetParent(handleOf(ownWindow))));
        return false;
    }
    if (position) {
        record->xPos = std::int16_t(position->h);
        record->yPos = std::int16_t(position->v);
    }
    hostWindow = ownerEditor ? ownerEditor->openHostWindow(record) : nullptr;
    if (hostWindow && createOwnWindow())
        isOpen = true;
    return isOpen;
}

}  // namespace kelp
