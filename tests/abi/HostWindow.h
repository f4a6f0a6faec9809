// A host's side of an editor on the screen: its window, its message loop with idle calls,
// real pointer events (xdotool, started as a Unix program from Wine) and the windows left.
#pragma once

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace abitest {

// A frameless top-level window: its client area starts at (left, top) of the screen.
HWND createHostWindow(int left, int top, int width, int height);

// Dispatches messages and calls idle (when given) every 20 ms, for about ms milliseconds.
void pump(DWORD ms, const std::function<void()>& idle);

// Starts xdotool, then pumps 300 ms while it works.
void xdotool(const std::string& arguments, const std::function<void()>& idle);

using Pixels = std::vector<COLORREF>;
Pixels readPixels(HDC source, int left, int top, int width, int height);

// Windows inside parent / top-level windows of this thread.
int childWindows(HWND parent);
int threadWindows();
// A visible top-level window of this thread with the class: "#32768" menus, "#32770" dialogs.
bool showsWindowOfClass(const char* className);
// The editor's window class, "Plugin" and the module handle, is still registered.
bool editorClassRegistered(const char* dllName);

}  // namespace abitest
