// Folder selection on the system's open dialog: the hook hides the file controls and names
// the buttons, and the OK button, now "Select", takes the folder shown (or opens the folder
// selected in the list). The dialog closes itself on "Select", which it reports as a cancel.
#pragma once

namespace kelp {

class FolderHook {
public:
    // The hook procedure (an LPOFNHOOKPROC) to hand the open dialog.
    static void* procedure();

    // Before the dialog opens; false while another folder dialog is open.
    static bool begin();
    // After it closed, with the dialog's own answer: whether the user confirmed a folder.
    static bool end(bool dialogAnswer);

    // The folder the user confirmed, and whether the dialog still waits for one.
    static inline char chosenFolder[1024] = {};
    static inline bool folderDialogRunning = false;

private:
    // The hook and the OK button's procedure, in FolderHook.cpp.
    struct Dialog;
    friend struct Dialog;

    static inline bool dialogOpen = false;
    static inline void* okButton = nullptr;           // HWND
    static inline void* okButtonProcedure = nullptr;  // the button's own WNDPROC
};

}  // namespace kelp
