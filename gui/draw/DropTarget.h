// The OLE drop target of a root view's window: accepts text and file lists and hands each
// drop to the root view's drop, with file shortcuts resolved to their targets.
#pragma once

#include <ole2.h>

class RootView;

class DropTarget : public IDropTarget {
public:
    // Starts with no reference: the platform's registration takes the first one.
    explicit DropTarget(RootView* root);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** out) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keyState, POINTL point, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keyState, POINTL point, DWORD* effect) override;
    virtual ~DropTarget();

    // Rewrites a ".lnk" path (any case) in place with its target's path; others stay as they are.
    static void resolveShortcut(char* path, int capacity);
    // Targets not yet deleted, so that tests can see registrations given back.
    static int liveTargets() { return liveCount; }

    static constexpr int pathCapacity = 1024;

private:
    void dropFiles(HDROP files);
    void dropText(HGLOBAL text);

    LONG refCount;
    BOOL accepting;
    RootView* root;

    static inline int liveCount = 0;
};
