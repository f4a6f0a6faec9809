#include "effect/EntryPoint.h"

#include <new>

#include "effect/ReverseEffect.h"

// One new effect per call, or null: for a host too old to answer its version, for an
// effect that could not be built, and for good once an editor could not be created.
extern "C" AEffect* VSTCALL backtwisterMain(HostCallback hostCallback)
{
    if (!hostCallback || hostCallback(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0)
        return nullptr;
    auto* effect = new (std::nothrow) ReverseEffect(hostCallback);
    if (!effect)
        return nullptr;
    if (!effect->isValid() || ReverseEffect::editorCreationFailed()) {
        delete effect;
        return nullptr;
    }
    return effect->record();
}
