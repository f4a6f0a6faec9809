// Every Windows call of the validator, in one place: the file's version resource, the host
// windows an editor opens in, and the message pump that keeps them alive.
#pragma once

#include <string>

class ValidatorPlatform {
public:
    // What the DLL's version resource says; `found` is false when it has none.
    struct VersionInfo {
        bool found = false;
        unsigned fileVersion[4] = {};
        std::string companyName, productName, fileDescription, fileVersionText, productVersionText, originalFilename;
    };
    static VersionInfo readVersion(const std::string& path);

    // A visible top-level window with a client area of width x height, as a host gives an
    // editor; null when it cannot be created.
    static void* createHostWindow(int width, int height);
    static void destroyWindow(void* window);
    static bool isWindow(void* window);
    // The windows inside `window`, at any depth.
    static int childWindowCount(void* window);

    // Dispatches every message waiting for this thread.
    static void pumpMessages();
    static void sleepMilliseconds(int milliseconds);
};
