// Streams raw interleaved 32-bit float stereo from one file through the effect into another,
// block by block, then a tail of silence so the effect's delayed output comes out too.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "OutputFile.h"
#include "PluginHost.h"
#include "ProgressMeter.h"

class AudioStreamer {
public:
    AudioStreamer(PluginHost& host, VstInt32 blockSize);

    // The effect must be started; the output is open, and left for the caller to finish. False
    // with a one-line reason in error.
    bool run(std::FILE* input, OutputFile& output, long long tailFrames, std::string& error);
    long long framesWritten() const { return written; }
    // Told the frames written after each block; none by default.
    void showProgress(ProgressMeter* meter) { progress = meter; }

private:
    // Runs frames from `interleaved` through the effect and writes them out.
    bool processBlock(VstInt32 frames, OutputFile& output, std::string& error);

    PluginHost& host;
    VstInt32 blockSize;
    std::vector<float> interleaved;
    // At least two each; extra inputs stay silent, extra outputs are not written out.
    std::vector<std::vector<float>> inputs, outputs;
    std::vector<float*> inputPointers, outputPointers;
    long long written = 0;
    ProgressMeter* progress = nullptr;
};
