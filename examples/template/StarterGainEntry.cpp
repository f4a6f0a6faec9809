// The library's `main` (exported under that name by the .def): one effect with its editor per
// call, or null (see kelp::createEffect).
#include "StarterGainEditor.h"
#include "StarterGainEffect.h"
#include "host/EffectFactory.h"

using namespace kelp;

namespace {

bool createStarterGainEditor(StarterGainEffect& effect)
{
    return (new StarterGainEditor(&effect))->hasFace();  // registers itself with the effect
}

}  // namespace

extern "C" AEffect* VSTCALL pluginMain(HostCallback hostCallback)
{
    return createEffect<StarterGainEffect>(hostCallback, createStarterGainEditor);
}
