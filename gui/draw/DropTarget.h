// The OLE drop target of a root view's window: accepts text and file lists and hands each
// drop to the root view's drop, with file shortcuts resolved to their targets. The COM
// object itself (DropTarget::Target) lives in DropTarget.cpp.
#pragma once

#include "gui/draw/NativeHandles.h"

namespace kelp {

class RootView;

class DropTarget {
public:
    // A new target as an IDropTarget with no reference yet: a registration takes the first.
    static void* create(RootView* root);
    // Registers a new target for the root's window; false when OLE refuses it.
    static bool registerWith(NativeWindow window, RootView* root);

    // Rewrites a ".lnk" path (any case) in place with its target's path; others stay as they are.
    static void resolveShortcut(char* path, int capacity);
    // Targets not yet deleted, so that tests can see registrations given back.
    static int liveTargets() { return liveCount; }

    static constexpr int pathCapacity = 1024;

private:
    struct Target;
    static inline int liveCount = 0;
};

}  // namespace kelp
