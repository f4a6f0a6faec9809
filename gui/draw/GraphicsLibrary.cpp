// The optional msimg32 library on kernel32's loader, and the GDI object bookkeeping.
// Quirk: TransparentBlt leaks on the Windows 9x family, so it is taken on NT only.
#include "gui/draw/GraphicsLibrary.h"

#include <windows.h>

namespace kelp {

namespace {

    bool isNtFamily()
    {
        OSVERSIONINFOEXA version{};
        version.dwOSVersionInfoSize = sizeof version;  // 156
        return ::GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version)) && version.dwPlatformId > 1;
    }

    void* entry(HMODULE module, const char* name) { return reinterpret_cast<void*>(::GetProcAddress(module, name)); }

}  // namespace

NativeModule GraphicsLibrary::load()
{
    alphaBlend = nullptr;
    transparentBlt = nullptr;
    HMODULE module = ::LoadLibraryA("msimg32.dll");
    if (module == nullptr)
        return nullptr;
    ++loadCount;
    alphaBlend = entry(module, "AlphaBlend");
    if (isNtFamily())
        transparentBlt = entry(module, "TransparentBlt");
    return module;
}

void GraphicsLibrary::unload(NativeModule module)
{
    if (module == nullptr)
        return;
    ::FreeLibrary(static_cast<HMODULE>(module));
    // Pointers into a library that is no longer loaded must not be called.
    if (loadCount > 0 && --loadCount == 0) {
        alphaBlend = nullptr;
        transparentBlt = nullptr;
    }
}

void GraphicsLibrary::deleteObject(NativeObject object)
{
    if (object != nullptr && ::DeleteObject(static_cast<HGDIOBJ>(object)))
        --liveCount;
}

NativeSurface GraphicsLibrary::createMemoryContext(NativeSurface compatibleWith)
{
    return created(::CreateCompatibleDC(static_cast<HDC>(compatibleWith)));
}

void GraphicsLibrary::deleteMemoryContext(NativeSurface dc)
{
    if (dc != nullptr && ::DeleteDC(static_cast<HDC>(dc)))
        --liveCount;
}

}  // namespace kelp
