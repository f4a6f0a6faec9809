// The `validate` command: a battery of checks modelled on what strict plug-in validators do,
// run through the real DLL, and a report with one line per check and a summary line.
#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "ValidatorPlugin.h"

class Validator {
public:
    struct Options {
        std::uint64_t seed = 1;
        long long fuzzCalls = 100000;
        int warmEditorCycles = 300;
        int coldEditorCycles = 100;
        std::string only;  // runs just the checks whose names contain this, when not empty
    };

    // What every check is handed: the plug-in, the options, and lines to print under its result.
    struct Context {
        ValidatorPlugin& plugin;
        const Options& options;
        std::vector<std::string> notes;
        bool skipped = false;  // set by a check that does not apply to this plug-in
    };

    // What one check found.
    struct Result {
        enum class Verdict { Pass, Fail, Skip };
        std::string name;
        Verdict verdict;
        std::string detail;
        std::vector<std::string> notes;
        double seconds;
    };

    // Told of every check as it starts and ends, for a report of its own; answering false
    // stops the run.
    class Listener {
    public:
        virtual ~Listener() = default;
        virtual bool started(const std::string& check) = 0;
        virtual bool finished(const Result& result) = 0;
    };

    Validator(ValidatorPlugin& plugin, const Options& options) : plugin(plugin), options(options) {}

    // Runs every check and prints the report; answers the number of checks that failed.
    int run(std::FILE* out, Listener* listener = nullptr);

    static std::string format(const char* pattern, ...) __attribute__((format(gnu_printf, 1, 2)));

private:
    struct Check {
        const char* name;
        bool (*run)(Context& context, std::string& detail);
    };
    static const Check checks[];

    ValidatorPlugin& plugin;
    const Options& options;
};
