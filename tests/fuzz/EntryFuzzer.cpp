// Drives one effect through its record as a host would, with every choice taken from the
// fuzzer's bytes: dispatcher calls (opcodes -10 to 90, any index, value and option, a valid
// buffer behind every pointer), parameters, both audio entries, and the host's answers.
// Besides what the sanitizers catch, it stops on output a host may not be handed (NaN,
// infinity, subnormal) and on a text written past the length the interface allows.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "effect/EntryPoint.h"
#include "host/VstEventList.h"

using namespace kelp;

namespace {

FuzzedDataProvider* input = nullptr;

constexpr char sentinel = '\x7f';
constexpr std::size_t bufferBytes = 4096;
constexpr int maxEvents = 8;
constexpr int maxSpeakers = 4;

[[noreturn]] void fault(const char* what, int detail)
{
    std::fprintf(stderr, "entry_fuzzer: %s (%d)\n", what, detail);
    std::abort();
}

float anyFloat()
{
    const auto bits = input->ConsumeIntegral<std::uint32_t>();
    float value;
    std::memcpy(&value, &bits, sizeof value);
    return value;
}

// The host answers whatever the bytes say; a time record, when asked for, is made of them too.
VstIntPtr VSTCALL host(AEffect*, VstInt32 opcode, VstInt32, VstIntPtr, void* ptr, float)
{
    if (opcode == audioMasterVersion)
        return input->ConsumeBool() ? 2400 : input->ConsumeIntegral<VstIntPtr>();
    if (opcode == audioMasterGetTime) {
        static VstTimeInfo time;
        if (input->ConsumeBool())
            return 0;
        input->ConsumeData(&time, sizeof time);
        return reinterpret_cast<VstIntPtr>(&time);
    }
    if ((opcode == audioMasterGetVendorString || opcode == audioMasterGetProductString) && ptr) {
        const std::string text = input->ConsumeRandomLengthString(63);
        std::memcpy(ptr, text.c_str(), text.size() + 1);
    }
    return input->ConsumeIntegral<VstIntPtr>();
}

// The most a host provides for the text an opcode writes, terminator included; 0 for the
// opcodes that write no text.
std::size_t textLimit(VstInt32 opcode)
{
    switch (opcode) {
    case effGetParamLabel:
    case effGetParamDisplay:
    case effGetParamName:
        return 9;
    case effGetProgramName:
    case effGetProgramNameIndexed:
        return 25;
    case effGetEffectName:
        return 33;
    case effGetErrorText:
        return 257;
    case effGetVendorString:
    case effGetProductString:
    case effShellGetNextPlugin:
        return 65;
    default:
        return 0;
    }
}

struct Buffers {
    alignas(16) char bytes[bufferBytes];
    void* slots[2];
    VstMidiEvent events[maxEvents];
    VstEventList<maxEvents> eventList;
    alignas(
        8) unsigned char arrangements[2][sizeof(VstSpeakerArrangement) + maxSpeakers * sizeof(VstSpeakerProperties)];
};

void* arrangement(unsigned char* bytes)
{
    input->ConsumeData(bytes, sizeof(Buffers::arrangements[0]));
    auto* header = reinterpret_cast<VstSpeakerArrangement*>(bytes);
    header->numChannels = input->ConsumeIntegralInRange<VstInt32>(0, maxSpeakers);
    return header;
}

void* eventList(Buffers& buffers)
{
    buffers.eventList.numEvents = input->ConsumeIntegralInRange<VstInt32>(0, maxEvents);
    for (int i = 0; i < maxEvents; ++i) {
        VstMidiEvent& event = buffers.events[i];
        input->ConsumeData(&event, sizeof event);
        if (input->ConsumeBool())
            event.type = kVstMidiType;
        else if (event.type == 6)
            event.type = 0;  // system-exclusive events carry a pointer of their own
        buffers.eventList.events[i] = reinterpret_cast<VstEvent*>(&event);
    }
    return buffers.eventList.record();
}

void dispatch(AEffect*& effect, Buffers& buffers)
{
    const auto opcode = input->ConsumeIntegralInRange<VstInt32>(-10, 90);
    const auto index = input->ConsumeIntegral<VstInt32>();
    auto value = input->ConsumeIntegral<VstIntPtr>();
    const float opt = anyFloat();
    std::memset(buffers.bytes, sentinel, sizeof buffers.bytes);
    void* ptr = buffers.bytes;
    buffers.slots[0] = buffers.slots[1] = nullptr;
    switch (opcode) {
    case effClose:
        effect->dispatcher(effect, effClose, index, value, ptr, opt);
        effect = backtwisterMain(host);
        return;
    case effSetProgramName:
    case effString2Parameter:
    case effCanDo:
    case effSetChunk: {
        const std::string text = input->ConsumeRandomLengthString(64);
        std::memcpy(buffers.bytes, text.c_str(), text.size() + 1);
        if (opcode == effSetChunk)
            value = VstIntPtr(input->ConsumeIntegralInRange<std::size_t>(0, bufferBytes));
        break;
    }
    case effEditGetRect:
    case effGetChunk:
        ptr = &buffers.slots[0];
        break;
    case effProcessEvents:
        ptr = eventList(buffers);
        break;
    case effSetSpeakerArrangement:
        value = reinterpret_cast<VstIntPtr>(arrangement(buffers.arrangements[0]));
        ptr = arrangement(buffers.arrangements[1]);
        break;
    case effGetSpeakerArrangement:
        value = reinterpret_cast<VstIntPtr>(&buffers.slots[0]);
        ptr = &buffers.slots[1];
        break;
    case effOfflineNotify:
    case effOfflinePrepare:
    case effOfflineRun:
    case effProcessVarIo:
        std::memset(buffers.bytes, 0, sizeof buffers.bytes);  // records whose own pointers are null
        value = input->ConsumeIntegralInRange<VstIntPtr>(0, 1);
        break;
    default:
        break;
    }
    effect->dispatcher(effect, opcode, index, value, ptr, opt);
    if (const std::size_t limit = textLimit(opcode)) {
        std::size_t written = sizeof buffers.bytes;
        while (written > 0 && buffers.bytes[written - 1] == sentinel)
            --written;
        if (written > limit)
            fault("a text written past the host's buffer by opcode", opcode);
    }
}

void process(AEffect* effect)
{
    const int frames = input->ConsumeIntegralInRange<int>(-2, 2048);
    const std::size_t size = frames > 0 ? std::size_t(frames) : 1;
    std::vector<float> inL(size), inR(size), outL(size, 0.5f), outR(size, 0.5f);
    for (std::size_t i = 0; i < size && input->remaining_bytes() >= 8; ++i) {
        inL[i] = anyFloat();
        inR[i] = anyFloat();
    }
    float* ins[] = {inL.data(), inR.data()};
    float* outs[] = {outL.data(), outR.data()};
    // In place only when replacing: process adds to what the output buffer holds, which in
    // place is the host's own input, non-finite samples and all.
    const bool replacing = input->ConsumeBool();
    const bool inPlace = replacing && input->ConsumeBool();
    if (replacing)
        effect->processReplacing(effect, ins, inPlace ? ins : outs, frames);
    else
        effect->process(effect, ins, outs, frames);
    const std::vector<float>& left = inPlace ? inL : outL;
    const std::vector<float>& right = inPlace ? inR : outR;
    for (int i = 0; i < frames; ++i)
        for (float y : {left[std::size_t(i)], right[std::size_t(i)]}) {
            std::uint32_t bits;
            std::memcpy(&bits, &y, sizeof bits);
            const std::uint32_t exponent = bits & 0x7f800000u;
            if (exponent == 0x7f800000u || (exponent == 0 && (bits & 0x007fffffu) != 0))
                fault("a non-finite or subnormal output at frame", i);
        }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    FuzzedDataProvider provider(data, size);
    input = &provider;
    AEffect* effect = backtwisterMain(host);
    static Buffers buffers;
    for (int step = 0; step < 256 && effect && provider.remaining_bytes() > 0; ++step) {
        switch (provider.ConsumeIntegralInRange(0, 4)) {
        case 0:
        case 1:
            dispatch(effect, buffers);
            break;
        case 2:
            effect->setParameter(effect, provider.ConsumeIntegralInRange<VstInt32>(-2, 4), anyFloat());
            break;
        case 3:
            effect->getParameter(effect, provider.ConsumeIntegral<VstInt32>());
            break;
        default:
            process(effect);
            break;
        }
    }
    if (effect)
        effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
    input = nullptr;
    return 0;
}
