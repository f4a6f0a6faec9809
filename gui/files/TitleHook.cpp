// The title hook on comdlg32's save dialog: on CDN_FOLDERCHANGE the caption becomes the
// title and the folder, read with CDM_GETFOLDERPATH.
#include "gui/files/TitleHook.h"

#include <windows.h>
#include <commdlg.h>

namespace kelp {

std::string TitleHook::caption(const char* title, const char* currentCaption, const char* folder)
{
    std::string base;
    if (title && *title) {
        base = title;
    } else {
        base = currentCaption;
        const std::size_t dash = base.find('-');
        if (dash != std::string::npos)
            base.resize(dash > 0 ? dash - 1 : 0);
    }
    std::string result = base + " - [" + folder + "]";
    if (result.size() > maxCaption)
        result.resize(maxCaption);
    return result;
}

namespace {

    UINT_PTR retitle(HWND hook, UINT message, LPARAM lParam)
    {
        if (message != WM_NOTIFY)
            return 0;
        const auto* notice = reinterpret_cast<OFNOTIFYA*>(lParam);
        if (notice->hdr.code != CDN_FOLDERCHANGE)
            return 0;
        const HWND dialog = ::GetParent(hook);
        char current[TitleHook::maxCaption + 1] = {};
        ::GetWindowTextA(dialog, current, sizeof current);
        char folder[1024] = {};
        if (::SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof folder, reinterpret_cast<LPARAM>(folder)) <= 0)
            folder[0] = '\0';
        ::SetWindowTextA(dialog, TitleHook::caption(notice->lpOFN->lpstrTitle, current, folder).c_str());
        return 0;
    }

    UINT_PTR CALLBACK hookProcedure(HWND hook, UINT message, WPARAM, LPARAM lParam)
    {
        try {
            return retitle(hook, message, lParam);
        } catch (...) {  // nothing may unwind into the dialog
            return 0;
        }
    }

}  // namespace

void* TitleHook::procedure() { return reinterpret_cast<void*>(&hookProcedure); }

}  // namespace kelp
