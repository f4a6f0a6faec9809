// The block path against the per-frame step, bit for bit: long random runs through the
// record's audio entries with every kind of input, block size, on/off sequence, buffer layout
// and host rounding mode; and the block path on short and odd buffer lengths, where a read
// position meets the write position every few frames.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <string>
#include <vector>

#include "effect/ReverseEffect.h"
#include "effect/StereoReverser.h"
#include "host/DenormalGuard.h"

#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#endif

using namespace kelp;

namespace {

std::uint32_t bitsOf(float x)
{
    std::uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

std::string hex(std::uint32_t value)
{
    char text[16];
    std::snprintf(text, sizeof text, "%08x", unsigned(value));
    return text;
}

float fromBits(std::uint32_t bits)
{
    float x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

// Input of every kind the block path treats apart, in stretches of up to `longest` frames. Within a few
// frames of every multiple of `quarter` (where a read position meets the write position, and
// where the reads around that moment take their samples from) it is silence of either sign with
// sparse tiny values: the window's weight there is 0 or nearly, so only such input shows a read
// of the wrong slot.
class Input {
public:
    Input(unsigned seed, int quarter, int longest) : random(seed), quarter(quarter), longest(longest) {}

    float next(long frame)
    {
        if (quarter > 0) {
            const long nearest = frame % quarter;
            if (nearest < 48 || nearest > quarter - 48)
                return probe();
        }
        if (kindLeft-- <= 0) {
            kind = kinds(random);
            kindLeft = long(random() % unsigned(longest));
            loudSign = sign();
        }
        return ofKind(kind);
    }

private:
    enum Kind { noise, silence, sparse, subnormal, nonFinite, loud, mixed };

    float sign() { return random() % 2 ? 1.0f : -1.0f; }
    float unit() { return std::uniform_real_distribution<float>(-1.0f, 1.0f)(random); }

    float probe()
    {
        const unsigned pick = random() % 10;
        if (pick < 6)
            return sign() * 0.0f;
        if (pick < 9)
            return sign() * std::pow(10.0f, std::uniform_real_distribution<float>(-20.0f, 0.0f)(random));
        return fromBits(std::uint32_t(random() % 0x007fffffu + 1) | (random() % 2 ? 0x80000000u : 0));
    }

    float ofKind(int which)
    {
        switch (which) {
        case noise:
            return unit();
        case silence:
            return sign() * 0.0f;
        case sparse:
            return probe();
        case subnormal:
            return fromBits(std::uint32_t(random() % 0x007fffffu + 1) | (random() % 2 ? 0x80000000u : 0));
        case nonFinite: {
            const unsigned pick = random() % 20;
            if (pick == 0)
                return std::numeric_limits<float>::quiet_NaN();
            if (pick == 1)
                return sign() * std::numeric_limits<float>::infinity();
            return unit();
        }
        case loud:  // mostly the largest float, of one sign per stretch: two of them read at once
                    // sum past it when the rounding goes their way
            if (random() % 4)
                return loudSign * std::numeric_limits<float>::max();
            return sign() * std::uniform_real_distribution<float>(1.0e38f, std::numeric_limits<float>::max())(random);
        default:
            return ofKind(int(random() % mixed));
        }
    }

    std::mt19937 random;
    std::discrete_distribution<int> kinds{6, 1, 4, 1, 1, 1, 2};
    int quarter;
    int longest;
    int kind = noise;
    long kindLeft = 0;
    float loudSign = 1.0f;
};

// Where a block's four channels lie in one arena: apart, in place, crossed over, both outputs
// in one buffer, or outputs overlapping the inputs a little off (which takes the per-frame path).
struct Layout {
    int inL, inR, outL, outR;
};

constexpr int kArena = 5 * 4096 + 64;

Layout layoutFor(unsigned pick, int skew)
{
    const int inL = skew, inR = 4100 + skew / 2, apart = 8200 + skew, apartR = 12300 + 3 - skew;
    switch (pick % 6) {
    case 0:
    case 1:
        return {inL, inR, apart, apartR};
    case 2:
        return {inL, inR, inL, inR};
    case 3:
        return {inL, inR, inR, inL};
    case 4:
        return {inL, inR, apart, apart};
    default:
        return {inL, inR, inL + 1, inR + 3};
    }
}

// The host's floating-point state around a block: one of the four rounding modes, with or
// without flush-to-zero and denormals-are-zero set by the host itself.
unsigned hostControl(std::mt19937& random)
{
    return 0x1f80u | unsigned(random() % 4) << 13 | (random() % 4 == 0 ? 0x8040u : 0u);
}

constexpr unsigned kFlushing = 0x8040;     // flush-to-zero and denormals-are-zero, as the entries set them
constexpr unsigned kControlBits = ~0x3fu;  // the control word less its sticky exception flags

#if defined(__SSE__) || defined(__x86_64__)
class HostControl {
public:
    explicit HostControl(unsigned control) : saved(_mm_getcsr()) { _mm_setcsr(control); }
    ~HostControl() { _mm_setcsr(saved); }
    static unsigned current() { return _mm_getcsr(); }

private:
    unsigned saved;
};
#else
class HostControl {
public:
    explicit HostControl(unsigned) {}
    static unsigned current() { return 0; }
};
#endif

unsigned controlSeenByHost = 0;

VstIntPtr VSTCALL quietHost(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    if (opcode == audioMasterTempoAt)
        controlSeenByHost = HostControl::current();
    return opcode == audioMasterVersion ? 2400 : opcode == audioMasterTempoAt ? 1200000 : 0;
}

// Drives a block path and a per-frame reference over the same random blocks, both in arenas
// of the same layout, and compares the arenas after every block.
class Comparison {
public:
    Comparison(unsigned seed, int quarter, int longest) : random(seed), input(seed + 1, quarter, longest)
    {
        std::uniform_real_distribution<float> unit(-1.0f, 1.0f);
        for (float& x : pool)
            x = unit(random);  // what the outputs hold before a block: process adds to it
    }

    // `block(ins, outs, frames, accumulate)` runs the block path; `step(l, r, outL, outR)` is
    // the per-frame step. Answers a failure naming the first sample that differs.
    template <typename Block, typename Step>
    testing::AssertionResult next(int frames, Block block, Step step)
    {
        const unsigned layoutPick = unsigned(random());
        const Layout at = layoutFor(layoutPick, int(random() % 4));
        const bool accumulate = random() % 3 == 0;
        const unsigned control = hostControl(random);
        const std::size_t from = random() % kArena;
        std::copy(pool.begin() + long(from), pool.begin() + long(from + kArena), arena.begin());
        for (int i = 0; i < frames; ++i) {
            arena[std::size_t(at.inL + i)] = input.next(frame + i);
            arena[std::size_t(at.inR + i)] = input.next(frame + i);
        }
        std::vector<float> reference = arena;

        unsigned after;
        {
            HostControl host(control);
            float* ins[] = {&arena[std::size_t(at.inL)], &arena[std::size_t(at.inR)]};
            float* outs[] = {&arena[std::size_t(at.outL)], &arena[std::size_t(at.outR)]};
            block(ins, outs, frames, accumulate);
            after = HostControl::current();
        }
        if (after != control)
            return testing::AssertionFailure()
                   << "the caller's control word came back as " << hex(after) << ", not " << hex(control);
        {
            HostControl host(control | kFlushing);
            float* const r = reference.data();
            for (int i = 0; i < frames; ++i) {
                float left, right;
                step(r[at.inL + i], r[at.inR + i], left, right);
                if (accumulate) {
                    r[at.outL + i] += left;
                    r[at.outR + i] += right;
                } else {
                    r[at.outL + i] = left;
                    r[at.outR + i] = right;
                }
            }
        }
        const long first = frame;
        frame += frames;
        if (std::memcmp(arena.data(), reference.data(), sizeof(float) * arena.size()) == 0)
            return testing::AssertionSuccess();
        for (std::size_t i = 0; i < arena.size(); ++i)
            if (bitsOf(arena[i]) != bitsOf(reference[i]))
                return testing::AssertionFailure()
                       << "block of " << frames << " frames from frame " << first << ", layout " << layoutPick % 6
                       << (accumulate ? ", process" : ", processReplacing") << ", MXCSR " << hex(control)
                       << ": arena slot " << i << " holds " << arena[i] << " (" << hex(bitsOf(arena[i]))
                       << "), the per-frame step gives " << reference[i] << " (" << hex(bitsOf(reference[i])) << ")";
        return testing::AssertionSuccess();
    }

    int blockSize(int most)
    {
        const unsigned pick = random() % 10;
        const int size = pick < 4   ? 1 + int(random() % 8)
                         : pick < 7 ? 9 + int(random() % 600)
                                    : 600 + int(random() % 3497);
        return std::min(size, most);
    }

    // A setting of parameter 0 between blocks, often while a crossfade is still running.
    bool switchNow() { return random() % 7 == 0; }
    float switchTo()
    {
        const float values[] = {0.0f, 1.0f, 0.5f, 0.25f, 1.0f, 0.0f, 0.75f};
        return values[random() % 7];
    }

    long framesSoFar() const { return frame; }

private:
    std::mt19937 random;
    Input input;
    std::vector<float> pool = std::vector<float>(2 * kArena);
    std::vector<float> arena = std::vector<float>(kArena);
    long frame = 0;
};

}  // namespace

TEST(BlockPath, SoundsLikeThePerFrameStepForAnyInputBlockSwitchingAndLayout)
{
    ReverseEffect blocks(quietHost), frames(quietHost);
    ASSERT_TRUE(blocks.isValid() && frames.isValid());
    AEffect* record = blocks.record();
    Comparison run(11, ReverseEffect::kBufferCapacity / 4, 20000);
    // Over 40 turns of the buffers, in which a read position meets the write position 160 times.
    while (run.framesSoFar() < 40L * ReverseEffect::kBufferCapacity) {
        const int size = run.blockSize(4096);
        unsigned control = 0;
        ASSERT_TRUE(run.next(
            size,
            [&](float** ins, float** outs, int n, bool accumulate) {
                control = HostControl::current();
                (accumulate ? record->process : record->processReplacing)(record, ins, outs, n);
            },
            [&](float l, float r, float& outL, float& outR) { frames.processStereoSample(l, r, outL, outR); }));
        ASSERT_EQ(controlSeenByHost & kControlBits, (control | kFlushing) & kControlBits)
            << "the tempo query sees the caller's state with flush-to-zero and denormals-are-zero";
        if (run.switchNow()) {
            const float value = run.switchTo();
            blocks.setParameter(kOnOff, value);
            frames.setParameter(kOnOff, value);
        }
    }
}

TEST(BlockPath, ShortAndOddBuffersMeetTheWritePositionEveryFewFrames)
{
    {
        // The largest float stored, then quiet frames one at a time while rounding up: two stored
        // maxima read at once sum past it, and a tiny block must guard its output as a frame does.
        ReverseBuffer blockL(64), blockR(64), frameL(64), frameR(64);
        StereoReverser blocks(&blockL, &blockR), frames(&frameL, &frameR);
        float blockFade = 0.0f, frameFade = 0.0f;
        HostControl up(0x5f80u | kFlushing);
        for (int i = 0; i < 256; ++i) {
            const float x = i < 64 ? std::numeric_limits<float>::max() : 0.5f;
            float block[2], frame[2];
            blocks.process<false>(&x, &x, &block[0], &block[1], 1, true, blockFade);
            frames.frame(x, x, frame[0], frame[1], true, frameFade);
            ASSERT_EQ(bitsOf(block[0]), bitsOf(frame[0])) << "frame " << i;
            ASSERT_EQ(bitsOf(block[1]), bitsOf(frame[1])) << "frame " << i;
        }
    }
    for (int capacity : {8, 12, 13, 64, 101, 1000}) {
        ReverseBuffer blockL(capacity), blockR(capacity), frameL(capacity), frameR(capacity);
        StereoReverser blocks(&blockL, &blockR), frames(&frameL, &frameR);
#if defined(__SSE2__)
        EXPECT_TRUE(blocks.runsFourFramesAtOnce()) << capacity;
        EXPECT_EQ(blocks.sharesOneWindow(), capacity % 2 == 0) << capacity;
#endif
        Comparison run(unsigned(capacity), 0, 4 * capacity);
        bool on = true;
        float blockFade = 0.0f, frameFade = 0.0f;
        while (run.framesSoFar() < 400L * capacity + 20000) {
            const int size = run.blockSize(4 * capacity);
            ASSERT_TRUE(run.next(
                size,
                [&](float** ins, float** outs, int n, bool accumulate) {
                    DenormalGuard guard;  // as the record's entries set it
                    if (accumulate)
                        blocks.process<true>(ins[0], ins[1], outs[0], outs[1], n, on, blockFade);
                    else
                        blocks.process<false>(ins[0], ins[1], outs[0], outs[1], n, on, blockFade);
                },
                [&](float l, float r, float& outL, float& outR) { frames.frame(l, r, outL, outR, on, frameFade); }))
                << "capacity " << capacity;
            if (run.switchNow()) {
                on = run.switchTo() > 0.5f;
                blockFade = frameFade = 1.0f;
            }
        }
    }
}
