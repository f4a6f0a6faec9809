#include <gtest/gtest.h>

#include "gui/draw/DrawContext.h"
#include "gui/draw/GraphicsLibrary.h"
#include "gui/draw/Picture.h"
#include "tests/gui/DrawTestSurface.h"

using namespace kelp;

namespace {

constexpr COLORREF white = 0xFFFFFF;
constexpr COLORREF red = RGB(255, 0, 0);

// Resources 900 and 901 of PictureTest.rc, made by make-picture-test-bitmaps.py; rows from the top.
constexpr COLORREF trueColour[4][4] = {
    {red, white, RGB(0, 255, 0), RGB(0, 0, 255)},
    {white, white, RGB(0, 0, 0), RGB(10, 20, 30)},
    {RGB(255, 255, 0), RGB(0, 255, 255), RGB(255, 0, 255), RGB(127, 127, 127)},
    {RGB(200, 100, 50), white, RGB(1, 2, 3), RGB(254, 255, 255)},
};
constexpr COLORREF palette[4] = {white, RGB(12, 34, 56), RGB(200, 0, 100), RGB(0, 128, 255)};
constexpr int paletteIndex[4][4] = {{1, 0, 2, 3}, {0, 0, 0, 1}, {3, 2, 1, 0}, {2, 3, 0, 1}};

struct {
    int calls = 0;
    RECT destination{};
    POINT source{};
    UINT key = 0;
} transparentBltSeen;
using TransparentBltFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);
TransparentBltFunction systemTransparentBlt = nullptr;

BOOL WINAPI recordTransparentBlt(HDC d, int x, int y, int w, int h, HDC s, int sx, int sy, int sw, int sh, UINT key)
{
    transparentBltSeen = {transparentBltSeen.calls + 1, RECT{x, y, w, h}, POINT{sx, sy}, key};
    return systemTransparentBlt(d, x, y, w, h, s, sx, sy, sw, sh, key);
}

class PictureTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        moduleInstance = GetModuleHandleA(nullptr);
        ASSERT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(900), MAKEINTRESOURCEA(2)), nullptr)
            << "tests/gui/PictureTest.rc must be compiled into this program";
        library = static_cast<HMODULE>(GraphicsLibrary::load());
        ASSERT_NE(GraphicsLibrary::transparentBlt, nullptr);
        ASSERT_NE(GraphicsLibrary::alphaBlend, nullptr);
        liveBefore = GraphicsLibrary::liveObjects();
    }
    void TearDown() override
    {
        EXPECT_EQ(GraphicsLibrary::liveObjects(), liveBefore);  // every test gives back what it made
        GraphicsLibrary::unload(library);
    }

    HMODULE library = nullptr;
    int liveBefore = 0;
};

}  // namespace

TEST_F(PictureTest, LoadsBothBitmapFormatsAndDrawsAtOriginAndOffset)
{
    DrawTestSurface surface(8, 8);
    DrawContext context(nullptr, surface.dc(), nullptr);
    context.setOrigin(Point{1, 2});
    for (int id : {900, 901}) {
        Picture* picture = new Picture(id);
        EXPECT_EQ((Point{picture->getWidth(), picture->getHeight()}), (Point{4, 4}));
        picture->draw(&context, Rect{1, 0, 5, 4});
        for (int y = 0; y < 4; ++y)
            for (int x = 0; x < 4; ++x) {
                const COLORREF expected = id == 900 ? trueColour[y][x] : palette[paletteIndex[y][x]];
                EXPECT_EQ(surface.pixel(x + 2, y + 2), expected) << id << ": " << x << "," << y;
            }
        picture->release();
    }
    Picture* picture = new Picture(900);
    surface.fill(0);
    picture->draw(&context, Rect{-1, -2, 1, 0}, Point{2, 1});  // a 2 x 2 piece to device (0, 0)
    EXPECT_EQ(surface.pixel(0, 0), trueColour[1][2]);
    EXPECT_EQ(surface.pixel(1, 1), trueColour[2][3]);
    EXPECT_EQ(surface.extent(0, false), (Rect{0, 0, 1, 1}));
    picture->release();

    Picture* missing = new Picture(4242);
    EXPECT_FALSE(missing->isLoaded());
    EXPECT_EQ((Point{missing->getWidth(), missing->getHeight()}), (Point{0, 0}));
    surface.fill(0);
    missing->draw(&context, Rect{0, 0, 4, 4});
    missing->drawKeyed(&context, Rect{0, 0, 4, 4});
    missing->drawBlended(&context, Rect{0, 0, 4, 4}, Point{}, 255);
    EXPECT_EQ(surface.count(0), 64);
    missing->release();
}

// One pixel rule on every path: a source pixel of the key colour keeps the destination pixel.
TEST_F(PictureTest, KeyedDrawingLeavesTheKeyOutOnEveryPath)
{
    enum Path { systemCopy, rasterOnly, mask };
    systemTransparentBlt = reinterpret_cast<TransparentBltFunction>(GraphicsLibrary::transparentBlt);
    for (Path path : {systemCopy, rasterOnly, mask}) {
        SCOPED_TRACE(path);
        Picture* picture = new Picture(900);
        if (path == mask) {
            DrawTestSurface maskSource(12, 12);
            DrawContext source(nullptr, maskSource.dc(), nullptr);
            source.setOrigin(Point{5, 5});  // must not move the mask area
            picture->draw(&source, Rect{-2, -2, 2, 2});
            picture->buildMask(&source, Point{3, 3});
            picture->setKeyColor(colorRed);  // the mask, made with white, stays in charge
        }
        GraphicsLibrary::transparentBlt = path == systemCopy ? reinterpret_cast<void*>(recordTransparentBlt) : nullptr;
        transparentBltSeen = {};

        DrawTestSurface surface(8, 8);
        surface.fillPattern();
        DrawContext context(nullptr, surface.dc(), nullptr);
        context.setOrigin(Point{1, 0});
        picture->drawKeyed(&context, Rect{2, 2, 5, 6}, Point{1, 0});  // source columns 1..3
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x) {
                const bool inside = x >= 3 && x < 6 && y >= 2 && y < 6;
                const COLORREF source = inside ? trueColour[y - 2][x - 2] : white;
                EXPECT_EQ(surface.pixel(x, y), source == white ? DrawTestSurface::patternAt(x, y) : source)
                    << x << "," << y;
            }
        if (path == systemCopy) {
            EXPECT_EQ(transparentBltSeen.calls, 1);
            const RECT& d = transparentBltSeen.destination;
            EXPECT_EQ((Rect{d.left, d.top, d.right, d.bottom}), (Rect{3, 2, 3, 4}));  // x, y, w, h
            EXPECT_EQ(transparentBltSeen.source.x, 1);
            EXPECT_EQ(transparentBltSeen.key, white);
        } else if (path == rasterOnly) {  // another key: red is left out, white drawn
            picture->setKeyColor(colorRed);
            surface.fillPattern();
            picture->drawKeyed(&context, Rect{-1, 0, 1, 1});
            EXPECT_EQ(surface.pixel(0, 0), DrawTestSurface::patternAt(0, 0));
            EXPECT_EQ(surface.pixel(1, 0), white);
        }
        picture->release();
    }
    GraphicsLibrary::transparentBlt = reinterpret_cast<void*>(systemTransparentBlt);
}

TEST_F(PictureTest, BlendedDrawingMixesWithConstantOpacityOrDrawsNothingWithoutTheLibrary)
{
    DrawTestSurface surface(4, 4, RGB(0, 0, 200));
    DrawContext context(nullptr, surface.dc(), nullptr);
    Picture* picture = new Picture(900);
    picture->drawBlended(&context, Rect{0, 0, 1, 1}, Point{}, 128);  // red over blue
    const COLORREF mixed = surface.pixel(0, 0);
    EXPECT_NEAR(GetRValue(mixed), 128, 1);
    EXPECT_EQ(GetGValue(mixed), 0);
    EXPECT_NEAR(GetBValue(mixed), 100, 1);
    picture->drawBlended(&context, Rect{0, 0, 4, 4}, Point{}, 255);
    EXPECT_EQ(surface.pixel(3, 1), trueColour[1][3]);

    const auto alphaBlend = GraphicsLibrary::alphaBlend;
    GraphicsLibrary::alphaBlend = nullptr;
    surface.fill(0);
    picture->drawBlended(&context, Rect{0, 0, 4, 4}, Point{}, 255);
    GraphicsLibrary::alphaBlend = alphaBlend;
    EXPECT_EQ(surface.count(0), 16);
    picture->release();
}

TEST_F(PictureTest, TheLastReleaseDeletesTheBitmapAndTheMask)
{
    DrawTestSurface surface(4, 4);
    DrawContext context(nullptr, surface.dc(), nullptr);
    Picture* picture = new Picture(900);
    picture->retain();
    picture->buildMask(&context, Point{});
    picture->buildMask(&context, Point{});  // replaces the first mask
    const HBITMAP bitmap = static_cast<HBITMAP>(picture->getBitmap()),
                  mask = static_cast<HBITMAP>(picture->getMaskBitmap());
    picture->release();
    EXPECT_EQ(picture->referenceCount(), 1);
    picture->draw(&context, Rect{0, 0, 4, 4});  // still usable
    EXPECT_EQ(surface.pixel(3, 1), trueColour[1][3]);
    picture->release();
    EXPECT_EQ(GetObjectType(bitmap), 0u);
    EXPECT_EQ(GetObjectType(mask), 0u);

    Picture* empty = new Picture(nullptr, 8, 6);
    BITMAP description{};
    GetObjectA(static_cast<HBITMAP>(empty->getBitmap()), sizeof description, &description);
    EXPECT_EQ((Rect{0, 0, description.bmWidth, description.bmHeight}), (Rect{0, 0, 8, 6}));
    EXPECT_EQ(description.bmBitsPixel, GetDeviceCaps(surface.dc(), BITSPIXEL));  // the screen's depth
    empty->release();
}

TEST_F(PictureTest, TheFootswitchOffsetShowsItsLowerHalf)
{
    ASSERT_NE(FindResourceA(nullptr, MAKEINTRESOURCEA(129), MAKEINTRESOURCEA(2)), nullptr)
        << "resources/Backtwister.rc must be compiled into this program";
    DrawTestSurface whole(70, 140), face(320, 240);
    DrawContext wholeContext(nullptr, whole.dc(), nullptr), faceContext(nullptr, face.dc(), nullptr);
    Picture* footswitch = new Picture(129);
    footswitch->draw(&wholeContext, Rect{0, 0, 70, 140});
    footswitch->draw(&faceContext, Rect{120, 95, 190, 165}, Point{0, 70});
    for (int y = 0; y < 70; ++y)
        for (int x = 0; x < 70; ++x)
            ASSERT_EQ(face.pixel(120 + x, 95 + y), whole.pixel(x, 70 + y)) << x << "," << y;
    const Rect ink = face.extent(0, false);
    EXPECT_TRUE(ink.left >= 120 && ink.top >= 95 && ink.right <= 189 && ink.bottom <= 164);
    footswitch->release();
}
