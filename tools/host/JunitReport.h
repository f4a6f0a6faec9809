// The validator's results as a JUnit XML report, the format CI systems display: one test case
// per check with its time, and for a failed check its failure message. The file is written
// whole at the start and after every check, and while a check runs it stands in the file as
// an error, so a plug-in that crashes the validator or hangs it leaves a true report behind.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include "Validator.h"

class JunitReport : public Validator::Listener {
public:
    // `suite` names the run (the DLL); `properties` are shown with it (seed, bitness, ...).
    JunitReport(std::string path, std::string suite, std::vector<std::pair<std::string, std::string>> properties);

    // Writes the empty report, so that an unwritable file is known before the checks run.
    bool begin();
    bool started(const std::string& check) override;
    bool finished(const Validator::Result& result) override;

    // Why the file could not be written; the file is removed then.
    const std::string& error() const { return failure; }

private:
    // XML text of an ANSI text; an attribute value keeps its line ends as references.
    static std::string escape(const std::string& ansiText, bool attribute = true);
    bool save();
    std::string document() const;
    static std::string testCase(const Validator::Result& result, const std::string& className);

    std::string path, suite, timestamp;
    std::vector<std::pair<std::string, std::string>> properties;
    std::vector<Validator::Result> results;
    std::string running;  // the check under way, if any
    std::string failure;
};
