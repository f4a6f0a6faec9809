#include "HostCommands.h"

#include <cerrno>
#include <cmath>
#include <cstring>
#include <vector>

#include "AudioStreamer.h"
#include "EditorWindow.h"
#include "EffectReport.h"
#include "JunitReport.h"
#include "OutputFile.h"
#include "Platform.h"
#include "PluginHost.h"
#include "ProgressMeter.h"
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

// Streams the raw audio of `in` through the started effect into `out`, then the tail; false
// with the reason in error, and no partial `out` left.
bool streamFile(PluginHost& host, const std::string& in, const std::string& out, VstInt32 blockSize,
                long long tailFrames, bool showProgress, std::string& error)
{
    std::FILE* input = std::fopen(in.c_str(), "rb");
    if (!input) {
        error = "cannot open the input file: " + in + " (" + std::strerror(errno) + ")";
        return false;
    }
    OutputFile output(out, "output file");
    const long long inputBytes = Platform::fileSize(input);
    bool done = output.open(error);
    if (done) {
        ProgressMeter progress(showProgress ? stderr : nullptr, "render",
                               inputBytes < 0 ? 0
                                              : inputBytes / static_cast<long long>(2 * sizeof(float)) + tailFrames);
        AudioStreamer streamer(host, blockSize);
        streamer.showProgress(&progress);
        done = streamer.run(input, output, tailFrames, error) && output.finish(error);
        if (done)
            progress.finish();
        else
            progress.clear();
    }
    std::fclose(input);
    return done;
}

}  // namespace

const HostCommands::Command HostCommands::commands[] = {
    {"info",
     "info [DLL] [--json] [--rate HZ] [--block N] [--tempo BPM]",
     "Loads the effect like a host and prints its identity, record, program, parameters, pins\n"
     "and its answer to every published capability question.\n"
     "  --json        the same facts as one JSON object\n"
     "  --rate HZ     sample rate set before the questions (default 44100)\n"
     "  --block N     block size set before the questions (default 1024)\n"
     "  --tempo BPM   tempo the host reports (default 120)\n",
     {"--rate", "--block", "--tempo"},
     {"--json"},
     &info},
    {"render",
     "render IN.f32 OUT.f32 [--dll DLL] [--block N] [--rate HZ] [--tempo BPM]\n"
     "                        [--tail SECONDS] [--quiet | --progress] [INDEX=VALUE ...]",
     "Streams raw interleaved 32-bit float stereo from IN through the effect into OUT, block by\n"
     "block, then SECONDS of silence. INDEX=VALUE sets a parameter (0 to 1) after resume.\n"
     "  --dll DLL       the plug-in (default BACKTWISTER.dll beside this program)\n"
     "  --block N       frames per processReplacing call (default 1024)\n"
     "  --rate HZ       sample rate (default 44100)\n"
     "  --tempo BPM     tempo the host reports (default 120)\n"
     "  --tail SECONDS  silence processed after IN (default 0)\n"
     "  --quiet         no progress line\n"
     "  --progress      a progress line on stderr even when it is not a terminal\n"
     "On a terminal a progress line with the time left is shown on stderr.\n",
     {"--dll", "--rate", "--block", "--tempo", "--tail"},
     {"--quiet", "--progress"},
     &render},
    {"editor",
     "editor [DLL] [--seconds S] [--shot FILE.bmp] [--rate HZ] [--block N] [--tempo BPM]",
     "Opens the effect's editor in a window as a host does (effEditGetRect, effEditOpen,\n"
     "effEditIdle every 50 ms, effEditClose) until the window is closed or for S seconds.\n"
     "  --seconds S     close it after S seconds (default: when the window is closed)\n"
     "  --shot FILE     save the editor's picture as a .bmp file before closing\n"
     "  --rate, --block, --tempo  as for info\n",
     {"--seconds", "--shot", "--rate", "--block", "--tempo"},
     {},
     &editor},
    {"validate",
     "validate [DLL] [--junit FILE] [--seed N] [--fuzz-calls N] [--editor-cycles N] [--check NAME]",
     "Runs the validator's battery through the DLL and prints a pass/fail line per check and a\n"
     "summary; the exit status is 1 when a check failed.\n"
     "  --junit FILE        also write a JUnit XML report: one test case per check\n"
     "  --seed N            seed of the random inputs, fuzz calls and host answers (default 1)\n"
     "  --fuzz-calls N      dispatcher calls of the fuzz check (default 100000)\n"
     "  --editor-cycles N   editor open/close cycles (default 300)\n"
     "  --check NAME        only the checks whose names contain NAME\n",
     {"--seed", "--fuzz-calls", "--editor-cycles", "--check", "--junit"},
     {},
     &validate},
};

int HostCommands::run(int argc, char** argv)
{
    const int status = runCommand(argc, argv);
    // A report on a full disk must not pass for a written one.
    if (std::fflush(stdout) != 0 || std::ferror(stdout)) {
        std::fprintf(stderr, "backtwister-host: cannot write the standard output (%s)\n", std::strerror(errno));
        return status == 0 ? exitFailed : status;
    }
    return status;
}

int HostCommands::runCommand(int argc, char** argv)
{
    if (argc < 2) {
        printUsage(stderr);
        return exitUsage;
    }
    std::string name = argv[1];
    if (name == "-h" || name == "--help") {
        printUsage(stdout);
        return 0;
    }
    if (name == "--version" || name == "-V") {
        std::printf("backtwister-host %s (%d-bit)\n", BACKTWISTER_VERSION, int(sizeof(void*) * 8));
        return 0;
    }
    if (name == "help") {
        if (argc < 3) {
            printUsage(stdout);
            return 0;
        }
        const Command* command = find(argv[2]);
        if (!command)
            return usageError("no such command: \"" + std::string(argv[2]) + "\" (try --help)");
        printHelp(*command);
        return 0;
    }
    const Command* command = find(name);
    if (!command)
        return usageError("unknown command \"" + name + "\" (try --help)");
    Arguments arguments;
    std::string error;
    if (!arguments.parse(argc - 2, argv + 2, command->options, command->flags, error))
        return usageError(error);
    if (arguments.wantsHelp()) {
        printHelp(*command);
        return 0;
    }
    return command->handler(arguments);
}

const HostCommands::Command* HostCommands::find(const std::string& name)
{
    for (const Command& command : commands)
        if (name == command.name)
            return &command;
    return nullptr;
}

void HostCommands::printUsage(std::FILE* out)
{
    const char* lead = "usage:";
    for (const Command& command : commands) {
        std::fprintf(out, "%-6s backtwister-host %s\n", lead, command.usage);
        lead = "";
    }
    std::fprintf(out, "       backtwister-host help COMMAND | COMMAND --help | --version\n"
                      "Loads a VST 2.x effect DLL like a host. info prints its identity, parameters and\n"
                      "capabilities; render streams raw interleaved 32-bit float stereo through it;\n"
                      "editor opens its editor in a window, for S seconds or until closed; validate runs\n"
                      "the validator's battery. DLL defaults to BACKTWISTER.dll beside this program.\n");
}

void HostCommands::printHelp(const Command& command)
{
    std::printf("usage: backtwister-host %s\n\n%s", command.usage, command.help);
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

std::string HostCommands::defaultPlugin() { return Platform::programFolder() + "BACKTWISTER.dll"; }

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
    const EffectReport report(host);
    host.stop();
    if (arguments.hasFlag("--json")) {
        report.printJson(stdout, path);
    } else {
        std::printf("file:           %s\n", path.c_str());
        report.print(stdout);
    }
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

    const bool showProgress =
        !arguments.hasFlag("--quiet") && (arguments.hasFlag("--progress") || Platform::isTerminal(stderr));
    host.start();
    for (const ParameterSetting& setting : parameters)
        host.setParameter(setting.index, setting.value);
    const bool done = streamFile(host, words[0], words[1], settings.blockSize,
                                 std::llround(tailSeconds * settings.sampleRate), showProgress, error);
    host.stop();
    return done ? 0 : fail(error);
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
    std::string junitPath;
    arguments.readText("--junit", junitPath);

    ValidatorPlugin plugin;
    if (!plugin.load(path, error))
        return fail(error);
    if (junitPath.empty())
        return Validator(plugin, options).run(stdout) == 0 ? 0 : exitFailed;

    const std::size_t slash = path.find_last_of("\\/");
    JunitReport report(junitPath, slash == std::string::npos ? path : path.substr(slash + 1),
                       {{"plugin", path},
                        {"bits", std::to_string(sizeof(void*) * 8)},
                        {"seed", std::to_string(options.seed)},
                        {"fuzz calls", std::to_string(options.fuzzCalls)}});
    if (!report.begin())
        return fail(report.error());
    const int failed = Validator(plugin, options).run(stdout, &report);
    if (!report.error().empty())
        return fail(report.error());
    return failed == 0 ? 0 : exitFailed;
}
