#include "ValidatorAudio.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <limits>

namespace {

std::uint32_t bitsOf(float x)
{
    std::uint32_t bits;
    std::memcpy(&bits, &x, sizeof bits);
    return bits;
}

float fromBits(std::uint32_t bits)
{
    float x;
    std::memcpy(&x, &bits, sizeof x);
    return x;
}

}  // namespace

const char* ValidatorAudio::name(Signal signal)
{
    switch (signal) {
    case Signal::Silence:
        return "silence";
    case Signal::Denormals:
        return "denormals";
    case Signal::Impulses:
        return "impulses";
    case Signal::Nyquist:
        return "Nyquist";
    case Signal::Noise:
        return "full-scale noise";
    case Signal::NonFiniteBursts:
        return "NaN/infinity bursts";
    }
    return "?";
}

ValidatorAudio::ValidatorAudio(const AEffect* effect, int maxFrames)
    : capacity(maxFrames),
      inputChannels(std::size_t(std::max(2, effect->numInputs)), std::vector<float>(std::size_t(maxFrames))),
      outputChannels(std::size_t(std::max(2, effect->numOutputs)), std::vector<float>(std::size_t(maxFrames)))
{
    for (auto& channel : inputChannels)
        inputPointers.push_back(channel.data());
    for (auto& channel : outputChannels)
        outputPointers.push_back(channel.data());
}

void ValidatorAudio::fill(Signal signal, ValidatorRandom& random, long long position, int frames)
{
    const float infinity = std::numeric_limits<float>::infinity();
    const float nonFinite[] = {std::numeric_limits<float>::quiet_NaN(), infinity, -infinity,
                               fromBits(0xffc00001u)};  // a NaN with the sign bit and a payload
    for (std::size_t c = 0; c < inputChannels.size(); ++c) {
        float* x = inputChannels[c].data();
        for (int i = 0; i < frames; ++i) {
            const long long t = position + i;
            switch (signal) {
            case Signal::Silence:
                x[i] = 0.0f;
                break;
            case Signal::Denormals:
                // Any subnormal magnitude, either sign.
                x[i] = fromBits(std::uint32_t(random.between(1, 0x007fffff)) | (random.chance(50) ? 0x80000000u : 0u));
                break;
            case Signal::Impulses:
                x[i] = t % 4410 == static_cast<long long>(c) ? 1.0f : 0.0f;
                break;
            case Signal::Nyquist:
                x[i] = (t + static_cast<long long>(c)) % 2 == 0 ? 1.0f : -1.0f;
                break;
            case Signal::Noise:
                x[i] = random.unit() * 2.0f - 1.0f;
                break;
            case Signal::NonFiniteBursts:
                // Noise with a burst of 64 non-finite samples every 4096 frames.
                x[i] = t % 4096 < 64 ? nonFinite[random.between(0, 3)] : random.unit() * 2.0f - 1.0f;
                break;
            }
        }
    }
}

void ValidatorAudio::copyIn(const std::vector<std::vector<float>>& source, long long position, int frames)
{
    for (std::size_t c = 0; c < inputChannels.size(); ++c) {
        const std::vector<float>& from = source[c % source.size()];
        std::copy(from.begin() + position, from.begin() + position + frames, inputChannels[c].begin());
    }
}

void ValidatorAudio::fillOutputs(float value)
{
    for (auto& channel : outputChannels)
        std::fill(channel.begin(), channel.end(), value);
}

void ValidatorAudio::process(AEffect* effect, int frames, bool replacing)
{
    if (replacing)
        effect->processReplacing(effect, inputs(), outputs(), frames);
    else
        effect->process(effect, inputs(), outputs(), frames);
}

void ValidatorAudio::processInPlace(AEffect* effect, int frames)
{
    // Shared channels are the outputs; inputs beyond the outputs keep their own buffers.
    std::vector<float*> shared = inputPointers;
    for (std::size_t c = 0; c < outputChannels.size() && c < inputChannels.size(); ++c) {
        std::copy(inputChannels[c].begin(), inputChannels[c].begin() + frames, outputChannels[c].begin());
        shared[c] = outputPointers[c];
    }
    effect->processReplacing(effect, shared.data(), outputs(), frames);
}

void ValidatorAudio::inspect(int frames, Findings& findings) const
{
    findings.frames += frames;
    for (const auto& channel : outputChannels) {
        for (int i = 0; i < frames; ++i) {
            const float y = channel[std::size_t(i)];
            findings.nonFinite += !isFinite(y);
            findings.subnormal += isSubnormal(y);
            findings.nonZero += bitsOf(y) << 1 != 0;
        }
    }
}

bool ValidatorAudio::isFinite(float x) { return (bitsOf(x) & 0x7f800000u) != 0x7f800000u; }

bool ValidatorAudio::isSubnormal(float x)
{
    const std::uint32_t bits = bitsOf(x);
    return (bits & 0x7f800000u) == 0 && (bits & 0x007fffffu) != 0;
}
