// The words after the command name: options given as "--name VALUE" or "--name=VALUE",
// and the positional words in order. Typed reads check the text and its range.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "host/VstInterface.h"

// One "INDEX=VALUE" word of the command line.
struct ParameterSetting {
    VstInt32 index;
    float value;
};

class Arguments {
public:
    // Every option named in `known` takes a value, every one in `flags` none; "-h" and
    // "--help" are flags of every command.
    bool parse(int count, char** words, const std::vector<const char*>& known, const std::vector<const char*>& flags,
               std::string& error);

    const std::vector<std::string>& positional() const { return words; }
    bool wantsHelp() const { return help; }
    bool hasFlag(const char* name) const;

    // Leave `value` as it is when the option is absent.
    bool readText(const char* name, std::string& value) const;
    bool readInt(const char* name, long minimum, long maximum, VstInt32& value, std::string& error) const;
    bool readNumber(const char* name, double minimum, double maximum, double& value, std::string& error) const;

    // "INDEX=VALUE" with a non-negative whole index and a value from 0 to 1.
    static bool parseSetting(const std::string& word, ParameterSetting& setting, std::string& error);

private:
    const std::string* find(const char* name) const;

    std::vector<std::pair<std::string, std::string>> options;
    std::vector<std::string> words;
    std::vector<std::string> flagsGiven;
    bool help = false;
};
