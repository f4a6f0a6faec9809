#include "ValidatorFuzz.h"

#include <algorithm>
#include <cstring>
#include <memory>

#include "ValidatorChecks.h"
#include "ValidatorPlatform.h"
#include "host/VstEventList.h"

namespace {

constexpr int maxEvents = 16;
constexpr int maxSpeakers = 8;
constexpr std::size_t bigBytes = 64 * 1024;

// The record behind effProcessVarIo, with the layout hosts use.
struct VariableIo {
    float** inputs;
    float** outputs;
    VstInt32 numSamplesInput;
    VstInt32 numSamplesOutput;
    VstInt32* numSamplesInputProcessed;
    VstInt32* numSamplesOutputProcessed;
};

// Everything a pointer argument may point at, valid for the opcode it is handed to.
struct Buffers {
    alignas(16) unsigned char big[bigBytes];
    void* slots[2];
    VstEvent events[maxEvents];
    kelp::VstEventList<maxEvents> eventList;
    alignas(
        8) unsigned char arrangements[2][sizeof(VstSpeakerArrangement) + maxSpeakers * sizeof(VstSpeakerProperties)];
    float samples[4][64];
    float* channels[4];
    VstInt32 processed[2];
    VariableIo variableIo;
};

VstInt32 randomIndex(ValidatorRandom& random, const AEffect* effect)
{
    switch (random.between(0, 4)) {
    case 0:
    case 1:
        return VstInt32(random.between(-2, 10));
    case 2:
        return VstInt32(random.between(0, effect->numParams + 2));
    default:
        return VstInt32(random.next());
    }
}

VstIntPtr randomValue(ValidatorRandom& random)
{
    switch (random.between(0, 9)) {
    case 0:
    case 1:
    case 2:
    case 3:
        return VstIntPtr(random.between(-2, 10));
    case 4:
    case 5:
    case 6:
        return VstIntPtr(VstInt32(random.next()));
    default:
        return VstIntPtr(random.next());
    }
}

float randomOption(ValidatorRandom& random)
{
    switch (random.between(0, 4)) {
    case 0:
    case 1:
        return random.unit();
    case 2:
        return float(random.between(-1000, 200000));
    default:
        return random.anyFloat();
    }
}

void putText(ValidatorRandom& random, unsigned char* destination)
{
    const std::string text = random.text(int(random.between(0, 40)));
    std::memcpy(destination, text.c_str(), text.size() + 1);
}

// A speaker arrangement of up to eight random speakers.
void* arrangement(ValidatorRandom& random, unsigned char* bytes)
{
    for (std::size_t i = 0; i < sizeof(Buffers::arrangements[0]); ++i)
        bytes[i] = static_cast<unsigned char>(random.next());
    auto* header = reinterpret_cast<VstSpeakerArrangement*>(bytes);
    header->type = VstInt32(random.between(-2, 40));
    header->numChannels = VstInt32(random.between(0, maxSpeakers));
    for (VstInt32 i = 0; i < header->numChannels; ++i)
        speakerAt(header, i)->name[sizeof(VstSpeakerProperties::name) - 1] = 0;
    return header;
}

// MIDI events with random bytes; type 1 most of the time. System-exclusive events (type 6)
// carry a pointer of their own and are not made.
void* eventList(ValidatorRandom& random, Buffers& buffers)
{
    buffers.eventList.numEvents = VstInt32(random.between(0, maxEvents));
    buffers.eventList.reserved = 0;
    for (int i = 0; i < maxEvents; ++i) {
        VstEvent& event = buffers.events[i];
        auto* bytes = reinterpret_cast<unsigned char*>(&event);
        for (std::size_t b = 0; b < sizeof event; ++b)
            bytes[b] = static_cast<unsigned char>(random.next());
        event.type = random.chance(80) ? kVstMidiType : VstInt32(random.between(2, 5));
        event.byteSize = sizeof(VstMidiEvent);
        event.deltaFrames = VstInt32(random.between(0, 511));
        buffers.eventList.events[i] = &event;
    }
    return buffers.eventList.record();
}

void* variableIo(Buffers& buffers)
{
    for (int c = 0; c < 4; ++c)
        buffers.channels[c] = buffers.samples[c];
    buffers.variableIo = {buffers.channels, buffers.channels + 2, 64, 64, &buffers.processed[0], &buffers.processed[1]};
    return &buffers.variableIo;
}

AEffect* remake(ValidatorPlugin& plugin, ValidatorPlugin::Host host)
{
    // A random host may answer 0 to main's version question: main then refuses, and asking
    // again gets another answer.
    for (int attempt = 0; attempt < 50; ++attempt)
        if (AEffect* effect = plugin.create(host)) {
            ValidatorPlugin::start(effect, 44100.0f, 1024);
            return effect;
        }
    return nullptr;
}

std::string findingsText(const ValidatorAudio::Findings& findings)
{
    return Validator::format("%lld frames processed between calls, %lld non-finite and %lld subnormal", findings.frames,
                             findings.nonFinite, findings.subnormal);
}

}  // namespace

void ValidatorFuzz::run(ValidatorPlugin& plugin, ValidatorPlugin::Host host, AEffect*& effect, std::uint64_t seed,
                        long long count, void* window, Tally& tally)
{
    ValidatorRandom random(seed);
    auto buffers = std::make_unique<Buffers>();
    for (unsigned char& byte : buffers->big)
        byte = static_cast<unsigned char>(random.next());
    bool editorOpen = false;
    std::unique_ptr<ValidatorAudio> audio;
    long long position = 0;

    for (long long n = 0; n < count && effect; ++n) {
        if (!audio)
            audio = std::make_unique<ValidatorAudio>(effect, 4096);
        auto opcode = VstInt32(random.between(-10, 90));
        VstInt32 index = randomIndex(random, effect);
        VstIntPtr value = randomValue(random);
        float opt = randomOption(random);
        for (int i = 0; i < 1024; ++i)
            buffers->big[i] = static_cast<unsigned char>(random.next());
        buffers->big[1023] = buffers->big[bigBytes - 1] = 0;
        void* ptr = buffers->big;
        buffers->slots[0] = buffers->slots[1] = nullptr;

        switch (opcode) {
        case effClose:
            if (editorOpen)
                ValidatorPlugin::dispatch(effect, effEditClose);
            ValidatorPlugin::dispatch(effect, effClose, index, value, ptr, opt);
            ++tally.calls;
            effect = remake(plugin, host);
            editorOpen = false;
            audio.reset();
            ++tally.recreated;
            continue;
        case effEditOpen:
            // A second open without a close is outside the protocol; a host window is the only
            // meaningful parent.
            if (editorOpen || !window) {
                ++tally.secondOpens;
                opcode = effEditIdle;
                break;
            }
            ptr = window;
            editorOpen = true;
            ++tally.editorOpens;
            break;
        case effEditClose:
            editorOpen = false;
            break;
        case effEditGetRect:
        case effGetChunk:
            ptr = &buffers->slots[0];
            break;
        case effSetChunk:
            value = VstIntPtr(random.between(0, bigBytes));
            break;
        case effSetProgramName:
        case effString2Parameter:
        case effCanDo:
            putText(random, buffers->big);
            break;
        case effProcessEvents:
            ptr = eventList(random, *buffers);
            break;
        case effOfflineNotify:
        case effOfflinePrepare:
        case effOfflineRun:
            std::memset(buffers->big, 0, 4096);  // records whose own pointers are null
            value = VstIntPtr(random.between(0, 1));
            break;
        case effProcessVarIo:
            ptr = variableIo(*buffers);
            break;
        case effSetSpeakerArrangement:
            value = reinterpret_cast<VstIntPtr>(arrangement(random, buffers->arrangements[0]));
            ptr = arrangement(random, buffers->arrangements[1]);
            break;
        case effGetSpeakerArrangement:
            value = reinterpret_cast<VstIntPtr>(&buffers->slots[0]);
            ptr = &buffers->slots[1];
            break;
        default:
            break;
        }
        ValidatorPlugin::dispatch(effect, opcode, index, value, ptr, opt);
        ++tally.calls;

        if (random.chance(10)) {
            const auto parameter = VstInt32(random.between(-1, effect->numParams));
            effect->setParameter(effect, parameter, random.unit());
            effect->getParameter(effect, parameter);
            tally.parameterCalls += 2;
        }
        if (n % 32 == 31) {
            const int frames = int(random.chance(10) ? random.between(1025, 4096) : random.between(1, 1024));
            const auto signal =
                random.chance(20) ? ValidatorAudio::Signal::NonFiniteBursts : ValidatorAudio::Signal::Noise;
            audio->fill(signal, random, position, frames);
            const bool replacing = random.chance(70);
            if (!replacing)
                audio->fillOutputs(0.0f);
            audio->process(effect, frames, replacing);
            audio->inspect(frames, tally.findings);
            position += frames;
            ++tally.audioBlocks;
        }
        if (n % 64 == 63)
            ValidatorPlatform::pumpMessages();
    }
    if (effect && editorOpen)
        ValidatorPlugin::dispatch(effect, effEditClose);
}

bool ValidatorFuzz::dispatcherFuzz(Validator::Context& context, std::string& detail)
{
    AEffect* effect = remake(context.plugin, ValidatorPlugin::Host::Regular);
    if (!effect) {
        detail = "main answered null";
        return false;
    }
    void* window = nullptr;
    ERect* rect = nullptr;
    if ((effect->flags & effFlagsHasEditor) && ValidatorPlugin::dispatch(effect, effEditGetRect, 0, 0, &rect) && rect)
        window = ValidatorPlatform::createHostWindow(rect->right - rect->left, rect->bottom - rect->top);
    Tally tally;
    ValidatorPlugin::resetTally();
    run(context.plugin, ValidatorPlugin::Host::Regular, effect, context.options.seed ^ 0x6675,
        context.options.fuzzCalls, window, tally);
    ValidatorPlugin::close(effect);
    ValidatorPlatform::destroyWindow(window);
    const ValidatorPlugin::Tally host = ValidatorPlugin::tally();
    std::vector<std::string> problems;
    if (tally.calls < context.options.fuzzCalls)
        problems.push_back(Validator::format("main refused a new effect after %lld calls", tally.calls));
    if (!tally.findings.clean())
        problems.push_back(findingsText(tally.findings));
    if (host.badAutomations > 0)
        problems.push_back(Validator::format("%lld automation calls with a bad index or value", host.badAutomations));
    context.notes = {Validator::format("opcodes -10 to 90, seed %llu: %lld effects remade after effClose, %lld editor "
                                       "opens in a host window, %lld second opens sent as effEditIdle",
                                       static_cast<unsigned long long>(context.options.seed), tally.recreated,
                                       tally.editorOpens, tally.secondOpens),
                     Validator::format("%lld parameter calls and %lld audio blocks between them; %lld host calls",
                                       tally.parameterCalls, tally.audioBlocks, host.calls)};
    detail = problems.empty() ? Validator::format("%lld dispatcher calls, ", tally.calls) + findingsText(tally.findings)
                              : ValidatorChecks::summary(problems);
    return problems.empty();
}

bool ValidatorFuzz::randomHost(Validator::Context& context, std::string& detail)
{
    constexpr int effects = 5;
    constexpr long long callsEach = 20000;
    constexpr float rates[] = {22050.0f, 44100.0f, 48000.0f, 96000.0f, 192000.0f};
    ValidatorPlugin::resetTally();
    ValidatorPlugin::setRandomSeed(context.options.seed ^ 0x7268);
    ValidatorRandom random(context.options.seed ^ 0x7268);
    Tally tally;
    std::vector<std::string> problems;
    for (int e = 0; e < effects && problems.empty(); ++e) {
        AEffect* effect = remake(context.plugin, ValidatorPlugin::Host::Random);
        if (!effect) {
            problems.push_back("main refused 50 times in a row");
            break;
        }
        ValidatorPlugin::start(effect, rates[e], VstInt32(random.between(1, 4096)));
        // A session as a host runs it: audio, parameters, texts, the editor.
        ValidatorAudio audio(effect, 256);
        for (long long done = 0; done < 44100; done += 256) {
            audio.fill(ValidatorAudio::Signal::Noise, random, done, 256);
            const bool replacing = random.chance(50);
            if (!replacing)
                audio.fillOutputs(0.0f);
            audio.process(effect, 256, replacing);
            audio.inspect(256, tally.findings);
        }
        for (VstInt32 p = 0; p < effect->numParams; ++p) {
            effect->setParameter(effect, p, random.unit());
            ValidatorChecks::askText(effect, effGetParamDisplay, p, 9, problems);
        }
        void* window = nullptr;
        ERect* rect = nullptr;
        if ((effect->flags & effFlagsHasEditor) && ValidatorPlugin::dispatch(effect, effEditGetRect, 0, 0, &rect) &&
            rect)
            window = ValidatorPlatform::createHostWindow(rect->right - rect->left, rect->bottom - rect->top);
        if (window) {
            ValidatorPlugin::dispatch(effect, effEditOpen, 0, 0, window);
            for (int i = 0; i < 10; ++i) {
                ValidatorPlatform::pumpMessages();
                ValidatorPlugin::dispatch(effect, effEditIdle);
            }
            ValidatorPlugin::dispatch(effect, effEditClose);
        }
        run(context.plugin, ValidatorPlugin::Host::Random, effect, context.options.seed + std::uint64_t(e), callsEach,
            window, tally);
        ValidatorPlugin::close(effect);
        ValidatorPlatform::destroyWindow(window);
    }
    if (!tally.findings.clean())
        problems.push_back(findingsText(tally.findings));
    const ValidatorPlugin::Tally host = ValidatorPlugin::tally();
    detail = problems.empty()
                 ? Validator::format("%d sessions (audio, parameters, texts, editor, %lld dispatcher calls each) with "
                                     "%lld host requests answered at random; ",
                                     effects, callsEach, host.randomAnswers) +
                       findingsText(tally.findings)
                 : ValidatorChecks::summary(problems);
    return problems.empty();
}
