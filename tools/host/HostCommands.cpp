#include "HostCommands.h"

#include <cmath>
#include <vector>

#include "AudioStreamer.h"
#include "EditorWindow.h"
#include "EffectReport.h"
#include "PluginHost.h"
#include "Validator.h"

namespace {

constexpr int exitFailed = 1;
constexpr int exitUsage = 2;

// The options shared by the commands that run an effect.
struct HostSettings {
    double sampleRate = 44100.0;
    VstInt32 blockSize = 1024;
    double tempo = 120.0;
};

bool readHostSettings(const Arguments& arguments, HostSettings& settings, std::string& error)
{
    return arguments.readNumber("--rate", 1.0, 1000000.0, settings.sampleRate, error) &&
           arguments.readInt("--block", 1, 1048576, settings.blockSize, error) &&
           arguments.readNumber("--tempo", 1.0, 1000.0, settings.tempo, error);
}

void applyHostSettings(PluginHost& host, const HostSettings& settings)
{
    host.setSampleRate(float(settings.sampleRate));
    host.setBlockSize(settings.blockSize);
    host.setTempo(settings.tempo);
}

} // namespace

const HostCommands::Command HostCommands::commands[] = {
    {"info", "info [DLL] [--rate HZ] [--block N] [--tempo BPM]", {"--rate", "--block", "--tempo"}, &info},
    {"render",
     "render IN.f32 OUT.f32 [--dll DLL] [--block N] [--rate HZ] [--tempo BPM]\n"
     "                        [--tail SECONDS] [INDEX=VALUE ...]",
     {"--dll", "--rate", "--block", "--tempo", "--tail"},
     &render},
    {"editor", "editor [DLL] [--seconds S] [--shot FILE.bmp] [--rate HZ] [--block N] [--tempo BPM]",
     {"--seconds", "--shot", "--rate", "--block", "--tempo"},
     &editor},
    {"validate", "validate [DLL] [--seed N] [--fuzz-calls N] [--editor-cycles N] [--check NAME]",
     {"--seed", "--fuzz-calls", "--editor-cycles", "--check"},
     &validate},
};

int HostCommands::run(int argc, char** argv)
{
    if (argc < 2) {
        printUsage(stderr);
        return exitUsage;
    }
    std::string name = argv[1];
    if (name == "-h" || name == "--help" || name == "help") {
        printUsage(stdout);
        return 0;
    }
    for (const Command& command : commands) {
        if (name != command.name)
            continue;
        Arguments arguments;
        std::string error;
        if (!arguments.parse(argc - 2, argv + 2, command.options, error))
            return usageError(error);
        if (arguments.wantsHelp()) {
            std::printf("usage: backtwister-host %s\n", command.usage);
            return 0;
        }
        return command.handler(arguments);
    }
    return usageError("unknown command \"" + name + "\" (try --help)");
}

void HostCommands::printUsage(std::FILE* out)
{
    const char* lead = "usage:";
    for (const Command& command : commands) {
        std::fprintf(out, "%-6s backtwister-host %s\n", lead, command.usage);
        lead = "";
    }
    std::fprintf(out,
                 "Loads a VST 2.x effect DLL like a host. info prints its identity, parameters and\n"
                 "capabilities; render streams raw interleaved 32-bit float stereo through it;\n"
                 "editor opens its editor in a window, for S seconds or until closed.\n"
                 "DLL defaults to BACKTWISTER.dll beside this program; HZ 44100, N 1024, BPM 120.\n");
}

int HostCommands::fail(const std::string& message)
{
    std::fprintf(stderr, "backtwister-host: %s\n", message.c_str());
    return exitFailed;
}

int HostCommands::usageError(const std::string& message)
{
    std::fprintf(stderr, "backtwister-host: %s\n", message.c_str());
    return exitUsage;
}

std::string HostCommands::defaultPlugin()
{
    return Platform::programFolder() + "BACKTWISTER.dll";
}

bool HostCommands::onePlugin(const Arguments& arguments, const char* command, std::string& path, std::string& error)
{
    const auto& words = arguments.positional();
    if (words.size() > 1) {
        error = std::string(command) + " takes one DLL, not " + std::to_string(words.size());
        return false;
    }
    path = words.empty() ? defaultPlugin() : words[0];
    return true;
}

int HostCommands::info(const Arguments& arguments)
{
    HostSettings settings;
    std::string error;
    if (!readHostSettings(arguments, settings, error))
        return usageError(error);
    std::string path;
    if (!onePlugin(arguments, "info", path, error))
        return usageError(error);

    PluginHost host;
    applyHostSettings(host, settings);
    if (!host.load(path, error))
        return fail(error);
    host.start();
    std::printf("file:           %s\n", path.c_str());
    EffectReport(host).print(stdout);
    host.stop();
    return 0;
}

int HostCommands::render(const Arguments& arguments)
{
    HostSettings settings;
    double tailSeconds = 0.0;
    std::string error;
    if (!readHostSettings(arguments, settings, error) ||
        !arguments.readNumber("--tail", 0.0, 3600.0, tailSeconds, error))
        return usageError(error);
    const auto& words = arguments.positional();
    if (words.size() < 2)
        return usageError("render needs an input and an output file (try --help)");
    std::vector<ParameterSetting> parameters;
    for (std::size_t i = 2; i < words.size(); ++i) {
        ParameterSetting setting{};
        if (!Arguments::parseSetting(words[i], setting, error))
            return usageError(error);
        parameters.push_back(setting);
    }
    std::string path = defaultPlugin();
    arguments.readText("--dll", path);

    PluginHost host;
    applyHostSettings(host, settings);
    if (!host.load(path, error))
        return fail(error);
    for (const ParameterSetting& setting : parameters)
        if (setting.index >= host.record().numParams)
            return fail("parameter index " + std::to_string(setting.index) + " is out of range: the effect has " +
                        std::to_string(host.record().numParams) + " parameters");
    if (host.record().numOutputs < 1)
        return fail("the effect has no outputs");

    std::FILE* input = std::fopen(words[0].c_str(), "rb");
    if (!input)
        return fail("cannot open the input file: " + words[0]);
    std::FILE* output = std::fopen(words[1].c_str(), "wb");
    if (!output) {
        std::fclose(input);
        return fail("cannot create the output file: " + words[1]);
    }
    host.start();
    for (const ParameterSetting& setting : parameters)
        host.setParameter(setting.index, setting.value);
    AudioStreamer streamer(host, settings.blockSize);
    bool done = streamer.run(input, output, std::llround(tailSeconds * settings.sampleRate), error);
    host.stop();
    std::fclose(input);
    if (std::fclose(output) != 0 && done) {
        done = false;
        error = "cannot write the output file: " + words[1];
    }
    if (done)
        return 0;
    std::remove(words[1].c_str());
    return fail(error);
}

// Opens the editor as a host does: a top-level window sized by effEditGetRect, effEditOpen
// with its handle, effEditIdle on a timer, and effEditClose before the effect is closed.
int HostCommands::editor(const Arguments& arguments)
{
    HostSettings settings;
    double seconds = 0.0;
    std::string error;
    if (!readHostSettings(arguments, settings, error) ||
        !arguments.readNumber("--seconds", 0.0, 86400.0, seconds, error))
        return usageError(error);
    std::string path;
    if (!onePlugin(arguments, "editor", path, error))
        return usageError(error);
    std::string shot;
    arguments.readText("--shot", shot);

    PluginHost host;
    applyHostSettings(host, settings);
    if (!host.load(path, error))
        return fail(error);
    ERect* size = nullptr;
    if (!(host.record().flags & effFlagsHasEditor) || !host.dispatch(effEditGetRect, 0, 0, &size) || !size)
        return fail("the effect has no editor");
    const int width = size->right - size->left;
    const int height = size->bottom - size->top;
    if (width <= 0 || height <= 0)
        return fail("the editor reports an empty size");

    host.start();
    EditorWindow window;
    if (!window.create(host.text(effGetEffectName).c_str(), width, height, error))
        return fail(error);
    host.dispatch(effEditOpen, 0, 0, window.handle());
    window.run(seconds, 50, [&host] { host.dispatch(effEditIdle); });
    const bool shotTaken = shot.empty() || window.saveBitmap(shot, error);
    host.dispatch(effEditClose);
    window.destroy();
    host.stop();
    return shotTaken ? 0 : fail(error);
}

// Runs the validator's battery on the DLL; the exit status is 1 when any check failed.
int HostCommands::validate(const Arguments& arguments)
{
    Validator::Options options;
    VstInt32 seed = 1, fuzzCalls = VstInt32(options.fuzzCalls), editorCycles = options.warmEditorCycles;
    std::string error, path;
    if (!arguments.readInt("--seed", 0, 2147483647, seed, error) ||
        !arguments.readInt("--fuzz-calls", 100000, 2000000000, fuzzCalls, error) ||
        !arguments.readInt("--editor-cycles", 1, 1000000, editorCycles, error) ||
        !onePlugin(arguments, "validate", path, error))
        return usageError(error);
    options.seed = std::uint64_t(seed);
    options.fuzzCalls = fuzzCalls;
    options.warmEditorCycles = editorCycles;
    options.coldEditorCycles = editorCycles / 3 > 0 ? editorCycles / 3 : 1;
    arguments.readText("--check", options.only);

    ValidatorPlugin plugin;
    if (!plugin.load(path, error))
        return fail(error);
    return Validator(plugin, options).run(stdout) == 0 ? 0 : exitFailed;
}
