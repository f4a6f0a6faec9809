// Picture on GDI: bitmaps loaded from the module's resources (LoadBitmapA) and drawn with
// BitBlt through memory device contexts, keyed through TransparentBlt, a raster mask or a
// mask built once, and blended through AlphaBlend. Both msimg32 entry points are optional:
// without TransparentBlt the raster path alone keys; without AlphaBlend nothing is blended.
#include "gui/draw/Picture.h"

#include <windows.h>

#include "gui/draw/DrawContext.h"
#include "gui/draw/GraphicsLibrary.h"
#include "host/ModuleInstance.h"

namespace kelp {

namespace {

    using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
    using TransparentBltFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);

    HDC deviceOf(DrawContext* context) { return static_cast<HDC>(context->getDeviceContext()); }

    // A memory device context holding one bitmap for the length of one drawing operation.
    HDC openMemoryContext(HDC compatibleWith, NativeBitmap bitmap, HGDIOBJ& previous)
    {
        HDC dc = static_cast<HDC>(GraphicsLibrary::createMemoryContext(compatibleWith));
        previous = ::SelectObject(dc, static_cast<HBITMAP>(bitmap));
        return dc;
    }

    void closeMemoryContext(HDC dc, HGDIOBJ previous)
    {
        if (previous != nullptr)
            ::SelectObject(dc, previous);
        GraphicsLibrary::deleteMemoryContext(dc);
    }

    Point destinationOf(DrawContext* context, const Rect& r) { return r.topLeft() + context->getOrigin(); }

    // Composes off screen and writes the destination once, without flicker.
    void composeThroughMask(HDC target, HDC source, NativeBitmap maskBitmap, Point d, int w, int h, Point offset)
    {
        HBITMAP scratchBitmap = GraphicsLibrary::created(::CreateCompatibleBitmap(target, w, h));
        HGDIOBJ scratchPrevious, maskPrevious;
        HDC scratch = openMemoryContext(target, scratchBitmap, scratchPrevious);
        HDC mask = openMemoryContext(target, maskBitmap, maskPrevious);
        ::BitBlt(scratch, 0, 0, w, h, target, d.h, d.v, SRCCOPY);
        ::BitBlt(scratch, 0, 0, w, h, source, offset.h, offset.v, SRCINVERT);
        ::BitBlt(scratch, 0, 0, w, h, mask, offset.h, offset.v, SRCAND);
        ::BitBlt(scratch, 0, 0, w, h, source, offset.h, offset.v, SRCINVERT);
        ::BitBlt(target, d.h, d.v, w, h, scratch, 0, 0, SRCCOPY);
        closeMemoryContext(mask, maskPrevious);
        closeMemoryContext(scratch, scratchPrevious);
        GraphicsLibrary::deleteObject(scratchBitmap);
    }

    void keyThroughRaster(HDC target, HDC source, const Color& keyColor, Point d, int w, int h, Point offset)
    {
        const COLORREF key = keyColor.platformColor();
        if (GraphicsLibrary::transparentBlt != nullptr) {
            reinterpret_cast<TransparentBltFunction>(GraphicsLibrary::transparentBlt)(target, d.h, d.v, w, h, source,
                                                                                      offset.h, offset.v, w, h, key);
        }
        // Also after TransparentBlt, which it leaves unchanged; without it this alone does the work.
        HBITMAP monoBitmap = GraphicsLibrary::created(::CreateBitmap(w, h, 1, 1, nullptr));
        HGDIOBJ monoPrevious;
        HDC mono = openMemoryContext(target, monoBitmap, monoPrevious);
        const COLORREF sourceBack = ::SetBkColor(source, key);  // key pixels become 1
        ::BitBlt(mono, 0, 0, w, h, source, offset.h, offset.v, SRCCOPY);
        ::SetBkColor(source, sourceBack);

        const COLORREF oldBack = ::SetBkColor(target, RGB(255, 255, 255));
        const COLORREF oldText = ::SetTextColor(target, RGB(0, 0, 0));
        ::BitBlt(target, d.h, d.v, w, h, source, offset.h, offset.v, SRCINVERT);
        ::BitBlt(target, d.h, d.v, w, h, mono, 0, 0, SRCAND);
        ::BitBlt(target, d.h, d.v, w, h, source, offset.h, offset.v, SRCINVERT);
        ::SetBkColor(target, oldBack);
        ::SetTextColor(target, oldText);
        closeMemoryContext(mono, monoPrevious);
        GraphicsLibrary::deleteObject(monoBitmap);
    }

}  // namespace

Picture::Picture(int resourceId) : resourceId(resourceId)
{
    HINSTANCE module = static_cast<HINSTANCE>(moduleInstance);
    HBITMAP loaded = GraphicsLibrary::created(::LoadBitmapA(module, MAKEINTRESOURCEA(resourceId & 0xFFFF)));
    bitmap = loaded;
    BITMAP description;
    if (loaded != nullptr && ::GetObjectA(loaded, sizeof description, &description) != 0) {
        width = description.bmWidth;
        height = description.bmHeight;
    }
}

Picture::Picture(void*, int width, int height) : width(width), height(height)
{
    HDC screen = ::GetDC(nullptr);
    bitmap = GraphicsLibrary::created(::CreateCompatibleBitmap(screen, width, height));
    ::ReleaseDC(nullptr, screen);
}

Picture::~Picture()
{
    GraphicsLibrary::deleteObject(bitmap);
    GraphicsLibrary::deleteObject(maskBitmap);
}

void Picture::draw(DrawContext* context, const Rect& r, Point offset)
{
    if (bitmap == nullptr || context == nullptr)
        return;
    HDC target = deviceOf(context);
    HGDIOBJ previous;
    HDC source = openMemoryContext(target, bitmap, previous);
    const Point d = destinationOf(context, r);
    ::BitBlt(target, d.h, d.v, r.width(), r.height(), source, offset.h, offset.v, SRCCOPY);
    closeMemoryContext(source, previous);
}

// Both paths implement one rule: where the source pixel is keyColor the destination keeps its
// pixel, everywhere else it takes the source pixel. XOR source, AND a mask that is white on key
// pixels and black elsewhere, XOR source again.
void Picture::drawKeyed(DrawContext* context, const Rect& r, Point offset)
{
    if (bitmap == nullptr || context == nullptr)
        return;
    HDC target = deviceOf(context);
    HGDIOBJ previous;
    HDC source = openMemoryContext(target, bitmap, previous);
    const Point d = destinationOf(context, r);
    if (maskBitmap != nullptr) {
        composeThroughMask(target, source, maskBitmap, d, r.width(), r.height(), offset);
    } else {
        keyThroughRaster(target, source, keyColor, d, r.width(), r.height(), offset);
    }
    closeMemoryContext(source, previous);
}

void Picture::drawBlended(DrawContext* context, const Rect& r, Point offset, int alpha)
{
    if (bitmap == nullptr || context == nullptr || GraphicsLibrary::alphaBlend == nullptr)
        return;
    HDC target = deviceOf(context);
    HGDIOBJ previous;
    HDC source = openMemoryContext(target, bitmap, previous);
    const Point d = destinationOf(context, r);
    const BLENDFUNCTION blend{AC_SRC_OVER, 0, BYTE(alpha), 0};  // constant alpha, no per-pixel alpha
    reinterpret_cast<AlphaBlendFunction>(GraphicsLibrary::alphaBlend)(target, d.h, d.v, r.width(), r.height(), source,
                                                                      offset.h, offset.v, r.width(), r.height(), blend);
    closeMemoryContext(source, previous);
}

void Picture::buildMask(DrawContext* context, const Point& position)
{
    GraphicsLibrary::deleteObject(maskBitmap);
    maskBitmap = nullptr;
    if (context == nullptr || width <= 0 || height <= 0)
        return;
    HDC target = deviceOf(context);
    HBITMAP mask = GraphicsLibrary::created(::CreateBitmap(width, height, 1, 1, nullptr));
    HGDIOBJ previous;
    HDC maskContext = openMemoryContext(target, mask, previous);
    const COLORREF oldBack = ::SetBkColor(target, keyColor.platformColor());  // key pixels become 1
    ::BitBlt(maskContext, 0, 0, width, height, target, position.h, position.v, SRCCOPY);
    ::SetBkColor(target, oldBack);
    closeMemoryContext(maskContext, previous);
    maskBitmap = mask;
}

}  // namespace kelp
