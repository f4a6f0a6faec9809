// Asks the user for one file to load, several files, a file name to save to, or a folder.
// The request and the answer travel in the caller's VstFileSelect: the host's own file
// selector gets it when the host offers one, otherwise the system's dialogs answer it.
//
//     VstFileSelect request{};
//     request.command = kVstFileLoad;
//     FileChooser chooser(effect);
//     if (chooser.run(&request))
//         load(request.returnPath);
//
// Paths the chooser allocated live until the chooser is destroyed or runs again, so the
// request must outlive it. When the host closes the editor while a dialog is open, the
// dialog is closed and run answers 0.
#pragma once

#include <windows.h>

#include "gui/files/VstFileSelect.h"

class EffectBase;
class GuiEditorBase;
class RootView;

class FileChooser {
public:
    // The effect reaches the host and the editor's window; it may be null.
    explicit FileChooser(EffectBase* effect);
    virtual ~FileChooser();

    FileChooser(const FileChooser&) = delete;
    FileChooser& operator=(const FileChooser&) = delete;

    // Answers the number of paths returned in the request; 0 when the user cancelled.
    VstInt32 run(VstFileSelect* request);

    VstFileSelect* getSelect() const { return select; }

    static constexpr VstInt32 maxMultiplePaths = 1024;

private:
    // Records the system's dialog, so that it can be closed with the editor, and hands every
    // message on to the hook of the dialog's kind.
    static UINT_PTR CALLBACK hookProcedure(HWND hook, UINT message, WPARAM wParam, LPARAM lParam);
    BOOL runDialog(OPENFILENAMEA& dialog, LPOFNHOOKPROC kindHook, bool save);

    bool hostOffersSelector();
    VstInt32 openDialog();
    VstInt32 saveDialog();
    GuiEditorBase* editor() const;
    RootView* rootView() const;
    HWND ownerWindow() const;
    void describe(OPENFILENAMEA& dialog, const char* filter, char* file, DWORD fileSize, char* fileTitle,
                  const char* title) const;
    bool storeReturnPath(const char* path);
    void storeMultiplePaths(const char* list);
    // Hands a request back to the host, or frees what the chooser allocated for it.
    void release();

    EffectBase* effect;
    VstFileSelect* select;
    bool handedToHost;
    LPOFNHOOKPROC dialogKindHook = nullptr;
    HWND dialogWindow = nullptr;
};
