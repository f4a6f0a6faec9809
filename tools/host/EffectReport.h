// What a host learns about an effect: identity, record, program, parameters, pins and the
// answers to the published capability questions; gathered once, printed as text or JSON.
#pragma once

#include <cstdio>
#include <string>
#include <vector>

#include "PluginHost.h"

class EffectReport {
public:
    // The effect must be started; every question is asked here, in the order of the text.
    explicit EffectReport(PluginHost& host);

    void print(std::FILE* out) const;
    // One JSON object with the same facts; `file` is the DLL's path.
    void printJson(std::FILE* out, const std::string& file) const;

private:
    struct Parameter {
        std::string name, display, label;
        double value;
    };
    struct Pin {
        const char* side;  // "input" or "output"
        VstInt32 index;
        std::string label;
        bool active, stereo;
    };
    struct Answer {
        const char* capability;
        long long answer;
    };

    void gatherIdentity(PluginHost& host);
    void gatherRecord(PluginHost& host);
    void gatherParameters(PluginHost& host);
    void gatherPins(PluginHost& host);
    void gatherCapabilities(PluginHost& host);

    std::string name, vendor, product, categoryName, uniqueIdText, programName;
    long long vendorVersion = 0, category = 0, vstVersion = 0, version = 0, inputs = 0, outputs = 0;
    long long initialDelay = 0, tailSize = 0, programs = 0, program = 0;
    std::uint32_t uniqueId = 0, flags = 0;
    std::vector<std::string> flagNames;
    std::vector<Parameter> parameters;
    std::vector<Pin> pins;
    std::vector<Answer> answers;
};
