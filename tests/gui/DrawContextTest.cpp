#include <gtest/gtest.h>

#include <tuple>
#include <vector>

#include "gui/draw/DrawContext.h"
#include "gui/draw/GraphicsLibrary.h"
#include "gui/draw/RootView.h"
#include "tests/gui/DrawTestSurface.h"

using namespace kelp;

namespace {

constexpr COLORREF white = 0xFFFFFF;
constexpr COLORREF red = 0x0000FF;

template <typename Record>
Record selected(HDC dc, UINT kind)
{
    Record record{};
    GetObjectA(GetCurrentObject(dc, kind), sizeof record, &record);
    return record;
}

// Style, width and colour of the selected pen.
std::tuple<UINT, LONG, COLORREF> penOf(HDC dc)
{
    const LOGPEN pen = selected<LOGPEN>(dc, OBJ_PEN);
    return {pen.lopnStyle, pen.lopnWidth.x, pen.lopnColor};
}

}  // namespace

TEST(DrawContext, StartsWithWhitePenAndBlackBrushAndRestoresTheDeviceContextWithoutLeaks)
{
    DrawTestSurface surface(4, 4);
    HDC dc = surface.dc();
    const HGDIOBJ pen = GetCurrentObject(dc, OBJ_PEN), brush = GetCurrentObject(dc, OBJ_BRUSH);
    const HGDIOBJ font = GetCurrentObject(dc, OBJ_FONT);
    const int liveBefore = GraphicsLibrary::liveObjects();

    auto* context = new DrawContext(nullptr, dc, nullptr);
    EXPECT_EQ(penOf(dc), std::make_tuple(UINT(PS_SOLID), LONG(1), white));
    EXPECT_EQ(selected<LOGBRUSH>(dc, OBJ_BRUSH).lbColor, 0u);
    EXPECT_EQ(GetBkColor(dc), 0u);
    EXPECT_EQ(GetTextColor(dc), white);
    EXPECT_EQ(GetBkMode(dc), TRANSPARENT);
    Rect clip;
    EXPECT_EQ(context->getClip(clip), (Rect{0, 0, 1000, 1000}));

    context->setPenWidth(3);  // the pen always takes the latest width, style and colour together
    context->setPenStyle(penDotted);
    context->setPenColor(colorRed);
    EXPECT_EQ(penOf(dc), std::make_tuple(UINT(PS_DOT), LONG(3), red));
    context->setBrushColor(colorBlue);
    EXPECT_EQ(GetBkColor(dc), 0xFF0000u);
    context->selectFont(fontLarge);
    const HGDIOBJ ownPen = GetCurrentObject(dc, OBJ_PEN);

    delete context;
    EXPECT_EQ(GetCurrentObject(dc, OBJ_PEN), pen);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BRUSH), brush);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
    EXPECT_EQ(GetObjectType(ownPen), 0u);
    EXPECT_EQ(GraphicsLibrary::liveObjects(), liveBefore);
}

TEST(DrawContext, FrameFillAndLinesCoverTheirPixelsAndTheOriginDoesNotMoveTheClip)
{
    DrawTestSurface surface(40, 40);
    DrawContext context(nullptr, surface.dc(), nullptr);
    context.frameRect(Rect{2, 2, 5, 5});
    context.setBrushColor(colorRed);
    context.fillRect(Rect{2, 2, 5, 5});
    EXPECT_EQ(surface.extent(white), (Rect{2, 2, 5, 5}));
    EXPECT_EQ(surface.count(white), 12);  // the fill never overwrites the frame
    EXPECT_EQ(surface.extent(red), (Rect{3, 3, 4, 4}));
    EXPECT_EQ(surface.count(red), 4);

    surface.fill(0);
    context.setOrigin(Point{10, 20});
    context.moveTo(Point{-6, 0});
    context.lineTo(Point{0, 0});
    EXPECT_EQ(surface.extent(white), (Rect{4, 20, 9, 20}));  // the end pixel is left out

    context.setClip(Rect{0, 0, 5, 5});
    context.fillRect(Rect{-11, -21, 20, 20});  // would cover the whole surface
    EXPECT_EQ(surface.extent(red), (Rect{0, 0, 4, 4}));
    context.resetClip();
    context.fillRect(Rect{-11, -21, 20, 20});
    EXPECT_EQ(surface.extent(red), (Rect{0, 0, 29, 39}));
}

TEST(DrawContext, MixModesCombineThePenWithTheDestinationAndSkipUnchangedModes)
{
    DrawTestSurface surface(4, 1, RGB(0xF0, 0x34, 0x12));
    DrawContext context(nullptr, surface.dc(), nullptr);
    context.setPenColor(Color{0x0F, 0xFF, 0x00, 0});
    context.setMixMode(mixMerge);
    context.moveTo(Point{0, 0});
    context.lineTo(Point{1, 0});
    EXPECT_EQ(surface.pixel(0, 0), COLORREF(RGB(0xFF, 0xFF, 0x12)));  // OR
    context.setMixMode(mixNotXor);
    context.lineTo(Point{2, 0});
    EXPECT_EQ(surface.pixel(1, 0), COLORREF(RGB(0x00, 0x34, 0xED)));  // NOT XOR

    SetROP2(surface.dc(), R2_BLACK);  // behind the context's back: an unchanged mode must not reset it
    context.setMixMode(mixNotXor);
    EXPECT_EQ(GetROP2(surface.dc()), R2_BLACK);
    context.setMixMode(7);
    EXPECT_EQ(GetROP2(surface.dc()), R2_COPYPEN);
}

TEST(DrawContext, SelectFontFollowsTheFontTableAndDeletesTheFontItReplaces)
{
    DrawTestSurface surface(4, 4);
    DrawContext context(nullptr, surface.dc(), nullptr);
    struct {
        int id, size, style;
        const char* face;
        LONG height, weight;
        BYTE italic, family;
    } const cases[] = {
        {9, 0, 0, "Arial", -12, 700, 0, 0x22},  // out of range: slot 0, always bold
        {3, 0, 1, "Arial", -12, 700, 0, 0x22},  {3, 0, 0, "Arial", -12, 400, 0, 0x22},
        {6, 20, 2, "Arial", -20, 400, 1, 0x22}, {7, 0, 0, "Symbol", -13, 400, 0, 0x50},
    };
    HGDIOBJ previous = nullptr;
    for (const auto& c : cases) {
        context.selectFont(c.id, c.size, c.style);
        const LOGFONTA font = selected<LOGFONTA>(surface.dc(), OBJ_FONT);
        EXPECT_STREQ(font.lfFaceName, c.face);
        EXPECT_EQ(font.lfHeight, c.height) << c.id;
        EXPECT_EQ(font.lfWeight, c.weight) << c.id;
        EXPECT_EQ(font.lfItalic, c.italic) << c.id;
        EXPECT_EQ(font.lfPitchAndFamily, c.family) << c.id;
        EXPECT_EQ(context.getFontId(), c.id == 9 ? 0 : c.id);
        EXPECT_EQ(GetObjectType(previous), 0u);  // the replaced font is deleted
        previous = GetCurrentObject(surface.dc(), OBJ_FONT);
    }
}

TEST(DrawContext, TextIsPlacedByAlignmentAndIsOpaqueOnlyOnRequest)
{
    DrawTestSurface surface(60, 20);
    DrawContext context(nullptr, surface.dc(), nullptr);
    context.selectFont(fontNormal);
    EXPECT_GT(context.textWidth("MM"), context.textWidth("M"));
    auto ink = [&](const char* text, int align) {
        surface.fill(0);
        context.drawText(text, Rect{10, 0, 50, 20}, false, align);
        return surface.extent(0, false);  // smoothed glyphs: anything not black is ink
    };
    const Rect left = ink("I", alignLeft);
    EXPECT_EQ(ink("I", 3), left);
    surface.fill(0);
    RECT inset{11, 0, 50, 20};  // left alignment starts one pixel in from the box
    DrawTextA(surface.dc(), "I", -1, &inset, DT_SINGLELINE | DT_VCENTER | DT_LEFT);
    EXPECT_EQ(surface.extent(0, false), left);
    EXPECT_EQ(ink(nullptr, alignLeft), DrawTestSurface::nothing);
    EXPECT_GT(ink("I", alignRight).right, 45);
    EXPECT_NEAR(ink("I", alignCenter).left, 30, 4);

    context.setBrushColor(colorBlue);
    ink("I", alignCenter);
    EXPECT_EQ(surface.count(0xFF0000), 0);
    context.drawText("I", Rect{10, 0, 50, 20}, true, alignCenter);
    EXPECT_GT(surface.count(0xFF0000), 0);
    EXPECT_EQ(GetBkMode(surface.dc()), TRANSPARENT);
}

TEST(DrawContext, FilledShapesHaveNoOutlineAndFramedOnesIncludeTheirEdges)
{
    DrawTestSurface surface(24, 24);
    DrawContext context(nullptr, surface.dc(), nullptr);
    context.setBrushColor(colorRed);
    context.fillEllipse(Rect{0, 0, 10, 10});  // shifted one pixel right and down
    EXPECT_EQ(surface.extent(red), (Rect{1, 1, 10, 10}));
    EXPECT_EQ(surface.count(white), 0);

    surface.fill(0);
    context.frameEllipse(Rect{2, 2, 12, 8});
    EXPECT_EQ(surface.extent(white), (Rect{2, 2, 12, 8}));

    surface.fill(0);
    context.fillPie(Rect{0, 0, 20, 20}, Point{20, 10}, Point{10, 0});  // counter-clockwise: upper right
    EXPECT_EQ(surface.count(white), 0);
    const Rect quarter = surface.extent(red);
    EXPECT_GE(quarter.left, 10);
    EXPECT_LE(quarter.bottom, 10);
    EXPECT_EQ(surface.pixel(15, 6), red);

    std::vector<Point> outline;  // a rectangle in 40 points: past the fixed array of short lists
    for (int i = 0; i < 40; ++i)
        outline.push_back(i < 20 ? Point{2 + i / 2, 2} : Point{11 - (i - 20) / 2, 12});
    surface.fill(0);
    context.fillPolygon(outline.data(), int(outline.size()));
    EXPECT_EQ(surface.extent(red), (Rect{2, 2, 10, 11}));
    EXPECT_EQ(surface.count(white), 0);
}

TEST(DrawContext, FloodFillPixelsAndCopyFrom)
{
    DrawTestSurface surface(12, 12);
    DrawContext context(nullptr, surface.dc(), nullptr);
    context.frameRect(Rect{2, 2, 8, 8});
    context.setBrushColor(colorRed);
    context.floodFill(Point{4, 4});
    EXPECT_EQ(surface.extent(red), (Rect{3, 3, 7, 7}));
    EXPECT_EQ(surface.count(red), 25);

    context.setPixel(Point{10, 10}, Color{1, 2, 3, 0xFF});
    EXPECT_EQ(surface.pixel(10, 10), 0x030201u);
    context.setOrigin(Point{5, 5});
    EXPECT_EQ(context.getPixel(Point{5, 5}), (Color{1, 2, 3, 0}));

    DrawTestSurface source(12, 12);
    source.fillPattern();
    DrawContext from(nullptr, source.dc(), nullptr);
    from.setOrigin(Point{2, 3});
    surface.fill(0);
    context.copyFrom(&from, Rect{1, 1, 4, 3}, Point{6, 7});  // this context's origin is not added
    EXPECT_EQ(surface.pixel(6, 7), DrawTestSurface::patternAt(3, 4));
    EXPECT_EQ(surface.extent(0, false), (Rect{6, 7, 8, 8}));
}

TEST(DrawContext, WindowContextsFollowTheCursorTheButtonsAndSecondPresses)
{
    DrawTestWindow window(50, 60, 100, 80);
    RootView root(Rect{0, 0, 320, 240}, nullptr, nullptr);
    HDC dc = GetDC(window.handle);
    auto* context = new DrawContext(&root, dc, window.handle);
    Rect clip;
    EXPECT_EQ(context->getClip(clip), (Rect{0, 0, 320, 240}));
    context->setBrushColor(colorRed);
    context->fillRect(Rect{4, 4, 10, 10});
    EXPECT_EQ(context->getPixel(Point{9, 9}), colorRed);
    EXPECT_NE(context->getPixel(Point{10, 10}), colorRed);
    ASSERT_TRUE(SetCursorPos(70, 100));
    Point where;
    context->cursorPosition(where);
    EXPECT_EQ(where, (Point{20, 40}));  // measured from the window's screen corner

    INPUT press{};
    press.type = INPUT_MOUSE;
    press.mi.dwFlags = MOUSEEVENTF_LEFTUP | MOUSEEVENTF_MIDDLEUP;  // whatever an earlier test left held
    SendInput(1, &press, sizeof press);
    press.mi.dwFlags = MOUSEEVENTF_RIGHTDOWN;
    SendInput(1, &press, sizeof press);
    const int plain = DrawContext::mouseButtons();
    DrawContext::setMouseButtonsSwapped(true);
    const int swapped = DrawContext::mouseButtons();
    DrawContext::setMouseButtonsSwapped(false);
    press.mi.dwFlags = MOUSEEVENTF_RIGHTUP;
    SendInput(1, &press, sizeof press);
    EXPECT_EQ(plain, mouseRight);
    EXPECT_EQ(swapped, mouseLeft);

    auto receivePress = [&] {
        PostMessageA(window.handle, WM_LBUTTONDOWN, 0, 0);
        MSG message;
        GetMessageA(&message, window.handle, WM_LBUTTONDOWN, WM_LBUTTONDOWN);  // sets the message time
    };
    receivePress();
    PostMessageA(window.handle, WM_LBUTTONDOWN, 0, 0);
    EXPECT_TRUE(context->detectDoubleClick());
    MSG second;
    EXPECT_FALSE(PeekMessageA(&second, window.handle, WM_LBUTTONDOWN, WM_LBUTTONDOWN, PM_NOREMOVE));  // consumed
    receivePress();
    Sleep(GetDoubleClickTime() + 50);
    const DWORD start = GetTickCount();
    EXPECT_FALSE(context->detectDoubleClick());
    EXPECT_LT(GetTickCount() - start, 50u);
    delete context;
    ReleaseDC(window.handle, dc);
}
