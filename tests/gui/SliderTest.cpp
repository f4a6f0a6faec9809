// Where sliders draw their handle, through an offscreen surface that lives while they are attached.
#include <gtest/gtest.h>

#include "gui/controls/HorizontalSlider.h"
#include "gui/controls/VerticalSlider.h"
#include "gui/draw/DrawContext.h"
#include "gui/draw/GraphicsLibrary.h"
#include "gui/draw/Picture.h"
#include "gui/draw/RootView.h"
#include "tests/gui/DrawTestSurface.h"

using namespace kelp;

namespace {

// Colours of make-slider-test-bitmaps.py.
constexpr COLORREF handleColour = RGB(200, 30, 40);
COLORREF trackColour(int row) { return RGB(0, 60 + row, 120); }

// A root without a window, whose offscreen surfaces are compatible with the screen.
class SliderDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        moduleInstance = GetModuleHandleA(nullptr);
        handle = new Picture(950);
        track = new Picture(951);
        ASSERT_TRUE(handle->isLoaded() && track->isLoaded());
        live = GraphicsLibrary::liveObjects();
    }
    void TearDown() override
    {
        delete root;
        EXPECT_EQ(GraphicsLibrary::liveObjects(), live) << "the offscreen surface goes with the slider";
        handle->release();
        track->release();
    }

    // Where the handle's colour lands after drawing with the value.
    Rect drawn(Slider& slider, float value)
    {
        slider.setValue(value);
        DrawContext context(nullptr, surface.dc(), nullptr);
        slider.draw(&context);
        return surface.extent(handleColour);
    }

    Picture* handle = nullptr;
    Picture* track = nullptr;
    RootView* root = new RootView(Rect{0, 0, 100, 160}, HWND(nullptr), nullptr);
    DrawTestSurface surface{100, 160, RGB(9, 9, 9)};
    int live = 0;
};

}  // namespace

TEST_F(SliderDrawing, VerticalHandleStandsForTheValueFromTheBottomOverTheTrack)
{
    // Track 108 long, handle 8 high: 100 pixels of travel.
    auto* slider = new VerticalSlider(Rect{20, 30, 32, 138}, nullptr, 0, Point{}, 108, handle, track, Point{0, 10},
                                      Slider::kBottom);
    ASSERT_TRUE(root->attachChild(slider));
    EXPECT_GT(GraphicsLibrary::liveObjects(), live);

    EXPECT_EQ(drawn(*slider, 0.25f), (Rect{20, 105, 31, 112}));
    EXPECT_EQ(drawn(*slider, 0.0f), (Rect{20, 130, 31, 137}));
    EXPECT_EQ(drawn(*slider, 1.0f), (Rect{20, 30, 31, 37}));
    EXPECT_EQ(surface.pixel(20, 30), trackColour(10)) << "the handle's key pixel shows the track";
    EXPECT_EQ(surface.pixel(25, 80), trackColour(60));
    EXPECT_EQ(surface.extent(RGB(9, 9, 9), false), (Rect{20, 30, 31, 137}));
    EXPECT_FALSE(slider->isDirty());

    root->detachChild(slider, true);
    EXPECT_EQ(GraphicsLibrary::liveObjects(), live);
}

// Built from window positions: value 0 at the first, value 1 at the last.
TEST_F(SliderDrawing, HorizontalHandleRunsFromTheFirstToTheLastPositionWithoutTrails)
{
    auto* slider =
        new HorizontalSlider(Rect{10, 5, 90, 13}, nullptr, 0, 20, 60, handle, nullptr, Point{}, Slider::kLeft);
    root->attachChild(slider);
    EXPECT_EQ(drawn(*slider, 1.0f), (Rect{60, 5, 71, 12}));
    EXPECT_EQ(drawn(*slider, 0.5f), (Rect{40, 5, 51, 12}));
    EXPECT_EQ(drawn(*slider, 0.0f), (Rect{20, 5, 31, 12}));
    EXPECT_EQ(drawn(*slider, 1.5f), (Rect{60, 5, 71, 12})) << "kept at the end of the track";
    EXPECT_EQ(surface.pixel(60, 5), RGB(0, 0, 0));
}
