// Audio for the validator: channel buffers for any number of pins, the test signals, a call
// of either audio entry, and an inspection of what came out.
#pragma once

#include <vector>

#include "ValidatorRandom.h"
#include "host/VstInterface.h"

class ValidatorAudio {
public:
    enum class Signal { Silence, Denormals, Impulses, Nyquist, Noise, NonFiniteBursts };
    static const char* name(Signal signal);

    // What an inspection found over the frames looked at.
    struct Findings {
        long long frames = 0;
        long long nonFinite = 0;
        long long subnormal = 0;
        long long nonZero = 0;
        bool clean() const { return nonFinite == 0 && subnormal == 0; }
    };

    // Buffers for the effect's inputs and outputs (at least two each), maxFrames long.
    ValidatorAudio(const AEffect* effect, int maxFrames);

    float** inputs() { return inputPointers.data(); }
    float** outputs() { return outputPointers.data(); }
    int maxFrames() const { return capacity; }

    // Fills the inputs' first `frames` frames; `position` is the frame count so far, so
    // that periodic signals run on across blocks.
    void fill(Signal signal, ValidatorRandom& random, long long position, int frames);
    // Copies frames from `position` on of prepared channels (reused when there are fewer).
    void copyIn(const std::vector<std::vector<float>>& source, long long position, int frames);
    void fillOutputs(float value);

    // processReplacing, or process adding into the outputs as they are.
    void process(AEffect* effect, int frames, bool replacing = true);
    // processReplacing with the inputs as the outputs, as hosts that process in place do.
    void processInPlace(AEffect* effect, int frames);

    // Adds what the first `frames` frames of every output hold to `findings`.
    void inspect(int frames, Findings& findings) const;
    const std::vector<float>& output(int channel) const { return outputChannels[std::size_t(channel)]; }

    static bool isFinite(float x);
    static bool isSubnormal(float x);

private:
    int capacity;
    std::vector<std::vector<float>> inputChannels, outputChannels;
    std::vector<float*> inputPointers, outputPointers;
};
