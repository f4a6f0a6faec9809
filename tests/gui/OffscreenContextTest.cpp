#include <gtest/gtest.h>

#include "gui/draw/GraphicsLibrary.h"
#include "gui/draw/OffscreenContext.h"
#include "gui/draw/Picture.h"
#include "gui/draw/RootView.h"
#include "tests/gui/DrawTestSurface.h"

using namespace kelp;

namespace {

constexpr COLORREF red = RGB(255, 0, 0);

COLORREF pixelOf(Picture* picture, int x, int y)
{
    DrawTestSurface surface(4, 4);
    DrawContext context(nullptr, surface.dc(), nullptr);
    picture->draw(&context, Rect{0, 0, 4, 4});
    return surface.pixel(x, y);
}

}  // namespace

TEST(OffscreenContext, WithoutAPictureIsATwentyPixelSquareFilledBlackWithinItsTopAndLeftEdges)
{
    DrawTestSurface screen(4, 4);
    DrawContext source(nullptr, screen.dc(), nullptr);
    const int liveBefore = GraphicsLibrary::liveObjects();
    DrawContext* base = new OffscreenContext(&source, nullptr, false);
    auto* offscreen = static_cast<OffscreenContext*>(base);
    EXPECT_EQ(offscreen->getWidth(), 20);
    Rect clip;
    EXPECT_EQ(offscreen->getClip(clip), (Rect{0, 0, 20, 20}));
    LOGBRUSH brush{};
    GetObjectA(GetCurrentObject(static_cast<HDC>(offscreen->getDeviceContext()), OBJ_BRUSH), sizeof brush, &brush);
    EXPECT_EQ(brush.lbColor, 0u);
    for (int y = 1; y < 20; ++y)
        for (int x = 1; x < 20; ++x)
            ASSERT_EQ(offscreen->getPixel(Point{x, y}), colorBlack);

    const HDC memory = static_cast<HDC>(offscreen->getDeviceContext());
    const HBITMAP surface = static_cast<HBITMAP>(offscreen->getSurface());
    delete base;  // through the base, as view groups do
    EXPECT_EQ(GetObjectType(memory), 0u);
    EXPECT_EQ(GetObjectType(surface), 0u);
    EXPECT_EQ(GraphicsLibrary::liveObjects(), liveBefore);
}

TEST(OffscreenContext, CopiesAPictureOrDrawsIntoIt)
{
    DrawTestSurface screen(8, 8);
    DrawContext destination(nullptr, screen.dc(), nullptr);
    Picture* picture = new Picture(900);
    ASSERT_TRUE(picture->isLoaded()) << "tests/gui/PictureTest.rc must be compiled into this program";
    const COLORREF top = pixelOf(picture, 1, 0), below = pixelOf(picture, 1, 1);
    {
        OffscreenContext copy(&destination, picture, false);
        EXPECT_EQ(copy.getWidth(), 4);
        EXPECT_EQ(copy.getPixel(Point{1, 0}).platformColor(), top);
        copy.setPenColor(colorRed);
        copy.moveTo(Point{0, 0});
        copy.lineTo(Point{4, 0});
        destination.setOrigin(Point{2, 2});
        copy.copyTo(&destination, Rect{1, 1, 3, 3}, Point{1, 0});  // surface (1, 0) lands on device (3, 3)
        EXPECT_EQ(screen.pixel(3, 3), red);
        EXPECT_EQ(screen.pixel(4, 4), pixelOf(picture, 2, 1));
        EXPECT_EQ(screen.extent(0, false), (Rect{3, 3, 4, 4}));
    }
    EXPECT_EQ(pixelOf(picture, 1, 0), top);  // a copy never changes the picture
    {
        OffscreenContext into(&destination, picture, true);
        into.setPenColor(colorRed);
        into.moveTo(Point{0, 0});
        into.lineTo(Point{4, 0});
    }
    EXPECT_EQ(GetObjectType(static_cast<HBITMAP>(picture->getBitmap())), DWORD(OBJ_BITMAP));
    EXPECT_EQ(pixelOf(picture, 1, 0), red);
    EXPECT_EQ(pixelOf(picture, 1, 1), below);
    picture->release();
}

TEST(OffscreenContext, SizedFormFillsEverythingAndCopiesToTheDestinationOrigin)
{
    DrawTestWindow host(0, 0, 120, 120);
    RootView root(Rect{0, 0, 100, 100}, host.handle, nullptr);
    DrawTestSurface screen(50, 50);
    DrawContext destination(nullptr, screen.dc(), nullptr);
    const int liveBefore = GraphicsLibrary::liveObjects();
    {
        OffscreenContext offscreen(&root, 40, 30, colorRed);
        EXPECT_EQ(offscreen.getPenColor(), colorRed);
        destination.setOrigin(Point{5, 5});
        offscreen.copyTo(&destination, Rect{-5, -5, 35, 25}, Point{0, 0});  // the whole surface
        EXPECT_EQ(screen.count(red), 40 * 30);
        screen.fill(0);
        offscreen.copyTo(&destination, Rect{10, 10, 30, 30}, Point{0, 0});
        EXPECT_EQ(screen.extent(red), (Rect{15, 15, 34, 34}));
        EXPECT_EQ(screen.count(red), 400);
    }
    EXPECT_EQ(GraphicsLibrary::liveObjects(), liveBefore);
}
