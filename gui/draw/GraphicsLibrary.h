// Process-wide graphics state: the optional msimg32 entry points, and a count of the GDI objects
// the toolkit creates so that leaks show up in tests (GetGuiResources tells nothing under Wine).
#pragma once

#include <windows.h>

class GraphicsLibrary {
public:
    using AlphaBlendFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, BLENDFUNCTION);
    using TransparentBltFunction = BOOL(WINAPI*)(HDC, int, int, int, int, HDC, int, int, int, int, UINT);

    // Resets both entry points, loads "msimg32.dll" and resolves them (TransparentBlt only on the NT
    // family). The caller owns the returned module (null when the library is missing).
    static HMODULE load();
    // Frees a module from load; the entry points are cleared once no loaded module is left.
    static void unload(HMODULE module);

    static AlphaBlendFunction alphaBlend;
    static TransparentBltFunction transparentBlt;

    // Every GDI object and memory device context the toolkit creates goes through these.
    template <typename Handle>
    static Handle created(Handle object)
    {
        if (object != nullptr) ++liveCount;
        return object;
    }
    static void deleteObject(HGDIOBJ object);
    static HDC createMemoryContext(HDC compatibleWith);
    static void deleteMemoryContext(HDC dc);
    static int liveObjects() { return liveCount; }

private:
    static int liveCount;
    static int loadCount;
};
