// The save dialog's hook: whenever the dialog changes folder, its caption shows the folder
// after the title, "Title - [folder]".
#pragma once

#include <windows.h>

#include <string>

class TitleHook {
public:
    static UINT_PTR CALLBACK hookProcedure(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);

    // The base is the title when one is given, else the caption without its " - [...]" part.
    static std::string caption(const char* title, const char* currentCaption, const char* folder);

    static constexpr std::size_t maxCaption = 323;
};
