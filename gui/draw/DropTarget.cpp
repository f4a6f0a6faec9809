// The root view's OLE drop target: an IDropTarget registered with the window. It accepts
// CF_TEXT (text wins when both are offered) and CF_HDROP; DragEnter and DragOver answer
// copy with Control held, move without, and nothing for other data. Shortcut files (".lnk")
// are resolved through the shell's link object with a half-second limit and no user interface.
#include "gui/draw/DropTarget.h"

#include <ole2.h>
#include <shlobj.h>
#include <shobjidl.h>

#include <cstring>
#include <new>

#include "editor/GuiEditorBase.h"
#include "gui/draw/RootView.h"

namespace kelp {

struct DropTarget::Target : public IDropTarget {
    explicit Target(RootView* root) : root(root) { ++liveCount; }
    virtual ~Target() { --liveCount; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;

    void dropFiles(HDROP files);
    void dropText(HGLOBAL text);

    LONG refCount = 0;
    BOOL accepting = FALSE;
    RootView* root;
};

namespace {

    FORMATETC formatOf(CLIPFORMAT format) { return FORMATETC{format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL}; }

    FORMATETC textFormat = formatOf(CF_TEXT);
    FORMATETC filesFormat = formatOf(CF_HDROP);

    bool endsWithLnk(const char* path)
    {
        const char* dot = std::strrchr(path, '.');
        return dot && ::lstrcmpiA(dot, ".lnk") == 0;
    }

    // Half a second for the link's target to be found, no user interface.
    constexpr DWORD resolveFlags = DWORD(SLR_NO_UI) | DWORD(SLR_ANY_MATCH) | (500u << 16);

}  // namespace

void* DropTarget::create(RootView* root) { return static_cast<IDropTarget*>(new Target(root)); }

bool DropTarget::registerWith(NativeWindow window, RootView* root)
{
    // Our own reference bridges the registration: a refused target is deleted here.
    auto* target = new Target(root);
    target->AddRef();
    const HRESULT result = ::RegisterDragDrop(static_cast<HWND>(window), target);
    target->Release();
    return SUCCEEDED(result);
}

HRESULT DropTarget::Target::QueryInterface(REFIID id, void** out)
{
    if (::IsEqualIID(id, IID_IUnknown) || ::IsEqualIID(id, IID_IDropTarget)) {
        *out = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *out = nullptr;
    return E_NOINTERFACE;
}

ULONG DropTarget::Target::AddRef() { return ULONG(::InterlockedIncrement(&refCount)); }

ULONG DropTarget::Target::Release()
{
    const LONG left = ::InterlockedDecrement(&refCount);
    if (left == 0)
        delete this;
    return ULONG(left);
}

HRESULT DropTarget::Target::DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect)
{
    accepting = FALSE;
    if (data && (data->QueryGetData(&textFormat) == S_OK || data->QueryGetData(&filesFormat) == S_OK)) {
        accepting = TRUE;
        return DragOver(keyState, point, effect);
    }
    *effect = DROPEFFECT_NONE;
    return S_OK;
}

HRESULT DropTarget::Target::DragOver(DWORD keyState, POINTL, DWORD* effect)
{
    if (!accepting)
        *effect = DROPEFFECT_NONE;
    else
        *effect = (keyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
    return S_OK;
}

HRESULT DropTarget::Target::DragLeave() { return S_OK; }

// Text wins when the data offers both.
HRESULT DropTarget::Target::Drop(IDataObject* data, DWORD, POINTL, DWORD*)
{
    // The views that take the drop stay even when the host closes the editor meanwhile.
    EditorBase::Busy busy(root ? root->editor() : nullptr);
    if (root && data) {
        STGMEDIUM medium{};
        try {
            if (data->GetData(&textFormat, &medium) == S_OK)
                dropText(medium.hGlobal);
            else if (data->GetData(&filesFormat, &medium) == S_OK)
                dropFiles(static_cast<HDROP>(medium.hGlobal));
        } catch (...) {  // nothing may unwind into OLE
        }
        ::ReleaseStgMedium(&medium);
    }
    return DragLeave();
}

// Unreadable names are left out; the count is that of the paths handed on.
void DropTarget::Target::dropFiles(HDROP files)
{
    const int listed = int(::DragQueryFileA(files, 0xFFFFFFFF, nullptr, 0));
    if (listed <= 0)
        return;
    char** paths = new (std::nothrow) char*[listed];
    if (!paths)
        return;
    int stored = 0;
    for (int i = 0; i < listed; ++i) {
        char path[pathCapacity];
        if (::DragQueryFileA(files, UINT(i), path, pathCapacity) == 0)
            continue;
        resolveShortcut(path, pathCapacity);
        char* copy = new (std::nothrow) char[pathCapacity];
        if (!copy)
            continue;
        std::memcpy(copy, path, pathCapacity);
        paths[stored++] = copy;
    }
    Point where{0, 0};
    root->cursorInWindow(where);
    root->drop(paths, stored, 0, where);
    for (int i = 0; i < stored; ++i)
        delete[] paths[i];
    delete[] paths;
}

void DropTarget::Target::dropText(HGLOBAL text)
{
    char* block = static_cast<char*>(::GlobalLock(text));
    const SIZE_T size = ::GlobalSize(text);
    if (block && size != 0) {
        Point where{0, 0};
        root->cursorInWindow(where);
        char* items[] = {block};
        root->drop(items, VstInt32(size), 1, where);
    }
    ::GlobalUnlock(text);
}

// A step that fails leaves the path as that step found it.
void DropTarget::resolveShortcut(char* path, int capacity)
{
    if (!endsWithLnk(path))
        return;
    IShellLinkA* link = nullptr;
    if (FAILED(::CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkA,
                                  reinterpret_cast<void**>(&link))))
        return;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file)))) {
        WCHAR widePath[pathCapacity];
        ::MultiByteToWideChar(CP_ACP, 0, path, -1, widePath, pathCapacity);
        if (SUCCEEDED(file->Load(widePath, 0)) && SUCCEEDED(link->Resolve(nullptr, resolveFlags)))
            link->GetPath(path, capacity, nullptr, SLGP_SHORTPATH);
        file->Release();
    }
    link->Release();
}

}  // namespace kelp
