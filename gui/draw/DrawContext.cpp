#include "gui/draw/DrawContext.h"

#include <cstring>
#include <new>

#include "gui/draw/GraphicsLibrary.h"
#include "gui/draw/RootView.h"

namespace {

struct FontSlot {
    const char* face;
    int size;
};

constexpr FontSlot fontTable[fontCount] = {
    {"Arial", 12}, {"Arial", 18}, {"Arial", 14}, {"Arial", 12},
    {"Arial", 11}, {"Arial", 10}, {"Arial", 9},  {"Symbol", 13},
};

constexpr int fixedPoints = 30;

bool mouseButtonsSwapped = false;

int validFontId(int id) { return id >= 0 && id < fontCount ? id : fontSystem; }

bool keyDown(int virtualKey) { return GetAsyncKeyState(virtualKey) < 0; }

// The tolerance square around a press that tells a click from a drag or a second click.
Rect toleranceSquare(const Point& p) { return Rect{p.h - 2, p.v - 2, p.h + 2, p.v + 2}; }

// Local points moved to device points: into the caller's fixed array for short lists, into a new
// array (to be deleted by the caller) for longer ones; null when there is nothing to draw.
POINT* toDevice(const Point* points, int count, const Point& origin, POINT (&fixed)[fixedPoints])
{
    if (points == nullptr || count <= 0) return nullptr;
    POINT* device = count > fixedPoints ? new (std::nothrow) POINT[count] : fixed;
    if (device == nullptr) return nullptr;
    for (int i = 0; i < count; ++i) device[i] = POINT{points[i].h + origin.h, points[i].v + origin.v};
    return device;
}

// Filled shapes are drawn without an outline; answers the pen to put back.
HGDIOBJ selectNullPen(HDC dc) { return SelectObject(dc, GetStockObject(NULL_PEN)); }

void restorePen(HDC dc, HGDIOBJ pen)
{
    if (pen != nullptr) SelectObject(dc, pen);
}

}  // namespace

DrawContext::DrawContext(RootView* root, HDC deviceContext, HWND window)
    : deviceContext(deviceContext), window(window), root(root)
{
    clipRect = rootBounds();
    if (deviceContext != nullptr) {
        savedBrush = GetCurrentObject(deviceContext, OBJ_BRUSH);
        savedPen = GetCurrentObject(deviceContext, OBJ_PEN);
        savedFont = GetCurrentObject(deviceContext, OBJ_FONT);
        SetBkMode(deviceContext, TRANSPARENT);
    }
    if (window != nullptr) {
        RECT frame;
        if (GetWindowRect(window, &frame)) screenOrigin = Point{frame.left, frame.top};
    }
    if (deviceContext != nullptr) {
        setPenColor(penColor);
        setPenStyle(penStyle);
        setBrushColor(brushColor);
        setTextColor(textColor);
    }
}

DrawContext::~DrawContext()
{
    if (savedBrush != nullptr) SelectObject(deviceContext, savedBrush);
    if (savedPen != nullptr) SelectObject(deviceContext, savedPen);
    if (savedFont != nullptr) SelectObject(deviceContext, savedFont);
    GraphicsLibrary::deleteObject(ownBrush);
    GraphicsLibrary::deleteObject(ownPen);
    GraphicsLibrary::deleteObject(ownFont);
}

Rect DrawContext::rootBounds() const
{
    Rect bounds{0, 0, 1000, 1000};
    if (root != nullptr) root->getBounds(bounds);
    return bounds;
}

// ---- Lines and shapes

void DrawContext::moveTo(const Point& p)
{
    MoveToEx(deviceContext, p.h + origin.h, p.v + origin.v, nullptr);
}

void DrawContext::lineTo(const Point& p)
{
    LineTo(deviceContext, p.h + origin.h, p.v + origin.v);
}

void DrawContext::drawPolyline(const Point* points, int count)
{
    POINT fixed[fixedPoints];
    POINT* device = toDevice(points, count, origin, fixed);
    if (device == nullptr) return;
    Polyline(deviceContext, device, count);
    if (device != fixed) delete[] device;
}

void DrawContext::fillPolygon(const Point* points, int count)
{
    POINT fixed[fixedPoints];
    POINT* device = toDevice(points, count, origin, fixed);
    if (device == nullptr) return;
    const HGDIOBJ pen = selectNullPen(deviceContext);
    Polygon(deviceContext, device, count);
    restorePen(deviceContext, pen);
    if (device != fixed) delete[] device;
}

void DrawContext::frameRect(const Rect& r)
{
    moveTo(Point{r.left, r.top});
    lineTo(Point{r.right, r.top});
    lineTo(Point{r.right, r.bottom});
    lineTo(Point{r.left, r.bottom});
    lineTo(Point{r.left, r.top});
}

// Fills exactly the inside of the outline frameRect(r) draws.
void DrawContext::fillRect(const Rect& r)
{
    const HGDIOBJ pen = selectNullPen(deviceContext);
    RECT inside{r.left + origin.h + 1, r.top + origin.v + 1, r.right + origin.h, r.bottom + origin.v};
    FillRect(deviceContext, &inside, ownBrush);
    restorePen(deviceContext, pen);
}

void DrawContext::frameArc(const Rect& r, const Point& start, const Point& end)
{
    const int x = origin.h;
    const int y = origin.v;
    Arc(deviceContext, r.left + x, r.top + y, r.right + x + 1, r.bottom + y + 1,
        start.h + x, start.v + y, end.h + x, end.v + y);
}

void DrawContext::frameEllipse(const Rect& r)
{
    const Point topCentre{r.left + (r.right - r.left) / 2, r.top};
    frameArc(r, topCentre, topCentre);
}

void DrawContext::fillPie(const Rect& r, const Point& start, const Point& end)
{
    const int x = origin.h;
    const int y = origin.v;
    const HGDIOBJ pen = selectNullPen(deviceContext);
    Pie(deviceContext, r.left + x + 1, r.top + y + 1, r.right + x, r.bottom + y,
        start.h + x, start.v + y, end.h + x, end.v + y);
    restorePen(deviceContext, pen);
}

void DrawContext::fillEllipse(const Rect& r)
{
    const int x = origin.h;
    const int y = origin.v;
    const HGDIOBJ pen = selectNullPen(deviceContext);
    Ellipse(deviceContext, r.left + x + 1, r.top + y + 1, r.right + x + 1, r.bottom + y + 1);
    restorePen(deviceContext, pen);
}

void DrawContext::setPixel(const Point& p, const Color& c)
{
    SetPixel(deviceContext, p.h + origin.h, p.v + origin.v, c.platformColor());
}

Color DrawContext::getPixel(const Point& p)
{
    return Color::fromPlatform(GetPixel(deviceContext, p.h + origin.h, p.v + origin.v) & 0xFFFFFF);
}

void DrawContext::floodFill(const Point& p)
{
    const int x = p.h + origin.h;
    const int y = p.v + origin.v;
    ExtFloodFill(deviceContext, x, y, GetPixel(deviceContext, x, y), FLOODFILLSURFACE);
}

void DrawContext::copyFrom(DrawContext* source, const Rect& r, const Point& dest)
{
    if (source == nullptr) return;
    BitBlt(deviceContext, dest.h, dest.v, r.width(), r.height(), source->deviceContext,
           r.left + source->origin.h, r.top + source->origin.v, SRCCOPY);
}

// ---- State

void DrawContext::replacePen()
{
    LOGPEN description{};
    description.lopnStyle = UINT(platformPenStyle);
    description.lopnWidth = POINT{penWidth, penWidth};
    description.lopnColor = penColor.platformColor();
    HPEN pen = GraphicsLibrary::created(CreatePenIndirect(&description));
    SelectObject(deviceContext, pen);
    GraphicsLibrary::deleteObject(ownPen);
    ownPen = pen;
}

void DrawContext::setPenColor(const Color& c)
{
    penColor = c;
    replacePen();
}

void DrawContext::setPenWidth(int width)
{
    penWidth = width;
    replacePen();
}

void DrawContext::setPenStyle(int style)
{
    penStyle = style;
    platformPenStyle = style == penDotted ? PS_DOT : PS_SOLID;
    replacePen();
}

void DrawContext::setMixMode(int mode)
{
    if (mode == mixMode) return;
    mixMode = mode;
    const int rop = mode == mixMerge ? R2_MERGEPEN : mode == mixNotXor ? R2_NOTXORPEN : R2_COPYPEN;
    SetROP2(deviceContext, rop);
}

void DrawContext::setBrushColor(const Color& c)
{
    brushColor = c;
    SetBkColor(deviceContext, c.platformColor());  // opaque text backgrounds use the fill colour
    LOGBRUSH description{BS_SOLID, c.platformColor(), 0};
    HBRUSH brush = GraphicsLibrary::created(CreateBrushIndirect(&description));
    if (brush == nullptr) return;  // keep drawing with the previous brush
    SelectObject(deviceContext, brush);
    GraphicsLibrary::deleteObject(ownBrush);
    ownBrush = brush;
}

void DrawContext::setTextColor(const Color& c)
{
    textColor = c;
    SetTextColor(deviceContext, c.platformColor());
}

void DrawContext::selectFont(int id, int size, int style)
{
    fontId = validFontId(id);
    fontSize = size != 0 ? size : fontTable[fontId].size;

    LOGFONTA description{};
    description.lfHeight = -fontSize;  // character height, not cell height
    description.lfWeight = (style & fontBold) != 0 || fontId == fontSystem ? FW_BOLD : FW_NORMAL;
    description.lfItalic = (style & fontItalic) != 0;
    description.lfUnderline = (style & fontUnderline) != 0;
    std::strcpy(description.lfFaceName, fontTable[fontId].face);
    description.lfPitchAndFamily = fontId == fontSymbol ? FF_DECORATIVE : VARIABLE_PITCH | FF_SWISS;
    description.lfClipPrecision = CLIP_STROKE_PRECIS;
    description.lfOutPrecision = OUT_STRING_PRECIS;
    description.lfQuality = DEFAULT_QUALITY;
    description.lfCharSet = ANSI_CHARSET;

    HFONT font = GraphicsLibrary::created(CreateFontIndirectA(&description));
    if (font == nullptr) return;
    SelectObject(deviceContext, font);
    GraphicsLibrary::deleteObject(ownFont);
    ownFont = font;
}

const char* DrawContext::fontFace(int id) { return fontTable[validFontId(id)].face; }

int DrawContext::fontDefaultSize(int id) { return fontTable[validFontId(id)].size; }

void DrawContext::setClip(const Rect& r)
{
    clipRect = r;
    HRGN region = GraphicsLibrary::created(CreateRectRgn(r.left, r.top, r.right, r.bottom));
    SelectClipRgn(deviceContext, region);  // the device context keeps its own copy
    GraphicsLibrary::deleteObject(region);
}

void DrawContext::resetClip() { setClip(rootBounds()); }

// ---- Text

int DrawContext::textWidth(const char* text)
{
    if (text == nullptr) return 0;
    SIZE extent{};
    GetTextExtentPoint32A(deviceContext, text, int(std::strlen(text)), &extent);
    return extent.cx;
}

void DrawContext::drawText(const char* text, const Rect& r, bool opaque, int align)
{
    if (text == nullptr) return;
    SetBkMode(deviceContext, opaque ? OPAQUE : TRANSPARENT);
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
    DrawTextA(deviceContext, text, -1, &box, format);
    SetBkMode(deviceContext, TRANSPARENT);
}

// ---- Mouse

void DrawContext::setMouseButtonsSwapped(bool swapped) { mouseButtonsSwapped = swapped; }

int DrawContext::mouseButtons()
{
    int buttons = 0;
    if (keyDown(VK_LBUTTON)) buttons |= mouseButtonsSwapped ? mouseRight : mouseLeft;
    if (keyDown(VK_MBUTTON)) buttons |= mouseMiddle;
    if (keyDown(VK_RBUTTON)) buttons |= mouseButtonsSwapped ? mouseLeft : mouseRight;
    if (keyDown(VK_SHIFT)) buttons |= modifierShift;
    if (keyDown(VK_CONTROL)) buttons |= modifierControl;
    if (keyDown(VK_MENU)) buttons |= modifierAlt;
    return buttons;
}

void DrawContext::cursorPosition(Point& where) const
{
    POINT cursor{};
    GetCursorPos(&cursor);
    where = Point{cursor.x - screenOrigin.h, cursor.y - screenOrigin.v};
}

// Busy-polls for a second press; a second press found is consumed and never reaches the window.
bool DrawContext::detectDoubleClick()
{
    Point where;
    cursorPosition(where);
    const Rect square = toleranceSquare(where);
    const DWORD limit = DWORD(GetMessageTime()) + GetDoubleClickTime();
    auto timeLeft = [limit] { return LONG(GetTickCount() - limit) < 0; };  // wrap-safe
    if (!timeLeft()) return false;
    do {
        cursorPosition(where);
        if (!square.pointInside(where)) return false;
        MSG message;
        if (PeekMessageA(&message, nullptr, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_REMOVE | PM_NOYIELD)) return true;
    } while (timeLeft());
    return false;
}

bool DrawContext::detectDrag()
{
    if (root == nullptr) return false;
    Point where;
    cursorPosition(where);
    const Rect square = toleranceSquare(where);
    while ((mouseButtons() & mouseLeft) != 0 && root->windowIsOpen()) {
        root->runHostIdle();
        cursorPosition(where);
        if (!square.pointInside(where)) return true;
    }
    return false;
}
