// OffscreenContext on GDI: a memory device context compatible with the source's device (or
// the root's window) with a bitmap of its own, or the picture's, selected while it lives.
#include "gui/draw/OffscreenContext.h"

#include <windows.h>

#include "gui/draw/GraphicsLibrary.h"
#include "gui/draw/Picture.h"
#include "gui/draw/RootView.h"

namespace kelp {

namespace {

    Rect surfaceClip(int width, int height)
    {
        return Rect{width < 0 ? width : 0, height < 0 ? height : 0, width > 0 ? width : 0, height > 0 ? height : 0};
    }

}  // namespace

OffscreenContext::OffscreenContext(DrawContext* source, Picture* picture, bool drawIntoPicture)
    : DrawContext(source != nullptr ? source->getRoot() : nullptr, nullptr, nullptr), backgroundPicture(picture)
{
    if (picture != nullptr) {
        width = picture->getWidth();
        height = picture->getHeight();
    }
    setClipRect(surfaceClip(width, height));
    HDC sourceDc = source != nullptr ? static_cast<HDC>(source->getDeviceContext()) : nullptr;
    setDeviceContext(GraphicsLibrary::createMemoryContext(sourceDc));
    if (drawIntoPicture && picture != nullptr) {
        surface = picture->getBitmap();
    } else {
        surface = GraphicsLibrary::created(::CreateCompatibleBitmap(sourceDc, width, height));
        ownsBitmap = true;
    }
    selectSurface();
    if (ownsBitmap) {
        const Rect all{0, 0, width, height};
        if (picture != nullptr) {
            picture->draw(this, all, Point{0, 0});
        } else {
            setBrushColor(colorBlack);
            fillRect(all);  // leaves the top row and left column as the new bitmap had them
        }
    }
}

OffscreenContext::OffscreenContext(RootView* root, int width, int height, const Color& background)
    : DrawContext(root, nullptr, nullptr), height(height), width(width), ownsBitmap(true), backgroundColor(background)
{
    setClipRect(surfaceClip(width, height));
    HWND window = root != nullptr ? static_cast<HWND>(root->getOwnWindow()) : nullptr;
    HDC windowDc = ::GetDC(window);
    setDeviceContext(GraphicsLibrary::createMemoryContext(windowDc));
    surface = GraphicsLibrary::created(::CreateCompatibleBitmap(windowDc, width, height));
    selectSurface();
    ::ReleaseDC(window, windowDc);

    const Rect all{0, 0, width, height};
    setBrushColor(background);
    setPenColor(background);
    fillRect(all);
    frameRect(all);
}

OffscreenContext::~OffscreenContext()
{
    HDC memory = static_cast<HDC>(getDeviceContext());
    if (previousBitmap != nullptr)
        ::SelectObject(memory, static_cast<HGDIOBJ>(previousBitmap));
    GraphicsLibrary::deleteMemoryContext(memory);
    setDeviceContext(nullptr);
    if (ownsBitmap)
        GraphicsLibrary::deleteObject(surface);
}

void OffscreenContext::selectSurface()
{
    previousBitmap = ::SelectObject(static_cast<HDC>(getDeviceContext()), static_cast<HBITMAP>(surface));
}

void OffscreenContext::copyTo(DrawContext* destination, const Rect& r, const Point& offset)
{
    if (destination == nullptr)
        return;
    const Point d = r.topLeft() + destination->getOrigin();
    ::BitBlt(static_cast<HDC>(destination->getDeviceContext()), d.h, d.v, r.width(), r.height(),
             static_cast<HDC>(getDeviceContext()), offset.h, offset.v, SRCCOPY);
}

}  // namespace kelp
