// Every call into Windows that the host tool makes lives behind this class, so the rest
// of the tool is plain C++ and the platform surface can be read in one file.
#pragma once

#include <cstdio>
#include <string>

class Platform {
public:
    using Module = void*;

    // Call first. Standard streams write plain "\n" line ends (for the Linux side of Wine), and
    // an unhandled exception, in the plug-in or in the tool, becomes a one-line message and
    // exit status 3 instead of a debugger or an error dialog.
    static void setUpProcess();

    // Loads a DLL from a file path (never from the system search path). Null on failure,
    // with a one-line reason in error.
    static Module loadLibrary(const std::string& path, std::string& error);
    static void* findSymbol(Module module, const char* name);
    static void freeLibrary(Module module);

    // The folder holding this program, with a trailing separator.
    static std::string programFolder();

    // True when the stream goes to a console or terminal, not to a file or a pipe.
    static bool isTerminal(std::FILE* stream);
    // The size in bytes of an open file; -1 when it has none (a pipe).
    static long long fileSize(std::FILE* file);
    // Text of the ANSI code page (what plug-ins and the command line hand over) as UTF-8.
    static std::string toUtf8(const std::string& text);
};
