#include "gui/draw/DrawContext.h"

#include "gui/draw/RootView.h"

namespace kelp {

namespace {

    struct FontSlot {
        const char* face;
        int size;
    };

    constexpr FontSlot fontTable[fontCount] = {
        {"Arial", 12}, {"Arial", 18}, {"Arial", 14}, {"Arial", 12},
        {"Arial", 11}, {"Arial", 10}, {"Arial", 9},  {"Symbol", 13},
    };

    int validFontId(int id) { return id >= 0 && id < fontCount ? id : fontSystem; }

    // The tolerance square around a press that tells a click from a drag.
    Rect toleranceSquare(const Point& p) { return Rect{p.h - 2, p.v - 2, p.h + 2, p.v + 2}; }

}  // namespace

Rect DrawContext::rootBounds() const
{
    Rect bounds{0, 0, 1000, 1000};
    if (root != nullptr)
        root->getBounds(bounds);
    return bounds;
}

// ---- Shapes made of other shapes

void DrawContext::frameRect(const Rect& r)
{
    moveTo(Point{r.left, r.top});
    lineTo(Point{r.right, r.top});
    lineTo(Point{r.right, r.bottom});
    lineTo(Point{r.left, r.bottom});
    lineTo(Point{r.left, r.top});
}

void DrawContext::frameEllipse(const Rect& r)
{
    const Point topCentre{r.left + (r.right - r.left) / 2, r.top};
    frameArc(r, topCentre, topCentre);
}

// ---- State

void DrawContext::setPenColor(const Color& c)
{
    penColor = c;
    applyPen();
}

void DrawContext::setPenWidth(int width)
{
    penWidth = width;
    applyPen();
}

void DrawContext::setPenStyle(int style)
{
    penStyle = style;
    applyPen();
}

void DrawContext::setMixMode(int mode)
{
    if (mode == mixMode)
        return;
    mixMode = mode;
    applyMixMode();
}

void DrawContext::setBrushColor(const Color& c)
{
    brushColor = c;
    applyBrush();
}

void DrawContext::setTextColor(const Color& c)
{
    textColor = c;
    applyTextColor();
}

void DrawContext::selectFont(int id, int size, int style)
{
    fontId = validFontId(id);
    fontSize = size != 0 ? size : fontTable[fontId].size;
    applyFont(style);
}

const char* DrawContext::fontFace(int id) { return fontTable[validFontId(id)].face; }

int DrawContext::fontDefaultSize(int id) { return fontTable[validFontId(id)].size; }

void DrawContext::setClip(const Rect& r)
{
    clipRect = r;
    applyClip();
}

void DrawContext::resetClip() { setClip(rootBounds()); }

// ---- Mouse

bool DrawContext::detectDrag()
{
    if (root == nullptr)
        return false;
    Point where;
    cursorPosition(where);
    const Rect square = toleranceSquare(where);
    while ((mouseButtons() & mouseLeft) != 0 && root->windowIsOpen()) {
        root->runHostIdle();
        cursorPosition(where);
        if (!square.pointInside(where))
            return true;
    }
    return false;
}

}  // namespace kelp
