// One channel's reversing store: a circular buffer written forward and read backward
// from two positions half the buffer apart, crossfaded by a raised-cosine window so that
// each position is silent at the moment it jumps.
#pragma once

#include <atomic>
#include <cstdint>

class ReverseBuffer final {
public:
    explicit ReverseBuffer(int capacity);
    virtual ~ReverseBuffer();

    ReverseBuffer(const ReverseBuffer&) = delete;
    ReverseBuffer& operator=(const ReverseBuffer&) = delete;

    // The fixed-length step the audio path runs once per sample.
    virtual float processSample(float input)
    {
        sampleData[writePos] = finiteOrZero(input);
        if (++writePos == capacity)
            writePos = 0;
        const float output = window[readPosB] * sampleData[readPosB] + (1.0f - window[readPosA]) * sampleData[readPosA];
        if (--readPosA < 0)
            readPosA = capacity - 1;
        if (--readPosB < 0)
            readPosB = capacity - 1;
        return output;
    }

    // A step that follows the target length by one sample per call; not on the audio path.
    virtual float processSampleGliding(float input);

    virtual void setTargetLength(float length);

    // False when the store could not be allocated.
    bool isValid() const { return sampleData && window; }
    int getCapacity() const { return capacity; }
    float getTargetLength() const { return targetLength.load(std::memory_order_relaxed); }
    float getCurrentLength() const { return currentLength; }

private:
    friend class StereoReverser;  // the block path, which moves both buffers at once

    // A NaN or infinity would stay in the store for two seconds and poison every read
    // that weights it (0 × NaN is NaN), so it is stored as silence.
    static float finiteOrZero(float x)
    {
        std::uint32_t bits;
        __builtin_memcpy(&bits, &x, sizeof bits);
        return (bits & 0x7f800000u) == 0x7f800000u ? 0.0f : x;
    }

    float* sampleData;
    float* window;
    int writePos;
    int readPosA;
    int readPosB;
    int capacity;
    float currentLength;
    std::atomic<float> targetLength;  // written by the effect on any thread
};
