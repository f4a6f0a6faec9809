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

#include "gui/draw/NativeHandles.h"
#include "gui/files/VstFileSelect.h"

namespace kelp {

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
    // The system's dialogs: their description, the run and the hook, in FileChooser.cpp.
    struct Dialog;
    friend struct Dialog;

    bool hostOffersSelector();
    VstInt32 openDialog();
    VstInt32 saveDialog();
    GuiEditorBase* editor() const;
    RootView* rootView() const;
    NativeWindow ownerWindow() const;
    bool storeReturnPath(const char* path);
    void storeMultiplePaths(const char* list);
    // Hands a request back to the host, or frees what the chooser allocated for it.
    void release();

    EffectBase* effect;
    VstFileSelect* select;
    bool handedToHost;
    void* dialogKindHook = nullptr;  // the hook of the dialog's kind, or null
    NativeWindow dialogWindow = nullptr;
};

}  // namespace kelp
