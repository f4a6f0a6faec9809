#include "host/EffectBase.h"

#include <atomic>
#include <cmath>
#include <cstring>

#include "host/EffectEditor.h"
#include "host/DenormalGuard.h"
#include "host/ValueText.h"

namespace kelp {

namespace {

    // Opcodes whose operation reads or writes through the pointer argument. A host that
    // passes null gets 0 instead of a crash.
    bool needsPointer(VstInt32 opcode)
    {
        switch (opcode) {
        case effSetProgramName:
        case effGetProgramName:
        case effGetParamLabel:
        case effGetParamDisplay:
        case effGetParamName:
        case effEditGetRect:
        case effGetChunk:
        case effSetChunk:
            return true;
        default:
            return false;
        }
    }

    // Float to integer, truncating toward zero; values no integer can hold answer 0.
    VstIntPtr truncateToInteger(double value)
    {
        if (!(value > -2147483649.0 && value < 2147483648.0))
            return 0;
        return VstIntPtr(VstInt32(value));
    }

    EffectBase* effectOf(AEffect* record) { return static_cast<EffectBase*>(record->object); }

}  // namespace

EffectBase::EffectBase(HostCallback hostCallback, VstInt32 programCount, VstInt32 parameterCount)
    : sampleRate(44100.0f), editor(nullptr), hostCallback(hostCallback), programCount(programCount),
      parameterCount(parameterCount), currentProgram(0), blockSize(1024)
{
    std::memset(&hostRecord, 0, sizeof hostRecord);
    hostRecord.magic = kEffectMagic;
    hostRecord.dispatcher = dispatchEntry;
    hostRecord.process = processEntry;
    hostRecord.setParameter = setParameterEntry;
    hostRecord.getParameter = getParameterEntry;
    hostRecord.numPrograms = programCount;
    hostRecord.numParams = parameterCount;
    hostRecord.numInputs = 1;
    hostRecord.numOutputs = 2;
    hostRecord.ioRatio = 1.0f;
    hostRecord.object = this;
    hostRecord.uniqueID = fourCharacters("NoEf");
    hostRecord.version = 1;
    hostRecord.processReplacing = processReplacingEntry;
}

EffectBase::~EffectBase()
{
    EffectEditor* owned = editor;
    editor = nullptr;
    delete owned;
}

void EffectBase::registerEditor(EffectEditor* newEditor)
{
    editor = newEditor;
    setFlag(effFlagsHasEditor, newEditor != nullptr);
}

void EffectBase::unregisterEditor(EffectEditor* leaving)
{
    if (editor == leaving)
        registerEditor(nullptr);
}

// --- entries ---------------------------------------------------------------------------

VstIntPtr EffectBase::dispatchEntry(AEffect* record, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                    float opt)
{
    if (!record)
        return 0;
    EffectBase* effect = effectOf(record);
    if (opcode == effClose) {
        try {
            effect->dispatcher(opcode, index, value, ptr, opt);
        } catch (...) {
        }
        // The host forgets the record now: nothing may call it through this record again,
        // also not code of the editor that is still on the stack.
        effect->hostCallback = nullptr;
        if (!effect->editor || !effect->editor->deleteEffectWhenIdle())
            delete effect;
        return 1;
    }
    // No exception reaches the host: a failed allocation (opening an editor, say) answers 0.
    try {
        return effect->dispatcher(opcode, index, value, ptr, opt);
    } catch (...) {
        return 0;
    }
}

void EffectBase::processEntry(AEffect* record, float** inputs, float** outputs, VstInt32 sampleFrames)
{
    if (!record)
        return;
    DenormalGuard guard;
    effectOf(record)->process(inputs, outputs, sampleFrames);
}

void EffectBase::processReplacingEntry(AEffect* record, float** inputs, float** outputs, VstInt32 sampleFrames)
{
    if (!record)
        return;
    DenormalGuard guard;
    effectOf(record)->processReplacing(inputs, outputs, sampleFrames);
}

void EffectBase::setParameterEntry(AEffect* record, VstInt32 index, float value)
{
    if (record)
        effectOf(record)->setParameter(index, value);
}

float EffectBase::getParameterEntry(AEffect* record, VstInt32 index)
{
    return record ? effectOf(record)->getParameter(index) : 0.0f;
}

// --- first-level dispatcher ------------------------------------------------------------

VstIntPtr EffectBase::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    if (needsPointer(opcode) && !ptr)
        return 0;
    char* text = static_cast<char*>(ptr);

    switch (opcode) {
    case effOpen:
        open();
        return 0;
    case effClose:
        close();
        return 0;
    case effSetProgram:
        if (value >= 0 && value < programCount)
            setProgram(VstInt32(value));
        return 0;
    case effGetProgram:
        return getProgram();
    case effSetProgramName:
        setProgramName(text);
        return 0;
    case effGetProgramName:
        getProgramName(text);
        return 0;
    case effGetParamLabel:
        getParamLabel(index, text);
        return 0;
    case effGetParamDisplay:
        getParamDisplay(index, text);
        return 0;
    case effGetParamName:
        getParamName(index, text);
        return 0;
    case effGetVu:
        return truncateToInteger(double(getVu()) * 32767.0);
    case effSetSampleRate:
        setSampleRate(opt);
        return 0;
    case effSetBlockSize:
        setBlockSize(VstInt32(value));
        return 0;
    case effMainsChanged:
        if (value == 0)
            suspend();
        else
            resume();
        return 0;
    case effEditGetRect:
        return editor ? editor->getRect(static_cast<ERect**>(ptr)) : 0;
    case effEditOpen:
        return editor ? editor->openFromHost(ptr) : 0;
    case effEditClose:
        if (editor)
            editor->closeFromHost();
        return 0;
    case effEditIdle:
        if (editor)
            editor->idle();
        return 0;
    case effIdentify:
        return fourCharacters("NvEf");
    case effGetChunk:
        return getChunk(static_cast<void**>(ptr), index != 0);
    case effSetChunk:
        return setChunk(ptr, VstInt32(value), index != 0);
    default:
        return 0;
    }
}

// --- operations with their base defaults -----------------------------------------------

void EffectBase::setParameter(VstInt32, float) {}

float EffectBase::getParameter(VstInt32) { return 0.0f; }

void EffectBase::automateParameter(VstInt32 index, float value)
{
    setParameter(index, value);
    callHost(audioMasterAutomate, index, 0, nullptr, value);
}

void EffectBase::processReplacing(float**, float**, VstInt32) {}

void EffectBase::open() {}

void EffectBase::close() {}

// The index may be set on the audio thread (a MIDI program change) while another reads it.
VstInt32 EffectBase::getProgram() { return std::atomic_ref<VstInt32>(currentProgram).load(std::memory_order_relaxed); }

void EffectBase::setProgram(VstInt32 program)
{
    std::atomic_ref<VstInt32>(currentProgram).store(program, std::memory_order_relaxed);
}

void EffectBase::setProgramName(char* name) { name[0] = '\0'; }

void EffectBase::getProgramName(char* name) { name[0] = '\0'; }

void EffectBase::getParamLabel(VstInt32, char* label) { label[0] = '\0'; }

void EffectBase::getParamDisplay(VstInt32, char* text) { text[0] = '\0'; }

void EffectBase::getParamName(VstInt32, char* text) { text[0] = '\0'; }

float EffectBase::getVu() { return 0.0f; }

VstInt32 EffectBase::getChunk(void**, bool) { return 0; }

VstInt32 EffectBase::setChunk(void*, VstInt32, bool) { return 0; }

void EffectBase::setSampleRate(float rate) { sampleRate = rate; }

void EffectBase::setBlockSize(VstInt32 size) { blockSize = size; }

void EffectBase::suspend() {}

void EffectBase::resume() {}

// --- record and flags --------------------------------------------------------------------

void EffectBase::setUniqueId(VstInt32 id) { hostRecord.uniqueID = id; }

void EffectBase::setNumInputs(VstInt32 inputs) { hostRecord.numInputs = inputs; }

void EffectBase::setNumOutputs(VstInt32 outputs) { hostRecord.numOutputs = outputs; }

void EffectBase::setFlag(VstInt32 flag, bool state)
{
    VstInt32 flags = hostRecord.flags;
    flags = state ? (flags | flag) : (flags & ~flag);
    hostRecord.flags = flags;
}

void EffectBase::setHasVu(bool state) { setFlag(effFlagsHasVu, state); }

void EffectBase::setHasClip(bool state) { setFlag(effFlagsHasClip, state); }

void EffectBase::setCanMono(bool state) { setFlag(effFlagsCanMono, state); }

void EffectBase::setCanReplacing(bool state) { setFlag(effFlagsCanReplacing, state); }

void EffectBase::setProgramChunks(bool state) { setFlag(effFlagsProgramChunks, state); }

void EffectBase::setRealQualities(VstInt32 qualities) { hostRecord.realQualities = qualities; }

void EffectBase::setOffQualities(VstInt32 qualities) { hostRecord.offQualities = qualities; }

void EffectBase::setInitialDelay(VstInt32 delay) { hostRecord.initialDelay = delay; }

float EffectBase::getSampleRate() { return sampleRate; }

VstInt32 EffectBase::getBlockSize() { return blockSize; }

// --- host calls --------------------------------------------------------------------------

VstIntPtr EffectBase::hostVersion()
{
    const VstIntPtr version = callHost(audioMasterVersion);
    return version != 0 ? version : 1;
}

VstIntPtr EffectBase::hostCurrentId() { return callHost(audioMasterCurrentId); }

VstIntPtr EffectBase::hostIdle() { return callHost(audioMasterIdle); }

// The host answers 0 for a connected pin; no host means connected.
bool EffectBase::isInputConnected(VstInt32 input) { return callHost(audioMasterPinConnected, input, 0) == 0; }

bool EffectBase::isOutputConnected(VstInt32 output) { return callHost(audioMasterPinConnected, output, 1) == 0; }

// --- value-to-text -----------------------------------------------------------------------

void EffectBase::decibelsToText(float gain, char* text) { ValueText::writeDecibels(gain, text); }

void EffectBase::hertzToText(float samples, char* text) { ValueText::writeHertz(samples, getSampleRate(), text); }

void EffectBase::millisecondsToText(float samples, char* text)
{
    ValueText::writeMilliseconds(samples, getSampleRate(), text);
}

void EffectBase::floatToText(float value, char* text) { ValueText::writeFloat(value, text); }

void EffectBase::longToText(VstInt32 value, char* text) { ValueText::writeLong(value, text); }

}  // namespace kelp
