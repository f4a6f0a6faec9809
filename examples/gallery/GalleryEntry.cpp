// The gallery library's `main`: one effect with its editor per call.
#include <new>

#include "GalleryEditor.h"
#include "GalleryEffect.h"

extern "C" AEffect* VSTCALL galleryMain(HostCallback hostCallback)
{
    if (!hostCallback || hostCallback(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;
    auto* effect = new (std::nothrow) GalleryEffect(hostCallback);
    if (!effect)
        return nullptr;
    new (std::nothrow) GalleryEditor(effect);  // registers itself with the effect, which owns it
    return effect->record();
}
