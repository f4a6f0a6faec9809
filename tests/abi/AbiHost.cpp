#include "AbiHost.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <map>

namespace abitest {

namespace {

    using MainProc = AEffect*(VSTCALL*)(HostCallback);

    MainProc pluginMain = nullptr;
    std::vector<HostCall> recorded;
    const std::map<VstInt32, VstIntPtr> kDefaultAnswers = {{audioMasterVersion, kHostVersion},
                                                           {audioMasterTempoAt, kHostTempo}};
    std::map<VstInt32, VstIntPtr> answers = kDefaultAnswers;
    std::function<bool(const HostCall&)> reaction;

    constexpr char kSentinel = '\x7f';
    constexpr std::size_t kTextBuffer = 256;

}  // namespace

void RecordingHost::reset()
{
    recorded.clear();
    answers = kDefaultAnswers;
    reaction = nullptr;
}

void RecordingHost::react(std::function<bool(const HostCall& call)> newReaction) { reaction = std::move(newReaction); }

void RecordingHost::clearCalls() { recorded.clear(); }

void RecordingHost::answer(VstInt32 opcode, VstIntPtr value) { answers[opcode] = value; }

const std::vector<HostCall>& RecordingHost::calls() { return recorded; }

std::vector<HostCall> RecordingHost::callsWith(VstInt32 opcode)
{
    std::vector<HostCall> found;
    for (const HostCall& call : recorded)
        if (call.opcode == opcode)
            found.push_back(call);
    return found;
}

VstIntPtr VSTCALL RecordingHost::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                          float opt)
{
    const HostCall call{effect, opcode, index, value, ptr, opt};
    recorded.push_back(call);
    if (reaction) {
        // Moved out while it runs: it may call the plug-in, which calls back here.
        auto running = std::move(reaction);
        reaction = nullptr;
        if (running(call) && !reaction)
            reaction = std::move(running);
    }
    auto found = answers.find(opcode);
    return found == answers.end() ? 0 : found->second;
}

bool loadPlugin(const char* path)
{
    HMODULE module = LoadLibraryA(path);
    if (!module)
        return false;
    // FARPROC goes through the generic function type to the one `main` really has.
    auto entry = reinterpret_cast<void (*)()>(GetProcAddress(module, "main"));
    pluginMain = reinterpret_cast<MainProc>(entry);
    return pluginMain != nullptr;
}

AEffect* callMain(HostCallback callback) { return pluginMain(callback); }

Effect::Effect() : effect(callMain()) {}

Effect::~Effect()
{
    if (effect)
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}

VstIntPtr Effect::dispatch(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void Effect::setParameter(VstInt32 index, float value) { effect->setParameter(effect, index, value); }

float Effect::getParameter(VstInt32 index) { return effect->getParameter(effect, index); }

void Effect::process(float** inputs, float** outputs, VstInt32 frames)
{
    effect->process(effect, inputs, outputs, frames);
}

void Effect::processReplacing(float** inputs, float** outputs, VstInt32 frames)
{
    effect->processReplacing(effect, inputs, outputs, frames);
}

std::optional<std::string> Effect::text(VstInt32 opcode, VstInt32 index, std::size_t limit)
{
    char buffer[kTextBuffer];
    std::memset(buffer, kSentinel, sizeof buffer);
    buffer[kTextBuffer - 1] = '\0';
    dispatch(opcode, index, 0, buffer);

    std::size_t written = kTextBuffer - 1;
    while (written > 0 && buffer[written - 1] == kSentinel)
        --written;
    if (written > limit)
        ADD_FAILURE() << "opcode " << opcode << " index " << index << " wrote " << written << " bytes, more than the "
                      << limit << " a host provides";
    if (written == 0)
        return std::nullopt;
    return std::string(buffer);
}

}  // namespace abitest
