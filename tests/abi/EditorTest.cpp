// The editor through the DLL, as a host opens it: a top-level window of the size the
// editor reports, effEditOpen with its handle, effEditIdle while it is shown. Clicks are
// real pointer events on the X display (xdotool, started as a Unix program from Wine).
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <cstdio>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "AbiHost.h"
#include "HostWindow.h"
#include "tests/ReverseReference.h"

namespace abitest {
namespace {

    constexpr int kLeft = 100, kTop = 100;          // where the host window stands on the screen
    constexpr RECT kFootswitch{120, 95, 190, 165};  // in the editor's coordinates

    HWND createHostWindow(int width, int height) { return abitest::createHostWindow(kLeft, kTop, width, height); }

    // Dispatches messages and sends effEditIdle every 20 ms, for about `ms` milliseconds.
    void pump(Effect& effect, DWORD ms)
    {
        abitest::pump(ms, [&] { effect.dispatch(effEditIdle); });
    }

    // Runs xdotool with the given arguments and keeps the windows alive while it works.
    void xdotool(Effect& effect, const std::string& arguments)
    {
        abitest::xdotool(arguments, [&] { effect.dispatch(effEditIdle); });
    }

    // One 70 x 70 half of the footswitch bitmap, straight from the DLL's resources.
    Pixels footswitchHalf(bool on)
    {
        HBITMAP bitmap = LoadBitmapA(GetModuleHandleA("BACKTWISTER.dll"), MAKEINTRESOURCEA(129));
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HGDIOBJ previous = SelectObject(memory, bitmap);
        Pixels pixels = readPixels(memory, 0, on ? 70 : 0, 70, 70);
        SelectObject(memory, previous);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
        DeleteObject(bitmap);
        return pixels;
    }

    int differences(const Pixels& a, const Pixels& b)
    {
        int count = 0;
        for (std::size_t i = 0; i < a.size() && i < b.size(); ++i)
            count += a[i] != b[i];
        return count;
    }

    // What the footswitch shows on screen: "on", "off" or "neither".
    std::string footswitchOnScreen(HWND host)
    {
        HDC screen = GetDC(nullptr);
        Pixels shown = readPixels(screen, kLeft + kFootswitch.left, kTop + kFootswitch.top, 70, 70);
        ReleaseDC(nullptr, screen);
        if (differences(shown, footswitchHalf(true)) == 0)
            return "on";
        if (differences(shown, footswitchHalf(false)) == 0)
            return "off";
        (void)host;
        return "neither";
    }

    class EditorTest : public ::testing::Test {
    protected:
        void SetUp() override
        {
            ERect* rect = nullptr;
            ASSERT_EQ(effect.dispatch(effEditGetRect, 0, 0, &rect), 1);
            ASSERT_NE(rect, nullptr);
            width = rect->right - rect->left;
            height = rect->bottom - rect->top;
            host = createHostWindow(width, height);
            ASSERT_NE(host, nullptr);
        }
        void TearDown() override
        {
            effect.dispatch(effEditClose);
            if (IsWindow(host))
                DestroyWindow(host);
        }

        FreshHost fresh;
        Effect effect;
        HWND host = nullptr;
        int width = 0, height = 0;
    };

    TEST_F(EditorTest, ReportsTheFaceSizeBeforeOpening)
    {
        EXPECT_EQ(width, 320);
        EXPECT_EQ(height, 240);
        EXPECT_EQ(effect.record()->flags & effFlagsHasEditor, effFlagsHasEditor);
    }

    TEST_F(EditorTest, ClickingTheFootswitchSwitchesTheEffectWithAutomation)
    {
        std::vector<float> inL(512), inR(512), outL(512), outR(512);
        float* ins[] = {inL.data(), inR.data()};
        float* outs[] = {outL.data(), outR.data()};
        ReferenceEffect model;
        auto runBlock = [&](unsigned seed) {
            for (std::size_t i = 0; i < inL.size(); ++i) {
                inL[i] = float((i * 37 + seed * 101) % 200) / 100.0f - 1.0f;
                inR[i] = -inL[i] * 0.5f;
            }
            effect.processReplacing(ins, outs, 512);
            for (std::size_t i = 0; i < inL.size(); ++i) {
                float l, r;
                model.step(inL[i], inR[i], l, r);
                ASSERT_EQ(outL[i], l) << "frame " << i;
                ASSERT_EQ(outR[i], r) << "frame " << i;
            }
        };
        runBlock(1);

        ASSERT_EQ(effect.dispatch(effEditOpen, 0, 0, host), 1);
        pump(effect, 400);
        EXPECT_EQ(footswitchOnScreen(host), "on");

        RecordingHost::clearCalls();
        const int x = kLeft + (kFootswitch.left + kFootswitch.right) / 2;
        const int y = kTop + (kFootswitch.top + kFootswitch.bottom) / 2;
        char click[64];
        std::snprintf(click, sizeof click, "mousemove %d %d", x, y);
        xdotool(effect, click);
        // Down, then up a moment later: the footswitch reads the live button state on the press.
        xdotool(effect, "mousedown 1");
        xdotool(effect, "mouseup 1");

        EXPECT_EQ(effect.getParameter(0), 0.0f);
        const std::vector<HostCall> automated = RecordingHost::callsWith(audioMasterAutomate);
        ASSERT_EQ(automated.size(), 1u);
        EXPECT_EQ(automated[0].effect, effect.record());
        EXPECT_EQ(automated[0].index, 0);
        EXPECT_EQ(automated[0].opt, 0.0f);
        EXPECT_EQ(footswitchOnScreen(host), "off");

        // The next block starts the crossfade to the dry signal.
        model.setOnOff(0.0f);
        runBlock(2);
        EXPECT_NE(outL[0], inL[0]);
        EXPECT_EQ(outL[300], inL[300]);

        // A change from the host shows after the next idle.
        effect.setParameter(0, 1.0f);
        pump(effect, 300);
        EXPECT_EQ(footswitchOnScreen(host), "on");

        // The right button does nothing.
        RecordingHost::clearCalls();
        xdotool(effect, "mousedown 3");
        xdotool(effect, "mouseup 3");
        EXPECT_EQ(effect.getParameter(0), 1.0f);
        EXPECT_TRUE(RecordingHost::callsWith(audioMasterAutomate).empty());
        EXPECT_EQ(footswitchOnScreen(host), "on");
    }

    TEST_F(EditorTest, OpensShowingTheStoredValueAndIgnoresChangesWhileClosed)
    {
        effect.setParameter(0, 0.0f);
        ASSERT_EQ(effect.dispatch(effEditOpen, 0, 0, host), 1);
        pump(effect, 300);
        EXPECT_EQ(footswitchOnScreen(host), "off");
        effect.dispatch(effEditClose);
        effect.setParameter(0, 1.0f);  // the editor is closed: nothing of it is touched
        effect.dispatch(effEditIdle);
        ASSERT_EQ(effect.dispatch(effEditOpen, 0, 0, host), 1);
        pump(effect, 300);
        EXPECT_EQ(footswitchOnScreen(host), "on");
    }

    TEST_F(EditorTest, SurvivesHundredsOfOpensAndHostsThatMisbehave)
    {
        const int windowsBefore = threadWindows();
        for (int i = 0; i < 200; ++i) {
            ASSERT_EQ(effect.dispatch(effEditOpen, 0, 0, host), 1);
            effect.dispatch(effEditIdle);  // before the first paint
            if (i % 20 == 0)
                pump(effect, 40);
            effect.dispatch(effEditClose);
        }
        EXPECT_EQ(threadWindows(), windowsBefore);
        EXPECT_EQ(childWindows(host), 0) << "every editor window is gone";
        EXPECT_FALSE(editorClassRegistered("BACKTWISTER.dll"))
            << "the window class is unregistered with the last root view";

        // A host that destroys its window before closing the editor: the editor's window goes
        // with it, and idle and close must cope.
        ASSERT_EQ(effect.dispatch(effEditOpen, 0, 0, host), 1);
        pump(effect, 100);
        EXPECT_EQ(childWindows(host), 1);
        DestroyWindow(host);
        effect.dispatch(effEditIdle);
        effect.dispatch(effEditClose);

        // The editor opens again in a new window afterwards.
        host = createHostWindow(width, height);
        ASSERT_EQ(effect.dispatch(effEditOpen, 0, 0, host), 1);
        pump(effect, 200);
        EXPECT_EQ(footswitchOnScreen(host), "on");
    }

    // The footswitch's centre on the screen.
    std::string overFootswitch()
    {
        char move[64];
        std::snprintf(move, sizeof move, "mousemove %d %d", int(kLeft + (kFootswitch.left + kFootswitch.right) / 2),
                      int(kTop + (kFootswitch.top + kFootswitch.bottom) / 2));
        return move;
    }

    TEST_F(EditorTest, EveryClickSwitchesWhileTheHostAutomatesAnotherParameterOrNeverIdles)
    {
        ASSERT_EQ(effect.dispatch(effEditOpen, 0, 0, host), 1);
        pump(effect, 400);
        xdotool(effect, overFootswitch());

        // An automation thread moves "BuffSize" every 10 ms; the host idles as the helpers do.
        std::atomic<bool> automating{true};
        std::thread automation([&] {
            for (int i = 0; automating.load(); ++i) {
                effect.setParameter(1, float(i % 100) / 100.0f);
                Sleep(10);
            }
        });
        auto click = [&](bool idling) {
            const std::function<void()> idle = [&] { effect.dispatch(effEditIdle); };
            abitest::xdotool("mousedown 1", idling ? idle : nullptr);
            abitest::xdotool("mouseup 1", idling ? idle : nullptr);
        };
        RecordingHost::clearCalls();
        float expected = effect.getParameter(0);
        for (int i = 0; i < 12; ++i) {
            const bool idling = i < 8;  // then a host that never sends effEditIdle
            expected = expected != 0.0f ? 0.0f : 1.0f;
            click(idling);
            EXPECT_EQ(effect.getParameter(0), expected) << "click " << i << (idling ? "" : " without idle");
            const std::vector<HostCall> automated = RecordingHost::callsWith(audioMasterAutomate);
            ASSERT_EQ(automated.size(), std::size_t(i + 1)) << "click " << i;
            EXPECT_EQ(automated.back().index, 0);
            EXPECT_EQ(automated.back().opt, expected) << "the host hears the new value";
        }
        automating = false;
        automation.join();
        pump(effect, 200);
        EXPECT_EQ(footswitchOnScreen(host), expected != 0.0f ? "on" : "off");

        // The host's own change of parameter 0 still moves the footswitch.
        effect.setParameter(0, expected != 0.0f ? 0.0f : 1.0f);
        pump(effect, 200);
        EXPECT_EQ(footswitchOnScreen(host), expected != 0.0f ? "off" : "on");
    }

    TEST_F(EditorTest, ASecondOpenReplacesTheFirstAndNoWindowOutlivesTheEffect)
    {
        const int windowsBefore = threadWindows();
        {
            Effect second;
            ASSERT_EQ(second.dispatch(effEditOpen, 0, 0, host), 1);
            ASSERT_EQ(second.dispatch(effEditOpen, 0, 0, host), 1);
            EXPECT_EQ(childWindows(host), 1) << "the second open replaced the first window";
            second.dispatch(effEditClose);
            EXPECT_EQ(childWindows(host), 0);

            // Opened twice, then closed without effEditClose.
            second.dispatch(effEditOpen, 0, 0, host);
            second.dispatch(effEditOpen, 0, 0, host);
            abitest::pump(200, nullptr);
        }
        EXPECT_EQ(childWindows(host), 0);
        EXPECT_EQ(threadWindows(), windowsBefore);
        EXPECT_FALSE(editorClassRegistered("BACKTWISTER.dll"));
        // Where the footswitch was there is only the host's window now.
        abitest::xdotool(overFootswitch(), nullptr);
        abitest::xdotool("mousedown 1", nullptr);
        abitest::xdotool("mouseup 1", nullptr);
    }

    // A host that closes the editor, or the whole effect, from the audioMasterIdle that the
    // footswitch's click makes. Run with Wine's heap checking too, which fills freed memory.
    TEST_F(EditorTest, ClosedFromTheHostsIdleInsideAClick)
    {
        for (const bool wholeEffect : {false, true}) {
            SCOPED_TRACE(wholeEffect ? "effClose" : "effEditClose");
            const int windowsBefore = threadWindows();
            auto* record = callMain();
            ASSERT_NE(record, nullptr);
            AEffect* live = record;
            auto dispatch = [&](VstInt32 opcode, void* ptr = nullptr) {
                return live ? live->dispatcher(live, opcode, 0, 0, ptr, 0.0f) : 0;
            };
            ASSERT_EQ(dispatch(effEditOpen, host), 1);
            const std::function<void()> idle = [&] { dispatch(effEditIdle); };
            abitest::pump(300, idle);
            abitest::xdotool(overFootswitch(), idle);

            bool closedInside = false;
            int windowsLeftInside = -1;
            std::size_t callsAtClose = 0;
            RecordingHost::react([&](const HostCall& call) {
                if (call.effect != record || call.opcode != audioMasterIdle)
                    return true;
                if (wholeEffect) {
                    dispatch(effClose);
                    live = nullptr;
                    callsAtClose = RecordingHost::calls().size();
                } else {
                    dispatch(effEditClose);
                }
                windowsLeftInside = childWindows(host);
                closedInside = true;
                return false;
            });
            abitest::xdotool("mousedown 1", idle);
            abitest::xdotool("mouseup 1", idle);
            ASSERT_TRUE(closedInside) << "the click gave the host no idle";
            EXPECT_EQ(windowsLeftInside, 0) << "the editor's window went with the close";
            EXPECT_EQ(childWindows(host), 0);
            EXPECT_EQ(threadWindows(), windowsBefore);
            EXPECT_FALSE(editorClassRegistered("BACKTWISTER.dll"));
            if (wholeEffect) {
                for (std::size_t i = callsAtClose; i < RecordingHost::calls().size(); ++i)
                    EXPECT_NE(RecordingHost::calls()[i].effect, record)
                        << "opcode " << RecordingHost::calls()[i].opcode;
            } else {
                // The click itself still counts.
                EXPECT_EQ(RecordingHost::callsWith(audioMasterAutomate).size(), 1u);
                EXPECT_EQ(dispatch(effEditOpen, host), 1);
                abitest::pump(200, idle);
                EXPECT_EQ(childWindows(host), 1);
                dispatch(effEditClose);
                dispatch(effClose);
            }
            RecordingHost::reset();
        }
    }

}  // namespace
}  // namespace abitest
