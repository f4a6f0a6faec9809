// What the view, root view, editor and drop tests share: an editor and an effect with a
// recording host, a view that records what reaches it, real host windows, and Unix programs
// (xdotool) run from inside the Windows test program.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "editor/GuiEditorBase.h"
#include "gui/controls/View.h"
#include "gui/draw/DrawContext.h"
#include "gui/draw/RootView.h"
#include "host/ModuleInstance.h"
#include "tests/MinimalEffect.h"
#include "tests/RecordingHost.h"
#include "tests/UnixPrograms.h"
#include "tests/toolkit/RecordingView.h"

using namespace kelp;

inline void useTestModule() { moduleInstance = GetModuleHandleA(nullptr); }

// An editor whose root view the test installs, counting what idle does.
class TestEditor : public GuiEditorBase {
public:
    explicit TestEditor(EffectBase* effect) : GuiEditorBase(effect) {}
    ~TestEditor() override { delete rootView; }

    void idle() override
    {
        ++idleCalls;
        GuiEditorBase::idle();
    }
    void update() override { ++updates; }

    void setRootView(RootView* root) { rootView = root; }
    void setRect(const ERect& r) { rect = r; }
    bool isUpdatePending() const { return updatePending.load() != 0; }

    int idleCalls = 0;
    int updates = 0;
};

// A borderless top-level window standing in for the host's editor window. With no window
// manager on the virtual display it appears exactly where it is created.
inline HWND makeHostWindow(int x, int y, int width, int height, const char* title = "BacktwisterTestHost")
{
    static ATOM hostClass = [] {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = DefWindowProcA;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
        windowClass.lpszClassName = "BacktwisterTestHost";
        return RegisterClassA(&windowClass);
    }();
    (void)hostClass;
    return CreateWindowExA(0, "BacktwisterTestHost", title, WS_POPUP | WS_VISIBLE, x, y, width, height, nullptr,
                           nullptr, GetModuleHandleA(nullptr), nullptr);
}

// Handles what has arrived for the thread's windows, for about the given time.
inline void pumpMessages(DWORD milliseconds)
{
    const DWORD end = GetTickCount() + milliseconds;
    do {
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        Sleep(5);
    } while (LONG(end - GetTickCount()) > 0);
}

// Pumps messages until done() holds or the time is up.
template <typename Condition>
bool pumpUntil(Condition done, DWORD milliseconds = 3000)
{
    const DWORD end = GetTickCount() + milliseconds;
    while (!done()) {
        if (LONG(end - GetTickCount()) <= 0)
            return false;
        pumpMessages(10);
    }
    return true;
}

inline bool windowClassExists(const char* name)
{
    WNDCLASSA found{};
    return GetClassInfoA(GetModuleHandleA(nullptr), name, &found) != 0;
}
