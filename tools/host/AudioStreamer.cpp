#include "AudioStreamer.h"

#include <algorithm>

namespace {
constexpr std::size_t frameBytes = 2 * sizeof(float);
}

AudioStreamer::AudioStreamer(PluginHost& host, VstInt32 blockSize)
    : host(host), blockSize(blockSize), interleaved(2 * std::size_t(blockSize)),
      inputs(std::size_t(std::max(2, host.record().numInputs)), std::vector<float>(std::size_t(blockSize))),
      outputs(std::size_t(std::max(2, host.record().numOutputs)), std::vector<float>(std::size_t(blockSize)))
{
    for (auto& channel : inputs)
        inputPointers.push_back(channel.data());
    for (auto& channel : outputs)
        outputPointers.push_back(channel.data());
}

bool AudioStreamer::run(std::FILE* input, OutputFile& output, long long tailFrames, std::string& error)
{
    const std::size_t blockBytes = frameBytes * std::size_t(blockSize);
    auto* bytes = reinterpret_cast<unsigned char*>(interleaved.data());
    for (;;) {
        // Fill a whole block unless the input ends, so block sizes are those asked for.
        std::size_t got = 0;
        while (got < blockBytes) {
            std::size_t n = std::fread(bytes + got, 1, blockBytes - got, input);
            if (n == 0)
                break;
            got += n;
        }
        if (std::ferror(input)) {
            error = "cannot read the input audio";
            return false;
        }
        if (got % frameBytes != 0) {
            error = "the input is not raw 32-bit float stereo: it ends inside a frame";
            return false;
        }
        if (got > 0 && !processBlock(VstInt32(got / frameBytes), output, error))
            return false;
        if (got < blockBytes)
            break;
    }
    while (tailFrames > 0) {
        auto frames = VstInt32(std::min<long long>(tailFrames, blockSize));
        std::fill(interleaved.begin(), interleaved.begin() + 2 * frames, 0.0f);
        if (!processBlock(frames, output, error))
            return false;
        tailFrames -= frames;
    }
    return true;
}

bool AudioStreamer::processBlock(VstInt32 frames, OutputFile& output, std::string& error)
{
    for (VstInt32 i = 0; i < frames; ++i) {
        inputs[0][i] = interleaved[2 * i];
        inputs[1][i] = interleaved[2 * i + 1];
    }
    host.process(inputPointers.data(), outputPointers.data(), frames);
    for (VstInt32 i = 0; i < frames; ++i) {
        interleaved[2 * i] = outputs[0][i];
        interleaved[2 * i + 1] = outputs[1][i];
    }
    if (!output.write(interleaved.data(), frameBytes * std::size_t(frames), error))
        return false;
    written += frames;
    if (progress)
        progress->update(written);
    return true;
}
