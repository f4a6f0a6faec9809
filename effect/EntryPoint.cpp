#include "effect/EntryPoint.h"

#include "effect/ReverseEffect.h"
#include "host/EffectFactory.h"

using namespace kelp;

// One new effect with its editor per call, or null (see createEffect).
extern "C" AEffect* VSTCALL backtwisterMain(HostCallback hostCallback)
{
    return createEffect<ReverseEffect>(hostCallback, createEditor);
}
