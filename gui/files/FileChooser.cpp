// FileChooser on the host's selector or comdlg32: GetOpenFileNameA for loading one or several
// files and (through the folder hook) a folder, GetSaveFileNameA with the title hook for
// saving. Every dialog gets a hook of ours, which records the dialog so that it can be closed
// (WM_CLOSE, answered as a cancel) when the editor closes while it is open, and hands every
// message on to the hook of the dialog's kind.
#include "gui/files/FileChooser.h"

#include <windows.h>
#include <commdlg.h>

#include <cstring>
#include <string>
#include <vector>

#include "editor/GuiEditorBase.h"
#include "gui/draw/RootView.h"
#include "gui/files/FileFilter.h"
#include "gui/files/FolderHook.h"
#include "gui/files/TitleHook.h"
#include "host/ModuleInstance.h"

namespace kelp {

namespace {

    constexpr DWORD pathSize = 1024;
    constexpr DWORD multiplePathsSize = 102400;
    constexpr DWORD fileTitleSize = 64;

    char* copyOf(const std::string& path)
    {
        char* copy = new char[path.size() + 1];
        std::memcpy(copy, path.c_str(), path.size() + 1);
        return copy;
    }

    // The dialog is closed when the editor closes while it is open; its answer is dropped.
    class DialogLoop : public RootView::ModalLoop {
    public:
        DialogLoop(RootView* root, const NativeWindow& dialog) : ModalLoop(root), dialog(dialog) {}

    protected:
        void endLoop() override
        {
            if (dialog)
                ::PostMessageA(static_cast<HWND>(dialog), WM_CLOSE, 0, 0);
        }

    private:
        const NativeWindow& dialog;
    };

    // The host's own selector cannot be closed from here; its answer is dropped.
    class HostSelectorLoop : public RootView::ModalLoop {
    public:
        using ModalLoop::ModalLoop;

    protected:
        void endLoop() override {}
    };

}  // namespace

struct FileChooser::Dialog {
    static void describe(const FileChooser& chooser, OPENFILENAMEA& dialog, const char* filter, char* file,
                         DWORD fileSize, char* fileTitle, const char* title)
    {
        dialog = OPENFILENAMEA{};
        dialog.lStructSize = sizeof dialog;
        dialog.hwndOwner = static_cast<HWND>(chooser.ownerWindow());
        dialog.lpstrFilter = filter;
        dialog.nFilterIndex = 1;
        dialog.lpstrFile = file;
        dialog.nMaxFile = fileSize;
        dialog.lpstrFileTitle = fileTitle;
        dialog.nMaxFileTitle = fileTitleSize;
        dialog.lpstrInitialDir = chooser.select->initialPath;
        // An empty title would leave the dialog without a caption; null gives the system's own.
        dialog.lpstrTitle = *title ? title : nullptr;
    }

    // Answers the dialog's own answer, or -1 when the editor closed while it was open.
    static int run(FileChooser& chooser, OPENFILENAMEA& dialog, void* kindHook, bool save)
    {
        dialog.Flags |= OFN_ENABLEHOOK;
        dialog.lpfnHook = hook;
        dialog.lCustData = reinterpret_cast<LPARAM>(&chooser);
        chooser.dialogKindHook = kindHook;
        chooser.dialogWindow = nullptr;
        DialogLoop loop(chooser.rootView(), chooser.dialogWindow);
        const BOOL answer = save ? ::GetSaveFileNameA(&dialog) : ::GetOpenFileNameA(&dialog);
        chooser.dialogWindow = nullptr;
        return loop.ended() ? -1 : answer;
    }

    static UINT_PTR CALLBACK hook(HWND hookWindow, UINT message, WPARAM wParam, LPARAM lParam)
    {
        try {
            return handle(hookWindow, message, wParam, lParam);
        } catch (...) {  // nothing may unwind into the dialog
            return 0;
        }
    }

    static UINT_PTR handle(HWND hookWindow, UINT message, WPARAM wParam, LPARAM lParam)
    {
        if (message == WM_INITDIALOG) {
            auto* chooser = reinterpret_cast<FileChooser*>(reinterpret_cast<OPENFILENAMEA*>(lParam)->lCustData);
            ::SetWindowLongPtrA(hookWindow, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(chooser));
            chooser->dialogWindow = ::GetParent(hookWindow);
        }
        auto* chooser = reinterpret_cast<FileChooser*>(::GetWindowLongPtrA(hookWindow, GWLP_USERDATA));
        if (!chooser)
            return 0;
        if (message == WM_DESTROY)
            chooser->dialogWindow = nullptr;
        auto kindHook = reinterpret_cast<LPOFNHOOKPROC>(chooser->dialogKindHook);
        return kindHook ? kindHook(hookWindow, message, wParam, lParam) : 0;
    }
};

FileChooser::FileChooser(EffectBase* effect) : effect(effect), select(nullptr), handedToHost(false) {}

FileChooser::~FileChooser()
{
    if (select)
        release();
}

VstInt32 FileChooser::run(VstFileSelect* request)
{
    if (!request)
        return 0;
    if (select)
        release();
    select = request;
    handedToHost = false;
    select->nbReturnPath = 0;
    if (select->returnPath)
        select->returnPath[0] = '\0';
    if (hostOffersSelector()) {
        handedToHost = true;
        HostSelectorLoop loop(rootView());
        return GuiEditorBase::openFileSelector(effect, select) && !loop.ended() ? select->nbReturnPath : 0;
    }
    switch (select->command) {
    case kVstFileLoad:
    case kVstMultipleFilesLoad:
    case kVstDirectorySelect:
        return openDialog();
    case kVstFileSave:
        return saveDialog();
    default:
        return 0;
    }
}

bool FileChooser::hostOffersSelector() { return GuiEditorBase::hostOffersFileSelector(effect); }

VstInt32 FileChooser::openDialog()
{
    const bool folder = select->command == kVstDirectorySelect;
    const bool several = select->command == kVstMultipleFilesLoad;
    if (folder && !FolderHook::begin())
        return 0;
    const std::string filter =
        folder ? FileFilter::forFolders() : FileFilter::forLoading(select->fileTypes, select->nbFileTypes);
    const std::string title = fieldText(select->title);
    const DWORD fileSize = several ? multiplePathsSize : pathSize;
    // Two spare zeros, so that the list of names always ends inside the buffer.
    std::vector<char> file(fileSize + 2, '\0');
    char fileTitle[fileTitleSize] = {};

    OPENFILENAMEA dialog;
    Dialog::describe(*this, dialog, filter.data(), file.data(), fileSize, fileTitle, title.c_str());
    dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY | OFN_PATHMUSTEXIST;
    if (!folder)
        dialog.Flags |= OFN_FILEMUSTEXIST | (several ? OFN_ALLOWMULTISELECT : 0);

    const int answer = Dialog::run(*this, dialog, folder ? FolderHook::procedure() : nullptr, false);
    if (answer < 0) {
        if (folder)
            FolderHook::end(false);
        return 0;
    }
    if (folder) {
        if (FolderHook::end(answer != 0) && storeReturnPath(FolderHook::chosenFolder))
            select->nbReturnPath = 1;
    } else if (answer && several) {
        storeMultiplePaths(file.data());
    } else if (answer && storeReturnPath(file.data())) {
        select->nbReturnPath = 1;
    }
    return select->nbReturnPath;
}

VstInt32 FileChooser::saveDialog()
{
    const std::string filter = FileFilter::forSaving(select->fileTypes, select->nbFileTypes);
    const std::string title = fieldText(select->title);
    const std::string extension =
        select->fileTypes && select->nbFileTypes > 0 ? fieldText(select->fileTypes[0].dosType) : std::string();
    char file[pathSize] = {};
    char fileTitle[fileTitleSize] = {};

    OPENFILENAMEA dialog;
    Dialog::describe(*this, dialog, filter.empty() ? nullptr : filter.data(), file, sizeof file, fileTitle,
                     title.c_str());
    dialog.hInstance = static_cast<HINSTANCE>(moduleInstance);
    dialog.lpstrDefExt = extension.empty() ? nullptr : extension.c_str();
    dialog.Flags = OFN_EXPLORER | OFN_ENABLESIZING | OFN_HIDEREADONLY;

    if (Dialog::run(*this, dialog, TitleHook::procedure(), true) <= 0 || !storeReturnPath(file))
        return 0;
    select->nbReturnPath = 1;
    return 1;
}

RootView* FileChooser::rootView() const
{
    GuiEditorBase* owner = editor();
    return owner ? owner->getRootView() : nullptr;
}

GuiEditorBase* FileChooser::editor() const { return GuiEditorBase::ofEffect(effect); }

NativeWindow FileChooser::ownerWindow() const
{
    RootView* root = rootView();
    return root ? root->getOwnWindow() : nullptr;
}

bool FileChooser::storeReturnPath(const char* path)
{
    const std::size_t length = std::strlen(path);
    if (!select->returnPath) {
        select->returnPath = new char[length + 1];
        select->sizeReturnPath = VstInt32(length + 1);
        select->reserved = 1;
    } else if (select->sizeReturnPath > 0 && length >= std::size_t(select->sizeReturnPath)) {
        return false;  // a truncated path would name another file
    }
    std::memcpy(select->returnPath, path, length + 1);
    return true;
}

void FileChooser::storeMultiplePaths(const char* list)
{
    // Either one full path, or the folder followed by the names, each ending with a zero.
    if (!*list)
        return;
    char** paths = new char*[maxMultiplePaths]();
    VstInt32 count = 0;
    const char* name = list + std::strlen(list) + 1;
    if (!*name) {
        paths[count++] = copyOf(list);
    } else {
        std::string folder = list;
        if (folder.empty() || folder.back() != '\\')
            folder += '\\';
        for (; *name && count < maxMultiplePaths; name += std::strlen(name) + 1)
            paths[count++] = copyOf(folder + name);
    }
    select->returnMultiplePaths = paths;
    select->nbReturnPath = count;
}

void FileChooser::release()
{
    if (handedToHost) {
        // What the host filled in is the host's to free.
        GuiEditorBase::closeFileSelector(effect, select);
        return;
    }
    if (select->reserved == 1) {
        delete[] select->returnPath;
        select->returnPath = nullptr;
        select->sizeReturnPath = 0;
        select->reserved = 0;
    }
    if (select->returnMultiplePaths) {
        for (VstInt32 i = 0; i < select->nbReturnPath; ++i)
            delete[] select->returnMultiplePaths[i];
        delete[] select->returnMultiplePaths;
        select->returnMultiplePaths = nullptr;
    }
}

}  // namespace kelp
