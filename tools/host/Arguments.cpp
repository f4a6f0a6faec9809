#include "Arguments.h"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

bool toLong(const std::string& text, long& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    errno = 0;
    value = std::strtol(text.c_str(), &end, 10);
    return errno == 0 && *end == 0;
}

bool toNumber(const std::string& text, double& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    value = std::strtod(text.c_str(), &end);
    return *end == 0 && std::isfinite(value);
}

bool isListed(const std::vector<const char*>& names, const std::string& name)
{
    for (const char* listed : names)
        if (name == listed)
            return true;
    return false;
}

std::string formatNumber(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

}  // namespace

bool Arguments::parse(int count, char** list, const std::vector<const char*>& known,
                      const std::vector<const char*>& flags, std::string& error)
{
    for (int i = 0; i < count; ++i) {
        std::string word = list[i];
        if (word == "-h" || word == "--help") {
            help = true;
            continue;
        }
        if (word.size() < 3 || word.compare(0, 2, "--") != 0) {
            words.push_back(word);
            continue;
        }
        std::size_t equals = word.find('=');
        std::string name = word.substr(0, equals);
        if (isListed(flags, name)) {
            if (equals != std::string::npos) {
                error = "option " + name + " takes no value";
                return false;
            }
            flagsGiven.push_back(name);
            continue;
        }
        if (!isListed(known, name)) {
            error = "unknown option " + name;
            return false;
        }
        if (equals != std::string::npos) {
            options.emplace_back(name, word.substr(equals + 1));
        } else if (i + 1 < count) {
            options.emplace_back(name, list[++i]);
        } else {
            error = "option " + name + " needs a value";
            return false;
        }
    }
    return true;
}

bool Arguments::hasFlag(const char* name) const
{
    for (const std::string& flag : flagsGiven)
        if (flag == name)
            return true;
    return false;
}

const std::string* Arguments::find(const char* name) const
{
    const std::string* found = nullptr;  // the last one given wins
    for (const auto& option : options)
        if (option.first == name)
            found = &option.second;
    return found;
}

bool Arguments::readText(const char* name, std::string& value) const
{
    const std::string* text = find(name);
    if (text)
        value = *text;
    return text != nullptr;
}

bool Arguments::readInt(const char* name, long minimum, long maximum, VstInt32& value, std::string& error) const
{
    const std::string* text = find(name);
    if (!text)
        return true;
    long number = 0;
    if (!toLong(*text, number) || number < minimum || number > maximum) {
        error = std::string(name) + " wants a whole number from " + std::to_string(minimum) + " to " +
                std::to_string(maximum) + ", not \"" + *text + "\"";
        return false;
    }
    value = VstInt32(number);
    return true;
}

bool Arguments::readNumber(const char* name, double minimum, double maximum, double& value, std::string& error) const
{
    const std::string* text = find(name);
    if (!text)
        return true;
    double number = 0.0;
    if (!toNumber(*text, number) || number < minimum || number > maximum) {
        error = std::string(name) + " wants a number from " + formatNumber(minimum) + " to " + formatNumber(maximum) +
                ", not \"" + *text + "\"";
        return false;
    }
    value = number;
    return true;
}

bool Arguments::parseSetting(const std::string& word, ParameterSetting& setting, std::string& error)
{
    std::size_t equals = word.find('=');
    long index = -1;
    double value = 0.0;
    bool digitsOnly = equals != 0 && equals != std::string::npos && word.find_first_not_of("0123456789") == equals;
    if (!digitsOnly || !toLong(word.substr(0, equals), index) || index > 0x7fffffffL) {
        error = "parameter setting \"" + word + "\" is not INDEX=VALUE (for example 0=1)";
        return false;
    }
    if (!toNumber(word.substr(equals + 1), value) || value < 0.0 || value > 1.0) {
        error = "parameter value in \"" + word + "\" must be a number from 0 to 1";
        return false;
    }
    setting = {VstInt32(index), float(value)};
    return true;
}
