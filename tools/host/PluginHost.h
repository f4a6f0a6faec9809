// One loaded effect: the module, the AEffect record main() answered, and the host callback
// that the effect talks back to. Wraps the dispatcher so callers never build an opcode call.
#pragma once

#include <string>

#include "Platform.h"
#include "host/VstInterface.h"

class PluginHost {
public:
    PluginHost() = default;
    ~PluginHost();

    PluginHost(const PluginHost&) = delete;
    PluginHost& operator=(const PluginHost&) = delete;

    // Loads the DLL and calls its main. False with a one-line reason in error.
    bool load(const std::string& path, std::string& error);

    // What the host callback answers; set them before load() or start().
    void setTempo(double beatsPerMinute) { tempo = beatsPerMinute; }
    void setSampleRate(float rate) { sampleRate = rate; }
    void setBlockSize(VstInt32 frames) { blockSize = frames; }

    // effOpen, effSetSampleRate, effSetBlockSize, effMainsChanged 1.
    void start();
    // effMainsChanged 0.
    void stop();

    const AEffect& record() const { return *effect; }
    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);
    // A text opcode answered into a generous zeroed buffer; empty when the effect writes nothing.
    std::string text(VstInt32 opcode, VstInt32 index = 0);
    VstIntPtr canDo(const char* capability);

    void setParameter(VstInt32 index, float value);
    float getParameter(VstInt32 index);
    // processReplacing when the effect offers it, else process into cleared outputs.
    void process(float** inputs, float** outputs, VstInt32 frames);

private:
    static VstIntPtr VSTCALL hostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                          float opt);
    VstIntPtr answer(VstInt32 opcode, void* ptr);

    static PluginHost* loading;  // the host whose main() call is under way (record not known yet)

    Platform::Module module = nullptr;
    AEffect* effect = nullptr;
    bool running = false;
    double tempo = 120.0;
    float sampleRate = 44100.0f;
    VstInt32 blockSize = 1024;
};
