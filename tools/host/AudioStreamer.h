// Streams raw interleaved 32-bit float stereo from one file through the effect into another,
// block by block, then a tail of silence so the effect's delayed output comes out too.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "PluginHost.h"

class AudioStreamer {
public:
    AudioStreamer(PluginHost& host, VstInt32 blockSize);

    // The effect must be started. False with a one-line reason in error.
    bool run(std::FILE* input, std::FILE* output, long long tailFrames, std::string& error);
    long long framesWritten() const { return written; }

private:
    // Runs frames from `interleaved` through the effect and writes them out.
    bool processBlock(VstInt32 frames, std::FILE* output, std::string& error);

    PluginHost& host;
    VstInt32 blockSize;
    std::vector<float> interleaved;
    // At least two each; extra inputs stay silent, extra outputs are not written out.
    std::vector<std::vector<float>> inputs, outputs;
    std::vector<float*> inputPointers, outputPointers;
    long long written = 0;
};
