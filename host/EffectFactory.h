// What every plug-in's `main` does, for any effect type E built as E(hostCallback):
//
//     extern "C" AEffect* VSTCALL pluginMain(HostCallback host)
//     {
//         return createEffect<MyEffect>(host, createMyEditor);
//     }
//
// It answers null to a host too old to give its version, when the effect cannot be allocated
// or reports itself invalid (isValid(), where E has one), and for good once E's editor could
// not be created. makeEditor (may be null: no editor) makes the editor, which registers
// itself with the effect; it answers false when an editor was wanted but could not be made.
// A failed allocation (an exception) in either counts as a failure; none reaches the host.
#pragma once

#include <atomic>

#include "host/VstInterface.h"

namespace kelp {

template <typename E>
AEffect* createEffect(HostCallback hostCallback, bool (*makeEditor)(E& effect))
{
    static std::atomic<bool> editorFailed{false};
    if (!hostCallback || hostCallback(nullptr, audioMasterVersion, 0, 0, nullptr, 0.0f) == 0 ||
        editorFailed.load(std::memory_order_relaxed))
        return nullptr;
    E* effect = nullptr;
    try {
        effect = new E(hostCallback);
    } catch (...) {
        return nullptr;
    }
    bool valid = true;
    if constexpr (requires { effect->isValid(); })
        valid = effect->isValid();
    if (valid && makeEditor) {
        bool made = false;
        try {
            made = makeEditor(*effect);
        } catch (...) {
        }
        if (!made) {
            editorFailed.store(true, std::memory_order_relaxed);
            valid = false;
        }
    }
    if (!valid) {
        delete effect;
        return nullptr;
    }
    return effect->record();
}

}  // namespace kelp
