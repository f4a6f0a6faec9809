// The gallery's editor closed by its host in the middle of a gesture, with real pointer
// events: a drag whose idle step calls the host, a menu and a dialog whose modal loops run
// the host's timers. Runs under Wine's heap checking, which fills freed memory, so that any
// touch of a freed control, root view, editor or effect crashes the test.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>

#include "AbiHost.h"
#include "HostWindow.h"
#include "tests/UnixPrograms.h"

namespace abitest {
namespace {

    constexpr int kLeft = 100, kTop = 100;
    constexpr VstInt32 kKnobParameter = 0, kVerticalSliderParameter = 2;
    // Centres in the editor's coordinates.
    constexpr POINT kKnob{64, 132}, kVerticalSlider{262, 142}, kTapeMenu{530, 174}, kOpenButton{50, 350};

    enum class Close { editor, effect };

    std::string moveTo(POINT where)
    {
        char move[64];
        std::snprintf(move, sizeof move, "mousemove %d %d", int(kLeft + where.x), int(kTop + where.y));
        return move;
    }

    class GalleryCloseTest : public ::testing::Test {
    protected:
        void SetUp() override
        {
            windowsBefore = threadWindows();
            record = callMain();
            ASSERT_NE(record, nullptr);
            live = record;
            ERect* rect = nullptr;
            ASSERT_EQ(dispatch(effEditGetRect, &rect), 1);
            host = createHostWindow(kLeft, kTop, rect->right - rect->left, rect->bottom - rect->top);
            ASSERT_EQ(dispatch(effEditOpen, host), 1);
            pump(400, idle);
        }
        void TearDown() override
        {
            if (watchdog.joinable())
                watchdog.join();
            dispatch(effEditClose);
            dispatch(effClose);
            DestroyWindow(host);
            EXPECT_EQ(threadWindows(), windowsBefore) << "a window of the plug-in or a menu is left";
            EXPECT_FALSE(editorClassRegistered("GALLERY.dll"));
        }

        VstIntPtr dispatch(VstInt32 opcode, void* ptr = nullptr)
        {
            return live ? live->dispatcher(live, opcode, 0, 0, ptr, 0.0f) : 0;
        }

        // What the host does: effEditClose, or effClose after which the record is never used again.
        void closeNow(Close what)
        {
            if (what == Close::effect) {
                dispatch(effClose);
                live = nullptr;
                callsAtEffectClose = RecordingHost::calls().size();
            } else {
                dispatch(effEditClose);
            }
            windowsInHostAfterClose = childWindows(host);
            closed = true;
            watchGesture();
        }

        // A gesture must end by itself once its editor is closed. One still running five seconds
        // later is ended for it (button up, Escape), and the test fails rather than hangs.
        void watchGesture()
        {
            watchdog = std::thread([this] {
                for (int i = 0; i < 500 && !gestureReturned; ++i)
                    Sleep(10);
                if (!gestureReturned) {
                    gestureHung = true;
                    startUnix("/usr/bin/xdotool mouseup 1 key Escape");
                }
            });
        }

        // Presses at a point; the gesture runs inside, until the button is up or it ends itself.
        void press(POINT where)
        {
            xdotool(moveTo(where), idle);
            xdotool("mousedown 1", idle);
            gestureReturned = true;
        }

        // The host closes from a timer once a window of the class shows (its modal loop runs).
        void closeFromTimerWhenShown(const char* className, Close what)
        {
            timerClass = className;
            timerClose = what;
            current = this;
            timer = SetTimer(nullptr, 0, 50, onTimer);
        }

        static void CALLBACK onTimer(HWND, UINT, UINT_PTR, DWORD)
        {
            if (current && !current->closed && showsWindowOfClass(current->timerClass))
                current->closeNow(current->timerClose);
        }

        void expectClosedCleanly(Close what)
        {
            if (timer)
                KillTimer(nullptr, timer);
            current = nullptr;
            ASSERT_TRUE(closed) << "the host never got the chance to close";
            if (watchdog.joinable())
                watchdog.join();
            EXPECT_FALSE(gestureHung) << "the gesture went on after its editor was closed";
            EXPECT_EQ(windowsInHostAfterClose, 0) << "the editor's window stayed after the close";
            EXPECT_FALSE(showsWindowOfClass("#32768")) << "a menu stayed open";
            EXPECT_FALSE(showsWindowOfClass("#32770")) << "a dialog stayed open";
            EXPECT_FALSE(editorClassRegistered("GALLERY.dll"));
            if (what != Close::effect)
                return;
            for (std::size_t i = callsAtEffectClose; i < RecordingHost::calls().size(); ++i)
                EXPECT_NE(RecordingHost::calls()[i].effect, record)
                    << "host call " << RecordingHost::calls()[i].opcode << " through a closed effect's record";
        }

        // Presses at a point, pulls 30 pixels up and left while held, releases.
        void drag(POINT where)
        {
            press(where);
            xdotool("mousemove_relative -- -30 -30", idle);
            xdotool("mouseup 1", idle);
        }

        FreshHost fresh;
        int windowsBefore = 0;
        AEffect* record = nullptr;
        AEffect* live = nullptr;
        HWND host = nullptr;
        std::function<void()> idle = [this] { dispatch(effEditIdle); };
        bool closed = false;
        int windowsInHostAfterClose = -1;
        std::size_t callsAtEffectClose = 0;
        const char* timerClass = nullptr;
        Close timerClose = Close::editor;
        UINT_PTR timer = 0;
        std::thread watchdog;
        std::atomic<bool> gestureReturned{false};
        std::atomic<bool> gestureHung{false};
        static inline GalleryCloseTest* current = nullptr;
    };

    TEST_F(GalleryCloseTest, KnobDragClosedFromTheHostsIdleEndsItsEdit)
    {
        RecordingHost::react([this](const HostCall& call) {
            if (call.opcode != audioMasterIdle || RecordingHost::callsWith(audioMasterBeginEdit).empty())
                return true;
            closeNow(Close::editor);
            return false;
        });
        drag(kKnob);
        expectClosedCleanly(Close::editor);
        const auto begun = RecordingHost::callsWith(audioMasterBeginEdit);
        const auto ended = RecordingHost::callsWith(audioMasterEndEdit);
        ASSERT_EQ(begun.size(), 1u);
        ASSERT_EQ(ended.size(), 1u) << "the drag's edit is bracketed";
        EXPECT_EQ(begun[0].index, kKnobParameter);
        EXPECT_EQ(ended[0].index, kKnobParameter);

        // The editor opens again and works.
        ASSERT_EQ(dispatch(effEditOpen, host), 1);
        pump(300, idle);
        EXPECT_EQ(childWindows(host), 1);
    }

    TEST_F(GalleryCloseTest, SliderDragWhoseEffectIsClosedFromTheHostsIdle)
    {
        RecordingHost::react([this](const HostCall& call) {
            if (call.opcode != audioMasterIdle || RecordingHost::callsWith(audioMasterBeginEdit).empty())
                return true;
            closeNow(Close::effect);
            return false;
        });
        live->setParameter(live, kVerticalSliderParameter, 0.5f);  // its handle in the middle
        pump(200, idle);
        drag(kVerticalSlider);
        expectClosedCleanly(Close::effect);
        ASSERT_EQ(RecordingHost::callsWith(audioMasterBeginEdit).size(), 1u);
        EXPECT_EQ(RecordingHost::callsWith(audioMasterBeginEdit)[0].index, kVerticalSliderParameter);
    }

    TEST_F(GalleryCloseTest, OpenMenuClosedFromAHostTimer)
    {
        closeFromTimerWhenShown("#32768", Close::editor);
        press(kTapeMenu);
        xdotool("mouseup 1", idle);
        pump(300, idle);
        expectClosedCleanly(Close::editor);
    }

    TEST_F(GalleryCloseTest, OpenFileDialogWhoseEffectIsClosedFromAHostTimer)
    {
        closeFromTimerWhenShown("#32770", Close::effect);
        press(kOpenButton);
        xdotool("mouseup 1", idle);
        pump(300, idle);
        expectClosedCleanly(Close::effect);
    }

}  // namespace
}  // namespace abitest
