// What film-strip knobs draw: the frame of the project's own knob strip their value selects.
#include <gtest/gtest.h>

#include <utility>

#include "gui/controls/FilmstripKnob.h"
#include "gui/draw/DrawContext.h"
#include "gui/draw/Picture.h"
#include "tests/gui/DrawTestSurface.h"

using namespace kelp;

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
                for (int x = 0; same && x < 37; ++x)
                    same = surface.pixel(x, y) == frames.pixel(x, frame * 43 + y);
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
