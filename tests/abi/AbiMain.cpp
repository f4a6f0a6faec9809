#include "AbiHost.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdio>

namespace {

// A crash ends the program at once with a line, rather than waiting in Wine's debugger.
LONG WINAPI reportCrash(EXCEPTION_POINTERS* info)
{
    std::fprintf(stderr, "crashed: exception %08lx at %p\n", info->ExceptionRecord->ExceptionCode,
                 info->ExceptionRecord->ExceptionAddress);
    std::fflush(stderr);
    ::TerminateProcess(::GetCurrentProcess(), 3);
    return EXCEPTION_EXECUTE_HANDLER;
}

}  // namespace

// abi_tests [gtest options] [path of the plug-in DLL]
int main(int argc, char** argv)
{
    testing::InitGoogleTest(&argc, argv);
    ::SetUnhandledExceptionFilter(reportCrash);
    const char* path = argc > 1 ? argv[1] : "BACKTWISTER.dll";
    if (!abitest::loadPlugin(path)) {
        std::fprintf(stderr, "cannot load %s or find its export \"main\"\n", path);
        return 1;
    }
    return RUN_ALL_TESTS();
}
