#include "HostWindow.h"

#include <gtest/gtest.h>

#include "tests/UnixPrograms.h"

#include <cstdio>
#include <cstring>

namespace abitest {

namespace {

    LRESULT CALLBACK hostWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
    {
        return DefWindowProcA(window, message, wParam, lParam);
    }

    BOOL CALLBACK countWindow(HWND, LPARAM counter)
    {
        ++*reinterpret_cast<int*>(counter);
        return TRUE;
    }

    struct ClassSearch {
        const char* name;
        bool found;
    };

    BOOL CALLBACK findVisibleOfClass(HWND window, LPARAM search)
    {
        auto* wanted = reinterpret_cast<ClassSearch*>(search);
        char name[64] = "";
        ::GetClassNameA(window, name, sizeof name);
        if (std::strcmp(name, wanted->name) == 0 && ::IsWindowVisible(window))
            wanted->found = true;
        return TRUE;
    }

}  // namespace

HWND createHostWindow(int left, int top, int width, int height)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = hostWindowProcedure;
        windowClass.hInstance = ::GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "AbiTestHostWindow";
        registered = ::RegisterClassA(&windowClass) != 0;
    }
    return ::CreateWindowExA(0, "AbiTestHostWindow", "Backtwister test host", WS_POPUP | WS_VISIBLE, left, top, width,
                             height, nullptr, nullptr, ::GetModuleHandleA(nullptr), nullptr);
}

void pump(DWORD ms, const std::function<void()>& idle)
{
    const DWORD start = ::GetTickCount();
    do {
        MSG message;
        while (::PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE))
            ::DispatchMessageA(&message);
        if (idle)
            idle();
        ::Sleep(20);
    } while (::GetTickCount() - start < ms);
}

void xdotool(const std::string& arguments, const std::function<void()>& idle)
{
    ASSERT_TRUE(startUnix("/usr/bin/xdotool " + arguments)) << "cannot start xdotool";
    pump(300, idle);
}

Pixels readPixels(HDC source, int left, int top, int width, int height)
{
    HDC memory = ::CreateCompatibleDC(source);
    HBITMAP bitmap = ::CreateCompatibleBitmap(source, width, height);
    HGDIOBJ previous = ::SelectObject(memory, bitmap);
    ::BitBlt(memory, 0, 0, width, height, source, left, top, SRCCOPY);
    Pixels pixels;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            pixels.push_back(::GetPixel(memory, x, y));
    ::SelectObject(memory, previous);
    ::DeleteObject(bitmap);
    ::DeleteDC(memory);
    return pixels;
}

int childWindows(HWND parent)
{
    int count = 0;
    ::EnumChildWindows(parent, countWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

int threadWindows()
{
    int count = 0;
    ::EnumThreadWindows(::GetCurrentThreadId(), countWindow, reinterpret_cast<LPARAM>(&count));
    return count;
}

bool showsWindowOfClass(const char* className)
{
    ClassSearch search{className, false};
    ::EnumThreadWindows(::GetCurrentThreadId(), findVisibleOfClass, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool editorClassRegistered(const char* dllName)
{
    HMODULE module = ::GetModuleHandleA(dllName);
    char className[32];
    std::snprintf(className, sizeof className, "Plugin%08x", unsigned(reinterpret_cast<UINT_PTR>(module)));
    WNDCLASSA unused;
    return ::GetClassInfoA(module, className, &unused) != 0;
}

}  // namespace abitest
