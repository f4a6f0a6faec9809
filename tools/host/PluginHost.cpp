#include "PluginHost.h"

#include <cmath>
#include <cstring>

PluginHost* PluginHost::loading = nullptr;

namespace {

using PluginEntry = AEffect*(VSTCALL*)(HostCallback host);

constexpr VstIntPtr hostVstVersion = 2400;

void copyText(void* destination, const char* text, std::size_t capacity)
{
    if (!destination)
        return;
    std::strncpy(static_cast<char*>(destination), text, capacity - 1);
    static_cast<char*>(destination)[capacity - 1] = 0;
}

}  // namespace

PluginHost::~PluginHost()
{
    if (effect) {
        stop();
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);  // deletes the effect
        effect = nullptr;
    }
    Platform::freeLibrary(module);
}

bool PluginHost::load(const std::string& path, std::string& error)
{
    module = Platform::loadLibrary(path, error);
    if (!module)
        return false;
    auto entry = reinterpret_cast<PluginEntry>(Platform::findSymbol(module, "main"));
    if (!entry) {
        error = "not a VST 2.x plug-in, it exports no function \"main\": " + path;
        return false;
    }
    loading = this;
    AEffect* created = entry(&PluginHost::hostCallback);
    loading = nullptr;
    if (!created) {
        error = "the plug-in's main answered null (no effect created): " + path;
        return false;
    }
    if (created->magic != kEffectMagic) {
        // Not a record we may call into, not even to close it.
        error = "the plug-in's main answered a record without the VstP magic: " + path;
        return false;
    }
    effect = created;
    effect->user = this;
    return true;
}

void PluginHost::start()
{
    dispatch(effOpen);
    dispatch(effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effSetBlockSize, 0, blockSize);
    dispatch(effMainsChanged, 0, 1);
    running = true;
}

void PluginHost::stop()
{
    if (running)
        dispatch(effMainsChanged, 0, 0);
    running = false;
}

VstIntPtr PluginHost::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

std::string PluginHost::text(VstInt32 opcode, VstInt32 index)
{
    char buffer[256] = {};
    dispatch(opcode, index, 0, buffer);
    buffer[sizeof buffer - 1] = 0;
    return buffer;
}

VstIntPtr PluginHost::canDo(const char* capability) { return dispatch(effCanDo, 0, 0, const_cast<char*>(capability)); }

void PluginHost::setParameter(VstInt32 index, float value) { effect->setParameter(effect, index, value); }

float PluginHost::getParameter(VstInt32 index) { return effect->getParameter(effect, index); }

void PluginHost::process(float** inputs, float** outputs, VstInt32 frames)
{
    if ((effect->flags & effFlagsCanReplacing) && effect->processReplacing) {
        effect->processReplacing(effect, inputs, outputs, frames);
        return;
    }
    for (VstInt32 channel = 0; channel < effect->numOutputs; ++channel)
        std::memset(outputs[channel], 0, sizeof(float) * std::size_t(frames));
    effect->process(effect, inputs, outputs, frames);
}

VstIntPtr VSTCALL PluginHost::hostCallback(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
{
    if (opcode == audioMasterVersion)
        return hostVstVersion;
    PluginHost* host = effect && effect->user ? static_cast<PluginHost*>(effect->user) : loading;
    return host ? host->answer(opcode, ptr) : 0;
}

VstIntPtr PluginHost::answer(VstInt32 opcode, void* ptr)
{
    switch (opcode) {
    case audioMasterTempoAt:
        return VstIntPtr(std::llround(tempo * 10000.0));
    case audioMasterGetSampleRate:
        return VstIntPtr(std::lround(sampleRate));
    case audioMasterGetBlockSize:
        return blockSize;
    case audioMasterGetVendorString:
        copyText(ptr, "Kelpworks", 64);
        return 1;
    case audioMasterGetProductString:
        copyText(ptr, "backtwister-host", 64);
        return 1;
    case audioMasterGetVendorVersion:
        return 1;
    default:
        return 0;  // not known or not offered: time info, MIDI output, windows, ...
    }
}
