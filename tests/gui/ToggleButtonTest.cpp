#include <gtest/gtest.h>

#include "gui/controls/ToggleButton.h"
#include "gui/draw/DrawContext.h"
#include "gui/draw/Picture.h"
#include "tests/gui/DrawTestSurface.h"

using namespace kelp;

namespace {

// Draws a 70 x 70 footswitch (resource 129: off above, on below) with the given value and
// tells which half of the picture landed on the surface.
class ToggleButtonDrawing : public ::testing::Test {
protected:
    void SetUp() override
    {
        moduleInstance = GetModuleHandleA(nullptr);
        picture = new Picture(129);
        ASSERT_TRUE(picture->isLoaded());
        // The two halves as they are, for comparison.
        for (int half = 0; half < 2; ++half) {
            DrawContext context(nullptr, halves[half].dc(), nullptr);
            picture->draw(&context, Rect{0, 0, 70, 70}, Point{0, 70 * half});
        }
    }
    void TearDown() override { picture->release(); }

    std::string shown(float value, bool transparent = false)
    {
        DrawTestSurface surface(70, 70, RGB(255, 255, 255));
        ToggleButton button(Rect{0, 0, 70, 70}, nullptr, 0, picture);
        button.setTransparent(transparent);
        button.setValue(value);
        DrawContext context(nullptr, surface.dc(), nullptr);
        button.draw(&context);
        EXPECT_FALSE(button.isDirty()) << "drawing records the value drawn";
        int same[2] = {0, 0};
        for (int y = 0; y < 70; ++y)
            for (int x = 0; x < 70; ++x)
                for (int half = 0; half < 2; ++half)
                    same[half] += surface.pixel(x, y) == halves[half].pixel(x, y);
        if (same[1] == 70 * 70)
            return "on";
        if (same[0] == 70 * 70)
            return "off";
        return "neither";
    }

    Picture* picture = nullptr;
    DrawTestSurface halves[2] = {DrawTestSurface(70, 70), DrawTestSurface(70, 70)};
};

}  // namespace

TEST_F(ToggleButtonDrawing, ZeroShowsTheUpperHalfAnythingElseTheLower)
{
    EXPECT_EQ(shown(0.0f), "off");
    EXPECT_EQ(shown(1.0f), "on");
    EXPECT_EQ(shown(0.3f), "on");
    EXPECT_EQ(shown(-0.0f), "off");
    // The footswitch art has no key-coloured pixels: keyed drawing shows the same picture.
    EXPECT_EQ(shown(1.0f, true), "on");
}

TEST_F(ToggleButtonDrawing, NoPictureDrawsNothingButStillClearsTheDirtyState)
{
    DrawTestSurface surface(70, 70, RGB(1, 2, 3));
    ToggleButton button(Rect{0, 0, 70, 70}, nullptr, 0, nullptr);
    button.setValue(1.0f);
    DrawContext context(nullptr, surface.dc(), nullptr);
    button.draw(&context);
    EXPECT_FALSE(button.isDirty());
    EXPECT_EQ(surface.count(RGB(1, 2, 3)), 70 * 70);
    EXPECT_EQ(picture->referenceCount(), 1) << "a button without a picture holds none";
}
