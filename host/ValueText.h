// Numbers written as the eight-character texts hosts show for parameters. Each writes
// at most 8 characters and the terminator.
#pragma once

#include "host/VstInterface.h"

namespace kelp {

namespace ValueText {

    constexpr int maxLength = 8;

    void writeFloat(float value, char* text);
    void writeLong(VstInt32 value, char* text);
    void writeDecibels(float gain, char* text);
    void writeHertz(float samples, float sampleRate, char* text);
    void writeMilliseconds(float samples, float sampleRate, char* text);

    // Copies at most maxChars characters of source and always terminates the destination.
    void copy(char* destination, const char* source, int maxChars);

}  // namespace ValueText

}  // namespace kelp
