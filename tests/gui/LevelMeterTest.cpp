// The level meter: the bar jumps up at once and falls back by the decay step per drawing in
// whole segments, staying dirty until it shows the value.
#include <gtest/gtest.h>

#include "gui/controls/LevelMeter.h"
#include "tests/gui/ControlTestSupport.h"

using namespace kelp;

TEST(LevelMeterTest, JumpsUpAtOnceAndFallsBackByTheDecayStepInWholeSegments)
{
    useTestModule();
    Picture* on = new Picture(911);   // 100 x 10 green
    Picture* off = new Picture(912);  // 100 x 10 dark blue
    LevelMeter meter(Rect{0, 0, 100, 10}, on, off, 10, LevelMeter::styleHorizontal);
    LevelMeter fresh(Rect{0, 0, 100, 10}, on, nullptr, 10, LevelMeter::styleHorizontal);
    on->release();
    off->release();
    DrawTestSurface surface(100, 10);
    DrawContext context(nullptr, surface.dc(), nullptr);
    const auto litColumns = [&] {
        meter.draw(&context);
        EXPECT_EQ(surface.count(RGB(0, 200, 0)) + surface.count(RGB(0, 0, 120)), 100 * 10);
        return surface.count(RGB(0, 200, 0)) / 10;
    };
    meter.setOldValue(0.0f);
    meter.setValue(0.55f);
    EXPECT_EQ(litColumns(), 60);
    EXPECT_FALSE(meter.isDirty());

    meter.setValue(0.2f);
    std::vector<int> lit;
    while (meter.isDirty() && lit.size() < 10)
        lit.push_back(litColumns());
    EXPECT_EQ(lit, (std::vector<int>{50, 40, 30, 20})) << "0.45, 0.35, 0.25, then 0.2";
    meter.setDirty(true);
    EXPECT_NEAR(meter.getOldValue(), 0.2f, 1e-6) << "marking dirty leaves the level shown";

    fresh.draw(&context);
    EXPECT_NEAR(fresh.getOldValue(), 0.9f, 1e-6) << "a new meter falls from the top";
    int passes = 1;
    for (; fresh.isDirty() && passes < 20; ++passes)
        fresh.draw(&context);
    EXPECT_LE(passes, 11);
}

TEST(LevelMeterTest, AVerticalBarGrowsUpwardsFromTheBottom)
{
    useTestModule();
    Picture* strip = new Picture(910);  // 20 x 30: red, green, blue bands of 10
    LevelMeter meter(Rect{0, 0, 20, 30}, strip, nullptr, 3, 0);
    strip->release();
    DrawTestSurface surface(20, 30, RGB(255, 255, 255));
    DrawContext context(nullptr, surface.dc(), nullptr);
    meter.setOldValue(0.0f);
    meter.setValue(1.0f / 3);
    meter.draw(&context);
    EXPECT_EQ(surface.extent(RGB(255, 255, 255), false), (Rect{0, 20, 19, 29})) << "the picture's bottom third";
    EXPECT_EQ(surface.count(RGB(0, 0, 200)), 20 * 10);
}
