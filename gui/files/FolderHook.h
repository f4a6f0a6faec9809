// Folder selection on the system's open dialog: the hook hides the file controls and names
// the buttons, and the OK button, now "Select", takes the folder shown (or opens the folder
// selected in the list). The dialog closes itself on "Select", which it reports as a cancel.
#pragma once

#include <windows.h>

class FolderHook {
public:
    static UINT_PTR CALLBACK hookProcedure(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);

    // Before the dialog opens; false while another folder dialog is open.
    static bool begin();
    // After it closed, with the dialog's own answer: whether the user confirmed a folder.
    static bool end(BOOL dialogAnswer);

    // The folder the user confirmed, and whether the dialog still waits for one.
    static inline char chosenFolder[1024] = {};
    static inline bool folderDialogRunning = false;

private:
    static LRESULT CALLBACK buttonProcedure(HWND button, UINT message, WPARAM wParam, LPARAM lParam);
    static LRESULT selectPressed(HWND button, UINT message, WPARAM wParam, LPARAM lParam);
    static void readFolder(HWND dialog, char* folder);
    static void dialogReady(HWND dialog);

    static inline bool dialogOpen = false;
    static inline HWND okButton = nullptr;
    static inline WNDPROC okButtonProcedure = nullptr;
};
