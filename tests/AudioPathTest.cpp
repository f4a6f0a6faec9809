#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "effect/EntryPoint.h"
#include "tests/RecordingHost.h"
#include "tests/ReverseReference.h"

#if defined(__SSE__) || defined(__x86_64__)
#include <xmmintrin.h>
#endif

namespace {

// An effect created through `main`, driven only through its record.
class AudioPath : public ::testing::Test {
protected:
    void SetUp() override
    {
        record = backtwisterMain(RecordingHost::callback);
        ASSERT_NE(record, nullptr);
    }
    void TearDown() override { record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f); }

    // Runs `frames` frames in blocks of `block` through one of the two audio entries.
    void run(std::vector<float>& inL, std::vector<float>& inR, std::vector<float>& outL, std::vector<float>& outR,
             int block, bool replacing = true)
    {
        for (std::size_t start = 0; start < inL.size(); start += std::size_t(block)) {
            const VstInt32 n = VstInt32(std::min<std::size_t>(std::size_t(block), inL.size() - start));
            float* ins[] = {&inL[start], &inR[start]};
            float* outs[] = {&outL[start], &outR[start]};
            (replacing ? record->processReplacing : record->process)(record, ins, outs, n);
        }
    }

    void setOnOff(float value) { record->setParameter(record, 0, value); }

    static std::vector<float> noise(std::size_t n, unsigned seed)
    {
        std::mt19937 random(seed);
        std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
        std::vector<float> v(n);
        for (float& x : v)
            x = sample(random);
        return v;
    }

    RecordingHost host;
    AEffect* record = nullptr;
};

}  // namespace

TEST_F(AudioPath, ReversedOutputMatchesTheReferenceInAnyBlockSize)
{
    const std::size_t frames = 200000;
    std::vector<float> inL = noise(frames, 1), inR = noise(frames, 2), outL(frames), outR(frames);
    run(inL, inR, outL, outR, 333);
    ReferenceEffect reference;
    for (std::size_t i = 0; i < frames; ++i) {
        float l, r;
        reference.step(inL[i], inR[i], l, r);
        ASSERT_EQ(outL[i], l) << "frame " << i;
        ASSERT_EQ(outR[i], r) << "frame " << i;
    }
    EXPECT_EQ(host.callsOf(audioMasterTempoAt).size(), (frames + 332) / 333);
}

TEST_F(AudioPath, SwitchingCrossfadesOver201FramesAndEndsBitExact)
{
    const std::size_t frames = 100000;
    std::vector<float> inL = noise(frames, 3), inR = noise(frames, 4), outL(frames), outR(frames);
    ReferenceEffect reference;
    std::vector<float> expectedL(frames), expectedR(frames);
    // Off at frame 0 (same as setting it before the first block), on again at 50000, then
    // on once more while already on: each setting restarts the crossfade.
    for (std::size_t i = 0; i < frames; ++i) {
        if (i == 0)
            reference.setOnOff(0.0f);
        if (i == 50000)
            reference.setOnOff(1.0f);
        if (i == 70000)
            reference.setOnOff(1.0f);
        reference.step(inL[i], inR[i], expectedL[i], expectedR[i]);
    }
    const std::size_t cuts[] = {0, 50000, 70000, frames};
    for (int part = 0; part < 3; ++part) {
        setOnOff(part == 0 ? 0.0f : 1.0f);
        std::vector<float> l(inL.begin() + long(cuts[part]), inL.begin() + long(cuts[part + 1]));
        std::vector<float> r(inR.begin() + long(cuts[part]), inR.begin() + long(cuts[part + 1]));
        std::vector<float> ol(l.size()), orr(l.size());
        run(l, r, ol, orr, 512);
        std::copy(ol.begin(), ol.end(), outL.begin() + long(cuts[part]));
        std::copy(orr.begin(), orr.end(), outR.begin() + long(cuts[part]));
    }
    for (std::size_t i = 0; i < frames; ++i) {
        ASSERT_EQ(outL[i], expectedL[i]) << "frame " << i;
        ASSERT_EQ(outR[i], expectedR[i]) << "frame " << i;
    }
    // Off: the first frame is all reversed (silence here), frames 201 on are dry, bit for bit.
    EXPECT_EQ(outL[0], 0.0f);
    for (std::size_t i = 201; i < 50000; ++i)
        ASSERT_EQ(outL[i], inL[i]) << "frame " << i;
    // A restart while on: the first frame is dry again.
    EXPECT_EQ(outL[70000], inL[70000]);
}

TEST_F(AudioPath, HalfIsOffAndProcessAddsToTheOutputs)
{
    setOnOff(0.5f);
    std::vector<float> inL = noise(1000, 5), inR = noise(1000, 6);
    std::vector<float> outL(1000, 0.25f), outR(1000, -0.25f);
    run(inL, inR, outL, outR, 64, false);
    for (std::size_t i = 201; i < 1000; ++i) {
        ASSERT_EQ(outL[i], 0.25f + inL[i]);
        ASSERT_EQ(outR[i], -0.25f + inR[i]);
    }
}

TEST_F(AudioPath, BadBlocksTouchNothingButStillAskTheTempo)
{
    float in[2][4] = {{1, 2, 3, 4}, {5, 6, 7, 8}};
    float out[2][4] = {{9, 9, 9, 9}, {9, 9, 9, 9}};
    float* ins[] = {in[0], in[1]};
    float* outs[] = {out[0], out[1]};
    float* halfOuts[] = {out[0], nullptr};
    record->processReplacing(record, ins, outs, 0);
    record->processReplacing(record, ins, outs, -5);
    record->process(record, ins, outs, -1);
    record->processReplacing(record, nullptr, outs, 4);
    record->processReplacing(record, ins, nullptr, 4);
    record->process(record, ins, halfOuts, 4);
    for (auto& channel : out)
        for (float x : channel)
            EXPECT_EQ(x, 9.0f);
    EXPECT_EQ(host.callsOf(audioMasterTempoAt).size(), 6u);
}

TEST_F(AudioPath, InPlaceProcessingReadsEachInputBeforeWritingIt)
{
    setOnOff(0.0f);
    std::vector<float> l = noise(4096, 7), r = noise(4096, 8);
    const std::vector<float> originalL = l;
    run(l, r, l, r, 256);
    for (std::size_t i = 201; i < l.size(); ++i)
        ASSERT_EQ(l[i], originalL[i]);
}

TEST_F(AudioPath, NonFiniteInputNeverReachesTheReversedOutput)
{
    std::vector<float> inL = noise(100000, 9), inR = noise(100000, 10), outL(100000), outR(100000);
    for (std::size_t i = 1000; i < 1010; ++i) {
        inL[i] = std::numeric_limits<float>::quiet_NaN();
        inR[i] = -std::numeric_limits<float>::infinity();
    }
    run(inL, inR, outL, outR, 512);
    for (std::size_t i = 0; i < outL.size(); ++i) {
        ASSERT_TRUE(std::isfinite(outL[i])) << i;
        ASSERT_TRUE(std::isfinite(outR[i])) << i;
    }
    // The dry path passes the input unchanged, except what no host may be handed: non-finite
    // and subnormal samples leave as silence, during the crossfade (frame 100) and after it.
    setOnOff(0.0f);
    std::vector<float> dryL(1000, 0.5f), dryR(1000, 0.5f), dOutL(1000), dOutR(1000);
    dryL[100] = std::numeric_limits<float>::quiet_NaN();
    dryL[500] = std::numeric_limits<float>::infinity();
    dryR[500] = -std::numeric_limits<float>::denorm_min();
    dryR[501] = 1.0e-39f;
    dryR[502] = -0.0f;
    run(dryL, dryR, dOutL, dOutR, 1000);
    EXPECT_EQ(dOutL[100], 0.0f);
    EXPECT_EQ(dOutL[500], 0.0f);
    EXPECT_EQ(dOutR[500], 0.0f);
    EXPECT_EQ(dOutR[501], 0.0f);
    EXPECT_TRUE(std::signbit(dOutR[502])) << "a negative zero is not subnormal: it passes as it is";
    EXPECT_EQ(dOutL[499], 0.5f);
}

#if defined(__SSE__) || defined(__x86_64__)
namespace {

unsigned controlSeenByHost = 0;

VstIntPtr VSTCALL controlProbe(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
    if (opcode == audioMasterTempoAt)
        controlSeenByHost = _mm_getcsr();
    return opcode == audioMasterVersion ? 2400 : 0;
}

}  // namespace

TEST(AudioEntries, DenormalsAreFlushedOnlyDuringTheAudioCall)
{
    AEffect* probed = backtwisterMain(controlProbe);
    ASSERT_NE(probed, nullptr);
    std::vector<float> l(64, 1.0e-40f), r(64, 1.0e-40f), outL(64), outR(64);
    float* ins[] = {l.data(), r.data()};
    float* outs[] = {outL.data(), outR.data()};
    const unsigned before = _mm_getcsr();  // after the set-up, whose arithmetic may raise sticky flags
    probed->processReplacing(probed, ins, outs, 64);
    EXPECT_EQ(controlSeenByHost & 0x8040u, 0x8040u) << "flush-to-zero and denormals-are-zero during the call";
    EXPECT_EQ(_mm_getcsr(), before) << "the caller's state comes back";
    probed->dispatcher(probed, effClose, 0, 0, nullptr, 0.0f);
}
#endif
