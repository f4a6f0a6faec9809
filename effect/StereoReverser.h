// Both channels' reversing buffers and the on/off mix, driven a block at a time with the
// sound of the per-frame step, bit for bit.
//
// A block is cut into stretches in which no position wraps and no frame reads a slot that a
// later frame of the stretch writes. A stretch first stores its inputs, then makes its outputs
// four frames per step with SSE2, the last step ending at the stretch's last frame; outputs
// that are added to rather than replaced take the per-frame step past the last whole step.
#pragma once

#include <cstdint>

#include "effect/ReverseBuffer.h"

class StereoReverser {
public:
    static constexpr float kFadeStep = 0.005f;
    static constexpr int kLanes = 4;  // frames per step of the block path

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
    void process(const float* inL, const float* inR, float* outL, float* outR, int frames, bool on, float& fade)
    {
        if (inStep && frames < kLanes)
            sharedFrames<accumulate>(inL, inR, outL, outR, frames, on, fade);
        else
            processBlock<accumulate>(inL, inR, outL, outR, frames, on, fade);
    }

    // What a host may be handed: NaN, infinity and subnormals leave as +0; -0 stays.
    static float audible(float x)
    {
        const std::uint32_t exponent = bits(x) & 0x7f800000u;
        return exponent == 0x7f800000u || (exponent == 0 && (bits(x) & 0x007fffffu) != 0) ? 0.0f : x;
    }

    // True when the four-frame steps run; false on a machine without SSE2 or for buffers
    // they cannot serve (different lengths, windows or positions).
    bool runsFourFramesAtOnce() const { return inStep; }
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
    // a buffer's length, the reversed output is guarded too.
    static bool hugeOrNotFinite(float x) { return (bits(x) & 0x7fffffffu) >= 0x7f000000u; }
    void noteHugeInput(float inLeft, float inRight)
    {
        if (hugeOrNotFinite(inLeft) || hugeOrNotFinite(inRight))
            overflowRisk = left->capacity;
    }
    void spend(int frames) { overflowRisk = overflowRisk > frames ? overflowRisk - frames : 0; }

    int stretchLength(int wanted) const;
    void advance(int frames);

    // The per-frame step for both buffers at once, at their shared positions. When the effect is
    // on and no stored sample can make the sum overflow, the reversed output needs no guard: with
    // flush-to-zero set it is a normal number or a zero.
    template <bool accumulate>
    void sharedFrame(float inLeft, float inRight, float& outLeft, float& outRight, bool on, float& fade)
    {
        ReverseBuffer& l = *left;
        ReverseBuffer& r = *right;
        const int w = l.writePos;
        const int a = l.readPosA;
        const int b = l.readPosB;
        if (hugeOrNotFinite(inLeft) || hugeOrNotFinite(inRight)) [[unlikely]] {
            overflowRisk = l.capacity;
            l.sampleData[w] = ReverseBuffer::finiteOrZero(inLeft);
            r.sampleData[w] = ReverseBuffer::finiteOrZero(inRight);
        } else {
            l.sampleData[w] = inLeft;
            r.sampleData[w] = inRight;
        }
        const float weightB = l.window[b];
        const float restA = 1.0f - l.window[a];
        const float revLeft = weightB * l.sampleData[b] + restA * l.sampleData[a];
        const float revRight = weightB * r.sampleData[b] + restA * r.sampleData[a];
        l.writePos = r.writePos = w + 1 == l.capacity ? 0 : w + 1;
        l.readPosA = r.readPosA = a == 0 ? l.capacity - 1 : a - 1;
        l.readPosB = r.readPosB = b == 0 ? l.capacity - 1 : b - 1;
        float yL, yR;
        const float amount = fade;
        if (amount > 0.0f) {
            if (on) {
                yL = audible(inLeft * amount + revLeft * (1.0f - amount));
                yR = audible(inRight * amount + revRight * (1.0f - amount));
            } else {
                yL = audible(revLeft * amount + inLeft * (1.0f - amount));
                yR = audible(revRight * amount + inRight * (1.0f - amount));
            }
            fade = amount - kFadeStep;
        } else if (!on) {
            yL = audible(inLeft);
            yR = audible(inRight);
        } else if (overflowRisk > 0) {
            yL = audible(revLeft);
            yR = audible(revRight);
        } else {
            yL = revLeft;
            yR = revRight;
        }
        put<accumulate>(outLeft, yL);
        put<accumulate>(outRight, yR);
    }

    // The reversed output of one frame with no crossfade and nothing to guard, the usual case
    // for a tiny block; false, having done nothing, for an input that needs the whole step.
    template <bool accumulate>
    bool reversedFrame(float inLeft, float inRight, float& outLeft, float& outRight)
    {
        if (hugeOrNotFinite(inLeft) || hugeOrNotFinite(inRight)) [[unlikely]]
            return false;
        ReverseBuffer& l = *left;
        ReverseBuffer& r = *right;
        const int w = l.writePos;
        const int a = l.readPosA;
        const int b = l.readPosB;
        l.sampleData[w] = inLeft;
        r.sampleData[w] = inRight;
        const float weightB = l.window[b];
        const float restA = 1.0f - l.window[a];
        put<accumulate>(outLeft, weightB * l.sampleData[b] + restA * l.sampleData[a]);
        put<accumulate>(outRight, weightB * r.sampleData[b] + restA * r.sampleData[a]);
        l.writePos = r.writePos = w + 1 == l.capacity ? 0 : w + 1;
        l.readPosA = r.readPosA = a == 0 ? l.capacity - 1 : a - 1;
        l.readPosB = r.readPosB = b == 0 ? l.capacity - 1 : b - 1;
        return true;
    }

    template <bool accumulate>
    void sharedFrames(const float* inL, const float* inR, float* outL, float* outR, int frames, bool on, float& fade)
    {
        spend(frames);
        int i = 0;
        if (on && !(fade > 0.0f) && overflowRisk == 0)
            while (i < frames && reversedFrame<accumulate>(inL[i], inR[i], outL[i], outR[i]))
                ++i;
        for (; i < frames; ++i)
            sharedFrame<accumulate>(inL[i], inR[i], outL[i], outR[i], on, fade);
    }

    template <bool accumulate>
    static void put(float& out, float value)
    {
        if constexpr (accumulate)
            out += value;
        else
            out = value;
    }

    template <bool accumulate>
    void processBlock(const float* inL, const float* inR, float* outL, float* outR, int frames, bool on, float& fade);
    // Out of line: its table of crossfade amounts would widen every block's stack frame.
    template <bool accumulate>
    __attribute__((noinline)) void fadeThenRun(const float* inL, const float* inR, float* outL, float* outR, int frames,
                                               bool on, float& fade);
    template <bool accumulate>
    void perFrame(const float* inL, const float* inR, float* outL, float* outR, int frames, bool on, float& fade);
    template <bool accumulate>
    void run(Path path, const float* inL, const float* inR, float* outL, float* outR, int frames, const float* amounts,
             bool on);

    ReverseBuffer* left;
    ReverseBuffer* right;
    // Both buffers of one length and window, at the same positions. Nothing but the reverser
    // moves them, and it moves both alike, so they stay in step: the block path keeps one set
    // of positions for both.
    bool inStep;
    bool oneWindow;
    int overflowRisk;  // frames during which a stored sample may still be 2^127 or more
};
