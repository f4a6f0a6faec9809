// The plug-in under validation: its DLL, effects made through its `main`, and the host
// callback they talk back to. The callback answers either as a well-behaved host or, for the
// checks of a plug-in's trust in its host, with random values.
#pragma once

#include <cstdint>
#include <string>

#include "Platform.h"
#include "host/VstInterface.h"

class ValidatorPlugin {
public:
    enum class Host { Regular, Random };

    // What the plug-in asked of the host, by all its effects, since the last resetTally().
    struct Tally {
        long long calls = 0;
        long long automations = 0;
        long long badAutomations = 0;  // an index out of range or a value outside 0 to 1
        long long beginEdits = 0;
        long long endEdits = 0;
        long long randomAnswers = 0;
    };

    ValidatorPlugin() = default;
    ~ValidatorPlugin();
    ValidatorPlugin(const ValidatorPlugin&) = delete;
    ValidatorPlugin& operator=(const ValidatorPlugin&) = delete;

    // Loads the DLL and finds `main`. False with a one-line reason in error.
    bool load(const std::string& path, std::string& error);
    const std::string& path() const { return dllPath; }

    // A new effect, or null when main refuses one.
    AEffect* create(Host host = Host::Regular);
    // effClose, which deletes the effect; the pointer is cleared.
    static void close(AEffect*& effect);

    static VstIntPtr dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0,
                              void* ptr = nullptr, float opt = 0.0f);
    // What a host does before audio: suspend, sample rate, block size, resume.
    static void start(AEffect* effect, float sampleRate, VstInt32 blockSize);

    // What the regular host answers when asked for its sample rate and block size.
    static void setHostRate(float sampleRate);
    static void setHostBlockSize(VstInt32 frames);
    // The random host's answers follow from this seed and the number of calls made.
    static void setRandomSeed(std::uint64_t seed);

    static Tally tally();
    static void resetTally();

private:
    static VstIntPtr VSTCALL callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                      float opt);
    static VstIntPtr regularAnswer(AEffect* effect, VstInt32 opcode, VstInt32 index, void* ptr, float opt);
    static VstIntPtr randomAnswer(VstInt32 opcode, void* ptr);

    Platform::Module module = nullptr;
    AEffect*(VSTCALL* entry)(HostCallback) = nullptr;
    std::string dllPath;
};
