// A reference-counted bitmap loaded from the library's own bitmap resources (or made empty).
// Picture.cpp holds the reference count; PictureWin32.cpp loads and draws on GDI.
#pragma once

#include "gui/draw/Geometry.h"
#include "gui/draw/NativeHandles.h"

namespace kelp {

class DrawContext;

// The creator holds the first reference; the last release deletes the bitmaps and the picture.
// In every drawing operation r is in the context's local coordinates and offset is the point of the
// bitmap that lands on r's top-left corner. Nothing clips the source to the bitmap.
class Picture {
public:
    explicit Picture(int resourceId);
    Picture(void* unused, int width, int height);  // empty, compatible with the screen

    Picture(const Picture&) = delete;
    Picture& operator=(const Picture&) = delete;

    void retain() { ++refCount; }
    void release();
    // Points slot at picture (or null) with a reference of its own, giving back the old one's.
    // It retains before it releases, so handing in the picture already there cannot free it.
    static void replace(Picture*& slot, Picture* picture);
    int referenceCount() const { return refCount; }

    bool isLoaded() const { return bitmap != nullptr; }
    NativeBitmap getBitmap() const { return bitmap; }
    NativeBitmap getMaskBitmap() const { return maskBitmap; }
    int getResourceId() const { return resourceId; }
    int getWidth() const { return width; }
    int getHeight() const { return height; }

    void setKeyColor(const Color& c) { keyColor = c; }
    Color getKeyColor() const { return keyColor; }

    void draw(DrawContext* context, const Rect& r, Point offset = Point{});
    // Leaves the pixels of keyColor out (through the mask once buildMask was called).
    void drawKeyed(DrawContext* context, const Rect& r, Point offset = Point{});
    // Constant opacity; draws nothing when the optional AlphaBlend is missing.
    void drawBlended(DrawContext* context, const Rect& r, Point offset, int alpha);
    // Mask from the context's device pixels at position (the origin is not added).
    void buildMask(DrawContext* context, const Point& position);

private:
    ~Picture();  // only release deletes

    int resourceId = 0;
    int refCount = 1;
    int width = 0;
    int height = 0;
    Color keyColor = colorPictureKey;
    NativeBitmap bitmap = nullptr;
    NativeBitmap maskBitmap = nullptr;
};

}  // namespace kelp
