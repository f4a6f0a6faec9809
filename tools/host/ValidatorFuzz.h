// The validator's fuzz: random dispatcher calls with valid buffers behind every pointer,
// mixed with audio and parameter calls, and a host that answers every request at random.
#pragma once

#include <string>

#include "Validator.h"
#include "ValidatorAudio.h"

class ValidatorFuzz {
public:
    static bool dispatcherFuzz(Validator::Context& context, std::string& detail);
    static bool randomHost(Validator::Context& context, std::string& detail);

private:
    struct Tally {
        long long calls = 0;
        long long recreated = 0;
        long long editorOpens = 0;
        long long secondOpens = 0;
        long long audioBlocks = 0;
        long long parameterCalls = 0;
        ValidatorAudio::Findings findings;
    };

    // `count` random dispatcher calls on `effect`, which is remade after every effClose and may
    // be null afterwards if main refuses; the editor opens in `window` (if not null).
    static void run(ValidatorPlugin& plugin, ValidatorPlugin::Host host, AEffect*& effect, std::uint64_t seed,
                    long long count, void* window, Tally& tally);
};
