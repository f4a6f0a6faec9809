// The folder hook on comdlg32's open dialog: on CDN_INITDONE it hides the file name, type and
// read-only controls and names the buttons; the OK button's procedure is replaced (from
// WM_INITDIALOG to the hook's WM_DESTROY) so that the button keeps the text "Select", and a
// click, or Space (Return never reaches it), takes the folder shown or opens the one selected.
// Quirk: the dialog closes itself on "Select" (a posted WM_CLOSE), which it reports as a cancel.
#include "gui/files/FolderHook.h"

#include <windows.h>
#include <commdlg.h>
#include <dlgs.h>

#include <cstring>
#include <initializer_list>

namespace kelp {

namespace {

    constexpr char selectText[] = "Select";

    bool isSelect(const char* text) { return text && std::strcmp(text, selectText) == 0; }

}  // namespace

bool FolderHook::begin()
{
    if (dialogOpen)
        return false;
    dialogOpen = true;
    folderDialogRunning = true;
    chosenFolder[0] = '\0';
    return true;
}

bool FolderHook::end(bool dialogAnswer)
{
    dialogOpen = false;
    return chosenFolder[0] != '\0' && (dialogAnswer || !folderDialogRunning);
}

struct FolderHook::Dialog {
    static UINT_PTR CALLBACK hookProcedure(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT CALLBACK buttonProcedure(HWND button, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT selectPressed(HWND button, UINT message, WPARAM wParam, LPARAM lParam);
    static void readFolder(HWND dialog, char* folder);
    static void dialogReady(HWND dialog);
};

void* FolderHook::procedure() { return reinterpret_cast<void*>(&Dialog::hookProcedure); }

UINT_PTR CALLBACK FolderHook::Dialog::hookProcedure(HWND hook, UINT message, WPARAM, LPARAM lParam)
{
    const HWND dialog = ::GetParent(hook);
    if (message == WM_INITDIALOG) {
        HWND button = ::GetDlgItem(dialog, IDOK);
        okButton = button;
        okButtonProcedure = reinterpret_cast<void*>(
            ::SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(buttonProcedure)));
    } else if (message == WM_DESTROY) {
        HWND button = static_cast<HWND>(okButton);
        if (button && ::IsWindow(button))
            ::SetWindowLongPtrA(button, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(okButtonProcedure));
        okButton = nullptr;
    } else if (message == WM_NOTIFY) {
        const UINT code = reinterpret_cast<OFNOTIFYA*>(lParam)->hdr.code;
        if (code == CDN_INITDONE) {
            dialogReady(dialog);
        } else if (code == CDN_FILEOK) {
            readFolder(dialog, chosenFolder);
            folderDialogRunning = false;
        }
    }
    return 0;
}

void FolderHook::Dialog::dialogReady(HWND dialog)
{
    // The file name field is edt1 on older dialogs and cmb13 on newer ones.
    for (int control : {edt1, cmb13, stc3, cmb1, stc2})
        ::SendMessageA(dialog, CDM_HIDECONTROL, control, 0);
    ::SendMessageA(dialog, CDM_SETCONTROLTEXT, stc4, reinterpret_cast<LPARAM>("Look in"));
    ::SendMessageA(dialog, CDM_SETCONTROLTEXT, IDOK, reinterpret_cast<LPARAM>(selectText));
    ::SendMessageA(dialog, CDM_SETCONTROLTEXT, IDCANCEL, reinterpret_cast<LPARAM>("Cancel"));
}

LRESULT CALLBACK FolderHook::Dialog::buttonProcedure(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case WM_SETTEXT:
        // The dialog renames its OK button as the selection changes; it stays "Select".
        if (!isSelect(reinterpret_cast<const char*>(lParam)))
            return FALSE;
        break;
    case WM_LBUTTONUP:
    case WM_RBUTTONUP:
        return selectPressed(button, message, wParam, lParam);
    case WM_KEYUP:
        if (wParam == VK_SPACE)
            return selectPressed(button, message, wParam, lParam);
        break;
    default:
        break;
    }
    return ::CallWindowProcA(reinterpret_cast<WNDPROC>(okButtonProcedure), button, message, wParam, lParam);
}

LRESULT FolderHook::Dialog::selectPressed(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND dialog = ::GetParent(button);
    char text[16] = {};
    ::GetWindowTextA(button, text, sizeof text);
    if (isSelect(text)) {
        char before[sizeof chosenFolder];
        readFolder(dialog, before);
        // The button's own click may open the folder selected in the list.
        ::CallWindowProcA(reinterpret_cast<WNDPROC>(okButtonProcedure), button, message, wParam, lParam);
        readFolder(dialog, chosenFolder);
        if (chosenFolder[0] && std::strcmp(before, chosenFolder) != 0)
            return 1;
    }
    folderDialogRunning = false;
    ::PostMessageA(dialog, WM_CLOSE, 0, 0);
    return 0;
}

void FolderHook::Dialog::readFolder(HWND dialog, char* folder)
{
    if (::SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof chosenFolder, reinterpret_cast<LPARAM>(folder)) <= 0)
        folder[0] = '\0';
    folder[sizeof chosenFolder - 1] = '\0';
}

}  // namespace kelp
