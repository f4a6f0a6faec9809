// The editor through the DLL, as a host opens it: a top-level window of the size the
// editor reports, effEditOpen with its handle, effEditIdle while it is shown. Clicks are
// real pointer events on the X display (xdotool, started as a Unix program from Wine).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <string>
#include <vector>

#include "AbiHost.h"
#include "tests/ReverseReference.h"

namespace abitest {
namespace {

constexpr int kLeft = 100, kTop = 100;       // where the host window stands on the screen
constexpr RECT kFootswitch{120, 95, 190, 165};  // in the editor's coordinates

LRESULT CALLBACK hostWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

HWND createHostWindow(int width, int height)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = hostWindowProcedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "AbiTestHostWindow";
        registered = RegisterClassA(&windowClass) != 0;
    }
    // No frame: the client area starts at the window's screen position.
    return CreateWindowExA(0, "AbiTestHostWindow", "Backtwister test host", WS_POPUP | WS_VISIBLE, kLeft, kTop,
                           width, height, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

// Dispatches messages and sends effEditIdle every 20 ms, for about `ms` milliseconds.
void pump(Effect& effect, DWORD ms)
{
    const DWORD start = GetTickCount();
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            DispatchMessageA(&message);
        effect.dispatch(effEditIdle);
        Sleep(20);
    } while (GetTickCount() - start < ms);
}

// Runs xdotool with the given arguments and keeps the windows alive while it works.
void xdotool(Effect& effect, const std::string& arguments)
{
    char command[256];
    std::snprintf(command, sizeof command, "/usr/bin/xdotool %s", arguments.c_str());
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(CreateProcessA(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                               &process))
        << "cannot start xdotool";
    while (WaitForSingleObject(process.hProcess, 10) == WAIT_TIMEOUT)
        pump(effect, 0);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    pump(effect, 300);
}

using Pixels = std::vector<COLORREF>;

Pixels readPixels(HDC source, int left, int top, int width, int height)
{
    HDC memory = CreateCompatibleDC(source);
    HBITMAP bitmap = CreateCompatibleBitmap(source, width, height);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY);
    Pixels pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(GetPixel(memory, x, y));
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    return pixels;
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

BOOL CALLBACK countWindow(HWND, LPARAM counter)
{
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

// Top-level windows of this thread; the editor's child windows live inside the host's.
int threadWindows()
{
    int count = 0;
    EnumThreadWindows(GetCurrentThreadId(), countWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

int childWindows(HWND parent)
{
    int count = 0;
    EnumChildWindows(parent, countWindow, reinterpret_cast<LPARAM>(&count));
    return count;
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
    char className[32];
    std::snprintf(className, sizeof className, "Plugin%08x",
                  unsigned(reinterpret_cast<UINT_PTR>(GetModuleHandleA("BACKTWISTER.dll"))));
    WNDCLASSA unused;
    EXPECT_FALSE(GetClassInfoA(GetModuleHandleA("BACKTWISTER.dll"), className, &unused))
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

}  // namespace
}  // namespace abitest
