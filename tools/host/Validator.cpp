#include "Validator.h"

#include <chrono>
#include <cstdarg>

#include "ValidatorChecks.h"
#include "ValidatorFuzz.h"
#include "ValidatorStress.h"

const Validator::Check Validator::checks[] = {
    {"main and record", &ValidatorChecks::mainAndRecord},
    {"version resource", &ValidatorChecks::versionResource},
    {"identity texts", &ValidatorChecks::identityTexts},
    {"parameter values and texts", &ValidatorChecks::parameterTexts},
    {"program switched and restored", &ValidatorChecks::programSwitch},
    {"sample rates and block sizes", &ValidatorChecks::ratesAndBlockSizes},
    {"same output in any block size", &ValidatorChecks::blockSizeIndependence},
    {"input signals", &ValidatorChecks::inputSignals},
    {"in-place processing", &ValidatorChecks::inPlace},
    {"process adds to the outputs", &ValidatorChecks::accumulating},
    {"automation from a second thread", &ValidatorStress::automation},
    {"editor opened cold", &ValidatorStress::coldEditor},
    {"editor opened warm", &ValidatorStress::warmEditor},
    {"host window destroyed before effEditClose", &ValidatorStress::windowDestroyedFirst},
    {"dispatcher fuzz", &ValidatorFuzz::dispatcherFuzz},
    {"random host", &ValidatorFuzz::randomHost},
};

std::string Validator::format(const char* pattern, ...)
{
    char text[512];
    va_list arguments;
    va_start(arguments, pattern);
    std::vsnprintf(text, sizeof text, pattern, arguments);
    va_end(arguments);
    return text;
}

// A check that crashes the process leaves its RUN line as the last one printed.
int Validator::run(std::FILE* out, Listener* listener)
{
    std::fprintf(out, "validating %s: %d-bit, seed %llu, %lld fuzz calls\n", plugin.path().c_str(),
                 int(sizeof(void*) * 8), static_cast<unsigned long long>(options.seed), options.fuzzCalls);
    int passed = 0, failed = 0, skipped = 0;
    for (const Check& check : checks) {
        if (std::string(check.name).find(options.only) == std::string::npos)
            continue;
        std::fprintf(out, "[ RUN  ] %s\n", check.name);
        std::fflush(out);
        if (listener && !listener->started(check.name))
            break;
        Context context{plugin, options, {}};
        std::string detail;
        const auto start = std::chrono::steady_clock::now();
        const bool ok = check.run(context, detail);
        const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        const Result result{check.name,
                            context.skipped ? Result::Verdict::Skip
                            : ok            ? Result::Verdict::Pass
                                            : Result::Verdict::Fail,
                            detail, context.notes, seconds};
        const char* verdict = context.skipped ? "SKIP" : ok ? "PASS" : "FAIL";
        std::fprintf(out, "[ %s ] %s: %s (%.1f s)\n", verdict, check.name, detail.c_str(), seconds);
        for (const std::string& note : context.notes)
            std::fprintf(out, "         %s\n", note.c_str());
        std::fflush(out);
        (context.skipped ? skipped : ok ? passed : failed) += 1;
        if (listener && !listener->finished(result))
            break;
    }
    if (skipped > 0)
        std::fprintf(out, "%d passed, %d failed, %d skipped\n", passed, failed, skipped);
    else
        std::fprintf(out, "%d passed, %d failed\n", passed, failed);
    return failed;
}
