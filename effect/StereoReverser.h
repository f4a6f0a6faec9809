// Both channels' reversing buffers and the on/off mix, driven a block at a time with the
// sound of the per-frame step, bit for bit.
//
// A block is cut into stretches in which no position wraps and no frame reads a slot that a
// later frame of the stretch writes. A stretch first stores its inputs, then makes its outputs
// four frames per step with SSE2; the few frames left over take the per-frame step.
#pragma once

#include <cstdint>

#include "effect/ReverseBuffer.h"

class StereoReverser {
public:
    static constexpr float kFadeStep = 0.005f;

    // The buffers are the effect's and outlive the reverser; process is only called when both
    // exist.
    StereoReverser(ReverseBuffer* left, ReverseBuffer* right);

    StereoReverser(const StereoReverser&) = delete;
    StereoReverser& operator=(const StereoReverser&) = delete;

    // The per-frame step: both buffers are fed, then the output is the reversed signal when
    // on, the dry one when off, or a crossfade while `fade` is above 0, which then counts
    // down by kFadeStep.
    void frame(float inLeft, float inRight, float& outLeft, float& outRight, bool on, float& fade)
    {
        noteHugeInput(inLeft, inRight);
        const float revLeft = left->processSample(inLeft);
        const float revRight = right->processSample(inRight);
        const float amount = fade;
        if (amount > 0.0f) {
            if (on) {
                outLeft = inLeft * amount + revLeft * (1.0f - amount);
                outRight = inRight * amount + revRight * (1.0f - amount);
            } else {
                outLeft = revLeft * amount + inLeft * (1.0f - amount);
                outRight = revRight * amount + inRight * (1.0f - amount);
            }
            fade = amount - kFadeStep;
        } else if (on) {
            outLeft = revLeft;
            outRight = revRight;
        } else {
            outLeft = inLeft;
            outRight = inRight;
        }
        outLeft = audible(outLeft);
        outRight = audible(outRight);
    }

    // `frames` (1 or more) frames with the outputs and the state that as many per-frame steps
    // give. `accumulate` adds to the outputs instead of replacing them. An output may be the
    // same buffer as an input or as the other output.
    template <bool accumulate>
    void process(const float* inL, const float* inR, float* outL, float* outR, int frames, bool on, float& fade);

    // What a host may be handed: NaN, infinity and subnormals leave as +0; -0 stays.
    static float audible(float x)
    {
        const std::uint32_t exponent = bits(x) & 0x7f800000u;
        return exponent == 0x7f800000u || (exponent == 0 && (bits(x) & 0x007fffffu) != 0) ? 0.0f : x;
    }

    // True when the four-frame steps run; false on a machine without SSE2 or for buffers
    // they cannot serve (different lengths or windows).
    bool runsFourFramesAtOnce() const { return vectorReady; }
    // True when both read positions can take their weights from one window load.
    bool sharesOneWindow() const { return oneWindow; }

private:
    enum class Path { reversed, dry, fadeToReversed, fadeToDry };

    static std::uint32_t bits(float x)
    {
        std::uint32_t b;
        __builtin_memcpy(&b, &x, sizeof b);
        return b;
    }

    // A stored sample of 2^127 or more can make the reversed sum overflow: from then on, for
    // a buffer's length, the four-frame steps guard the reversed output too.
    void noteHugeInput(float inLeft, float inRight)
    {
        if ((bits(inLeft) & 0x7fffffffu) >= 0x7f000000u || (bits(inRight) & 0x7fffffffu) >= 0x7f000000u)
            overflowRisk = left->capacity;
    }
    void spend(int frames) { overflowRisk = overflowRisk > frames ? overflowRisk - frames : 0; }

    bool positionsShared() const;
    int stretchLength(int wanted) const;
    void advance(int frames);
    template <bool accumulate>
    void sharedFrame(float inLeft, float inRight, float* outLeft, float* outRight, bool on, float& fade);
    template <bool accumulate>
    void perFrame(const float* inL, const float* inR, float* outL, float* outR, int frames, bool on, float& fade);
    template <bool accumulate>
    void run(Path path, const float* inL, const float* inR, float* outL, float* outR, int frames,
             const float* amounts, bool on);

    ReverseBuffer* left;
    ReverseBuffer* right;
    bool vectorReady;
    bool oneWindow;
    int overflowRisk;  // frames during which a stored sample may still be 2^127 or more
};
