// The save dialog's hook: whenever the dialog changes folder, its caption shows the folder
// after the title, "Title - [folder]".
#pragma once

#include <cstddef>
#include <string>

namespace kelp {

class TitleHook {
public:
    // The hook procedure (an LPOFNHOOKPROC) to hand the save dialog.
    static void* procedure();

    // The base is the title when one is given, else the caption without its " - [...]" part.
    static std::string caption(const char* title, const char* currentCaption, const char* folder);

    static constexpr std::size_t maxCaption = 323;
};

}  // namespace kelp
