// The gallery library's `main`: one effect with its editor per call.
#include "GalleryEditor.h"
#include "GalleryEffect.h"
#include "host/EffectFactory.h"

using namespace kelp;

namespace {

bool createGalleryEditor(GalleryEffect& effect)
{
    return (new GalleryEditor(&effect))->hasArtwork();  // registers itself with the effect
}

}  // namespace

extern "C" AEffect* VSTCALL galleryMain(HostCallback hostCallback)
{
    return createEffect<GalleryEffect>(hostCallback, createGalleryEditor);
}
