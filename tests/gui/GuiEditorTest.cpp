// The GUI editor base: size, keys and wheel without a root view, the knob mode, OLE on the
// editor's thread, and the paced idle step with its re-entry guard.
#include <gtest/gtest.h>

#include "tests/gui/RootViewTestSupport.h"

using namespace kelp;

namespace {

class GuiEditorTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        useTestModule();
        editor = new TestEditor(&effect);
    }

    RecordingHost recorder;
    MinimalEffect effect{RecordingHost::callback};
    TestEditor* editor = nullptr;  // deleted by the effect
};

TEST_F(GuiEditorTest, RegistersWithTheEffectAndReportsItsRectBeforeOpen)
{
    EXPECT_TRUE(effect.record()->flags & effFlagsHasEditor);
    EXPECT_EQ(effect.getEditor(), editor);
    editor->setRect(ERect{0, 0, 240, 320});
    ERect* reported = nullptr;
    EXPECT_EQ(editor->getRect(&reported), 1);
    ASSERT_NE(reported, nullptr);
    EXPECT_EQ(reported->bottom, 240);
    EXPECT_EQ(reported->right, 320);
}

TEST_F(GuiEditorTest, WithoutARootViewKeysAreUnhandledAndTheWheelRefused)
{
    VstKeyCode key{'x', 0, 0};
    EXPECT_EQ(editor->keyDown(key), -1);
    EXPECT_EQ(editor->keyUp(key), -1);
    EXPECT_FALSE(editor->wheel(1.0f));
    editor->redrawAll();
    editor->idle();
}

TEST_F(GuiEditorTest, OpenRequestsAnUpdateThatTheNextIdleConsumes)
{
    int parent = 0;
    EXPECT_EQ(editor->open(&parent), 0);
    EXPECT_EQ(editor->getSystemWindow(), &parent);
    EXPECT_TRUE(editor->isUpdatePending());
    editor->idle();
    EXPECT_EQ(editor->updates, 1);
    EXPECT_FALSE(editor->isUpdatePending());
    editor->setParameter(0, 1.0f);  // the effect's notification, from any thread
    EXPECT_TRUE(editor->isUpdatePending());
}

TEST_F(GuiEditorTest, KnobModeIsStoredForTheWholeModule)
{
    EXPECT_EQ(editor->setKnobMode(2), 1);
    EXPECT_EQ(RootView::knobMode(), 2);
    EXPECT_EQ(editor->setKnobMode(0), 1);
    EXPECT_EQ(RootView::knobMode(), 0);
}

// OleInitialize answers S_FALSE on a thread where OLE is already initialised.
DWORD WINAPI oleStateAfterEditor(void* result)
{
    RecordingHost recorder;
    {
        MinimalEffect effect(RecordingHost::callback);
        new GuiEditorBase(&effect);
        const HRESULT during = OleInitialize(nullptr);
        static_cast<HRESULT*>(result)[0] = during;
        if (SUCCEEDED(during))
            OleUninitialize();
    }
    const HRESULT after = OleInitialize(nullptr);
    static_cast<HRESULT*>(result)[1] = after;
    if (SUCCEEDED(after))
        OleUninitialize();
    return 0;
}

TEST_F(GuiEditorTest, InitialisesOleForItsLifetimeOnItsThread)
{
    HRESULT results[2] = {E_FAIL, E_FAIL};
    HANDLE thread = CreateThread(nullptr, 0, oleStateAfterEditor, results, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
    EXPECT_EQ(results[0], S_FALSE);
    EXPECT_EQ(results[1], S_OK);
}

TEST_F(GuiEditorTest, IdleStepsComeAtMostAboutEveryFiftyMilliseconds)
{
    Sleep(110);  // the construction sets the first due time
    editor->idleStep();
    ASSERT_EQ(editor->idleCalls, 1);
    ASSERT_EQ(recorder.callsOf(audioMasterIdle).size(), 1u);

    Sleep(10);
    LARGE_INTEGER frequency, start, end;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&start);
    editor->idleStep();  // far too soon: a short sleep, then nothing
    QueryPerformanceCounter(&end);
    EXPECT_GE((end.QuadPart - start.QuadPart) * 1000 / frequency.QuadPart, 3);
    EXPECT_EQ(editor->idleCalls, 1);
    EXPECT_EQ(recorder.callsOf(audioMasterIdle).size(), 1u);

    Sleep(60);  // within 50 ms of the due time: the step runs
    editor->idleStep();
    EXPECT_EQ(editor->idleCalls, 2);
    EXPECT_EQ(recorder.callsOf(audioMasterIdle).size(), 2u);
}

// A host that calls the editor's idle from inside its own idle, as some do.
TEST_F(GuiEditorTest, IdleFromInsideTheHostsIdleDoesNotConsumeTheUpdate)
{
    static TestEditor* reentered = nullptr;
    static bool pendingAfterReentry = false;
    static bool sawInIdle = false;
    reentered = editor;
    struct ReenteringHost {
        static VstIntPtr VSTCALL callback(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
        {
            if (opcode == audioMasterIdle && reentered) {
                sawInIdle = reentered->isInIdle();
                reentered->requestUpdate();
                reentered->idle();
                pendingAfterReentry = reentered->isUpdatePending();
            }
            return 0;
        }
    };
    MinimalEffect reentrant(ReenteringHost::callback);
    auto* reentrantEditor = new TestEditor(&reentrant);
    reentered = reentrantEditor;
    Sleep(110);
    reentrantEditor->idleStep();
    EXPECT_TRUE(sawInIdle);
    EXPECT_TRUE(pendingAfterReentry);
    EXPECT_EQ(reentrantEditor->updates, 0);
    EXPECT_FALSE(reentrantEditor->isInIdle());
    reentrantEditor->idle();
    EXPECT_EQ(reentrantEditor->updates, 1);
    reentered = nullptr;
}

TEST_F(GuiEditorTest, IdleStepHandlesAWaitingPaintMessage)
{
    HWND host = makeHostWindow(10, 10, 100, 100);
    auto* root = new RootView(Rect{0, 0, 80, 80}, host, editor);
    editor->setRootView(root);
    auto* view = new RecordingView(Rect{0, 0, 10, 10});
    root->attachChild(view);
    ASSERT_TRUE(root->isFirstDrawPending());
    // Leave the root's own paint as the only one waiting.
    RedrawWindow(host, nullptr, nullptr, RDW_VALIDATE | RDW_ALLCHILDREN);
    InvalidateRect(static_cast<HWND>(root->getOwnWindow()), nullptr, FALSE);
    Sleep(110);
    editor->idleStep();  // the new window's paint is waiting in the queue
    EXPECT_FALSE(root->isFirstDrawPending());
    EXPECT_GE(view->draws, 1);
    editor->setRootView(nullptr);
    delete root;
    DestroyWindow(host);
}

}  // namespace
