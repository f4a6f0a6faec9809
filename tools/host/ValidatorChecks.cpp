#include "ValidatorChecks.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <memory>

#include "ValidatorAudio.h"
#include "ValidatorPlatform.h"

namespace {

// Text limits of the interface, terminator included.
constexpr std::size_t paramTextLimit = 9;
constexpr std::size_t programNameLimit = 25;
constexpr std::size_t effectNameLimit = 33;
constexpr std::size_t vendorTextLimit = 65;

constexpr float rates[] = {22050.0f, 44100.0f, 48000.0f, 88200.0f, 96000.0f, 176400.0f, 192000.0f};
constexpr int blockSizes[] = {1, 2, 3, 16, 64, 100, 512, 1024, 2048, 4096, 8192};
constexpr int largestBlock = 8192;

// An effect that is closed when it goes out of scope.
struct Effect {
    explicit Effect(ValidatorPlugin& plugin) : record(plugin.create()) {}
    ~Effect() { ValidatorPlugin::close(record); }
    Effect(const Effect&) = delete;
    Effect& operator=(const Effect&) = delete;
    AEffect* record;
};

std::string lowercase(std::string text)
{
    for (char& c : text)
        c = char(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

std::string baseName(const std::string& path)
{
    const std::size_t slash = path.find_last_of("\\/");
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string findingsText(const ValidatorAudio::Findings& findings)
{
    return Validator::format("%lld frames, %lld non-finite and %lld subnormal output samples", findings.frames,
                             findings.nonFinite, findings.subnormal);
}

// Three seconds of noise, the same for every effect that reads it.
std::vector<std::vector<float>> noiseChannels(const AEffect* effect, std::uint64_t seed, int frames)
{
    ValidatorRandom random(seed);
    std::vector<std::vector<float>> channels(std::size_t(std::max(2, effect->numInputs)),
                                             std::vector<float>(std::size_t(frames)));
    for (auto& channel : channels)
        for (float& x : channel)
            x = random.unit() * 2.0f - 1.0f;
    return channels;
}

// The first frame at which two runs differ by more than `tolerance`, or -1.
long long firstDifference(const std::vector<std::vector<float>>& a, const std::vector<std::vector<float>>& b,
                          float tolerance)
{
    for (std::size_t c = 0; c < a.size() && c < b.size(); ++c)
        for (std::size_t i = 0; i < a[c].size() && i < b[c].size(); ++i)
            if (!(std::fabs(a[c][i] - b[c][i]) <= tolerance))
                return static_cast<long long>(i);
    return -1;
}

// Runs prepared input through an effect in the block sizes `nextBlock` chooses; answers every
// output channel in full.
template <typename NextBlock>
std::vector<std::vector<float>> render(AEffect* effect, const std::vector<std::vector<float>>& input,
                                       NextBlock nextBlock, ValidatorAudio::Findings& findings)
{
    ValidatorAudio audio(effect, largestBlock);
    const long long frames = static_cast<long long>(input[0].size());
    std::vector<std::vector<float>> output(std::size_t(std::max(2, effect->numOutputs)));
    for (long long done = 0; done < frames;) {
        const int block = int(std::min<long long>(nextBlock(), frames - done));
        audio.copyIn(input, done, block);
        audio.process(effect, block);
        audio.inspect(block, findings);
        for (std::size_t c = 0; c < output.size(); ++c)
            output[c].insert(output[c].end(), audio.output(int(c)).begin(), audio.output(int(c)).begin() + block);
        done += block;
    }
    return output;
}

}  // namespace

std::string ValidatorChecks::summary(const std::vector<std::string>& problems)
{
    std::string text;
    for (std::size_t i = 0; i < problems.size() && i < 3; ++i)
        text += (i > 0 ? "; " : "") + problems[i];
    if (problems.size() > 3)
        text += Validator::format("; and %zu more", problems.size() - 3);
    return text;
}

std::optional<std::string> ValidatorChecks::askText(AEffect* effect, VstInt32 opcode, VstInt32 index, std::size_t limit,
                                                    std::vector<std::string>& problems)
{
    constexpr char sentinel = '\x7f';
    char buffer[512];
    std::memset(buffer, sentinel, sizeof buffer);
    ValidatorPlugin::dispatch(effect, opcode, index, 0, buffer);
    std::size_t written = sizeof buffer;
    while (written > 0 && buffer[written - 1] == sentinel)
        --written;
    if (written == 0)
        return std::nullopt;
    const char* end = static_cast<const char*>(std::memchr(buffer, 0, written));
    if (written > limit || !end) {
        problems.push_back(Validator::format("opcode %d index %d wrote %zu bytes, more than the %zu a host provides",
                                             opcode, index, written, limit));
        return std::nullopt;
    }
    std::string text(buffer, std::size_t(end - buffer));
    for (char c : text)
        if (static_cast<unsigned char>(c) < 0x20 || c == sentinel) {
            problems.push_back(Validator::format("opcode %d index %d wrote an unprintable character", opcode, index));
            break;
        }
    return text;
}

bool ValidatorChecks::mainAndRecord(Validator::Context& context, std::string& detail)
{
    Effect first(context.plugin), second(context.plugin);
    if (!first.record || !second.record) {
        detail = "main answered null";
        return false;
    }
    const AEffect& r = *first.record;
    std::vector<std::string> problems;
    if (!r.dispatcher || !r.process || !r.setParameter || !r.getParameter)
        problems.push_back("an entry of the record is null");
    if ((r.flags & effFlagsCanReplacing) && !r.processReplacing)
        problems.push_back("effFlagsCanReplacing without processReplacing");
    if (r.numInputs < 0 || r.numOutputs < 1 || r.numParams < 0 || r.numPrograms < 0)
        problems.push_back(Validator::format("impossible counts: %d inputs, %d outputs, %d parameters, %d programs",
                                             r.numInputs, r.numOutputs, r.numParams, r.numPrograms));
    if (!r.object)
        problems.push_back("no effect object");
    if (r.uniqueID == 0)
        problems.push_back("unique id 0");
    if (first.record == second.record || r.object == second.record->object)
        problems.push_back("two main calls gave the same effect");
    char id[5] = {};
    for (int i = 0; i < 4; ++i)
        id[i] = char((std::uint32_t(r.uniqueID) >> (24 - 8 * i)) & 0xff);
    detail = Validator::format(
        "%zu-byte record: %d inputs, %d outputs, %d parameters, %d programs, flags 0x%x, id '%s'", sizeof(AEffect),
        r.numInputs, r.numOutputs, r.numParams, r.numPrograms, unsigned(r.flags), id);
    if (!problems.empty())
        detail = summary(problems);
    return problems.empty();
}

bool ValidatorChecks::versionResource(Validator::Context& context, std::string& detail)
{
    const ValidatorPlatform::VersionInfo info = ValidatorPlatform::readVersion(context.plugin.path());
    if (!info.found) {
        detail = "the DLL has no version resource";
        return false;
    }
    const std::string numbers =
        Validator::format("%u.%u.%u", info.fileVersion[0], info.fileVersion[1], info.fileVersion[2]);
    context.notes = {"CompanyName: " + info.companyName,
                     "ProductName: " + info.productName,
                     "FileDescription: " + info.fileDescription,
                     "FileVersion: " + info.fileVersionText +
                         Validator::format(" (%s.%u)", numbers.c_str(), info.fileVersion[3]),
                     "ProductVersion: " + info.productVersionText,
                     "OriginalFilename: " + info.originalFilename};
    std::vector<std::string> problems;
    if (info.companyName.empty() || info.productName.empty() || info.fileDescription.empty())
        problems.push_back("company, product or description missing");
    if (info.fileVersionText.compare(0, numbers.size(), numbers) != 0)
        problems.push_back("the FileVersion text \"" + info.fileVersionText + "\" is not the numbers " + numbers);
    if (lowercase(info.originalFilename) != lowercase(baseName(context.plugin.path())))
        problems.push_back("OriginalFilename \"" + info.originalFilename + "\" is not the file's name");
    detail = problems.empty() ? info.productName + " " + info.fileVersionText + " by " + info.companyName
                              : summary(problems);
    return problems.empty();
}

bool ValidatorChecks::identityTexts(Validator::Context& context, std::string& detail)
{
    Effect effect(context.plugin);
    if (!effect.record) {
        detail = "main answered null";
        return false;
    }
    std::vector<std::string> problems;
    const auto name = askText(effect.record, effGetEffectName, 0, effectNameLimit, problems);
    const auto vendor = askText(effect.record, effGetVendorString, 0, vendorTextLimit, problems);
    const auto product = askText(effect.record, effGetProductString, 0, vendorTextLimit, problems);
    if (!name || name->empty())
        problems.push_back("no effect name");
    if (!vendor || vendor->empty())
        problems.push_back("no vendor");
    const VstIntPtr category = ValidatorPlugin::dispatch(effect.record, effGetPlugCategory);
    if (category < 0 || category > 11)
        problems.push_back(
            Validator::format("category %lld is not one of the interface's", static_cast<long long>(category)));
    const VstIntPtr vstVersion = ValidatorPlugin::dispatch(effect.record, effGetVstVersion);
    char unknown[] = "validatorNoSuchCapability";
    if (ValidatorPlugin::dispatch(effect.record, effCanDo, 0, 0, unknown) > 0)
        problems.push_back("canDo answers yes to a capability that does not exist");
    detail = problems.empty()
                 ? Validator::format("\"%s\" by \"%s\", product \"%s\", category %lld, interface version %lld",
                                     name->c_str(), vendor->c_str(), product ? product->c_str() : "",
                                     static_cast<long long>(category), static_cast<long long>(vstVersion))
                 : summary(problems);
    return problems.empty();
}

bool ValidatorChecks::parameterTexts(Validator::Context& context, std::string& detail)
{
    Effect effect(context.plugin);
    if (!effect.record) {
        detail = "main answered null";
        return false;
    }
    AEffect* e = effect.record;
    ValidatorRandom random(context.options.seed ^ 0x7061);
    std::vector<std::string> problems;
    std::string names;
    int values = 0;
    for (VstInt32 p = 0; p < e->numParams; ++p) {
        const auto name = askText(e, effGetParamName, p, paramTextLimit, problems);
        askText(e, effGetParamLabel, p, paramTextLimit, problems);
        names += (p > 0 ? ", \"" : "\"") + name.value_or("") + "\"";
        const VstIntPtr automatable = ValidatorPlugin::dispatch(e, effCanBeAutomated, p);
        if (automatable != 0 && automatable != 1)
            problems.push_back(Validator::format("effCanBeAutomated of parameter %d answers %lld", p,
                                                 static_cast<long long>(automatable)));
        for (int i = 0; i < 43; ++i) {
            const float value = i == 0 ? 0.0f : i == 1 ? 1.0f : i == 2 ? 0.5f : random.unit();
            e->setParameter(e, p, value);
            const float back = e->getParameter(e, p);
            if (!(std::fabs(back - value) <= 1e-6f))
                problems.push_back(
                    Validator::format("parameter %d set to %.9g reads back %.9g", p, double(value), double(back)));
            askText(e, effGetParamDisplay, p, paramTextLimit, problems);
            ++values;
        }
    }
    // Indices the effect does not have: nothing may be written past a host's buffer.
    for (VstInt32 p : {e->numParams, e->numParams + 1, -1})
        for (VstInt32 opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay})
            askText(e, opcode, p, paramTextLimit, problems);
    detail = problems.empty() ? Validator::format("%d parameters (%s), %d values set, read back and displayed",
                                                  e->numParams, names.c_str(), values)
                              : summary(problems);
    return problems.empty();
}

bool ValidatorChecks::programSwitch(Validator::Context& context, std::string& detail)
{
    Effect effect(context.plugin);
    if (!effect.record) {
        detail = "main answered null";
        return false;
    }
    AEffect* e = effect.record;
    ValidatorRandom random(context.options.seed ^ 0x7072);
    std::vector<std::string> problems;
    const VstIntPtr original = ValidatorPlugin::dispatch(e, effGetProgram);
    if (e->numPrograms > 0 && (original < 0 || original >= e->numPrograms))
        problems.push_back(
            Validator::format("current program %lld of %d", static_cast<long long>(original), e->numPrograms));
    std::vector<float> values;
    for (VstInt32 p = 0; p < e->numParams; ++p) {
        e->setParameter(e, p, random.unit());
        values.push_back(e->getParameter(e, p));
    }
    const auto name = askText(e, effGetProgramName, 0, programNameLimit, problems);

    auto expectRestored = [&](const char* after) {
        if (ValidatorPlugin::dispatch(e, effGetProgram) != original)
            problems.push_back(Validator::format("after %s the program is %lld, not %lld", after,
                                                 static_cast<long long>(ValidatorPlugin::dispatch(e, effGetProgram)),
                                                 static_cast<long long>(original)));
        for (VstInt32 p = 0; p < e->numParams; ++p)
            if (e->getParameter(e, p) != values[std::size_t(p)])
                problems.push_back(Validator::format("after %s parameter %d is %.9g, not %.9g", after, p,
                                                     double(e->getParameter(e, p)), double(values[std::size_t(p)])));
        if (askText(e, effGetProgramName, 0, programNameLimit, problems) != name)
            problems.push_back(Validator::format("after %s the program's name changed", after));
    };

    const VstInt32 programs = std::min(e->numPrograms, 128);
    for (VstInt32 q = 0; q < programs; ++q) {
        ValidatorPlugin::dispatch(e, effBeginSetProgram);
        ValidatorPlugin::dispatch(e, effSetProgram, 0, q);
        ValidatorPlugin::dispatch(e, effEndSetProgram);
        if (ValidatorPlugin::dispatch(e, effGetProgram) != q)
            problems.push_back(Validator::format("effSetProgram %d did not select it", q));
        askText(e, effGetProgramName, 0, programNameLimit, problems);
    }
    ValidatorPlugin::dispatch(e, effBeginSetProgram);
    ValidatorPlugin::dispatch(e, effSetProgram, 0, original);
    ValidatorPlugin::dispatch(e, effEndSetProgram);
    expectRestored("switching back");
    for (VstIntPtr bad : {VstIntPtr(e->numPrograms), VstIntPtr(-1), VstIntPtr(1000000)}) {
        ValidatorPlugin::dispatch(e, effSetProgram, 0, bad);
        expectRestored(Validator::format("effSetProgram %lld", static_cast<long long>(bad)).c_str());
    }
    detail =
        problems.empty()
            ? Validator::format("%d program(s) selected in turn, program %lld \"%s\" and its %d values restored, "
                                "out-of-range programs ignored",
                                programs, static_cast<long long>(original), name.value_or("").c_str(), e->numParams)
            : summary(problems);
    return problems.empty();
}

bool ValidatorChecks::ratesAndBlockSizes(Validator::Context& context, std::string& detail)
{
    Effect effect(context.plugin);
    if (!effect.record) {
        detail = "main answered null";
        return false;
    }
    ValidatorAudio audio(effect.record, largestBlock);
    ValidatorRandom random(context.options.seed ^ 0x7261);
    ValidatorAudio::Findings findings;
    long long position = 0;
    auto play = [&](int block, int frames) {
        for (int done = 0; done < frames; done += block) {
            audio.fill(ValidatorAudio::Signal::Noise, random, position, block);
            const bool replacing = random.chance(75);
            if (!replacing)
                audio.fillOutputs(0.0f);
            audio.process(effect.record, block, replacing);
            audio.inspect(block, findings);
            position += block;
        }
    };
    for (float rate : rates) {
        for (int block : blockSizes) {
            ValidatorPlugin::start(effect.record, rate, block);
            play(block, std::max(block * 3, 2048));
        }
        // Hosts hand over larger blocks than they announced.
        ValidatorPlugin::start(effect.record, rate, 64);
        play(largestBlock, largestBlock * 2);
    }
    detail = Validator::format("%zu rates from 22050 to 192000 Hz x %zu block sizes from 1 to %d, and %d-frame "
                               "blocks after announcing 64: ",
                               std::size(rates), std::size(blockSizes), largestBlock, largestBlock) +
             findingsText(findings);
    return findings.clean();
}

bool ValidatorChecks::blockSizeIndependence(Validator::Context& context, std::string& detail)
{
    Effect steady(context.plugin), varied(context.plugin);
    if (!steady.record || !varied.record) {
        detail = "main answered null";
        return false;
    }
    ValidatorPlugin::start(steady.record, 44100.0f, 1024);
    ValidatorPlugin::start(varied.record, 44100.0f, 1024);
    const auto input = noiseChannels(steady.record, context.options.seed ^ 0x6273, 3 * 44100);
    ValidatorRandom sizes(context.options.seed ^ 0x737a);
    ValidatorAudio::Findings findings;
    int blocks = 0;
    const auto a = render(
        steady.record, input, [] { return 1024; }, findings);
    const auto b = render(
        varied.record, input,
        [&] {
            ++blocks;
            return int(sizes.chance(20) ? sizes.between(1, 8) : sizes.between(1, largestBlock));
        },
        findings);
    const long long differs = firstDifference(a, b, 1e-6f);
    detail =
        Validator::format("%zu frames in blocks of 1024 and in %d blocks of 1 to %d frames: ", input[0].size(), blocks,
                          largestBlock) +
        (differs < 0 ? std::string("the same output") : Validator::format("outputs differ at frame %lld", differs));
    return differs < 0 && findings.clean();
}

bool ValidatorChecks::inputSignals(Validator::Context& context, std::string& detail)
{
    using Signal = ValidatorAudio::Signal;
    const Signal signals[] = {Signal::Silence, Signal::Denormals, Signal::Impulses,
                              Signal::Nyquist, Signal::Noise,     Signal::NonFiniteBursts};
    const char* const settings[] = {"defaults", "all parameters at 0", "all parameters at 1"};
    constexpr int frames = 3 * 44100;  // longer than most effects' memory
    constexpr int block = 512;
    std::vector<std::string> problems;
    long long total = 0;
    for (int setting = 0; setting < 3; ++setting) {
        for (Signal signal : signals) {
            Effect effect(context.plugin);
            if (!effect.record) {
                detail = "main answered null";
                return false;
            }
            ValidatorPlugin::start(effect.record, 44100.0f, block);
            for (VstInt32 p = 0; setting > 0 && p < effect.record->numParams; ++p)
                effect.record->setParameter(effect.record, p, setting == 1 ? 0.0f : 1.0f);
            ValidatorAudio audio(effect.record, block);
            ValidatorRandom random(context.options.seed ^ 0x7369);
            ValidatorAudio::Findings findings;
            for (int done = 0; done < frames; done += block) {
                audio.fill(signal, random, done, block);
                audio.process(effect.record, block);
                audio.inspect(block, findings);
            }
            total += findings.frames;
            const std::string what = std::string(ValidatorAudio::name(signal)) + " with " + settings[setting];
            if (!findings.clean())
                problems.push_back(what + ": " + findingsText(findings));
            if (signal == Signal::Silence && findings.nonZero > 0)
                problems.push_back(what + Validator::format(": %lld output samples are not silent", findings.nonZero));
            if ((signal == Signal::Noise || signal == Signal::NonFiniteBursts) && findings.nonZero == 0)
                problems.push_back(what + ": the output stayed silent");
        }
    }
    detail = problems.empty() ? Validator::format("6 signals x 3 parameter settings, %lld frames: no non-finite or "
                                                  "subnormal output, silence stays silent",
                                                  total)
                              : summary(problems);
    return problems.empty();
}

bool ValidatorChecks::inPlace(Validator::Context& context, std::string& detail)
{
    Effect apart(context.plugin), shared(context.plugin);
    if (!apart.record || !shared.record) {
        detail = "main answered null";
        return false;
    }
    ValidatorPlugin::start(apart.record, 44100.0f, 700);
    ValidatorPlugin::start(shared.record, 44100.0f, 700);
    ValidatorAudio a(apart.record, 700), b(shared.record, 700);
    ValidatorRandom randomA(context.options.seed ^ 0x6970), randomB(context.options.seed ^ 0x6970);
    ValidatorAudio::Findings findings;
    for (long long done = 0; done < 3 * 44100; done += 700) {
        a.fill(ValidatorAudio::Signal::Noise, randomA, done, 700);
        b.fill(ValidatorAudio::Signal::Noise, randomB, done, 700);
        a.process(apart.record, 700);
        b.processInPlace(shared.record, 700);
        b.inspect(700, findings);
        for (int c = 0; c < 2; ++c)
            if (a.output(c) != b.output(c)) {
                detail =
                    Validator::format("in-place output differs from separate buffers in the block at frame %lld", done);
                return false;
            }
    }
    detail = Validator::format("%lld frames processed in place, bit for bit as with separate buffers", findings.frames);
    return findings.clean();
}

bool ValidatorChecks::accumulating(Validator::Context& context, std::string& detail)
{
    Effect replacing(context.plugin), adding(context.plugin);
    if (!replacing.record || !adding.record) {
        detail = "main answered null";
        return false;
    }
    if (!adding.record->process) {
        context.skipped = true;
        detail = "the effect has no accumulating process entry";
        return true;
    }
    ValidatorPlugin::start(replacing.record, 44100.0f, 512);
    ValidatorPlugin::start(adding.record, 44100.0f, 512);
    ValidatorAudio a(replacing.record, 512), b(adding.record, 512);
    ValidatorRandom randomA(context.options.seed ^ 0x6163), randomB(context.options.seed ^ 0x6163);
    constexpr float already = 0.25f;
    for (long long done = 0; done < 3 * 44100; done += 512) {
        a.fill(ValidatorAudio::Signal::Noise, randomA, done, 512);
        b.fill(ValidatorAudio::Signal::Noise, randomB, done, 512);
        b.fillOutputs(already);
        a.process(replacing.record, 512, true);
        b.process(adding.record, 512, false);
        for (int c = 0; c < 2; ++c)
            for (int i = 0; i < 512; ++i)
                if (!(std::fabs(b.output(c)[std::size_t(i)] - (a.output(c)[std::size_t(i)] + already)) <= 1e-6f)) {
                    detail = Validator::format("frame %lld: process gave %.9g over %.2f, processReplacing %.9g",
                                               done + i, double(b.output(c)[std::size_t(i)]), double(already),
                                               double(a.output(c)[std::size_t(i)]));
                    return false;
                }
    }
    detail = "3 s of noise: process adds exactly what processReplacing writes";
    return true;
}
