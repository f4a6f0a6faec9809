// The drawing surface every view draws into: a native device context plus the drawing state
// views set. DrawContext.cpp holds the state and what is composed of other operations;
// DrawContextWin32.cpp draws on GDI.
#pragma once

#include "gui/draw/Geometry.h"
#include "gui/draw/NativeHandles.h"

namespace kelp {

class RootView;

enum FontId {
    fontSystem = 0,  // always bold
    fontLargest,
    fontLarge,
    fontNormal,
    fontSmall,
    fontSmaller,
    fontSmallest,
    fontSymbol,
    fontCount
};

// Values of the drawText align argument; any other value aligns left as well.
enum TextAlign { alignLeft = 0, alignCenter = 1, alignRight = 2 };

enum PenStyle { penSolid = 0, penDotted = 1 };

enum MixMode { mixCopy = 0, mixMerge = 1, mixNotXor = 2 };

// Style bits of selectFont.
enum FontStyle { fontBold = 1, fontItalic = 2, fontUnderline = 4 };

// Mouse button and modifier bits answered by mouseButtons.
enum MouseButton {
    mouseLeft = 1,
    mouseMiddle = 2,
    mouseRight = 4,
    modifierShift = 8,
    modifierControl = 16,
    modifierAlt = 32
};

// Short-lived: made for one paint, press or redraw. All coordinates handed in are local; origin is
// added before they reach the device. The device context and window are borrowed, never released
// here.
class DrawContext {
public:
    DrawContext(RootView* root, NativeSurface deviceContext, NativeWindow window);
    virtual ~DrawContext();

    DrawContext(const DrawContext&) = delete;
    DrawContext& operator=(const DrawContext&) = delete;

    // Lines and shapes
    void moveTo(const Point& p);
    void lineTo(const Point& p);
    void drawPolyline(const Point* points, int count);
    void fillPolygon(const Point* points, int count);
    void frameRect(const Rect& r);
    void fillRect(const Rect& r);
    void frameArc(const Rect& r, const Point& start, const Point& end);
    void frameEllipse(const Rect& r);
    void fillPie(const Rect& r, const Point& start, const Point& end);
    void fillEllipse(const Rect& r);
    void setPixel(const Point& p, const Color& c);
    Color getPixel(const Point& p);
    void floodFill(const Point& p);
    // dest is in device coordinates of this context; r is shifted by the source's origin.
    void copyFrom(DrawContext* source, const Rect& r, const Point& dest);

    // State
    void setPenColor(const Color& c);
    void setPenWidth(int width);
    void setPenStyle(int style);
    void setMixMode(int mode);
    void setBrushColor(const Color& c);
    void setTextColor(const Color& c);
    void selectFont(int id, int size = 0, int style = 0);
    void setClip(const Rect& r);  // device coordinates: the origin is not added
    void resetClip();

    Color getPenColor() const { return penColor; }
    int getPenWidth() const { return penWidth; }
    int getPenStyle() const { return penStyle; }
    int getMixMode() const { return mixMode; }
    Color getBrushColor() const { return brushColor; }
    Color getTextColor() const { return textColor; }
    int getFontId() const { return fontId; }
    int getFontSize() const { return fontSize; }
    Rect& getClip(Rect& r) const
    {
        r = clipRect;
        return r;
    }

    static const char* fontFace(int id);  // out-of-range ids give slot 0
    static int fontDefaultSize(int id);

    // Text
    int textWidth(const char* text);
    void drawText(const char* text, const Rect& r, bool opaque = false, int align = alignCenter);

    // Coordinates
    void setOrigin(const Point& p) { origin = p; }
    const Point& getOrigin() const { return origin; }
    void setScreenOrigin(const Point& p) { screenOrigin = p; }
    const Point& getScreenOrigin() const { return screenOrigin; }

    NativeSurface getDeviceContext() const { return deviceContext; }
    NativeWindow getWindow() const { return window; }
    RootView* getRoot() const { return root; }

    // Mouse, read from the live state while a control tracks a press
    static int mouseButtons();
    static void setMouseButtonsSwapped(bool swapped);  // set by the window class registration
    // The system's double-click time in milliseconds.
    static int doubleClickTime();
    // Screen position of a window's top-left corner; (0, 0) without a window.
    static Point windowCorner(NativeWindow window);
    void cursorPosition(Point& where) const;
    bool detectDoubleClick();
    bool detectDrag();

protected:
    // For OffscreenContext, which creates its memory device context after the base.
    void setDeviceContext(NativeSurface dc) { deviceContext = dc; }
    void setClipRect(const Rect& r) { clipRect = r; }  // the field only; the device is not clipped
    Rect rootBounds() const;

private:
    // The device's side of the state setters.
    void applyPen();
    void applyMixMode();
    void applyBrush();
    void applyTextColor();
    void applyFont(int style);
    void applyClip();

    Point screenOrigin;
    Point origin;
    NativeSurface deviceContext;
    NativeWindow window;
    RootView* root;
    int fontSize = 0;
    int fontId = 0;
    Color textColor = colorWhite;
    int penWidth = 1;
    Color penColor = colorWhite;
    Color brushColor = colorBlack;
    int penStyle = penSolid;
    int mixMode = mixCopy;
    Rect clipRect;
    NativeObject ownBrush = nullptr;
    NativeObject ownPen = nullptr;
    NativeObject ownFont = nullptr;
    NativeObject savedBrush = nullptr;
    NativeObject savedPen = nullptr;
    NativeObject savedFont = nullptr;
};

}  // namespace kelp
