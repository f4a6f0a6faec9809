#include "effect/ReverseBuffer.h"

#include <cmath>
#include <new>

static_assert(std::atomic<float>::is_always_lock_free);

namespace {

// Sixteen-byte aligned, so that the block path's four-sample reads need not straddle cache lines.
constexpr std::align_val_t kAlignment{16};

float* newSamples(int count)
{
    return static_cast<float*>(::operator new[](sizeof(float) * std::size_t(count), kAlignment, std::nothrow));
}

}  // namespace

ReverseBuffer::ReverseBuffer(int capacity)
    : sampleData(newSamples(capacity)), window(newSamples(capacity)), writePos(capacity / 2), readPosA(capacity / 2),
      readPosB(0), capacity(capacity), currentLength(float(capacity)), targetLength(float(capacity))
{
    if (!isValid())
        return;
    const double fourPi = 12.566370614359172;
    for (int i = 0; i < capacity; ++i) {
        sampleData[i] = 0.0f;
        window[i] = float((std::cos(double(i) / double(capacity) * fourPi) + 1.0) * 0.5);
    }
}

ReverseBuffer::~ReverseBuffer()
{
    ::operator delete[](sampleData, kAlignment);
    ::operator delete[](window, kAlignment);
}

void ReverseBuffer::setTargetLength(float length) { targetLength.store(length, std::memory_order_relaxed); }

// The gliding read stretches the window over currentLength and re-places the weaker read
// position while the length moves. Lengths are kept within 2..capacity so that no
// position can leave the store, whatever target the effect hands over.
float ReverseBuffer::processSampleGliding(float input)
{
    float target = getTargetLength();
    if (!(target >= 2.0f))
        target = 2.0f;
    if (target > float(capacity))
        target = float(capacity);

    bool moving = false;
    if (currentLength != target) {
        if (currentLength < target)
            currentLength += 1.0f;
        if (currentLength > target)
            currentLength -= 1.0f;
        moving = true;
    }
    const int length = int(std::nearbyint(currentLength));

    sampleData[writePos] = finiteOrZero(input);
    if (++writePos >= currentLength || writePos >= capacity)
        writePos = 0;

    auto windowIndex = [&](int position) {
        const float scaled = float(capacity) / currentLength * float(position);
        const int index = int(std::nearbyint(scaled));
        return index < capacity ? index : capacity - 1;
    };
    const float weightA = 1.0f - window[windowIndex(readPosA)];
    const float weightB = window[windowIndex(readPosB)];
    const float output = sampleData[readPosB] * weightB + sampleData[readPosA] * weightA;

    --readPosA;
    --readPosB;

    if (moving) {
        const int half = int(currentLength * 0.5f);
        auto halfAway = [&](int from) {
            const int position = from - half;
            return position >= 0 ? position : int(currentLength - float(half - from));
        };
        if (weightA < weightB)
            readPosA = halfAway(readPosB);
        else if (weightA > weightB)
            readPosB = halfAway(readPosA);
    }

    auto wrap = [&](int& position) {
        if (position < 0 || position >= capacity)
            position = length - 1;
    };
    wrap(readPosA);
    wrap(readPosB);
    return output;
}
