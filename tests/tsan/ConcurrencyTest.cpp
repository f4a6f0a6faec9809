// A host's threads on one effect at once, as ThreadSanitizer watches: the audio thread
// processes (and receives MIDI), an automation thread sets parameters, and the
// user-interface thread reads values and texts. Any unsynchronised access shared between
// them is reported and fails the run; the assertions check that nothing was lost on the way.
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <cstring>
#include <random>
#include <thread>
#include <vector>

#include "effect/EntryPoint.h"

namespace {

std::atomic<long long> hostCalls{0};

VstIntPtr VSTCALL host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    hostCalls.fetch_add(1, std::memory_order_relaxed);
    if (opcode == audioMasterVersion)
        return 2400;
    return opcode == audioMasterTempoAt ? 1200000 : 0;
}

class Concurrency : public ::testing::Test {
protected:
    void SetUp() override
    {
        effect = backtwisterMain(host);
        ASSERT_NE(effect, nullptr);
        dispatch(effSetSampleRate, 0, 0, nullptr, 44100.0f);
        dispatch(effSetBlockSize, 0, kBlock);
        dispatch(effMainsChanged, 0, 1);
    }
    void TearDown() override
    {
        if (effect)
            effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    }

    VstIntPtr dispatch(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f)
    {
        return effect->dispatcher(effect, opcode, index, value, ptr, opt);
    }

    // Processes `blocks` blocks of noise; answers the number of output samples that were not
    // finite. Before each block, `beforeBlock` runs on the audio thread.
    template <typename BeforeBlock>
    long long processOnThisThread(int blocks, BeforeBlock beforeBlock)
    {
        std::vector<float> inL(kBlock), inR(kBlock), outL(kBlock), outR(kBlock);
        float* ins[] = {inL.data(), inR.data()};
        float* outs[] = {outL.data(), outR.data()};
        std::minstd_rand random(7);
        std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
        long long bad = 0;
        for (int b = 0; b < blocks; ++b) {
            beforeBlock(b);
            for (int i = 0; i < kBlock; ++i) {
                inL[std::size_t(i)] = sample(random);
                inR[std::size_t(i)] = sample(random);
            }
            effect->processReplacing(effect, ins, outs, kBlock);
            for (int i = 0; i < kBlock; ++i)
                bad += !std::isfinite(outL[std::size_t(i)]) + !std::isfinite(outR[std::size_t(i)]);
            audioBlocks.store(b + 1, std::memory_order_release);
        }
        return bad;
    }

    static constexpr int kBlock = 64;
    static constexpr int kBlocks = 3000;
    AEffect* effect = nullptr;
    std::atomic<int> audioBlocks{0};
};

// The user-interface thread's share: values and their texts, as a host's generic editor shows them.
int readLikeAnEditor(AEffect* effect, const std::atomic<int>& audioBlocks, int until)
{
    int reads = 0;
    char text[64];
    while (audioBlocks.load(std::memory_order_acquire) < until) {
        for (VstInt32 p = 0; p < effect->numParams; ++p, ++reads) {
            const float value = effect->getParameter(effect, p);
            EXPECT_TRUE(value >= 0.0f && value <= 1.0f) << "parameter " << p << " read " << value;
            effect->dispatcher(effect, effGetParamDisplay, p, 0, text, 0.0f);
        }
        EXPECT_EQ(effect->dispatcher(effect, effGetProgram, 0, 0, nullptr, 0.0f), 0);
        effect->dispatcher(effect, effGetProgramName, 0, 0, text, 0.0f);
        effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
    }
    return reads;
}

}  // namespace

TEST_F(Concurrency, AutomationFromAnotherThreadWhileTheAudioThreadProcesses)
{
    std::vector<float> last(3, -1.0f);
    std::thread automation([&] {
        std::minstd_rand random(11);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        for (int b = 0; b < kBlocks; ++b) {
            while (audioBlocks.load(std::memory_order_acquire) <= b)
                std::this_thread::yield();
            const auto index = VstInt32(b % 3);
            last[std::size_t(index)] = unit(random);
            effect->setParameter(effect, index, last[std::size_t(index)]);
        }
    });
    long long bad = 0;
    std::thread audio([&] { bad = processOnThisThread(kBlocks, [](int) {}); });
    const int reads = readLikeAnEditor(effect, audioBlocks, kBlocks);
    audio.join();
    automation.join();

    EXPECT_EQ(bad, 0);
    EXPECT_GT(reads, 0);
    for (VstInt32 p = 0; p < 3; ++p)
        EXPECT_EQ(effect->getParameter(effect, p), last[std::size_t(p)]) << "the last automated value of " << p;
}

TEST_F(Concurrency, MidiProgramChangesOnTheAudioThreadWhileParametersAreSetElsewhere)
{
    // A program change to program 0, delivered before every fourth block, re-applies the stored
    // values through setParameter on the audio thread, while another thread sets them too.
    VstMidiEvent change{};
    change.type = kVstMidiType;
    change.byteSize = sizeof change;
    change.midiData[0] = char(0xC0);
    VstEvents events{};
    events.numEvents = 1;
    events.events[0] = reinterpret_cast<VstEvent*>(&change);

    std::atomic<bool> done{false};
    std::thread automation([&] {
        std::minstd_rand random(13);
        std::uniform_real_distribution<float> unit(0.0f, 1.0f);
        while (!done.load(std::memory_order_acquire))
            effect->setParameter(effect, VstInt32(random() % 3), unit(random));
    });
    long long bad = 0;
    std::thread audio([&] {
        bad = processOnThisThread(kBlocks, [&](int b) {
            if (b % 4 == 0)
                effect->dispatcher(effect, effProcessEvents, 0, 0, &events, 0.0f);
        });
    });
    const int reads = readLikeAnEditor(effect, audioBlocks, kBlocks);
    audio.join();
    done.store(true, std::memory_order_release);
    automation.join();
    EXPECT_EQ(bad, 0);
    EXPECT_GT(reads, 0);

    // Quiet again: a program change brings back exactly what was set last.
    effect->setParameter(effect, 0, 0.25f);
    effect->setParameter(effect, 1, 0.5f);
    effect->setParameter(effect, 2, 0.75f);
    effect->dispatcher(effect, effProcessEvents, 0, 0, &events, 0.0f);
    EXPECT_EQ(effect->getParameter(effect, 0), 0.25f);
    EXPECT_EQ(effect->getParameter(effect, 1), 0.5f);
    EXPECT_EQ(effect->getParameter(effect, 2), 0.75f);
}
