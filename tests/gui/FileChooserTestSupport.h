// What the file chooser tests share: a host with a file selector the test sets up, real input
// from xdotool, and a driver that works a file dialog from its own thread while the test's
// thread sits in the modal dialog.
#pragma once

#include <windows.h>

#include <dlgs.h>

#include <algorithm>
#include <atomic>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "gui/files/VstFileSelect.h"
#include "tests/gui/RootViewTestSupport.h"

using namespace kelp;

// Says yes to the capabilities listed; its selector reports two paths when it opens.
struct SelectorHost {
    static inline std::vector<std::string> capabilities;
    static inline bool opens = true;

    static VstIntPtr VSTCALL callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                      float opt)
    {
        const VstIntPtr answer = RecordingHost::callback(effect, opcode, index, value, ptr, opt);
        if (opcode == audioMasterCanDo)
            return std::count(capabilities.begin(), capabilities.end(), static_cast<const char*>(ptr));
        if (opcode == audioMasterOpenFileSelector && opens)
            static_cast<VstFileSelect*>(ptr)->nbReturnPath = 2;
        return opcode == audioMasterOpenFileSelector ? opens : answer;
    }
};

// Presses and releases apart, as a hand does.
inline bool clickAt(const POINT& p)
{
    return xdotool("mousemove " + std::to_string(p.x) + " " + std::to_string(p.y) +
                   " sleep 0.3 mousedown 1 sleep 0.15 mouseup 1 sleep 0.3");
}

inline bool clickCentre(HWND window)
{
    RECT r{};
    GetWindowRect(window, &r);
    return clickAt(POINT{(r.left + r.right) / 2, (r.top + r.bottom) / 2});
}

// Types into the dialog's file name field, keys reaching it while the pointer is over the
// dialog, and confirms. The dialog looks names up as they are typed and falls behind the
// keys, so Return waits until the field shows the whole text.
inline bool typeInto(HWND dialog, const std::string& text)
{
    const std::string keys = unixScratchName("keys");
    const HANDLE file = CreateFileA(("Z:" + keys).c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    DWORD written = 0;
    WriteFile(file, text.data(), DWORD(text.size()), &written, nullptr);
    CloseHandle(file);
    POINT corner{6, 6};  // without a window manager only the client area is shown
    ClientToScreen(dialog, &corner);
    xdotool("mousemove " + std::to_string(corner.x) + " " + std::to_string(corner.y) +
            " sleep 0.3 type --delay 40 --file " + keys);
    DeleteFileA(("Z:" + keys).c_str());
    char shown[1024] = {};
    const DWORD giveUp = GetTickCount() + 30000;
    while (GetDlgItemTextA(dialog, cmb13, shown, sizeof shown), text != shown) {
        if (LONG(giveUp - GetTickCount()) <= 0)
            return false;
        Sleep(50);
    }
    return xdotool("sleep 0.3 key Return");
}

// Works the first file dialog the creating thread opens; cancels what is left open after
// the steps (message boxes first), so that a failing test cannot hang in a dialog.
class DialogDriver {
public:
    using Steps = std::function<void(HWND dialog)>;

    explicit DialogDriver(Steps steps)
        : owner(GetCurrentThreadId()), steps(std::move(steps)), thread([this] { work(); })
    {
    }
    ~DialogDriver() { stop(); }

    void stop()
    {
        stopping = true;
        if (thread.joinable())
            thread.join();
    }

    std::atomic<HWND> dialog{nullptr};
    std::atomic<bool> cancelled{false};  // the steps left something open

private:
    void work()
    {
        for (const DWORD giveUp = GetTickCount() + 30000; !stopping && !(dialog = topDialog()); Sleep(50))
            if (LONG(giveUp - GetTickCount()) <= 0)
                return;
        if (!dialog)
            return;
        Sleep(800);  // let the dialog fill its list
        steps(dialog);
        for (const DWORD closeBy = GetTickCount() + 20000; IsWindow(dialog) && LONG(closeBy - GetTickCount()) > 0;)
            Sleep(50);
        for (HWND open; IsWindow(dialog) && (open = topDialog()); Sleep(500)) {
            cancelled = true;
            PostMessageA(open, WM_COMMAND, IDCANCEL, 0);
        }
    }

    HWND topDialog() const
    {
        HWND found = nullptr;
        EnumThreadWindows(owner, isDialog, reinterpret_cast<LPARAM>(&found));
        return found;
    }

    static BOOL CALLBACK isDialog(HWND window, LPARAM found)
    {
        char name[16] = {};
        GetClassNameA(window, name, sizeof name);
        if (std::string(name) != "#32770" || !IsWindowVisible(window))
            return TRUE;
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }

    DWORD owner;
    Steps steps;
    std::atomic<bool> stopping{false};
    std::thread thread;  // last: starts once everything it uses is there
};
