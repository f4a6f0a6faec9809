// DrawContext on GDI: every drawing operation and state change reaches the borrowed device
// context here, with the origin added. The context selects a pen, a brush and a font of its
// own and puts the device's previous ones back when it goes. Also the live mouse state on
// user32 (buttons through GetAsyncKeyState, swapped when the system swaps them; the cursor
// relative to the window's screen position).
// Quirks: fillRect fills with FillRect inside the outline, so that it covers exactly what
// frameRect leaves inside; filled shapes select the null pen so that they have no outline.
#include "gui/draw/DrawContext.h"

#include <windows.h>

#include <cstring>
#include <new>

#include "gui/draw/GraphicsLibrary.h"

namespace kelp {

namespace {

    constexpr int fixedPoints = 30;

    bool mouseButtonsSwapped = false;

    HDC deviceOf(NativeSurface surface) { return static_cast<HDC>(surface); }

    bool keyDown(int virtualKey) { return ::GetAsyncKeyState(virtualKey) < 0; }

    // The tolerance square around a press that tells a second click from a new one.
    Rect toleranceSquare(const Point& p) { return Rect{p.h - 2, p.v - 2, p.h + 2, p.v + 2}; }

    // Local points moved to device points: into the caller's fixed array for short lists, into a new
    // array (to be deleted by the caller) for longer ones; null when there is nothing to draw.
    POINT* toDevice(const Point* points, int count, const Point& origin, POINT (&fixed)[fixedPoints])
    {
        if (points == nullptr || count <= 0)
            return nullptr;
        POINT* device = count > fixedPoints ? new (std::nothrow) POINT[count] : fixed;
        if (device == nullptr)
            return nullptr;
        for (int i = 0; i < count; ++i)
            device[i] = POINT{points[i].h + origin.h, points[i].v + origin.v};
        return device;
    }

    // Filled shapes are drawn without an outline; answers the pen to put back.
    HGDIOBJ selectNullPen(HDC dc) { return ::SelectObject(dc, ::GetStockObject(NULL_PEN)); }

    void restorePen(HDC dc, HGDIOBJ pen)
    {
        if (pen != nullptr)
            ::SelectObject(dc, pen);
    }

}  // namespace

DrawContext::DrawContext(RootView* root, NativeSurface deviceContext, NativeWindow window)
    : deviceContext(deviceContext), window(window), root(root)
{
    clipRect = rootBounds();
    HDC dc = deviceOf(deviceContext);
    if (dc != nullptr) {
        savedBrush = ::GetCurrentObject(dc, OBJ_BRUSH);
        savedPen = ::GetCurrentObject(dc, OBJ_PEN);
        savedFont = ::GetCurrentObject(dc, OBJ_FONT);
        ::SetBkMode(dc, TRANSPARENT);
    }
    screenOrigin = windowCorner(window);
    if (dc != nullptr) {
        setPenColor(penColor);
        setPenStyle(penStyle);
        setBrushColor(brushColor);
        setTextColor(textColor);
    }
}

DrawContext::~DrawContext()
{
    HDC dc = deviceOf(deviceContext);
    if (savedBrush != nullptr)
        ::SelectObject(dc, savedBrush);
    if (savedPen != nullptr)
        ::SelectObject(dc, savedPen);
    if (savedFont != nullptr)
        ::SelectObject(dc, savedFont);
    GraphicsLibrary::deleteObject(ownBrush);
    GraphicsLibrary::deleteObject(ownPen);
    GraphicsLibrary::deleteObject(ownFont);
}

// ---- Lines and shapes

void DrawContext::moveTo(const Point& p)
{
    ::MoveToEx(deviceOf(deviceContext), p.h + origin.h, p.v + origin.v, nullptr);
}

void DrawContext::lineTo(const Point& p) { ::LineTo(deviceOf(deviceContext), p.h + origin.h, p.v + origin.v); }

void DrawContext::drawPolyline(const Point* points, int count)
{
    POINT fixed[fixedPoints];
    POINT* device = toDevice(points, count, origin, fixed);
    if (device == nullptr)
        return;
    ::Polyline(deviceOf(deviceContext), device, count);
    if (device != fixed)
        delete[] device;
}

void DrawContext::fillPolygon(const Point* points, int count)
{
    POINT fixed[fixedPoints];
    POINT* device = toDevice(points, count, origin, fixed);
    if (device == nullptr)
        return;
    HDC dc = deviceOf(deviceContext);
    const HGDIOBJ pen = selectNullPen(dc);
    ::Polygon(dc, device, count);
    restorePen(dc, pen);
    if (device != fixed)
        delete[] device;
}

// Fills exactly the inside of the outline frameRect(r) draws.
void DrawContext::fillRect(const Rect& r)
{
    HDC dc = deviceOf(deviceContext);
    const HGDIOBJ pen = selectNullPen(dc);
    RECT inside{r.left + origin.h + 1, r.top + origin.v + 1, r.right + origin.h, r.bottom + origin.v};
    ::FillRect(dc, &inside, static_cast<HBRUSH>(ownBrush));
    restorePen(dc, pen);
}

void DrawContext::frameArc(const Rect& r, const Point& start, const Point& end)
{
    const int x = origin.h;
    const int y = origin.v;
    ::Arc(deviceOf(deviceContext), r.left + x, r.top + y, r.right + x + 1, r.bottom + y + 1, start.h + x, start.v + y,
          end.h + x, end.v + y);
}

void DrawContext::fillPie(const Rect& r, const Point& start, const Point& end)
{
    const int x = origin.h;
    const int y = origin.v;
    HDC dc = deviceOf(deviceContext);
    const HGDIOBJ pen = selectNullPen(dc);
    ::Pie(dc, r.left + x + 1, r.top + y + 1, r.right + x, r.bottom + y, start.h + x, start.v + y, end.h + x, end.v + y);
    restorePen(dc, pen);
}

void DrawContext::fillEllipse(const Rect& r)
{
    const int x = origin.h;
    const int y = origin.v;
    HDC dc = deviceOf(deviceContext);
    const HGDIOBJ pen = selectNullPen(dc);
    ::Ellipse(dc, r.left + x + 1, r.top + y + 1, r.right + x + 1, r.bottom + y + 1);
    restorePen(dc, pen);
}

void DrawContext::setPixel(const Point& p, const Color& c)
{
    ::SetPixel(deviceOf(deviceContext), p.h + origin.h, p.v + origin.v, c.platformColor());
}

Color DrawContext::getPixel(const Point& p)
{
    return Color::fromPlatform(::GetPixel(deviceOf(deviceContext), p.h + origin.h, p.v + origin.v) & 0xFFFFFF);
}

void DrawContext::floodFill(const Point& p)
{
    const int x = p.h + origin.h;
    const int y = p.v + origin.v;
    HDC dc = deviceOf(deviceContext);
    ::ExtFloodFill(dc, x, y, ::GetPixel(dc, x, y), FLOODFILLSURFACE);
}

void DrawContext::copyFrom(DrawContext* source, const Rect& r, const Point& dest)
{
    if (source == nullptr)
        return;
    ::BitBlt(deviceOf(deviceContext), dest.h, dest.v, r.width(), r.height(), deviceOf(source->deviceContext),
             r.left + source->origin.h, r.top + source->origin.v, SRCCOPY);
}

// ---- The device's side of the state

void DrawContext::applyPen()
{
    LOGPEN description{};
    description.lopnStyle = penStyle == penDotted ? PS_DOT : PS_SOLID;
    description.lopnWidth = POINT{penWidth, penWidth};
    description.lopnColor = penColor.platformColor();
    HPEN pen = GraphicsLibrary::created(::CreatePenIndirect(&description));
    ::SelectObject(deviceOf(deviceContext), pen);
    GraphicsLibrary::deleteObject(ownPen);
    ownPen = pen;
}

void DrawContext::applyMixMode()
{
    const int rop = mixMode == mixMerge ? R2_MERGEPEN : mixMode == mixNotXor ? R2_NOTXORPEN : R2_COPYPEN;
    ::SetROP2(deviceOf(deviceContext), rop);
}

void DrawContext::applyBrush()
{
    HDC dc = deviceOf(deviceContext);
    ::SetBkColor(dc, brushColor.platformColor());  // opaque text backgrounds use the fill colour
    LOGBRUSH description{BS_SOLID, brushColor.platformColor(), 0};
    HBRUSH brush = GraphicsLibrary::created(::CreateBrushIndirect(&description));
    if (brush == nullptr)
        return;  // keep drawing with the previous brush
    ::SelectObject(dc, brush);
    GraphicsLibrary::deleteObject(ownBrush);
    ownBrush = brush;
}

void DrawContext::applyTextColor() { ::SetTextColor(deviceOf(deviceContext), textColor.platformColor()); }

void DrawContext::applyFont(int style)
{
    LOGFONTA description{};
    description.lfHeight = -fontSize;  // character height, not cell height
    description.lfWeight = (style & fontBold) != 0 || fontId == fontSystem ? FW_BOLD : FW_NORMAL;
    description.lfItalic = (style & fontItalic) != 0;
    description.lfUnderline = (style & fontUnderline) != 0;
    std::strcpy(description.lfFaceName, fontFace(fontId));
    description.lfPitchAndFamily = fontId == fontSymbol ? FF_DECORATIVE : VARIABLE_PITCH | FF_SWISS;
    description.lfClipPrecision = CLIP_STROKE_PRECIS;
    description.lfOutPrecision = OUT_STRING_PRECIS;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfCharSet = ANSI_CHARSET;

    HFONT font = GraphicsLibrary::created(::CreateFontIndirectA(&description));
    if (font == nullptr)
        return;
    ::SelectObject(deviceOf(deviceContext), font);
    GraphicsLibrary::deleteObject(ownFont);
    ownFont = font;
}

void DrawContext::applyClip()
{
    HRGN region =
        GraphicsLibrary::created(::CreateRectRgn(clipRect.left, clipRect.top, clipRect.right, clipRect.bottom));
    ::SelectClipRgn(deviceOf(deviceContext), region);  // the device context keeps its own copy
    GraphicsLibrary::deleteObject(region);
}

// ---- Text

int DrawContext::textWidth(const char* text)
{
    if (text == nullptr)
        return 0;
    SIZE extent{};
    ::GetTextExtentPoint32A(deviceOf(deviceContext), text, int(std::strlen(text)), &extent);
    return extent.cx;
}

void DrawContext::drawText(const char* text, const Rect& r, bool opaque, int align)
{
    if (text == nullptr)
        return;
    HDC dc = deviceOf(deviceContext);
    ::SetBkMode(dc, opaque ? OPAQUE : TRANSPARENT);
    RECT box{r.left + origin.h, r.top + origin.v, r.right + origin.h, r.bottom + origin.v};
    UINT format = DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX;
    if (align == alignCenter) {
        format |= DT_CENTER;
    } else if (align == alignRight) {
        format |= DT_RIGHT;
    } else {
        format |= DT_LEFT;
        box.left += 1;
    }
    ::DrawTextA(dc, text, -1, &box, format);
    ::SetBkMode(dc, TRANSPARENT);
}

// ---- Mouse

void DrawContext::setMouseButtonsSwapped(bool swapped) { mouseButtonsSwapped = swapped; }

int DrawContext::mouseButtons()
{
    int buttons = 0;
    if (keyDown(VK_LBUTTON))
        buttons |= mouseButtonsSwapped ? mouseRight : mouseLeft;
    if (keyDown(VK_MBUTTON))
        buttons |= mouseMiddle;
    if (keyDown(VK_RBUTTON))
        buttons |= mouseButtonsSwapped ? mouseLeft : mouseRight;
    if (keyDown(VK_SHIFT))
        buttons |= modifierShift;
    if (keyDown(VK_CONTROL))
        buttons |= modifierControl;
    if (keyDown(VK_MENU))
        buttons |= modifierAlt;
    return buttons;
}

int DrawContext::doubleClickTime() { return int(::GetDoubleClickTime()); }

Point DrawContext::windowCorner(NativeWindow window)
{
    RECT frame{};
    if (window == nullptr || !::GetWindowRect(static_cast<HWND>(window), &frame))
        return Point{};
    return Point{frame.left, frame.top};
}

void DrawContext::cursorPosition(Point& where) const
{
    POINT cursor{};
    ::GetCursorPos(&cursor);
    where = Point{cursor.x - screenOrigin.h, cursor.y - screenOrigin.v};
}

// Busy-polls for a second press; a second press found is consumed and never reaches the window.
bool DrawContext::detectDoubleClick()
{
    Point where;
    cursorPosition(where);
    const Rect square = toleranceSquare(where);
    const DWORD limit = DWORD(::GetMessageTime()) + ::GetDoubleClickTime();
    auto timeLeft = [limit] { return LONG(::GetTickCount() - limit) < 0; };  // wrap-safe
    if (!timeLeft())
        return false;
    do {
        cursorPosition(where);
        if (!square.pointInside(where))
            return false;
        MSG message;
        if (::PeekMessageA(&message, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE | PM_NOYIELD))
            return true;
    } while (timeLeft());
    return false;
}

}  // namespace kelp
