#include "EditorWindow.h"

#include <windows.h>

#include <cstdio>
#include <vector>

#include "OutputFile.h"

namespace {

const char* const className = "BacktwisterHostEditor";

LRESULT CALLBACK windowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_CLOSE) {
        DestroyWindow(window);
        return 0;
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

bool registerClass()
{
    WNDCLASSA windowClass{};
    windowClass.lpfnWndProc = windowProcedure;
    windowClass.hInstance = GetModuleHandleA(nullptr);
    windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
    windowClass.hbrBackground = GetSysColorBrush(COLOR_BTNFACE);
    windowClass.lpszClassName = className;
    return RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

}  // namespace

EditorWindow::~EditorWindow() { destroy(); }

bool EditorWindow::create(const char* title, int clientWidth, int clientHeight, std::string& error)
{
    if (!registerClass()) {
        error = "cannot register the editor window class";
        return false;
    }
    const DWORD style = WS_OVERLAPPEDWINDOW & ~(WS_THICKFRAME | WS_MAXIMIZEBOX);
    RECT frame{0, 0, clientWidth, clientHeight};
    AdjustWindowRect(&frame, style, FALSE);
    HWND created = CreateWindowExA(0, className, title, style | WS_VISIBLE, 0, 0, frame.right - frame.left,
                                   frame.bottom - frame.top, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
    if (!created) {
        error = "cannot create the editor window";
        return false;
    }
    window = created;
    width = clientWidth;
    height = clientHeight;
    return true;
}

bool EditorWindow::isOpen() const { return window && IsWindow(static_cast<HWND>(window)); }

void EditorWindow::run(double seconds, int intervalMs, const std::function<void()>& tick)
{
    const DWORD start = GetTickCount();
    DWORD lastTick = start;
    while (isOpen()) {
        const DWORD now = GetTickCount();
        if (seconds > 0.0 && double(now - start) >= seconds * 1000.0)
            break;
        if (now - lastTick >= DWORD(intervalMs)) {
            tick();
            lastTick = now;
        }
        MSG message;
        while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageA(&message);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, DWORD(intervalMs), QS_ALLINPUT);
    }
}

bool EditorWindow::saveBitmap(const std::string& path, std::string& error)
{
    if (!isOpen()) {
        error = "the editor window was closed before its picture was taken";
        return false;
    }
    HWND handle = static_cast<HWND>(window);
    HDC screen = GetDC(handle);
    HDC memory = CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = height;  // bottom-up, as BMP files store rows
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 24;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP bitmap = CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HGDIOBJ previous = SelectObject(memory, bitmap);
    BitBlt(memory, 0, 0, width, height, screen, 0, 0, SRCCOPY);
    GdiFlush();

    const DWORD rowBytes = DWORD((width * 3 + 3) & ~3);
    const DWORD imageBytes = rowBytes * DWORD(height);
    BITMAPFILEHEADER file{};
    file.bfType = 0x4D42;  // "BM"
    file.bfOffBits = sizeof file + sizeof info.bmiHeader;
    file.bfSize = file.bfOffBits + imageBytes;
    OutputFile out(path, "picture");
    const bool written = bits && out.open(error) && out.write(&file, sizeof file, error) &&
                         out.write(&info.bmiHeader, sizeof info.bmiHeader, error) &&
                         out.write(bits, imageBytes, error) && out.finish(error);
    if (!bits)
        error = "cannot take the editor's picture";
    SelectObject(memory, previous);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(handle, screen);
    return written;
}

void EditorWindow::destroy()
{
    if (isOpen())
        DestroyWindow(static_cast<HWND>(window));
    window = nullptr;
}
