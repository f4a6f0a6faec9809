#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <vector>

#include "effect/ReverseBuffer.h"
#include "tests/ReverseReference.h"

TEST(ReverseBuffer, MatchesTheReferenceBitForBitOverSeveralPeriods)
{
    for (int capacity : {8, 10, 88200}) {
        ReverseBuffer buffer(capacity);
        ReferenceBuffer reference(capacity);
        std::mt19937 random(capacity);
        std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
        const int calls = capacity * 3 + 17;
        for (int i = 0; i < calls; ++i) {
            const float x = sample(random);
            const float expected = reference.step(x);
            const float actual = buffer.processSample(x);
            ASSERT_EQ(actual, expected) << "capacity " << capacity << ", call " << i;
        }
    }
}

TEST(ReverseBuffer, FirstOutputIsSilentAndHalfWayReadsTheNewSampleWithWeightZero)
{
    ReverseBuffer small(8);
    EXPECT_EQ(small.processSample(1.0f), 0.0f);

    // Call 44100 reads the sample it has just written at position A, whose weight is 0 there:
    // a huge new sample must not show in the output.
    ReverseBuffer buffer(88200);
    for (int i = 0; i < 44100; ++i)
        buffer.processSample(0.25f);
    const float out = buffer.processSample(1000.0f);
    EXPECT_LT(std::fabs(out), 1.0f);
}

TEST(ReverseBuffer, ConstantInputComesBackOnceTheStoreIsFull)
{
    ReverseBuffer buffer(88200);
    for (int i = 0; i < 88200; ++i)
        buffer.processSample(0.5f);
    for (int i = 0; i < 88200; i += 97)
        for (int k = 0; k < 97; ++k)
            ASSERT_NEAR(buffer.processSample(0.5f), 0.5f, 1e-6f);
}

TEST(ReverseBuffer, PlaysEachPeriodBackwards)
{
    // Feed a ramp 0, 1, 2, ... At call N position B has full weight and reads the sample of
    // call N/2; from there on it steps back one sample per call while A fades in slowly.
    const int n = 800;
    ReverseBuffer buffer(n);
    std::vector<float> out;
    for (int i = 0; i <= n + 6; ++i)
        out.push_back(buffer.processSample(float(i)));
    EXPECT_EQ(out[n], float(n / 2));
    for (int k = n + 1; k <= n + 6; ++k) {
        EXPECT_LT(out[std::size_t(k)], out[std::size_t(k - 1)]) << "call " << k;
        EXPECT_NEAR(out[std::size_t(k)], float(n / 2 - (k - n)), 1.0f) << "call " << k;
    }
}

TEST(ReverseBuffer, TargetLengthChangesNothingTheAudioPathProduces)
{
    ReverseBuffer plain(1000), retargeted(1000);
    retargeted.setTargetLength(1024.0f);
    for (int i = 0; i < 3000; ++i) {
        if (i == 1500)
            retargeted.setTargetLength(17.5f);
        const float x = std::sin(float(i) * 0.01f);
        ASSERT_EQ(plain.processSample(x), retargeted.processSample(x));
    }
}

TEST(ReverseBuffer, NonFiniteInputIsStoredAsSilence)
{
    ReverseBuffer buffer(100);
    const float bad[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                         -std::numeric_limits<float>::infinity()};
    for (int i = 0; i < 300; ++i) {
        const float out = buffer.processSample(i % 7 == 0 ? bad[i % 3] : 0.5f);
        ASSERT_TRUE(std::isfinite(out)) << "call " << i;
    }
}

TEST(ReverseBuffer, GlidingLengthMovesOneSamplePerCallAndStaysInTheStore)
{
    ReverseBuffer buffer(1000);
    buffer.setTargetLength(990.5f);
    for (int i = 0; i < 5; ++i)
        buffer.processSampleGliding(0.1f);
    EXPECT_EQ(buffer.getCurrentLength(), 995.0f);
    for (int i = 0; i < 20; ++i)
        buffer.processSampleGliding(0.1f);
    EXPECT_EQ(buffer.getCurrentLength(), 990.0f);  // settles on the whole number below

    // Targets no store can hold, and silly ones, must not take a position outside it
    // (the sanitizers watch every access).
    std::mt19937 random(3);
    std::uniform_real_distribution<float> sample(-1.0f, 1.0f);
    const float targets[] = {1.0e9f, 0.0f, -50.0f, std::numeric_limits<float>::quiet_NaN(), 3.0f, 512.0f, 1000.0f};
    for (float target : targets) {
        buffer.setTargetLength(target);
        for (int i = 0; i < 2500; ++i)
            ASSERT_TRUE(std::isfinite(buffer.processSampleGliding(sample(random))));
        EXPECT_GE(buffer.getCurrentLength(), 2.0f);
        EXPECT_LE(buffer.getCurrentLength(), 1000.0f);
    }
}
