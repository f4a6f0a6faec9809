// The animation control: stepping with wrap-around, drawing only while running, and real
// clicks that start and stop it.
#include <gtest/gtest.h>

#include "gui/controls/AnimationControl.h"
#include "tests/gui/ControlTestSupport.h"

using namespace kelp;

TEST(AnimationTest, StepsThroughEveryFrameWrapsAtBothEndsAndDrawsOnlyWhileRunning)
{
    useTestModule();
    Picture* strip = new Picture(910);  // solid frames 20 x 10: red, green, blue
    AnimationControl animation(Rect{0, 0, 20, 10}, nullptr, 0, 3, 10, strip, Point{});
    strip->release();
    std::vector<float> steps;
    for (int i = 0; i < 3; ++i, animation.nextFrame())
        steps.push_back(animation.getValue());
    for (int i = 0; i < 3; ++i, animation.previousFrame())
        steps.push_back(animation.getValue());
    EXPECT_EQ(steps, (std::vector<float>{0, 10, 20, 0, 20, 10}));

    DrawTestSurface surface(20, 10, RGB(255, 255, 255));
    DrawContext context(nullptr, surface.dc(), nullptr);
    animation.draw(&context);
    EXPECT_EQ(surface.count(RGB(255, 255, 255)), 20 * 10);
    EXPECT_TRUE(animation.isDirty()) << "waits for its start";
    animation.setValue(20.0f);
    animation.start();
    animation.draw(&context);
    EXPECT_EQ(surface.count(RGB(0, 0, 200)), 20 * 10);
}

using AnimationGestureTest = ControlGestureTest;

TEST_F(AnimationGestureTest, AClickStartsAndTellsASecondStopsSilently)
{
    auto* animation = attach(new AnimationControl(Rect{20, 20, 40, 30}, editor, 1, 3, 10, nullptr, Point{}));
    animation->setValue(10.0f);
    showAll();
    click(Point{25, 25});
    EXPECT_TRUE(animation->isRunning());
    EXPECT_EQ(editor->heard, std::vector<float>{0.0f});
    animation->nextFrame();
    click(Point{25, 25});
    EXPECT_FALSE(animation->isRunning());
    EXPECT_EQ(animation->getValue(), 0.0f);
    EXPECT_EQ(editor->heard.size(), 1u);
}
