// Speed of the audio path: nanoseconds per stereo frame of processReplacing at blocks of 1,
// 32, 512 and 4096 frames, on normal and on denormal input, each beside two baselines
// compiled into this program and timed in the same rounds: a plain per-frame loop of the
// same arithmetic and a plain copy of the block. Reports figures, ratios and the targets
// they are held to; asserts nothing. Also the memory one effect holds.
//
// Windows: loads the DLL given as the first argument (default BACKTWISTER.dll) exactly as a
// host does. Elsewhere: links the effect directly and counts its heap bytes.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>
#include <xmmintrin.h>

#include "host/DenormalGuard.h"
#include "host/VstInterface.h"

using kelp::DenormalGuard;

#ifdef _WIN32
#include <windows.h>
#else
#include "effect/EntryPoint.h"

namespace {
std::atomic<std::size_t> heapBytes{0};
}

void* operator new(std::size_t size)
{
    heapBytes += size;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    heapBytes += size;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
// The effect's sample stores are aligned.
void* operator new[](std::size_t size, std::align_val_t align, const std::nothrow_t&) noexcept
{
    heapBytes += size;
    const std::size_t alignment = std::size_t(align);
    return std::aligned_alloc(alignment, (size / alignment + 1) * alignment);  // a multiple of it, never 0
}
void* operator new(std::size_t size, std::align_val_t align, const std::nothrow_t& tag) noexcept
{
    return operator new[](size, align, tag);
}
void* operator new(std::size_t size, std::align_val_t align)
{
    if (void* p = operator new[](size, align, std::nothrow))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size, std::align_val_t align) { return operator new(size, align); }
void operator delete(void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::align_val_t) noexcept { std::free(p); }
void operator delete(void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t, std::align_val_t) noexcept { std::free(p); }
#endif

namespace {

constexpr int kBlockSizes[] = {1, 32, 512, 4096};
constexpr int kSignalFrames = 8192;           // the input ring the blocks are taken from
constexpr long kFramesPerMeasure = 1L << 21;  // about 48 seconds of audio at 44.1 kHz
constexpr int kRounds = 7;

using Clock = std::chrono::steady_clock;
using MainProc = AEffect*(VSTCALL*)(HostCallback);

VstIntPtr VSTCALL host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    if (opcode == audioMasterVersion)
        return 2400;
    if (opcode == audioMasterTempoAt)
        return 1200000;
    return 0;
}

struct Signal {
    std::vector<float> left, right, outLeft, outRight;
};

Signal makeSignal(bool denormal)
{
    Signal s{std::vector<float>(kSignalFrames), std::vector<float>(kSignalFrames), std::vector<float>(kSignalFrames),
             std::vector<float>(kSignalFrames)};
    for (int i = 0; i < kSignalFrames; ++i) {
        const float x = float((i * 7919) % 2000 - 1000) / 1000.0f;
        s.left[std::size_t(i)] = denormal ? x * 1.0e-39f : x * 0.5f;
        s.right[std::size_t(i)] = denormal ? -x * 1.0e-39f : -x * 0.5f;
    }
    return s;
}

// The simplest code that makes the effect's sound, switched on: one frame at a time through
// both buffers and the crossfade, no guards, no atomics.
struct PlainLoop {
    static constexpr int n = 88200;
    std::vector<float> left = std::vector<float>(n), right = std::vector<float>(n), window = std::vector<float>(n);
    int write = n / 2, readA = n / 2, readB = 0;
    float fade = 0.0f;
    bool on = true;

    PlainLoop()
    {
        for (int i = 0; i < n; ++i)
            window[std::size_t(i)] = float((std::cos(double(i) / double(n) * 12.566370614359172) + 1.0) * 0.5);
    }
};

__attribute__((noinline)) void plainLoop(PlainLoop& p, float** in, float** out, int frames)
{
    float* const left = p.left.data();
    float* const right = p.right.data();
    const float* const window = p.window.data();
    for (int i = 0; i < frames; ++i) {
        const float inL = in[0][i], inR = in[1][i];
        left[p.write] = inL;
        right[p.write] = inR;
        if (++p.write == PlainLoop::n)
            p.write = 0;
        const float weightB = window[p.readB], weightA = 1.0f - window[p.readA];
        float outL = weightB * left[p.readB] + weightA * left[p.readA];
        float outR = weightB * right[p.readB] + weightA * right[p.readA];
        if (--p.readA < 0)
            p.readA = PlainLoop::n - 1;
        if (--p.readB < 0)
            p.readB = PlainLoop::n - 1;
        if (p.fade > 0.0f) {
            if (p.on) {
                outL = inL * p.fade + outL * (1.0f - p.fade);
                outR = inR * p.fade + outR * (1.0f - p.fade);
            } else {
                outL = outL * p.fade + inL * (1.0f - p.fade);
                outR = outR * p.fade + inR * (1.0f - p.fade);
            }
            p.fade -= 0.005f;
        } else if (!p.on) {
            outL = inL;
            outR = inR;
        }
        out[0][i] = outL;
        out[1][i] = outR;
    }
}

__attribute__((noinline)) void plainCopy(float** in, float** out, int frames)
{
    std::memcpy(out[0], in[0], sizeof(float) * std::size_t(frames));
    std::memcpy(out[1], in[1], sizeof(float) * std::size_t(frames));
}

// The floating-point state guard a host's audio call needs around the per-frame loop,
// written plainly: save the control word, set flush-to-zero and denormals-are-zero, restore.
__attribute__((noinline)) void plainGuard(float** out)
{
    const unsigned saved = _mm_getcsr();
    _mm_setcsr(saved | 0x8040);
    asm volatile("" : : "r"(out) : "memory");
    _mm_setcsr(saved);
}

// The guard the record's audio entries use, on its own.
__attribute__((noinline)) void entryGuard(float** out)
{
    DenormalGuard guard;
    asm volatile("" : : "r"(out) : "memory");
}

// Nanoseconds per frame of the plug-in, the loop and the copy, interleaved in rounds so that
// all three see the same machine; the best round of each.
struct Timing {
    double plugin = 1e30, loop = 1e30, copy = 1e30;
};

template <typename Call>
double nanosPerFrame(Signal& s, int block, Call call)
{
    const long calls = kFramesPerMeasure / block;
    int offset = 0;
    const auto start = Clock::now();
    for (long c = 0; c < calls; ++c) {
        float* ins[] = {s.left.data() + offset, s.right.data() + offset};
        float* outs[] = {s.outLeft.data() + offset, s.outRight.data() + offset};
        call(ins, outs, block);
        offset += block;
        if (offset + block > kSignalFrames)
            offset = 0;
    }
    const auto end = Clock::now();
    return std::chrono::duration<double, std::nano>(end - start).count() / double(calls * block);
}

Timing measure(AEffect* effect, PlainLoop& loop, Signal& s, int block)
{
    Timing t;
    for (int round = 0; round < kRounds; ++round) {
        t.plugin = std::min(t.plugin, nanosPerFrame(s, block, [&](float** in, float** out, int n) {
                                effect->processReplacing(effect, in, out, n);
                            }));
        t.loop = std::min(
            t.loop, nanosPerFrame(s, block, [&](float** in, float** out, int n) { plainLoop(loop, in, out, n); }));
        t.copy = std::min(t.copy, nanosPerFrame(s, block, [&](float** in, float** out, int n) {
                              plainCopy(in, out, n);
                              asm volatile("" : : "r"(out) : "memory");
                          }));
    }
    return t;
}

template <typename Guard>
double guardNanos(Signal& s, Guard guard)
{
    double best = 1e30;
    for (int round = 0; round < kRounds; ++round)
        best = std::min(best, nanosPerFrame(s, 1, [&](float**, float** out, int) { guard(out); }));
    return best;
}

AEffect* createEffect(MainProc mainProc)
{
    AEffect* effect = mainProc(host);
    if (!effect)
        return nullptr;
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, effSetBlockSize, 0, 4096, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    return effect;
}

void closeEffect(AEffect* effect)
{
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

// The loop is the effect's arithmetic: on ordinary input both give the same bits.
bool loopSoundsLikeThePlugin(MainProc mainProc, Signal& s)
{
    AEffect* effect = createEffect(mainProc);
    if (!effect)
        return false;
    PlainLoop loop;
    std::vector<float> outL(kSignalFrames), outR(kSignalFrames);
    bool same = true;
    for (int pass = 0; pass < 30 && same; ++pass) {  // past a full turn of the buffers
        float* ins[] = {s.left.data(), s.right.data()};
        float* outs[] = {s.outLeft.data(), s.outRight.data()};
        float* loopOuts[] = {outL.data(), outR.data()};
        effect->processReplacing(effect, ins, outs, kSignalFrames);
        plainLoop(loop, ins, loopOuts, kSignalFrames);
        same = std::memcmp(outL.data(), s.outLeft.data(), sizeof(float) * kSignalFrames) == 0 &&
               std::memcmp(outR.data(), s.outRight.data(), sizeof(float) * kSignalFrames) == 0;
    }
    closeEffect(effect);
    return same;
}

#ifdef _WIN32
// Committed private memory of the process, summed over its address space.
std::size_t processBytes()
{
    std::size_t total = 0;
    MEMORY_BASIC_INFORMATION info;
    for (char* address = nullptr; VirtualQuery(address, &info, sizeof info) == sizeof info;
         address = static_cast<char*>(info.BaseAddress) + info.RegionSize) {
        if (info.State == MEM_COMMIT && info.Type == MEM_PRIVATE)
            total += info.RegionSize;
    }
    return total;
}
#endif

const char* verdict(bool met) { return met ? "met" : "MISSED"; }

}  // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    const char* path = argc > 1 ? argv[1] : "BACKTWISTER.dll";
    HMODULE module = LoadLibraryA(path);
    if (!module) {
        std::fprintf(stderr, "cannot load %s\n", path);
        return 1;
    }
    auto mainProc = reinterpret_cast<MainProc>(reinterpret_cast<void*>(GetProcAddress(module, "main")));
    const char* where = sizeof(void*) == 4 ? "32-bit DLL under Wine" : "64-bit DLL under Wine";
#else
    (void)argc;
    (void)argv;
    MainProc mainProc = backtwisterMain;
    const char* where = "native";
#endif
    if (!mainProc)
        return 1;

    Signal normal = makeSignal(false), denormal = makeSignal(true);
    const bool same = loopSoundsLikeThePlugin(mainProc, normal);

    AEffect* effect = createEffect(mainProc);
    if (!effect)
        return 1;
    PlainLoop loop;
    measure(effect, loop, normal, 512);  // warm-up: fills the buffers
    Timing timings[2][std::size(kBlockSizes)];
    for (std::size_t size = 0; size < std::size(kBlockSizes); ++size) {
        timings[0][size] = measure(effect, loop, normal, kBlockSizes[size]);
        timings[1][size] = measure(effect, loop, denormal, kBlockSizes[size]);
    }
    const double guard = guardNanos(normal, plainGuard);
    const double ownGuard = guardNanos(normal, entryGuard);
    closeEffect(effect);

    std::printf("%s: processReplacing, effect on, ns per stereo frame (best of %d rounds)\n", where, kRounds);
    std::printf("  block  input     plug-in   per-frame loop  plain copy   plug-in/loop  plug-in/copy\n");
    for (std::size_t size = 0; size < std::size(kBlockSizes); ++size)
        for (int kind = 0; kind < 2; ++kind) {
            const Timing& t = timings[kind][size];
            std::printf("  %5d  %-8s %8.3f   %14.3f  %10.3f   %12.3f  %12.2f\n", kBlockSizes[size],
                        kind ? "denormal" : "normal", t.plugin, t.loop, t.copy, t.plugin / t.loop, t.plugin / t.copy);
        }
    std::printf("  floating-point state guard alone, per call: %.2f ns written plainly, %.2f ns as the entries'"
                " guard\n",
                guard, ownGuard);
    std::printf("  the loop gives the plug-in's bits on normal input: %s\n", same ? "yes" : "NO");

    std::printf("  targets:\n");
    for (std::size_t size = 2; size < std::size(kBlockSizes); ++size) {
        const Timing& t = timings[0][size];
        std::printf("    block %4d: plug-in/loop %.3f <= 0.15 %s, plug-in/copy %.2f <= 4 %s\n", kBlockSizes[size],
                    t.plugin / t.loop, verdict(t.plugin <= 0.15 * t.loop), t.plugin / t.copy,
                    verdict(t.plugin <= 4.0 * t.copy));
    }
    const Timing& single = timings[0][0];
    std::printf("    block    1: plug-in %.2f ns <= loop + plain guard %.2f ns %s\n", single.plugin,
                single.loop + guard, verdict(single.plugin <= single.loop + guard));
    std::printf("    denormal/normal <= 1.1:");
    for (std::size_t size = 0; size < std::size(kBlockSizes); ++size) {
        const double ratio = timings[1][size].plugin / timings[0][size].plugin;
        std::printf(" %d: %.3f %s%s", kBlockSizes[size], ratio, verdict(ratio <= 1.1),
                    size + 1 < std::size(kBlockSizes) ? "," : "\n");
    }

    const int instances = 16;
    std::vector<AEffect*> effects;
#ifdef _WIN32
    const std::size_t before = processBytes();
#else
    const std::size_t before = heapBytes.load();
#endif
    for (int i = 0; i < instances; ++i)
        effects.push_back(createEffect(mainProc));
#ifdef _WIN32
    const std::size_t after = processBytes();
    const char* what = "committed private memory of the process";
#else
    const std::size_t after = heapBytes.load();
    const char* what = "heap bytes allocated";
#endif
    for (AEffect* e : effects)
        closeEffect(e);
    std::printf("  memory per effect instance: %zu bytes (%s, over %d instances)\n", (after - before) / instances, what,
                instances);
    return 0;
}
