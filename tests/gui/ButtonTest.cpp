// The tracking toggle and the momentary button under real presses that the host hears as edits
// (the momentary button's return to off after the edit).
#include <gtest/gtest.h>

#include "gui/controls/MomentaryButton.h"
#include "gui/controls/TrackingToggleButton.h"
#include "tests/gui/ControlTestSupport.h"

using namespace kelp;

namespace {

class ButtonGestureTest : public ControlGestureTest {
protected:
    void SetUp() override
    {
        ControlGestureTest::SetUp();
        footswitch = new Picture(129);  // off above on, 70 x 70 each
    }
    void TearDown() override
    {
        ControlGestureTest::TearDown();
        footswitch->release();
    }
    Picture* footswitch = nullptr;
};

}  // namespace

TEST_F(ButtonGestureTest, ATrackingToggleDraggedOffBeforeReleaseStaysOff)
{
    auto* toggle = attach(new TrackingToggleButton(Rect{20, 20, 90, 90}, editor, 1, 70, footswitch, Point{}));
    showAll();
    perform(to(Point{50, 50}) + "mousedown 1 sleep 0.3" + to(Point{150, 150}) + "sleep 0.3 mouseup 1");
    EXPECT_EQ(toggle->getValue(), 0.0f);
    EXPECT_EQ(edits(), (Edits{"begin 1", "automate 1 1", "automate 1 0", "end 1"}));

    recorder.calls.clear();
    click(Point{50, 50});
    EXPECT_EQ(toggle->getDrawnValue(), 1.0f) << "released inside: toggled";
    EXPECT_EQ(edits(), (Edits{"begin 1", "automate 1 1", "end 1"}));
}

TEST_F(ButtonGestureTest, AMomentaryButtonIsOnWhileHeldAndAlwaysComesBack)
{
    auto* button = attach(new MomentaryButton(Rect{20, 20, 90, 90}, editor, 2, 70, footswitch, Point{}));
    showAll();
    click(Point{50, 50});
    EXPECT_EQ(button->getValue(), 0.0f);
    EXPECT_EQ(edits(), (Edits{"begin 2", "automate 2 1", "end 2", "automate 2 0"}));

    recorder.calls.clear();  // with a modifier: flipped once, outside any edit
    perform(to(Point{50, 50}) + "keydown shift mousedown 1 sleep 0.3 mouseup 1 keyup shift");
    EXPECT_EQ(edits(), (Edits{"automate 2 1", "automate 2 0"}));
}
