#include "ValidatorPlatform.h"

#include <windows.h>

#include <cstdio>
#include <vector>

namespace {

const char* const hostWindowClass = "BacktwisterValidatorHost";

std::string stringField(const std::vector<char>& data, const char* name)
{
    // The language and code page of the StringFileInfo block the DLL carries.
    struct Translation {
        WORD language;
        WORD codePage;
    };
    Translation* translations = nullptr;
    UINT size = 0;
    char query[96];
    if (VerQueryValueA(data.data(), "\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translations), &size) &&
        size >= sizeof(Translation))
        std::snprintf(query, sizeof query, "\\StringFileInfo\\%04x%04x\\%s", translations->language,
                      translations->codePage, name);
    else
        std::snprintf(query, sizeof query, "\\StringFileInfo\\040904b0\\%s", name);
    char* text = nullptr;
    UINT length = 0;
    if (!VerQueryValueA(data.data(), query, reinterpret_cast<void**>(&text), &length) || !text)
        return {};
    return std::string(text, length > 0 && text[length - 1] == 0 ? length - 1 : length);
}

LRESULT CALLBACK hostWindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    return DefWindowProcA(window, message, wParam, lParam);
}

BOOL CALLBACK countChild(HWND, LPARAM counter)
{
    ++*reinterpret_cast<int*>(counter);
    return TRUE;
}

}  // namespace

ValidatorPlatform::VersionInfo ValidatorPlatform::readVersion(const std::string& path)
{
    VersionInfo info;
    DWORD handle = 0;
    const DWORD size = GetFileVersionInfoSizeA(path.c_str(), &handle);
    if (size == 0)
        return info;
    std::vector<char> data(size);
    if (!GetFileVersionInfoA(path.c_str(), 0, size, data.data()))
        return info;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT fixedSize = 0;
    if (!VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&fixed), &fixedSize) || !fixed ||
        fixed->dwSignature != VS_FFI_SIGNATURE)
        return info;
    info.found = true;
    info.fileVersion[0] = HIWORD(fixed->dwFileVersionMS);
    info.fileVersion[1] = LOWORD(fixed->dwFileVersionMS);
    info.fileVersion[2] = HIWORD(fixed->dwFileVersionLS);
    info.fileVersion[3] = LOWORD(fixed->dwFileVersionLS);
    info.companyName = stringField(data, "CompanyName");
    info.productName = stringField(data, "ProductName");
    info.fileDescription = stringField(data, "FileDescription");
    info.fileVersionText = stringField(data, "FileVersion");
    info.productVersionText = stringField(data, "ProductVersion");
    info.originalFilename = stringField(data, "OriginalFilename");
    return info;
}

void* ValidatorPlatform::createHostWindow(int width, int height)
{
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass{};
        windowClass.lpfnWndProc = hostWindowProcedure;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.hCursor = LoadCursorA(nullptr, IDC_ARROW);
        windowClass.lpszClassName = hostWindowClass;
        registered = RegisterClassA(&windowClass) != 0 || GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
    }
    // No frame: the client area is the whole window.
    return CreateWindowExA(0, hostWindowClass, "Backtwister validator host", WS_POPUP | WS_VISIBLE, 0, 0, width, height,
                           nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
}

void ValidatorPlatform::destroyWindow(void* window)
{
    if (window && IsWindow(static_cast<HWND>(window)))
        DestroyWindow(static_cast<HWND>(window));
}

bool ValidatorPlatform::isWindow(void* window) { return window && IsWindow(static_cast<HWND>(window)); }

int ValidatorPlatform::childWindowCount(void* window)
{
    int count = 0;
    if (isWindow(window))
        EnumChildWindows(static_cast<HWND>(window), countChild, reinterpret_cast<LPARAM>(&count));
    return count;
}

void ValidatorPlatform::pumpMessages()
{
    MSG message;
    while (PeekMessageA(&message, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&message);
        DispatchMessageA(&message);
    }
}

void ValidatorPlatform::sleepMilliseconds(int milliseconds) { Sleep(DWORD(milliseconds)); }
