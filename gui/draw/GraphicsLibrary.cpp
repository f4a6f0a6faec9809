#include "gui/draw/GraphicsLibrary.h"

GraphicsLibrary::AlphaBlendFunction GraphicsLibrary::alphaBlend = nullptr;
GraphicsLibrary::TransparentBltFunction GraphicsLibrary::transparentBlt = nullptr;
int GraphicsLibrary::liveCount = 0;
int GraphicsLibrary::loadCount = 0;

namespace {

template <typename Function>
Function lookUp(HMODULE module, const char* name)
{
    return reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

// TransparentBlt is unreliable on the Windows 9x family (it leaks); use it on NT only.
bool isNtFamily()
{
    OSVERSIONINFOEXA version{};
    version.dwOSVersionInfoSize = sizeof version;  // 156
    return GetVersionExA(reinterpret_cast<OSVERSIONINFOA*>(&version)) && version.dwPlatformId > 1;
}

}  // namespace

HMODULE GraphicsLibrary::load()
{
    alphaBlend = nullptr;
    transparentBlt = nullptr;
    HMODULE module = LoadLibraryA("msimg32.dll");
    if (module == nullptr) return nullptr;
    ++loadCount;
    alphaBlend = lookUp<AlphaBlendFunction>(module, "AlphaBlend");
    if (isNtFamily()) transparentBlt = lookUp<TransparentBltFunction>(module, "TransparentBlt");
    return module;
}

void GraphicsLibrary::unload(HMODULE module)
{
    if (module == nullptr) return;
    FreeLibrary(module);
    // Pointers into a library that is no longer loaded must not be called.
    if (loadCount > 0 && --loadCount == 0) {
        alphaBlend = nullptr;
        transparentBlt = nullptr;
    }
}

void GraphicsLibrary::deleteObject(HGDIOBJ object)
{
    if (object != nullptr && DeleteObject(object)) --liveCount;
}

HDC GraphicsLibrary::createMemoryContext(HDC compatibleWith)
{
    return created(CreateCompatibleDC(compatibleWith));
}

void GraphicsLibrary::deleteMemoryContext(HDC dc)
{
    if (dc != nullptr && DeleteDC(dc)) --liveCount;
}
