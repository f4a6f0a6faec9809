// A DrawContext on a memory device context with a bitmap selected: compose off screen, copy once.
#pragma once

#include "gui/draw/DrawContext.h"

namespace kelp {

class Picture;

class OffscreenContext : public DrawContext {
public:
    // Compatible with source. drawIntoPicture: the surface is the picture's own bitmap, so drawing
    // changes the picture. Otherwise a new width x height bitmap (the picture's size, 20 x 20
    // without one) starting with the picture's pixels, or black but for the top row and left column.
    OffscreenContext(DrawContext* source, Picture* picture, bool drawIntoPicture);
    // Compatible with the root's window, whole surface filled with background.
    OffscreenContext(RootView* root, int width, int height, const Color& background);
    ~OffscreenContext() override;

    // r is in the destination's local coordinates; offset is the surface point landing on r's corner.
    void copyTo(DrawContext* destination, const Rect& r, const Point& offset);

    int getWidth() const { return width; }
    int getHeight() const { return height; }
    NativeBitmap getSurface() const { return surface; }

private:
    void selectSurface();

    Picture* backgroundPicture = nullptr;  // neither retained nor owned
    int height = 20;
    int width = 20;
    bool ownsBitmap = false;
    Color backgroundColor = colorBlack;
    NativeBitmap surface = nullptr;
    NativeObject previousBitmap = nullptr;
};

}  // namespace kelp
