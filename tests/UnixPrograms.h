// Unix programs started from a Windows test program under Wine, xdotool among them for real
// pointer and key input. Wine starts a Unix program that CreateProcessA is given by its Unix
// path (system() would go through cmd.exe), but it gives no process handle to wait on and
// leaves the thread handle unset: closing that could close any handle of ours, stdout among
// them. So startUnix only starts; runShell waits for a file the shell leaves behind when done.
#pragma once

#include <windows.h>

#include <string>

// Starts the program; false when it did not start.
inline bool startUnix(std::string commandLine)
{
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                          &process))
        return false;
    if (process.hProcess) {  // a Windows program after all
        ::CloseHandle(process.hThread);
        ::CloseHandle(process.hProcess);
    }
    return true;
}

// A file name of our own under /tmp; the names carry the time, as Wine reuses process ids.
inline std::string unixScratchName(const char* kind)
{
    static int made = 0;
    return "/tmp/backtwister-test-" + std::string(kind) + "-" + std::to_string(::GetCurrentProcessId()) + "-" +
           std::to_string(::GetTickCount()) + "-" + std::to_string(++made);
}

// Runs a shell command to its end, 30 seconds at most; false when it did not finish (or fail).
inline bool runShell(const std::string& command)
{
    const std::string done = unixScratchName("done");
    startUnix("/bin/sh -c \"" + command + " && : > " + done + "\"");
    for (const DWORD giveUp = ::GetTickCount() + 30000; LONG(giveUp - ::GetTickCount()) > 0; ::Sleep(20))
        if (::DeleteFileA(("Z:" + done).c_str()))
            return true;
    return false;
}

// xdotool's commands, run to their end.
inline bool xdotool(const std::string& commands) { return runShell("/usr/bin/xdotool " + commands); }
