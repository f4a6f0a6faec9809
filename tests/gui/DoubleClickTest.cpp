// A control's double clicks on a real root view: the second of two clicks within the
// system's double-click time, measured on the system tick counter.
#include <gtest/gtest.h>

#include "gui/controls/Control.h"
#include "tests/gui/RootViewTestSupport.h"

using namespace kelp;

namespace {

class TestControl : public Control {
public:
    TestControl() : Control(Rect{10, 20, 30, 40}, nullptr, 7, nullptr) {}
    void draw(DrawContext*) override { setDirty(false); }
};

// The system double-click time is a machine setting: set it for the test and put it back.
class DoubleClickTime {
public:
    explicit DoubleClickTime(UINT milliseconds) : saved(GetDoubleClickTime()) { SetDoubleClickTime(milliseconds); }
    ~DoubleClickTime() { SetDoubleClickTime(saved); }

private:
    UINT saved;
};

TEST(ControlTest, SecondClickWithinTheIntervalIsADoubleClickAndAThirdStartsOver)
{
    useTestModule();
    DoubleClickTime time(250);
    RecordingHost host;
    MinimalEffect effect(RecordingHost::callback);
    auto* editor = new TestEditor(&effect);
    RootView root(Rect{0, 0, 100, 100}, HWND(nullptr), editor);
    auto* control = new TestControl();
    root.attachChild(control);
    EXPECT_EQ(control->editor(), editor);

    EXPECT_FALSE(control->isDoubleClick());
    Sleep(100);
    EXPECT_TRUE(control->isDoubleClick());
    Sleep(100);
    EXPECT_FALSE(control->isDoubleClick());
    Sleep(300);
    EXPECT_FALSE(control->isDoubleClick());  // too late: starts a new pair
    Sleep(100);
    EXPECT_TRUE(control->isDoubleClick());
}

}  // namespace
