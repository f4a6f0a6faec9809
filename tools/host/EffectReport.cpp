#include "EffectReport.h"

#include "JsonWriter.h"

namespace {

const char* const capabilities[] = {
    "receiveVstEvents",
    "receiveVstMidiEvent",
    "sendVstEvents",
    "sendVstMidiEvent",
    "sendVstTimeInfo",
    "receiveVstTimeInfo",
    "offline",
    "plugAsChannelInsert",
    "plugAsSend",
    "mixDryWet",
    "noRealTime",
    "multipass",
    "metapass",
    "1in1out",
    "1in2out",
    "2in1out",
    "2in2out",
    "2in4out",
    "4in2out",
    "4in4out",
    "4in8out",
    "8in4out",
    "8in8out",
    "midiProgramNames",
    "conformsToWindowRules",
    "bypass",
};

const char* const categories[] = {
    "unknown", "effect",      "synth",       "analysis",        "mastering", "spacializer",
    "room fx", "surround fx", "restoration", "offline process", "shell",     "generator",
};

struct FlagName {
    VstInt32 bit;
    const char* name;
};

const FlagName flagTable[] = {
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
std::string fourCharacterText(std::uint32_t id)
{
    std::string text;
    for (int shift = 24; shift >= 0; shift -= 8) {
        char c = char((id >> shift) & 0xff);
        text += c >= 0x20 && c < 0x7f ? c : '.';
    }
    return text;
}

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

const char* answerName(long long answer) { return answer > 0 ? "yes" : answer < 0 ? "no" : "don't know"; }

}  // namespace

EffectReport::EffectReport(PluginHost& host)
{
    gatherIdentity(host);
    gatherRecord(host);
    gatherParameters(host);
    gatherPins(host);
    gatherCapabilities(host);
}

void EffectReport::gatherIdentity(PluginHost& host)
{
    category = host.dispatch(effGetPlugCategory);
    categoryName = category >= 0 && category < VstIntPtr(std::size(categories)) ? categories[category] : "?";
    uniqueId = std::uint32_t(host.record().uniqueID);
    uniqueIdText = fourCharacterText(uniqueId);
    name = host.text(effGetEffectName);
    vendor = host.text(effGetVendorString);
    product = host.text(effGetProductString);
    vendorVersion = host.dispatch(effGetVendorVersion);
    vstVersion = host.dispatch(effGetVstVersion);
}

void EffectReport::gatherRecord(PluginHost& host)
{
    const AEffect& record = host.record();
    flags = std::uint32_t(record.flags);
    for (const FlagName& flag : flagTable)
        if (record.flags & flag.bit)
            flagNames.push_back(flag.name);
    version = record.version;
    inputs = record.numInputs;
    outputs = record.numOutputs;
    initialDelay = record.initialDelay;
    tailSize = host.dispatch(effGetTailSize);
    programs = record.numPrograms;
    program = host.dispatch(effGetProgram);
    programName = host.text(effGetProgramName);
}

void EffectReport::gatherParameters(PluginHost& host)
{
    for (VstInt32 index = 0; index < host.record().numParams; ++index)
        parameters.push_back({host.text(effGetParamName, index), host.text(effGetParamDisplay, index),
                              host.text(effGetParamLabel, index), double(host.getParameter(index))});
}

void EffectReport::gatherPins(PluginHost& host)
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
            pins.push_back(
                {side.name, index, pin.label, (pin.flags & kVstPinIsActive) != 0, (pin.flags & kVstPinIsStereo) != 0});
        }
    }
}

void EffectReport::gatherCapabilities(PluginHost& host)
{
    for (const char* capability : capabilities)
        answers.push_back({capability, host.canDo(capability)});
}

void EffectReport::print(std::FILE* out) const
{
    std::string names;
    for (const std::string& flag : flagNames)
        names += (names.empty() ? "" : " ") + flag;
    std::fprintf(out, "name:           %s\n", name.c_str());
    std::fprintf(out, "vendor:         %s\n", vendor.c_str());
    std::fprintf(out, "product:        %s\n", product.c_str());
    std::fprintf(out, "vendor version: %lld\n", vendorVersion);
    std::fprintf(out, "category:       %lld (%s)\n", category, categoryName.c_str());
    std::fprintf(out, "unique id:      %s (0x%08lx)\n", uniqueIdText.c_str(), static_cast<unsigned long>(uniqueId));
    std::fprintf(out, "vst version:    %lld\n", vstVersion);
    std::fprintf(out, "version:        %lld\n", version);
    std::fprintf(out, "inputs:         %lld\n", inputs);
    std::fprintf(out, "outputs:        %lld\n", outputs);
    std::fprintf(out, "flags:          0x%lx (%s)\n", static_cast<unsigned long>(flags), names.c_str());
    std::fprintf(out, "initial delay:  %lld\n", initialDelay);
    std::fprintf(out, "tail size:      %lld\n", tailSize);
    std::fprintf(out, "programs:       %lld\n", programs);
    std::fprintf(out, "program:        %lld %s\n", program, quoted(programName).c_str());
    std::fprintf(out, "parameters:     %zu\n", parameters.size());
    for (std::size_t index = 0; index < parameters.size(); ++index) {
        const Parameter& p = parameters[index];
        std::fprintf(out, "  %zu: name %-12s display %-12s label %-6s value %g\n", index, quoted(p.name).c_str(),
                     quoted(p.display).c_str(), quoted(p.label).c_str(), p.value);
    }
    for (const Pin& pin : pins) {
        std::string title = std::string(pin.side) + " " + std::to_string(pin.index) + ":";
        std::fprintf(out, "%-16s%s%s%s\n", title.c_str(), quoted(pin.label).c_str(), pin.active ? " active" : "",
                     pin.stereo ? " stereo" : "");
    }
    std::fprintf(out, "can do:\n");
    for (const Answer& answer : answers)
        std::fprintf(out, "  %-22s %2lld (%s)\n", answer.capability, answer.answer, answerName(answer.answer));
}

void EffectReport::printJson(std::FILE* out, const std::string& file) const
{
    JsonWriter json(out);
    json.beginObject();
    json.text("file", file);
    json.text("name", name);
    json.text("vendor", vendor);
    json.text("product", product);
    json.integer("vendor_version", vendorVersion);
    json.integer("category", category);
    json.text("category_name", categoryName);
    json.text("unique_id", uniqueIdText);
    json.integer("unique_id_value", uniqueId);
    json.integer("vst_version", vstVersion);
    json.integer("version", version);
    json.integer("inputs", inputs);
    json.integer("outputs", outputs);
    json.integer("flags", flags);
    json.beginArray("flag_names");
    for (const std::string& flag : flagNames)
        json.text(nullptr, flag);
    json.endArray();
    json.integer("initial_delay", initialDelay);
    json.integer("tail_size", tailSize);
    json.integer("programs", programs);
    json.integer("program", program);
    json.text("program_name", programName);
    json.beginArray("parameters");
    for (std::size_t index = 0; index < parameters.size(); ++index) {
        const Parameter& p = parameters[index];
        json.beginObject();
        json.integer("index", static_cast<long long>(index));
        json.text("name", p.name);
        json.text("display", p.display);
        json.text("label", p.label);
        json.number("value", p.value);
        json.endObject();
    }
    json.endArray();
    json.beginArray("pins");
    for (const Pin& pin : pins) {
        json.beginObject();
        json.text("side", pin.side);
        json.integer("index", pin.index);
        json.text("label", pin.label);
        json.boolean("active", pin.active);
        json.boolean("stereo", pin.stereo);
        json.endObject();
    }
    json.endArray();
    json.beginObject("can_do");
    for (const Answer& answer : answers)
        json.integer(answer.capability, answer.answer);
    json.endObject();
    json.endObject();
}
