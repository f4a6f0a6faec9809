// Speed of the audio path: nanoseconds per stereo frame of processReplacing on 512-frame
// blocks, each beside a plain copy of the same blocks in the same run, on normal and on
// denormal input. Reports ratios; asserts nothing. Also the memory one effect holds.
//
// Windows: loads the DLL given as the first argument (default BACKTWISTER.dll) exactly as a
// host does. Elsewhere: links the effect directly and counts its heap bytes.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <vector>

#include "host/VstInterface.h"

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
#endif

namespace {

constexpr int kBlock = 512;
constexpr int kBlocks = 4000;  // about 46 seconds of audio at 44.1 kHz per measurement

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
    Signal s{std::vector<float>(kBlock), std::vector<float>(kBlock), std::vector<float>(kBlock),
             std::vector<float>(kBlock)};
    for (int i = 0; i < kBlock; ++i) {
        const float x = float((i * 7919) % 2000 - 1000) / 1000.0f;
        s.left[std::size_t(i)] = denormal ? x * 1.0e-39f : x * 0.5f;
        s.right[std::size_t(i)] = denormal ? -x * 1.0e-39f : -x * 0.5f;
    }
    return s;
}

// Nanoseconds per frame of the plug-in and of a plain copy, interleaved in rounds so that
// both see the same machine.
struct Timing {
    double plugin = 0;
    double copy = 0;
};

Timing measure(AEffect* effect, Signal& s)
{
    float* ins[] = {s.left.data(), s.right.data()};
    float* outs[] = {s.outLeft.data(), s.outRight.data()};
    double best[2] = {1e30, 1e30};
    for (int round = 0; round < 5; ++round) {
        auto start = Clock::now();
        for (int b = 0; b < kBlocks; ++b)
            effect->processReplacing(effect, ins, outs, kBlock);
        auto middle = Clock::now();
        for (int b = 0; b < kBlocks; ++b) {
            std::memcpy(outs[0], ins[0], sizeof(float) * kBlock);
            std::memcpy(outs[1], ins[1], sizeof(float) * kBlock);
            asm volatile("" : : "r"(outs[0]), "r"(outs[1]) : "memory");
        }
        auto end = Clock::now();
        const double frames = double(kBlocks) * kBlock;
        best[0] = std::min(best[0], std::chrono::duration<double, std::nano>(middle - start).count() / frames);
        best[1] = std::min(best[1], std::chrono::duration<double, std::nano>(end - middle).count() / frames);
    }
    return {best[0], best[1]};
}

AEffect* createEffect(MainProc mainProc)
{
    AEffect* effect = mainProc(host);
    if (!effect)
        return nullptr;
    effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effSetSampleRate, 0, 0, nullptr, 44100.0f);
    effect->dispatcher(effect, effSetBlockSize, 0, kBlock, nullptr, 0.0f);
    effect->dispatcher(effect, effMainsChanged, 0, 1, nullptr, 0.0f);
    return effect;
}

void closeEffect(AEffect* effect)
{
    effect->dispatcher(effect, effMainsChanged, 0, 0, nullptr, 0.0f);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
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
    const char* where = "DLL under Wine";
#else
    (void)argc;
    (void)argv;
    MainProc mainProc = backtwisterMain;
    const char* where = "native";
#endif
    if (!mainProc)
        return 1;

    AEffect* effect = createEffect(mainProc);
    if (!effect)
        return 1;
    Signal normal = makeSignal(false), denormal = makeSignal(true);
    measure(effect, normal);  // warm-up: fills the buffers
    const Timing n = measure(effect, normal);
    const Timing d = measure(effect, denormal);
    closeEffect(effect);

    std::printf("%s, processReplacing on %d-frame blocks:\n", where, kBlock);
    std::printf("  normal input:   %7.2f ns/frame, plain copy %6.3f ns/frame, ratio to copy %6.1f\n", n.plugin, n.copy,
                n.plugin / n.copy);
    std::printf("  denormal input: %7.2f ns/frame, plain copy %6.3f ns/frame, ratio to copy %6.1f\n", d.plugin, d.copy,
                d.plugin / d.copy);
    std::printf("  denormal / normal: %.3f (must stay at or below 1.2)\n", d.plugin / n.plugin);

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
