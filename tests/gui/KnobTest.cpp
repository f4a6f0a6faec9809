// Knob angle mapping and value/point round trips, and what knobs and film-strip knobs draw.
#include <gtest/gtest.h>

#include <numbers>
#include <utility>

#include "gui/controls/FilmstripKnob.h"
#include "gui/draw/DrawContext.h"
#include "gui/draw/Picture.h"
#include "tests/gui/DrawTestSurface.h"

namespace {

constexpr float pi = std::numbers::pi_v<float>;

Point pointFor(Knob& knob, float value)
{
    knob.setValue(value);
    Point p;
    knob.valueToPoint(p);
    return p;
}

}  // namespace

TEST(KnobMapping, DefaultSweepRunsClockwiseFromLowerLeftOverTheTopToLowerRight)
{
    Knob knob(Rect{10, 10, 50, 50}, nullptr, 0, nullptr, nullptr, Point{});
    EXPECT_EQ(knob.getInset(), 3);
    EXPECT_EQ(pointFor(knob, 0.5f), (Point{20, 3}));
    EXPECT_EQ(pointFor(knob, 0.0f), (Point{8, 32}));   // 225 degrees
    EXPECT_EQ(pointFor(knob, 1.0f), (Point{32, 32}));  // -45 degrees
    EXPECT_FLOAT_EQ(knob.pointToValue(Point{20, 0}), 0.5f);
    EXPECT_EQ(knob.pointToValue(Point{21, 39}), 1.0f) << "right half of the bottom gap";
    EXPECT_EQ(knob.pointToValue(Point{19, 39}), 0.0f) << "left half of the bottom gap";
    for (float value = 0.0f; value <= 1.0f; value += 0.125f)
        EXPECT_NEAR(knob.pointToValue(pointFor(knob, value)), value, 0.02f) << value;
}

TEST(KnobMapping, CounterClockwiseSweepFollowsTheRangeAsItWasWhenAnAngleWasSet)
{
    Knob knob(Rect{0, 0, 40, 40}, nullptr, 0, nullptr, nullptr, Point{});
    knob.setStartAngle(pi);  // from the left through the bottom to the right
    knob.setRangeAngle(pi);
    EXPECT_NEAR(knob.pointToValue(Point{20, 39}), 0.5f, 0.01f);
    EXPECT_EQ(knob.pointToValue(Point{19, 0}), 0.0f);
    EXPECT_EQ(knob.pointToValue(Point{21, 0}), 1.0f);
    EXPECT_EQ(pointFor(knob, 0.5f), (Point{20, 37}));

    knob.setMax(2.0f);
    EXPECT_NEAR(knob.pointToValue(Point{20, 39}), 0.5f, 0.01f);
    knob.setRangeAngle(pi);
    EXPECT_NEAR(knob.pointToValue(Point{20, 39}), 1.0f, 0.01f);
}

// Without a range or a sweep there is no angle for a value: the handle stays at the start
// and no point maps to a value outside the range.
TEST(KnobMapping, EmptyRangeOrSweepKeepsEverythingAtTheStart)
{
    Knob knob(Rect{0, 0, 40, 40}, nullptr, 0, nullptr, nullptr, Point{});
    knob.setMax(0.0f);
    knob.setRangeAngle(-pi);
    EXPECT_EQ(pointFor(knob, 0.0f), (Point{8, 32}));

    knob.setMax(1.0f);
    knob.setStartAngle(0.0f);
    knob.setRangeAngle(0.0f);
    EXPECT_EQ(pointFor(knob, 0.7f), (Point{37, 20}));
    EXPECT_EQ(knob.pointToValue(Point{40, 20}), 0.0f);
}

// Lines: tip (29, 13) to centre (29, 30) in the shadow colour, then both one pixel right and up
// in the handle colour, end pixels excluded. A picture: centred on the handle point, key left out.
TEST(KnobDrawing, HandleIsALightLineOverItsShadowOrAPictureCentredOnTheHandlePoint)
{
    DrawTestSurface lines(60, 60);
    DrawTestSurface picture(60, 60, RGB(9, 9, 9));
    auto* handle = new Picture(900);  // 4 x 4; red at (0, 0), white at (1, 0)
    Knob lineKnob(Rect{10, 10, 50, 50}, nullptr, 0, nullptr, nullptr, Point{});
    Knob pictureKnob(Rect{10, 10, 50, 50}, nullptr, 0, nullptr, handle, Point{});
    handle->release();
    EXPECT_EQ(pictureKnob.getInset(), 4);  // 2.5 + 4 / 2: the point is (20, 4)
    lineKnob.setHandleColor(colorRed);
    lineKnob.setShadowColor(colorBlue);
    for (auto [knob, surface] : {std::pair{&lineKnob, &lines}, std::pair{&pictureKnob, &picture}}) {
        knob->setValue(0.5f);
        DrawContext context(nullptr, surface->dc(), nullptr);
        knob->draw(&context);
        EXPECT_FALSE(knob->isDirty());
    }
    EXPECT_EQ(lines.extent(RGB(0, 0, 255)), (Rect{29, 13, 29, 29}));
    EXPECT_EQ(lines.extent(RGB(255, 0, 0)), (Rect{30, 12, 30, 28}));
    EXPECT_EQ(picture.extent(RGB(9, 9, 9), false), (Rect{28, 12, 31, 15}));
    EXPECT_EQ(picture.pixel(28, 12), RGB(255, 0, 0));
    EXPECT_EQ(picture.pixel(29, 12), RGB(9, 9, 9));
}

// The project's knob strip: 80 frames of 37 x 43, compared with the frame the value should show.
TEST(FilmstripKnobDrawing, ValueChoosesTheFrameAndNothingLiesOutsideTheStrip)
{
    auto* strip = new Picture(130);
    ASSERT_EQ(strip->getHeight(), 80 * 43);
    DrawTestSurface frames(37, 80 * 43);
    DrawContext framesContext(nullptr, frames.dc(), nullptr);
    strip->draw(&framesContext, Rect{0, 0, 37, 80 * 43});
    FilmstripKnob knob(Rect{0, 0, 37, 43}, nullptr, 0, 80, 43, strip, Point{5, 5});
    EXPECT_EQ(knob.getInset(), 0);
    auto shownFrame = [&] {  // the first frame the drawing matches, or -1
        DrawTestSurface surface(37, 43);
        DrawContext context(nullptr, surface.dc(), nullptr);
        knob.draw(&context);
        for (int frame = 0; frame < 80; ++frame) {
            bool same = true;
            for (int y = 0; same && y < 43; ++y)
                for (int x = 0; same && x < 37; ++x) same = surface.pixel(x, y) == frames.pixel(x, frame * 43 + y);
            if (same)
                return frame;
        }
        return -1;
    };
    const std::pair<float, int> cases[] = {{0.0f, 0}, {0.5f, 39}, {0.999f, 78}, {1.0f, 79}, {-0.2f, 0}, {1.5f, 79}};
    for (const auto& [value, frame] : cases) {
        knob.setValue(value);
        EXPECT_EQ(shownFrame(), frame) << value;
    }
    FilmstripKnob flat(Rect{0, 0, 37, 43}, nullptr, 0, 80, 0, strip, Point{});
    flat.setValue(0.5f);
    EXPECT_EQ(flat.frameTop(), 0) << "a strip of empty frames shows its top";
    strip->release();
}
