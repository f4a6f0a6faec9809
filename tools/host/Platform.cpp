#include "Platform.h"

#include <windows.h>
#include <fcntl.h>
#include <io.h>

#include <cstdio>

namespace {

std::string systemMessage(DWORD code)
{
    char text[256] = {};
    DWORD length = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, code, 0, text,
                                  sizeof text, nullptr);
    while (length > 0 &&
           (text[length - 1] == '\n' || text[length - 1] == '\r' || text[length - 1] == ' ' || text[length - 1] == '.'))
        text[--length] = 0;
    if (length == 0)
        std::snprintf(text, sizeof text, "Windows error %lu", code);
    return text;
}

std::string moduleNameAt(const void* address)
{
    HMODULE module = nullptr;
    char path[MAX_PATH] = {};
    if (!GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                            static_cast<LPCSTR>(address), &module) ||
        GetModuleFileNameA(module, path, sizeof path) == 0)
        return "unknown code";
    const char* name = path;
    for (const char* c = path; *c; ++c)
        if (*c == '\\' || *c == '/')
            name = c + 1;
    return name;
}

LONG WINAPI reportCrash(EXCEPTION_POINTERS* info)
{
    const EXCEPTION_RECORD* record = info->ExceptionRecord;
    std::fprintf(stderr, "backtwister-host: crashed with exception 0x%08lx in %s\n",
                 static_cast<unsigned long>(record->ExceptionCode), moduleNameAt(record->ExceptionAddress).c_str());
    std::fflush(stdout);
    std::fflush(stderr);
    ExitProcess(3);
}

}  // namespace

void Platform::setUpProcess()
{
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOGPFAULTERRORBOX | SEM_NOOPENFILEERRORBOX);
    SetUnhandledExceptionFilter(reportCrash);
}

Platform::Module Platform::loadLibrary(const std::string& path, std::string& error)
{
    DWORD attributes = GetFileAttributesA(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        error = "no such file: " + path;
        return nullptr;
    }
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        error = "not a file but a folder: " + path;
        return nullptr;
    }
    // A full path keeps LoadLibraryA from searching the system folders for a bare name.
    char full[MAX_PATH] = {};
    DWORD length = GetFullPathNameA(path.c_str(), sizeof full, full, nullptr);
    if (length == 0 || length >= sizeof full) {
        error = "path too long: " + path;
        return nullptr;
    }
    HMODULE module = LoadLibraryA(full);
    if (!module) {
        DWORD code = GetLastError();
        error = "cannot load " + path + " as a 32-bit Windows DLL (" + systemMessage(code) + ")";
    }
    return module;
}

void* Platform::findSymbol(Module module, const char* name)
{
    return reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(module), name));
}

void Platform::freeLibrary(Module module)
{
    if (module)
        FreeLibrary(static_cast<HMODULE>(module));
}

std::string Platform::programFolder()
{
    char path[MAX_PATH] = {};
    DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
    std::string folder(path, length < sizeof path ? length : 0);
    std::size_t slash = folder.find_last_of("\\/");
    return slash == std::string::npos ? std::string() : folder.substr(0, slash + 1);
}

bool Platform::isTerminal(std::FILE* stream)
{
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(stream)));
    return handle != INVALID_HANDLE_VALUE && GetFileType(handle) == FILE_TYPE_CHAR;
}

long long Platform::fileSize(std::FILE* file)
{
    HANDLE handle = reinterpret_cast<HANDLE>(_get_osfhandle(_fileno(file)));
    LARGE_INTEGER size{};
    if (handle == INVALID_HANDLE_VALUE || GetFileType(handle) != FILE_TYPE_DISK || !GetFileSizeEx(handle, &size))
        return -1;
    return size.QuadPart;
}

std::string Platform::toUtf8(const std::string& text)
{
    if (text.empty())
        return text;
    const int length = int(text.size());
    const int wideLength = MultiByteToWideChar(CP_ACP, 0, text.data(), length, nullptr, 0);
    std::wstring wide(std::size_t(wideLength > 0 ? wideLength : 0), L'\0');
    if (wideLength <= 0 || MultiByteToWideChar(CP_ACP, 0, text.data(), length, wide.data(), wideLength) != wideLength)
        return std::string(text.size(), '?');
    const int utf8Length = WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, nullptr, 0, nullptr, nullptr);
    std::string utf8(std::size_t(utf8Length > 0 ? utf8Length : 0), '\0');
    if (utf8Length <= 0 || WideCharToMultiByte(CP_UTF8, 0, wide.data(), wideLength, utf8.data(), utf8Length, nullptr,
                                               nullptr) != utf8Length)
        return std::string(text.size(), '?');
    return utf8;
}
