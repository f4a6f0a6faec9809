#include "JunitReport.h"

#include <cstdio>
#include <ctime>

#include "OutputFile.h"
#include "Platform.h"

namespace {

std::string seconds(double value)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", value);
    return text;
}

std::string localTime()
{
    const std::time_t now = std::time(nullptr);
    char text[32] = {};
    if (const std::tm* local = std::localtime(&now))
        std::strftime(text, sizeof text, "%Y-%m-%dT%H:%M:%S", local);
    return text;
}

}  // namespace

JunitReport::JunitReport(std::string path, std::string suite,
                         std::vector<std::pair<std::string, std::string>> properties)
    : path(std::move(path)), suite(std::move(suite)), timestamp(localTime()), properties(std::move(properties))
{
}

bool JunitReport::begin() { return save(); }

bool JunitReport::started(const std::string& check)
{
    running = check;
    return save();
}

bool JunitReport::finished(const Validator::Result& result)
{
    running.clear();
    results.push_back(result);
    return save();
}

bool JunitReport::save()
{
    const std::string text = document();
    OutputFile file(path, "report file");
    return file.open(failure) && file.write(text.data(), text.size(), failure) && file.finish(failure);
}

std::string JunitReport::document() const
{
    int failures = 0, skipped = 0;
    double total = 0.0;
    for (const Validator::Result& result : results) {
        failures += result.verdict == Validator::Result::Verdict::Fail;
        skipped += result.verdict == Validator::Result::Verdict::Skip;
        total += result.seconds;
    }
    const int errors = running.empty() ? 0 : 1;
    const std::string tests = std::to_string(results.size() + std::size_t(errors));
    const std::string counts = " tests=\"" + tests + "\" failures=\"" + std::to_string(failures) + "\" errors=\"" +
                               std::to_string(errors) + "\" skipped=\"" + std::to_string(skipped) + "\" time=\"" +
                               seconds(total) + "\"";
    // CI systems take the text after the last dot of a class name as the class.
    std::string stem = suite.substr(0, suite.find_last_of('.'));
    for (char& c : stem)
        c = c == '.' ? '_' : c;
    const std::string className = "validate." + escape(stem);

    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    xml += "<testsuites name=\"backtwister-host validate\"" + counts + ">\n";
    xml += "  <testsuite name=\"" + escape(suite) + "\"" + counts + " timestamp=\"" + timestamp + "\">\n";
    xml += "    <properties>\n";
    for (const auto& [name, value] : properties)
        xml += "      <property name=\"" + escape(name) + "\" value=\"" + escape(value) + "\"/>\n";
    xml += "    </properties>\n";
    for (const Validator::Result& result : results)
        xml += testCase(result, className);
    if (!running.empty())
        xml += "    <testcase name=\"" + escape(running) + "\" classname=\"" + className +
               "\" time=\"0.000\">\n      <error type=\"unfinished\" message=\"the check did not finish: the plug-in "
               "crashed or hung the validator\"/>\n    </testcase>\n";
    xml += "  </testsuite>\n</testsuites>\n";
    return xml;
}

std::string JunitReport::testCase(const Validator::Result& result, const std::string& className)
{
    std::string lines = result.detail;
    for (const std::string& note : result.notes)
        lines += "\n" + note;
    std::string xml = "    <testcase name=\"" + escape(result.name) + "\" classname=\"" + className + "\" time=\"" +
                      seconds(result.seconds) + "\">\n";
    switch (result.verdict) {
    case Validator::Result::Verdict::Fail:
        xml += "      <failure type=\"check failed\" message=\"" + escape(result.detail) + "\">" +
               escape(lines, false) + "</failure>\n";
        break;
    case Validator::Result::Verdict::Skip:
        xml += "      <skipped message=\"" + escape(result.detail) + "\"/>\n";
        break;
    case Validator::Result::Verdict::Pass:
        xml += "      <system-out>" + escape(lines, false) + "</system-out>\n";
        break;
    }
    return xml + "    </testcase>\n";
}

std::string JunitReport::escape(const std::string& ansiText, bool attribute)
{
    std::string result;
    for (char c : Platform::toUtf8(ansiText)) {
        const auto byte = static_cast<unsigned char>(c);
        switch (c) {
        case '&':
            result += "&amp;";
            break;
        case '<':
            result += "&lt;";
            break;
        case '>':
            result += "&gt;";
            break;
        case '"':
            result += "&quot;";
            break;
        case '\'':
            result += "&apos;";
            break;
        case '\n':
            result += attribute ? "&#10;" : "\n";
            break;
        case '\r':
            result += "&#13;";
            break;
        case '\t':
            result += "&#9;";
            break;
        default:
            // XML 1.0 has no way to write the other control characters, not even as references.
            result += byte < 0x20 ? std::string("\xEF\xBF\xBD") : std::string(1, c);
        }
    }
    return result;
}
