// The validator's single-threaded checks: the record, the version resource, the texts, the
// programs and the audio entries under every rate, block size and input signal.
#pragma once

#include <optional>
#include <string>

#include "Validator.h"

class ValidatorChecks {
public:
    static bool mainAndRecord(Validator::Context& context, std::string& detail);
    static bool versionResource(Validator::Context& context, std::string& detail);
    static bool identityTexts(Validator::Context& context, std::string& detail);
    static bool parameterTexts(Validator::Context& context, std::string& detail);
    static bool programSwitch(Validator::Context& context, std::string& detail);
    static bool ratesAndBlockSizes(Validator::Context& context, std::string& detail);
    static bool blockSizeIndependence(Validator::Context& context, std::string& detail);
    static bool inputSignals(Validator::Context& context, std::string& detail);
    static bool inPlace(Validator::Context& context, std::string& detail);
    static bool accumulating(Validator::Context& context, std::string& detail);

    // The text an opcode writes into a buffer watched for overruns: nullopt when nothing was
    // written; a problem is added when it wrote more than `limit` bytes (terminator included)
    // or anything unprintable.
    static std::optional<std::string> askText(AEffect* effect, VstInt32 opcode, VstInt32 index, std::size_t limit,
                                              std::vector<std::string>& problems);
    // "a, b and c" of the first few problems, with the count of the rest.
    static std::string summary(const std::vector<std::string>& problems);
};
