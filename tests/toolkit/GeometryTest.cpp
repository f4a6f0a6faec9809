#include <gtest/gtest.h>

#include "gui/draw/Geometry.h"

using namespace kelp;

TEST(Geometry, HalfOpenPointTestClosedViewTestsAndClipping)
{
    const Rect r{0, 0, 4, 4};
    EXPECT_TRUE(r.pointInside(Point{3, 3}));
    EXPECT_FALSE(r.pointInside(Point{4, 0}));
    EXPECT_FALSE(r.pointInside(Point{0, 4}));
    EXPECT_TRUE(r.pointInsideClosed(Point{4, 4}));
    EXPECT_FALSE(r.pointInsideClosed(Point{5, 4}));
    EXPECT_TRUE(r.overlapsClosed(Rect{4, 4, 9, 9}));  // touching edges overlap
    EXPECT_FALSE(r.overlapsClosed(Rect{5, 0, 9, 9}));

    Rect disjoint{0, 0, 10, 10};
    disjoint.clipTo(Rect{20, 20, 30, 30});
    EXPECT_EQ(disjoint, (Rect{20, 20, 20, 20}));
    disjoint = Rect{0, 0, 10, 10};
    disjoint.clipTo(Rect{-5, 3, 4, 30});
    EXPECT_EQ(disjoint, (Rect{0, 3, 4, 10}));
    EXPECT_TRUE((Rect{5, 5, 5, 9}).isEmpty());
    EXPECT_TRUE((Rect{6, 0, 5, 9}).isEmpty());
    EXPECT_FALSE((Rect{5, 5, 6, 6}).isEmpty());
}

TEST(Geometry, ColoursMapToColorrefWithoutTheFourthByte)
{
    EXPECT_EQ(colorRed.platformColor(), 0x0000FFu);
    EXPECT_EQ(colorBlue.platformColor(), 0xFF0000u);
    EXPECT_EQ((Color{1, 2, 3, 0xEE}).platformColor(), 0x030201u);
    EXPECT_EQ(Color::fromPlatform(0xAA030201u), (Color{1, 2, 3, 0}));
}
