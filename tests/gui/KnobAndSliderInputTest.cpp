// Knobs and sliders driven by real input from the X server (xdotool) under Wine, wired as in the
// plug-in: every change reaches the effect's automateParameter, and the recording host hears the
// edit begin and end around each drag.
#include <gtest/gtest.h>

#include <regex>

#include "gui/controls/ControlListener.h"
#include "gui/controls/Knob.h"
#include "gui/controls/VerticalSlider.h"
#include "gui/draw/Picture.h"
#include "tests/gui/RootViewTestSupport.h"

using namespace kelp;

namespace {

class AutomatingEditor : public TestEditor, public ControlListener {
public:
    using TestEditor::TestEditor;
    void valueChanged(DrawContext* context, Control* control) override
    {
        effect->automateParameter(control->getTag(), control->getValue());
        if (context)  // keys come without one
            control->redrawIfDirty(context);
    }
};

// The root's window starts at screen point (100, 100); the knob's centre is at (160, 160).
class ControlInputTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { host = makeHostWindow(100, 100, 260, 190, "BacktwisterControlInput"); }
    static void TearDownTestSuite() { DestroyWindow(host); }

    void SetUp() override
    {
        useTestModule();
        GuiEditorBase::knobMode = 0;
        root = new RootView(Rect{0, 0, 260, 190}, host, editor);
        editor->setRootView(root);
        UpdateWindow(static_cast<HWND>(root->getOwnWindow()));
        knob = new Knob(Rect{40, 40, 80, 80}, editor, 1, nullptr, nullptr, Point{});
        knob->setValue(0.2f);
        root->attachChild(knob);
    }
    void TearDown() override
    {
        // Whatever a failed test left held, released over a window of ours so that Wine hears it.
        perform("mousemove 150 150 keyup shift keyup ctrl keyup alt mouseup 1");
        editor->setRootView(nullptr);
        delete root;
    }

    // Handles messages, and so the controls' drags, until the commands are done. Wine gives no
    // handle for a Unix process: the pointer's last move tells, once a release has been seen.
    void perform(const std::string& commands)
    {
        recorder.calls.clear();
        SetCursorPos(1, 1);
        ASSERT_TRUE(startUnix("/usr/bin/xdotool " + commands + " sleep 0.3 mousemove 5 5")) << "xdotool is needed";
        EXPECT_TRUE(pointerReaches(5, 5));
    }
    static bool pointerReaches(LONG x, LONG y)
    {
        return pumpUntil([&] {
            POINT cursor{};
            GetCursorPos(&cursor);
            return cursor.x == x && cursor.y == y;
        });
    }

    // The values automated for the tag, which the host must hear inside one edit of it.
    std::vector<float> editedValues(VstInt32 tag)
    {
        std::vector<float> values;
        std::string order;
        for (const HostCall& call : recorder.calls) {
            const char mark = call.opcode == audioMasterBeginEdit  ? 'b'
                              : call.opcode == audioMasterEndEdit  ? 'e'
                              : call.opcode == audioMasterAutomate ? 'a'
                                                                   : 0;
            if (mark)
                order += call.index == tag ? mark : '?';
            if (mark == 'a')
                values.push_back(call.opt);
        }
        EXPECT_TRUE(std::regex_match(order, std::regex("ba+e"))) << order;
        return values.empty() ? std::vector<float>{-1.0f} : values;
    }

    static inline HWND host = nullptr;
    RecordingHost recorder;
    MinimalEffect effect{RecordingHost::callback};
    AutomatingEditor* editor = new AutomatingEditor(&effect);  // deleted by the effect
    RootView* root = nullptr;
    Knob* knob = nullptr;
};

}  // namespace

// Pressed at 0.9, then across the bottom gap: the knob stays at the maximum until the pointer
// is back within half the range of it.
TEST_F(ControlInputTest, CircularKnobDragFollowsTheAngleButStopsAtTheEndItCrosses)
{
    perform("mousemove 176 165 mousedown 1 sleep 0.3 mousemove 146 174 sleep 0.2 mousemove 142 160 sleep 0.2 "
            "mousemove 160 142 sleep 0.3 mouseup 1");
    const std::vector<float> values = editedValues(1);
    EXPECT_NEAR(values.front(), 0.9f, 0.01f);
    EXPECT_EQ(values[values.size() / 2], 1.0f);
    for (float value : values)
        EXPECT_GT(value, 0.45f) << "never the other end";
    EXPECT_NEAR(knob->getValue(), 0.5f, 0.01f);
    EXPECT_EQ(root->getFocusView(), knob);
}

// 200 pixels (300 with Shift) for the whole range; right and up increase.
TEST_F(ControlInputTest, LinearKnobDragsScaleWithShiftAndPressingShiftMidDragDoesNotJump)
{
    GuiEditorBase::knobMode = Knob::linearMode;
    const std::pair<const char*, float> drags[] = {
        {"mousemove 160 160 mousedown 1 sleep 0.3 mousemove 210 160 sleep 0.2 mousemove 240 140 sleep 0.3 mouseup 1",
         0.7f},
        {"mousemove 160 160 keydown shift mousedown 1 sleep 0.3 mousemove 235 160 sleep 0.2 mousemove 310 160 "
         "sleep 0.3 mouseup 1 keyup shift",
         0.7f},
        // 51 pixels coarse, then 75 fine.
        {"mousemove 160 160 mousedown 1 sleep 0.3 mousemove 211 160 sleep 0.2 keydown shift sleep 0.2 "
         "mousemove 212 160 sleep 0.2 mousemove 286 160 sleep 0.3 mouseup 1 keyup shift",
         0.2f + 0.255f + 0.25f},
    };
    for (const auto& [commands, expected] : drags) {
        knob->setValue(0.2f);
        perform(commands);
        EXPECT_NEAR(editedValues(1).back(), expected, 0.002f) << commands;
    }
}

TEST_F(ControlInputTest, AltMakesALinearKnobCircularAndControlClickResetsWithoutAnEdit)
{
    GuiEditorBase::knobMode = Knob::linearMode;
    perform("mousemove 178 160 keydown alt mousedown 1 sleep 0.3 mouseup 1 keyup alt");
    EXPECT_NEAR(editedValues(1).back(), 0.833f, 0.01f) << "turned to the pointer at once";

    perform("mousemove 160 160 keydown ctrl mousedown 1 sleep 0.3 mouseup 1 keyup ctrl");
    ASSERT_EQ(recorder.callsOf(audioMasterAutomate).size(), 1u);
    EXPECT_EQ(recorder.callsOf(audioMasterAutomate)[0].opt, 0.5f);
    EXPECT_TRUE(recorder.callsOf(audioMasterBeginEdit).empty());
}

// The host hands wheel and keys to the editor; the wheel's Shift comes from the keyboard.
TEST_F(ControlInputTest, WheelAndArrowKeysStepTheKnobUnderThePointerWithoutAnEdit)
{
    startUnix("/usr/bin/xdotool mousemove 160 160");
    ASSERT_TRUE(pointerReaches(160, 160));
    EXPECT_TRUE(editor->wheel(4.0f));
    VstKeyCode fineDown{0, VKEY_DOWN, MODIFIER_SHIFT};
    VstKeyCode letter{'a', 0, 0};
    EXPECT_EQ(editor->keyDown(fineDown), 1);
    EXPECT_EQ(editor->keyDown(letter), -1);
    startUnix("/usr/bin/xdotool keydown shift");
    ASSERT_TRUE(pumpUntil([] { return GetAsyncKeyState(VK_SHIFT) < 0; }));
    EXPECT_TRUE(editor->wheel(-2.0f));
    startUnix("/usr/bin/xdotool keyup shift");
    ASSERT_TRUE(pumpUntil([] { return GetAsyncKeyState(VK_SHIFT) >= 0; }));
    knob->enableMouse(false);
    EXPECT_FALSE(editor->wheel(1.0f));
    EXPECT_EQ(editor->keyDown(fineDown), 1) << "keys do not need the mouse";
    EXPECT_NEAR(knob->getValue(), 0.56f, 1e-5f);

    const auto automated = recorder.callsOf(audioMasterAutomate);
    ASSERT_EQ(automated.size(), 4u);
    EXPECT_NEAR(automated[0].opt, 0.6f, 1e-5f);
    EXPECT_TRUE(recorder.callsOf(audioMasterBeginEdit).empty());
}

// Value 0 at the bottom, 100 pixels of travel, the handle's middle under the pointer. Shift
// slows the drag ten times; releasing it carries on from the value reached.
TEST_F(ControlInputTest, SliderDragFollowsThePointerSlowlyWithShiftAndNeverJumps)
{
    auto* handle = new Picture(950);  // 12 x 8
    auto* slider =
        new VerticalSlider(Rect{100, 20, 112, 128}, editor, 2, Point{}, 108, handle, nullptr, Point{}, Slider::kBottom);
    handle->release();
    root->attachChild(slider);
    perform("mousemove 206 173 mousedown 1 sleep 0.3 mousemove 206 153 sleep 0.2 keydown shift sleep 0.2 "
            "mousemove 206 123 sleep 0.2 keyup shift sleep 0.2 mousemove 206 113 sleep 0.3 mouseup 1");
    const std::vector<float> values = editedValues(2);
    EXPECT_NEAR(values.front(), 0.5f, 0.002f);
    EXPECT_NEAR(values.back(), 0.7f + 0.03f + 0.1f, 0.002f);
}
