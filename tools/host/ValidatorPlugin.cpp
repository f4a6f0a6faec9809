#include "ValidatorPlugin.h"

#include <atomic>
#include <cmath>
#include <cstring>

#include "ValidatorRandom.h"

namespace {

// Markers in the record's `user` field saying which host an effect talks to.
char regularHost, randomHost;
// The host of the effect whose main call is under way on this thread (its record is not known yet).
thread_local ValidatorPlugin::Host creatingFor = ValidatorPlugin::Host::Regular;

std::atomic<float> hostRate{44100.0f};
std::atomic<VstInt32> hostBlockSize{1024};
std::atomic<std::uint64_t> randomSeed{1};
std::atomic<std::uint64_t> randomCalls{0};

std::atomic<long long> calls{0}, automations{0}, badAutomations{0}, beginEdits{0}, endEdits{0}, randomAnswers{0};

constexpr VstIntPtr hostVstVersion = 2400;
constexpr std::size_t textCapacity = 64;  // the interface's longest host string, terminator included

void copyText(void* destination, const char* text)
{
    if (!destination)
        return;
    std::strncpy(static_cast<char*>(destination), text, textCapacity - 1);
    static_cast<char*>(destination)[textCapacity - 1] = 0;
}

// A host's time record: 120 beats per minute in 4/4, playing, at the start of bar 2.
VstTimeInfo* timeInfo()
{
    thread_local VstTimeInfo time{};
    time.samplePos = 88200.0;
    time.sampleRate = hostRate.load(std::memory_order_relaxed);
    time.ppqPos = 4.0;
    time.tempo = 120.0;
    time.barStartPos = 4.0;
    time.timeSigNumerator = 4;
    time.timeSigDenominator = 4;
    time.flags = 0x2 | 0x200 | 0x400 | 0x800 | 0x2000;  // playing, ppq, tempo, bars, time signature
    return &time;
}

}  // namespace

ValidatorPlugin::~ValidatorPlugin() { Platform::freeLibrary(module); }

bool ValidatorPlugin::load(const std::string& path, std::string& error)
{
    dllPath = path;
    module = Platform::loadLibrary(path, error);
    if (!module)
        return false;
    entry = reinterpret_cast<AEffect*(VSTCALL*)(HostCallback)>(Platform::findSymbol(module, "main"));
    if (!entry) {
        error = "not a VST 2.x plug-in, it exports no function \"main\": " + path;
        return false;
    }
    return true;
}

AEffect* ValidatorPlugin::create(Host host)
{
    creatingFor = host;
    AEffect* effect = entry(&ValidatorPlugin::callback);
    creatingFor = Host::Regular;
    if (effect && effect->magic != kEffectMagic)
        return nullptr;  // not a record that may be called, not even to close it
    if (effect)
        effect->user = host == Host::Random ? &randomHost : &regularHost;
    return effect;
}

void ValidatorPlugin::close(AEffect*& effect)
{
    if (effect)
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    effect = nullptr;
}

VstIntPtr ValidatorPlugin::dispatch(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                    float opt)
{
    return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}

void ValidatorPlugin::start(AEffect* effect, float sampleRate, VstInt32 blockSize)
{
    setHostRate(sampleRate);
    setHostBlockSize(blockSize);
    dispatch(effect, effMainsChanged, 0, 0);
    dispatch(effect, effSetSampleRate, 0, 0, nullptr, sampleRate);
    dispatch(effect, effSetBlockSize, 0, blockSize);
    dispatch(effect, effMainsChanged, 0, 1);
}

void ValidatorPlugin::setHostRate(float sampleRate) { hostRate.store(sampleRate, std::memory_order_relaxed); }

void ValidatorPlugin::setHostBlockSize(VstInt32 frames) { hostBlockSize.store(frames, std::memory_order_relaxed); }

void ValidatorPlugin::setRandomSeed(std::uint64_t seed)
{
    randomSeed.store(seed, std::memory_order_relaxed);
    randomCalls.store(0, std::memory_order_relaxed);
}

ValidatorPlugin::Tally ValidatorPlugin::tally()
{
    Tally now;
    now.calls = calls.load();
    now.automations = automations.load();
    now.badAutomations = badAutomations.load();
    now.beginEdits = beginEdits.load();
    now.endEdits = endEdits.load();
    now.randomAnswers = randomAnswers.load();
    return now;
}

void ValidatorPlugin::resetTally()
{
    for (auto* counter : {&calls, &automations, &badAutomations, &beginEdits, &endEdits, &randomAnswers})
        counter->store(0);
}

VstIntPtr VSTCALL ValidatorPlugin::callback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                            void* ptr, float opt)
{
    (void)value;
    calls.fetch_add(1, std::memory_order_relaxed);
    Host host = creatingFor;
    if (effect && effect->user == &randomHost)
        host = Host::Random;
    else if (effect && effect->user == &regularHost)
        host = Host::Regular;
    return host == Host::Random ? randomAnswer(opcode, ptr) : regularAnswer(effect, opcode, index, ptr, opt);
}

VstIntPtr ValidatorPlugin::regularAnswer(AEffect* effect, VstInt32 opcode, VstInt32 index, void* ptr, float opt)
{
    switch (opcode) {
    case audioMasterVersion:
        return hostVstVersion;
    case audioMasterAutomate:
        automations.fetch_add(1, std::memory_order_relaxed);
        if (!effect || index < 0 || index >= effect->numParams || !(opt >= 0.0f && opt <= 1.0f))
            badAutomations.fetch_add(1, std::memory_order_relaxed);
        return 0;
    case audioMasterBeginEdit:
        beginEdits.fetch_add(1, std::memory_order_relaxed);
        return 1;
    case audioMasterEndEdit:
        endEdits.fetch_add(1, std::memory_order_relaxed);
        return 1;
    case audioMasterTempoAt:
        return 1200000;  // 120 beats per minute
    case audioMasterGetTime:
        return reinterpret_cast<VstIntPtr>(timeInfo());
    case audioMasterGetSampleRate:
        return VstIntPtr(std::lround(hostRate.load(std::memory_order_relaxed)));
    case audioMasterGetBlockSize:
        return hostBlockSize.load(std::memory_order_relaxed);
    case audioMasterGetVendorString:
        copyText(ptr, "Kelpworks");
        return 1;
    case audioMasterGetProductString:
        copyText(ptr, "backtwister-host validate");
        return 1;
    case audioMasterGetVendorVersion:
        return 1;
    case audioMasterSizeWindow:
    case audioMasterIdle:
    case audioMasterUpdateDisplay:
        return 1;
    default:
        return 0;
    }
}

// Every answer is chance. Answers that the interface defines as addresses are null or point
// at a block of random bytes, never at a random address; a host string is random text.
VstIntPtr ValidatorPlugin::randomAnswer(VstInt32 opcode, void* ptr)
{
    randomAnswers.fetch_add(1, std::memory_order_relaxed);
    const std::uint64_t call = randomCalls.fetch_add(1, std::memory_order_relaxed);
    ValidatorRandom random(
        ValidatorRandom::mix(randomSeed.load(std::memory_order_relaxed) ^ (call * 0x9e3779b97f4a7c15ull)));
    switch (opcode) {
    case audioMasterGetTime:
    case audioMasterGetSpeakerArrangement:
    case audioMasterGetInputSpeakerArrangement:
    case audioMasterOpenWindow:
    case audioMasterGetDirectory: {
        if (random.chance(30))
            return 0;
        thread_local std::uint64_t block[512];
        for (auto& word : block)
            word = random.next();
        reinterpret_cast<char*>(block)[sizeof block - 1] = 0;  // a directory is a text
        return reinterpret_cast<VstIntPtr>(block);
    }
    case audioMasterGetPreviousPlug:
    case audioMasterGetNextPlug:
        return 0;  // random bytes are never a record that could be called
    case audioMasterGetVendorString:
    case audioMasterGetProductString:
        copyText(ptr, random.text(int(random.between(0, textCapacity - 1))).c_str());
        break;
    default:
        break;
    }
    switch (random.between(0, 3)) {
    case 0:
        return VstIntPtr(random.between(-2, 2));
    case 1:
        return VstIntPtr(random.between(-100000000, 100000000));
    default:
        return VstIntPtr(random.next());
    }
}
