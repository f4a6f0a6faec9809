#include "host/ValueText.h"

#include <cmath>
#include <cstdio>
#include <cstring>

namespace kelp {

namespace ValueText {

    namespace {

        void writeHuge(char* text) { copy(text, "Huge!", maxLength); }

        char digitOf(double value) { return char('0' + int(std::trunc(std::fmod(value, 10.0)))); }

    }  // namespace

    void copy(char* destination, const char* source, int maxChars)
    {
        int n = 0;
        while (n < maxChars && source[n] != '\0') {
            destination[n] = source[n];
            ++n;
        }
        destination[n] = '\0';
    }

    // Fixed width: sign, integer digits, point, then truncated fraction digits up to 8
    // characters. Digits come from repeated multiplication by 0.1 in double precision,
    // which is what makes 2.675f read "2.674999".
    void writeFloat(float value, char* text)
    {
        const double v = value;
        if (std::isnan(v)) {
            copy(text, "NaN", maxLength);
            return;
        }
        const bool negative = v < 0.0;
        const double m = std::fabs(v);
        if ((negative && m > 9999999.0) || (!negative && v > 99999999.0)) {
            writeHuge(text);
            return;
        }
        // Integer parts too wide for a point (8 digits, or a sign and 7) are shown whole.
        if (std::floor(m) >= (negative ? 1000000.0 : 10000000.0)) {
            std::snprintf(text, maxLength + 1, "%s%.0f", negative ? "-" : "", std::floor(m));
            return;
        }

        char scratch[maxLength + 2];
        int pos = maxLength + 1;
        scratch[pos] = '\0';
        int count = negative ? 1 : 0;
        scratch[--pos] = '.';
        ++count;
        double integer = std::floor(m);
        scratch[--pos] = digitOf(integer);
        ++count;
        integer *= 0.1;
        while (integer >= 1.0 && count < maxLength) {
            scratch[--pos] = digitOf(integer);
            ++count;
            integer *= 0.1;
        }
        if (negative)
            scratch[--pos] = '-';
        const int head = maxLength + 1 - pos;
        std::memcpy(text, scratch + pos, std::size_t(head));

        const int fractionDigits = maxLength - count;
        double fraction = std::fmod(m, 1.0) * std::pow(10.0, fractionDigits);
        for (int i = fractionDigits - 1; i >= 0; --i) {
            text[head + i] = fraction > 0.0 ? digitOf(fraction) : '0';
            fraction *= 0.1;
        }
        text[head + fractionDigits] = '\0';
    }

    void writeLong(VstInt32 value, char* text)
    {
        if (value > 99999999) {
            writeHuge(text);
            return;
        }
        char scratch[16];
        std::snprintf(scratch, sizeof scratch, "%7d", int(value));
        copy(text, scratch, maxLength);
    }

    void writeDecibels(float gain, char* text)
    {
        if (!(gain > 0.0f)) {
            copy(text, "-oo", maxLength);
            return;
        }
        writeFloat(float(20.0 * std::log10(double(gain))), text);
    }

    void writeHertz(float samples, float sampleRate, char* text)
    {
        writeFloat(samples == 0.0f ? 0.0f : float(double(sampleRate) / double(samples)), text);
    }

    void writeMilliseconds(float samples, float sampleRate, char* text)
    {
        writeFloat(float(double(samples) * 1000.0 / double(sampleRate)), text);
    }

}  // namespace ValueText

}  // namespace kelp
