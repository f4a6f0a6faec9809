#include <gtest/gtest.h>

#include "editor/ReverseEditor.h"
#include "effect/ReverseEffect.h"
#include "gui/controls/ToggleButton.h"
#include "gui/draw/GraphicsLibrary.h"
#include "tests/gui/RootViewTestSupport.h"

using namespace kelp;

namespace {

// The plug-in's own effect with its editor, on a recording host, in a host window (one for
// the suite, away from the other tests' windows: Wine takes seconds to destroy one).
class ReverseEditorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { host = makeHostWindow(600, 420, 320, 240, "BacktwisterEditorHost"); }
    static void TearDownTestSuite() { DestroyWindow(host); }

    void SetUp() override
    {
        useTestModule();
        effect = new ReverseEffect(RecordingHost::callback);
        ASSERT_TRUE(createEditor(*effect));
        editor = static_cast<ReverseEditor*>(effect->getEditor());
        ASSERT_NE(editor, nullptr);
    }
    void TearDown() override
    {
        effect->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
        delete effect;
    }

    RecordingHost recording;
    ReverseEffect* effect = nullptr;
    ReverseEditor* editor = nullptr;
    static inline HWND host = nullptr;
};

}  // namespace

TEST_F(ReverseEditorTest, ReportsTheFaceBeforeOpeningAndRegistersWithTheEffect)
{
    EXPECT_EQ(effect->record()->flags, effFlagsHasEditor | effFlagsCanMono | effFlagsCanReplacing);
    ERect* rect = nullptr;
    EXPECT_EQ(effect->dispatcher(effEditGetRect, 0, 0, &rect, 0.0f), 1);
    ASSERT_NE(rect, nullptr);
    EXPECT_EQ(rect->top, 0);
    EXPECT_EQ(rect->left, 0);
    EXPECT_EQ(rect->bottom, 240);
    EXPECT_EQ(rect->right, 320);
}

TEST_F(ReverseEditorTest, FollowsTheParameterOnlyWhileOpen)
{
    effect->setParameter(kOnOff, 0.0f);  // closed: nothing of the editor is touched
    EXPECT_EQ(editor->getFootswitch(), nullptr);
    ASSERT_EQ(effect->dispatcher(effEditOpen, 0, 0, host, 0.0f), 1);
    ASSERT_NE(editor->getFootswitch(), nullptr);
    EXPECT_EQ(editor->getFootswitch()->getValue(), 0.0f);
    EXPECT_EQ(GuiEditorBase::knobMode, 2);

    // setParameter may come from the audio thread while this thread closes the editor: it
    // touches no control, and the next idle, on this thread, shows the value.
    effect->setParameter(kOnOff, 0.8f);
    EXPECT_EQ(editor->getFootswitch()->getValue(), 0.0f);
    effect->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(editor->getFootswitch()->getValue(), 0.8f) << "the value read back from the effect";
    effect->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(editor->getFootswitch(), nullptr);
}

TEST_F(ReverseEditorTest, AFootswitchChangeIsAutomatedAfterTheEffectHasIt)
{
    ASSERT_EQ(effect->dispatcher(effEditOpen, 0, 0, host, 0.0f), 1);
    ToggleButton* footswitch = editor->getFootswitch();
    footswitch->setValue(0.0f);
    recording.calls.clear();
    editor->valueChanged(nullptr, footswitch);
    EXPECT_EQ(effect->getParameter(kOnOff), 0.0f);
    EXPECT_EQ(effect->getFade(), 1.0f) << "the crossfade starts";
    const std::vector<HostCall> automated = recording.callsOf(audioMasterAutomate);
    ASSERT_EQ(automated.size(), 1u);
    EXPECT_EQ(automated[0].index, 0);
    EXPECT_EQ(automated[0].opt, 0.0f);

    footswitch->setTag(7);  // no parameter behind it: nothing happens
    recording.calls.clear();
    editor->valueChanged(nullptr, footswitch);
    EXPECT_TRUE(recording.calls.empty());
}

TEST_F(ReverseEditorTest, OpeningAndClosingLeavesNoWindowsOrGdiObjectsBehind)
{
    ASSERT_EQ(effect->dispatcher(effEditOpen, 0, 0, host, 0.0f), 1);  // loads what stays loaded
    effect->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    const int objects = GraphicsLibrary::liveObjects();
    for (int i = 0; i < 200; ++i) {
        ASSERT_EQ(effect->dispatcher(effEditOpen, 0, 0, host, 0.0f), 1);
        effect->dispatcher(effEditIdle, 0, 0, nullptr, 0.0f);
        if (i % 50 == 0)
            pumpMessages(30);
        effect->dispatcher(effEditClose, 0, 0, nullptr, 0.0f);
    }
    EXPECT_EQ(GraphicsLibrary::liveObjects(), objects);
    EXPECT_EQ(FindWindowExA(host, nullptr, nullptr, "Window"), nullptr);
}
