#include "gui/files/FolderHook.h"

#include <commdlg.h>
#include <dlgs.h>

#include <cstring>
#include <initializer_list>

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

bool FolderHook::end(BOOL dialogAnswer)
{
    dialogOpen = false;
    return chosenFolder[0] != '\0' && (dialogAnswer || !folderDialogRunning);
}

UINT_PTR CALLBACK FolderHook::hookProcedure(HWND hook, UINT message, WPARAM, LPARAM lParam)
{
    const HWND dialog = GetParent(hook);
    if (message == WM_INITDIALOG) {
        okButton = GetDlgItem(dialog, IDOK);
        okButtonProcedure = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrA(okButton, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(buttonProcedure)));
    } else if (message == WM_DESTROY) {
        if (okButton && IsWindow(okButton))
            SetWindowLongPtrA(okButton, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(okButtonProcedure));
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

void FolderHook::dialogReady(HWND dialog)
{
    // The file name field is edt1 on older dialogs and cmb13 on newer ones.
    for (int control : {edt1, cmb13, stc3, cmb1, stc2})
        SendMessageA(dialog, CDM_HIDECONTROL, control, 0);
    SendMessageA(dialog, CDM_SETCONTROLTEXT, stc4, reinterpret_cast<LPARAM>("Look in"));
    SendMessageA(dialog, CDM_SETCONTROLTEXT, IDOK, reinterpret_cast<LPARAM>(selectText));
    SendMessageA(dialog, CDM_SETCONTROLTEXT, IDCANCEL, reinterpret_cast<LPARAM>("Cancel"));
}

LRESULT CALLBACK FolderHook::buttonProcedure(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
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
    return CallWindowProcA(okButtonProcedure, button, message, wParam, lParam);
}

LRESULT FolderHook::selectPressed(HWND button, UINT message, WPARAM wParam, LPARAM lParam)
{
    const HWND dialog = GetParent(button);
    char text[16] = {};
    GetWindowTextA(button, text, sizeof text);
    if (isSelect(text)) {
        char before[sizeof chosenFolder];
        readFolder(dialog, before);
        // The button's own click may open the folder selected in the list.
        CallWindowProcA(okButtonProcedure, button, message, wParam, lParam);
        readFolder(dialog, chosenFolder);
        if (chosenFolder[0] && std::strcmp(before, chosenFolder) != 0)
            return 1;
    }
    folderDialogRunning = false;
    PostMessageA(dialog, WM_CLOSE, 0, 0);
    return 0;
}

void FolderHook::readFolder(HWND dialog, char* folder)
{
    if (SendMessageA(dialog, CDM_GETFOLDERPATH, sizeof chosenFolder, reinterpret_cast<LPARAM>(folder)) <= 0)
        folder[0] = '\0';
    folder[sizeof chosenFolder - 1] = '\0';
}
