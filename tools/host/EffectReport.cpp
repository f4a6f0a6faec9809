#include "EffectReport.h"

#include <string>

namespace {

const char* const capabilities[] = {
    "receiveVstEvents", "receiveVstMidiEvent", "sendVstEvents", "sendVstMidiEvent",
    "sendVstTimeInfo", "receiveVstTimeInfo", "offline", "plugAsChannelInsert", "plugAsSend",
    "mixDryWet", "noRealTime", "multipass", "metapass", "1in1out", "1in2out", "2in1out",
    "2in2out", "2in4out", "4in2out", "4in4out", "4in8out", "8in4out", "8in8out",
    "midiProgramNames", "conformsToWindowRules", "bypass",
};

const char* const categories[] = {
    "unknown", "effect", "synth", "analysis", "mastering", "spacializer",
    "room fx", "surround fx", "restoration", "offline process", "shell", "generator",
};

struct FlagName {
    VstInt32 bit;
    const char* name;
};

const FlagName flagNames[] = {
    {effFlagsHasEditor, "effFlagsHasEditor"},
    {effFlagsHasClip, "effFlagsHasClip"},
    {effFlagsHasVu, "effFlagsHasVu"},
    {effFlagsCanMono, "effFlagsCanMono"},
    {effFlagsCanReplacing, "effFlagsCanReplacing"},
    {effFlagsProgramChunks, "effFlagsProgramChunks"},
    {effFlagsIsSynth, "effFlagsIsSynth"},
    {effFlagsNoSoundInStop, "effFlagsNoSoundInStop"},
    {effFlagsExtIsAsync, "effFlagsExtIsAsync"},
    {effFlagsExtHasBuffer, "effFlagsExtHasBuffer"},
};

// The identifier's four characters, first from the most significant byte; '.' for the unprintable.
std::string fourCharacterText(VstInt32 id)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = char((std::uint32_t(id) >> shift) & 0xff);
        text += c >= 0x20 && c < 0x7f ? c : '.';
    }
    return text;
}

std::string quoted(const std::string& text)
{
    return "\"" + text + "\"";
}

const char* answerName(VstIntPtr answer)
{
    return answer > 0 ? "yes" : answer < 0 ? "no" : "don't know";
}

} // namespace

void EffectReport::print(std::FILE* out)
{
    printIdentity(out);
    printRecord(out);
    printParameters(out);
    printPins(out);
    printCapabilities(out);
}

void EffectReport::printIdentity(std::FILE* out)
{
    VstIntPtr category = host.dispatch(effGetPlugCategory);
    const char* categoryName =
        category >= 0 && category < VstIntPtr(std::size(categories)) ? categories[category] : "?";
    VstInt32 id = host.record().uniqueID;
    std::fprintf(out, "name:           %s\n", host.text(effGetEffectName).c_str());
    std::fprintf(out, "vendor:         %s\n", host.text(effGetVendorString).c_str());
    std::fprintf(out, "product:        %s\n", host.text(effGetProductString).c_str());
    std::fprintf(out, "vendor version: %ld\n", long(host.dispatch(effGetVendorVersion)));
    std::fprintf(out, "category:       %ld (%s)\n", long(category), categoryName);
    std::fprintf(out, "unique id:      %s (0x%08lx)\n", fourCharacterText(id).c_str(),
                 static_cast<unsigned long>(std::uint32_t(id)));
    std::fprintf(out, "vst version:    %ld\n", long(host.dispatch(effGetVstVersion)));
}

void EffectReport::printRecord(std::FILE* out)
{
    const AEffect& record = host.record();
    std::string names;
    for (const FlagName& flag : flagNames)
        if (record.flags & flag.bit)
            names += std::string(names.empty() ? "" : " ") + flag.name;
    std::fprintf(out, "version:        %ld\n", long(record.version));
    std::fprintf(out, "inputs:         %ld\n", long(record.numInputs));
    std::fprintf(out, "outputs:        %ld\n", long(record.numOutputs));
    std::fprintf(out, "flags:          0x%lx (%s)\n", static_cast<unsigned long>(std::uint32_t(record.flags)),
                 names.c_str());
    std::fprintf(out, "initial delay:  %ld\n", long(record.initialDelay));
    std::fprintf(out, "tail size:      %ld\n", long(host.dispatch(effGetTailSize)));
    std::fprintf(out, "programs:       %ld\n", long(record.numPrograms));
    std::fprintf(out, "program:        %ld %s\n", long(host.dispatch(effGetProgram)),
                 quoted(host.text(effGetProgramName)).c_str());
}

void EffectReport::printParameters(std::FILE* out)
{
    VstInt32 count = host.record().numParams;
    std::fprintf(out, "parameters:     %ld\n", long(count));
    for (VstInt32 index = 0; index < count; ++index) {
        std::fprintf(out, "  %ld: name %-12s display %-12s label %-6s value %g\n", long(index),
                     quoted(host.text(effGetParamName, index)).c_str(),
                     quoted(host.text(effGetParamDisplay, index)).c_str(),
                     quoted(host.text(effGetParamLabel, index)).c_str(),
                     double(host.getParameter(index)));
    }
}

void EffectReport::printPins(std::FILE* out)
{
    struct Side {
        VstInt32 opcode, count;
        const char* name;
    };
    const Side sides[] = {{effGetInputProperties, host.record().numInputs, "input"},
                          {effGetOutputProperties, host.record().numOutputs, "output"}};
    for (const Side& side : sides) {
        for (VstInt32 index = 0; index < side.count; ++index) {
            VstPinProperties pin{};
            if (host.dispatch(side.opcode, index, 0, &pin) == 0)
                continue;
            pin.label[sizeof pin.label - 1] = 0;
            std::string title = std::string(side.name) + " " + std::to_string(index) + ":";
            std::fprintf(out, "%-16s%s%s%s\n", title.c_str(), quoted(pin.label).c_str(),
                         pin.flags & kVstPinIsActive ? " active" : "",
                         pin.flags & kVstPinIsStereo ? " stereo" : "");
        }
    }
}

void EffectReport::printCapabilities(std::FILE* out)
{
    std::fprintf(out, "can do:\n");
    for (const char* capability : capabilities) {
        VstIntPtr answer = host.canDo(capability);
        std::fprintf(out, "  %-22s %2ld (%s)\n", capability, long(answer), answerName(answer));
    }
}
