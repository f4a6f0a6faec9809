#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <random>
#include <string>

#include "host/ValueText.h"

using namespace kelp;

namespace {

// Writes into a guarded buffer and fails if anything lands beyond the 9 bytes a host gives.
template <typename Write>
std::string written(Write write)
{
    char buffer[32];
    std::memset(buffer, '#', sizeof buffer);
    write(buffer);
    for (std::size_t i = ValueText::maxLength + 1; i < sizeof buffer; ++i)
        EXPECT_EQ(buffer[i], '#') << "wrote past the 9-byte text at " << i;
    EXPECT_NE(std::memchr(buffer, '\0', ValueText::maxLength + 1), nullptr) << "not terminated";
    return buffer;
}

std::string floatText(float v)
{
    return written([&](char* t) { ValueText::writeFloat(v, t); });
}
std::string longText(VstInt32 v)
{
    return written([&](char* t) { ValueText::writeLong(v, t); });
}
std::string decibels(float v)
{
    return written([&](char* t) { ValueText::writeDecibels(v, t); });
}

}  // namespace

TEST(ValueText, FloatTextIsEightCharactersWithTruncatedFraction)
{
    const std::pair<float, const char*> cases[] = {
        {0.5f, "0.500000"},       {1.0f, "1.000000"},         {0.0f, "0.000000"},       {-0.0f, "0.000000"},
        {100.0f, "100.0000"},     {1024.0f, "1024.000"},      {88200.0f, "88200.00"},   {-3.25f, "-3.25000"},
        {-0.5f, "-0.50000"},      {1234.5678f, "1234.567"},   {0.001f, "0.001000"},     {2.675f, "2.674999"},
        {9999999.0f, "9999999."}, {0.000000001f, "0.000000"}, {-999999.0f, "-999999."},
    };
    for (const auto& [value, text] : cases)
        EXPECT_EQ(floatText(value), text) << value;
}

TEST(ValueText, FloatTextOutOfRangeIsHugeAndThresholdsPass)
{
    EXPECT_EQ(floatText(1.0e8f), "Huge!");
    EXPECT_EQ(floatText(-1.0e7f), "Huge!");
    EXPECT_EQ(floatText(std::numeric_limits<float>::infinity()), "Huge!");
    EXPECT_EQ(floatText(-std::numeric_limits<float>::infinity()), "Huge!");
    EXPECT_EQ(floatText(99999999.0f), "Huge!");  // the float nearest is 1.0e8, above the threshold
    EXPECT_EQ(floatText(-9999999.0f), "-9999999");
}

TEST(ValueText, IntegerPartsTooWideForAPointAreShownWhole)
{
    EXPECT_EQ(floatText(12345678.0f), "12345678");
    EXPECT_EQ(floatText(10000000.0f), "10000000");
    EXPECT_EQ(floatText(-1234567.0f), "-1234567");
    EXPECT_EQ(floatText(-1000000.5f), "-1000000");
}

TEST(ValueText, FloatTextNeverLeavesItsBufferForAnyValue)
{
    EXPECT_EQ(floatText(std::nanf("")), "NaN");
    std::mt19937 random(7);
    std::uniform_int_distribution<std::uint32_t> bits;
    for (int i = 0; i < 20000; ++i) {
        const std::uint32_t pattern = bits(random);
        float value;
        std::memcpy(&value, &pattern, sizeof value);
        const std::string text = floatText(value);
        EXPECT_LE(text.size(), 8u) << value;
    }
}

TEST(ValueText, LongTextIsRightAlignedAndCut)
{
    EXPECT_EQ(longText(0), "      0");
    EXPECT_EQ(longText(42), "     42");
    EXPECT_EQ(longText(12345678), "12345678");
    EXPECT_EQ(longText(99999999), "99999999");
    EXPECT_EQ(longText(100000000), "Huge!");
    EXPECT_EQ(longText(-12345678), "-1234567");
    EXPECT_EQ(longText(std::numeric_limits<VstInt32>::min()), "-2147483");
}

TEST(ValueText, DecibelsHertzAndMilliseconds)
{
    EXPECT_EQ(decibels(1.0f), "0.000000");
    EXPECT_EQ(decibels(2.0f), "6.020599");
    EXPECT_EQ(decibels(0.5f), "-6.02059");
    EXPECT_EQ(decibels(0.000001f), "-120.000");
    EXPECT_EQ(decibels(0.0f), "-oo");
    EXPECT_EQ(decibels(-1.0f), "-oo");
    EXPECT_EQ(decibels(std::nanf("")), "-oo");

    EXPECT_EQ(written([](char* t) { ValueText::writeHertz(100.0f, 44100.0f, t); }), "441.0000");
    EXPECT_EQ(written([](char* t) { ValueText::writeHertz(0.0f, 44100.0f, t); }), "0.000000");
    EXPECT_EQ(written([](char* t) { ValueText::writeMilliseconds(44100.0f, 44100.0f, t); }), "1000.000");
    // A rate of 0 must still give a text within the field.
    EXPECT_EQ(written([](char* t) { ValueText::writeMilliseconds(44100.0f, 0.0f, t); }), "Huge!");
    EXPECT_EQ(written([](char* t) { ValueText::writeMilliseconds(0.0f, 0.0f, t); }), "NaN");
}
