// Process-wide graphics state: the optional msimg32 entry points, and a count of the GDI objects
// the toolkit creates so that leaks show up in tests (GetGuiResources tells nothing under Wine).
#pragma once

#include "gui/draw/NativeHandles.h"

namespace kelp {

class GraphicsLibrary {
public:
    // Resets both entry points, loads "msimg32.dll" and resolves them (TransparentBlt only on the NT
    // family). The caller owns the returned module (null when the library is missing).
    static NativeModule load();
    // Frees a module from load; the entry points are cleared once no loaded module is left.
    static void unload(NativeModule module);

    // AlphaBlend and TransparentBlt as the library exports them, or null; the tests swap them.
    static inline void* alphaBlend = nullptr;
    static inline void* transparentBlt = nullptr;

    // Every GDI object and memory device context the toolkit creates goes through these.
    template <typename Handle>
    static Handle created(Handle object)
    {
        if (object != nullptr)
            ++liveCount;
        return object;
    }
    static void deleteObject(NativeObject object);
    static NativeSurface createMemoryContext(NativeSurface compatibleWith);
    static void deleteMemoryContext(NativeSurface dc);
    static int liveObjects() { return liveCount; }

private:
    static inline int liveCount = 0;
    static inline int loadCount = 0;
};

}  // namespace kelp
