// Prints what a host learns about an effect: identity, record, program, parameters, pins and
// the answers to the published capability questions.
#pragma once

#include <cstdio>

#include "PluginHost.h"

class EffectReport {
public:
    explicit EffectReport(PluginHost& host) : host(host) {}

    // The effect must be started.
    void print(std::FILE* out);

private:
    void printIdentity(std::FILE* out);
    void printRecord(std::FILE* out);
    void printParameters(std::FILE* out);
    void printPins(std::FILE* out);
    void printCapabilities(std::FILE* out);

    PluginHost& host;
};
