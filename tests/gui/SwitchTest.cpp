// The picture-strip views, switches and buttons: the frame a value selects, the value a pointer
// position gives, and real presses and drags of the switches that the host hears as edits.
#include <gtest/gtest.h>

#include "gui/controls/FilmstripView.h"
#include "gui/controls/HorizontalSwitch.h"
#include "gui/controls/MomentaryButton.h"
#include "gui/controls/PictureStrip.h"
#include "gui/controls/RockerSwitch.h"
#include "gui/controls/TrackingToggleButton.h"
#include "gui/controls/VerticalSwitch.h"
#include "tests/gui/ControlTestSupport.h"

using namespace kelp;

namespace {

// The frame of the strip the control shows after drawing value.
int shown(Control& control, float value, int frameHeight, int frames)
{
    DrawTestSurface surface(40, 45);
    control.setValue(value);
    DrawContext context(nullptr, surface.dc(), nullptr);
    control.draw(&context);
    Rect bounds;
    return frameShown(surface, control.getBounds(bounds), control.getBackground(), frameHeight, frames);
}

}  // namespace

TEST(SwitchTest, StripsShowTheFrameOfTheirValueFromTheirOffsetOrNot)
{
    useTestModule();
    Picture* knobs = new Picture(130);  // frames of 37 x 43
    Picture* solid = new Picture(910);  // three solid frames of 20 x 10
    FilmstripView view(Rect{0, 0, 37, 43}, nullptr, 0, 10, 43, knobs, Point{});
    FilmstripView shifted(Rect{0, 0, 37, 43}, nullptr, 0, 10, 43, knobs, Point{0, 2 * 43});
    VerticalSwitch vertical(Rect{0, 0, 20, 10}, nullptr, 0, 3, 10, 3, solid, Point{0, 10});
    RockerSwitch rocker(Rect{0, 0, 20, 10}, nullptr, 0, 10, solid, Point{}, 0);
    TrackingToggleButton toggle(Rect{0, 0, 20, 10}, nullptr, 0, 10, solid, Point{0, 10});
    MomentaryButton momentary(Rect{0, 0, 20, 10}, nullptr, 0, 10, solid, Point{0, 10});
    knobs->release();
    solid->release();

    EXPECT_EQ(shown(view, 0.5f, 43, 10), 5);
    EXPECT_EQ(shown(view, 1.3f, 43, 10), 9);
    EXPECT_EQ(view.getValue(), 1.0f) << "stored back";
    EXPECT_EQ(shown(view, -0.2f, 43, 10), 0);
    EXPECT_EQ(shown(shifted, 1.0f / 9, 43, 10), 3);
    EXPECT_EQ(shown(vertical, 0.5f, 10, 3), 1) << "the offset is not applied";
    EXPECT_EQ(shown(rocker, -1.0f, 10, 3), 0);
    EXPECT_EQ(shown(rocker, 0.0f, 10, 3), 1);
    EXPECT_EQ(shown(rocker, 1.0f, 10, 3), 2);
    EXPECT_EQ(shown(toggle, 7.0f, 10, 3), 1) << "clamped, offset not applied";
    EXPECT_EQ(toggle.getValue(), 1.0f);
    EXPECT_EQ(shown(momentary, 0.0f, 10, 3), 1);
    EXPECT_EQ(shown(momentary, 0.4f, 10, 3), 2);
}

using SwitchGestureTest = ControlGestureTest;

TEST_F(SwitchGestureTest, DraggingDownAVerticalSwitchMovesItToTheLowerPosition)
{
    Picture* picture = new Picture(129);  // two frames of 70: 35 pixels per position
    attach(new VerticalSwitch(Rect{20, 20, 90, 90}, editor, 3, 2, 70, 2, picture, Point{}));
    picture->release();
    showAll();
    perform(to(Point{50, 30}) + "mousedown 1 sleep 0.3" + to(Point{50, 80}) + "sleep 0.3 mouseup 1");
    EXPECT_EQ(edits(), (Edits{"begin 3", "automate 3 1", "end 3"}));
}

TEST_F(SwitchGestureTest, APressAcrossAHorizontalSwitchPicksThePositionUnderIt)
{
    Picture* picture = new Picture(129);  // 70 wide: 35 pixels per position
    attach(new HorizontalSwitch(Rect{120, 20, 190, 90}, editor, 1, 2, 70, 2, picture, Point{}));
    picture->release();
    showAll();
    click(Point{160, 50});
    EXPECT_EQ(edits(), (Edits{"begin 1", "automate 1 1", "end 1"}));
}

TEST_F(SwitchGestureTest, ARockerGoesToMinusOneWhileHeldAndSpringsBackWheelOrPress)
{
    auto* rocker =
        attach(new RockerSwitch(Rect{20, 120, 40, 130}, editor, 2, 10, nullptr, Point{}, RockerSwitch::styleLeftRight));
    showAll();
    click(Point{24, 125});
    EXPECT_EQ(edits(), (Edits{"begin 2", "automate 2 -1", "end 2", "automate 2 0"}));

    recorder.calls.clear();
    EXPECT_TRUE(rocker->wheel(nullptr, Point{}, -1.0f));
    EXPECT_EQ(edits(), (Edits{"automate 2 1", "automate 2 0"}));
    rocker->enableMouse(false);
    EXPECT_FALSE(rocker->wheel(nullptr, Point{}, 1.0f));
}
