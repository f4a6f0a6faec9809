#include "host/EffectBaseEx.h"

#include <cstdlib>
#include <cstring>

#include "host/EffectEditor.h"
#include "host/ValueText.h"

namespace kelp {

namespace {

    // Opcodes whose operation reads or writes through the pointer argument (and, for the
    // speaker arrangements, through the value too). A host that passes null gets 0.
    bool needsPointer(VstInt32 opcode)
    {
        switch (opcode) {
        case effProcessEvents:
        case effString2Parameter:
        case effGetProgramNameIndexed:
        case effGetInputProperties:
        case effGetOutputProperties:
        case effOfflineNotify:
        case effOfflinePrepare:
        case effOfflineRun:
        case effProcessVarIo:
        case effSetSpeakerArrangement:
        case effGetEffectName:
        case effGetErrorText:
        case effGetVendorString:
        case effGetProductString:
        case effCanDo:
        case effGetParameterProperties:
        case effGetMidiProgramName:
        case effGetCurrentMidiProgram:
        case effGetMidiProgramCategory:
        case effGetMidiKeyName:
        case effGetSpeakerArrangement:
        case effShellGetNextPlugin:
        case effBeginLoadBank:
        case effBeginLoadProgram:
            return true;
        default:
            return false;
        }
    }

    bool needsValuePointer(VstInt32 opcode)
    {
        return opcode == effSetSpeakerArrangement || opcode == effGetSpeakerArrangement;
    }

    VstIntPtr answer(bool result) { return result ? 1 : 0; }

    template <typename T>
    T* pointerFromValue(VstIntPtr value)
    {
        return reinterpret_cast<T*>(value);
    }

}  // namespace

EffectBaseEx::EffectBaseEx(HostCallback hostCallback, VstInt32 programCount, VstInt32 parameterCount)
    : EffectBase(hostCallback, programCount, parameterCount)
{
}

EffectBaseEx::~EffectBaseEx() = default;

VstIntPtr EffectBaseEx::dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    if (opcode < effProcessEvents || opcode > effBeginLoadProgram)
        return EffectBase::dispatcher(opcode, index, value, ptr, opt);
    if ((needsPointer(opcode) && !ptr) || (needsValuePointer(opcode) && value == 0))
        return 0;
    char* text = static_cast<char*>(ptr);

    switch (opcode) {
    case effProcessEvents:
        return processEvents(static_cast<VstEvents*>(ptr));
    case effCanBeAutomated:
        return answer(canBeAutomated(index));
    case effString2Parameter:
        return answer(stringToParameter(index, text));
    case effGetNumProgramCategories:
        return getNumProgramCategories();
    case effGetProgramNameIndexed:
        return answer(getProgramNameIndexed(VstInt32(value), index, text));
    case effCopyProgram:
        return answer(copyProgram(index));
    case effConnectInput:
        connectInput(index, value != 0);
        return 1;
    case effConnectOutput:
        connectOutput(index, value != 0);
        return 1;
    case effGetInputProperties:
        return answer(getInputProperties(index, static_cast<VstPinProperties*>(ptr)));
    case effGetOutputProperties:
        return answer(getOutputProperties(index, static_cast<VstPinProperties*>(ptr)));
    case effGetPlugCategory:
        return getPlugCategory();
    case effGetCurrentPosition:
        return getCurrentPosition();
    case effGetDestinationBuffer:
        return reinterpret_cast<VstIntPtr>(getDestinationBuffer());
    case effOfflineNotify:
        return answer(offlineNotify(static_cast<VstAudioFile*>(ptr), VstInt32(value), index != 0));
    case effOfflinePrepare:
        return answer(offlinePrepare(static_cast<VstOfflineTask*>(ptr), VstInt32(value)));
    case effOfflineRun:
        return answer(offlineRun(static_cast<VstOfflineTask*>(ptr), VstInt32(value)));
    case effProcessVarIo:
        return answer(processVarIo(static_cast<VstVariableIo*>(ptr)));
    case effSetSpeakerArrangement:
        return answer(setSpeakerArrangement(pointerFromValue<VstSpeakerArrangement>(value),
                                            static_cast<VstSpeakerArrangement*>(ptr)));
    case effSetBlockSizeAndSampleRate:
        setBlockSizeAndSampleRate(VstInt32(value), opt);
        return 1;
    case effSetBypass:
        return answer(setBypass(value != 0));
    case effGetEffectName:
        return answer(getEffectName(text));
    case effGetErrorText:
        return answer(getErrorText(text));
    case effGetVendorString:
        return answer(getVendorString(text));
    case effGetProductString:
        return answer(getProductString(text));
    case effGetVendorVersion:
        return getVendorVersion();
    case effVendorSpecific:
        return vendorSpecific(index, value, ptr, opt);
    case effCanDo:
        return canDo(text);
    case effGetTailSize:
        return getTailSize();
    case effIdle:
        return idle();
    case effGetIcon:
        return reinterpret_cast<VstIntPtr>(getIcon());
    case effSetViewPosition:
        return answer(setViewPosition(index, VstInt32(value)));
    case effGetParameterProperties:
        return answer(getParameterProperties(index, static_cast<VstParameterProperties*>(ptr)));
    case effKeysRequired:
        return answer(!keysRequired());
    case effGetVstVersion:
        return getVstVersion();
    case effEditKeyDown:
    case effEditKeyUp: {
        if (!editor)
            return 0;
        VstKeyCode key{index, std::uint8_t(value), std::uint8_t(VstInt32(opt))};
        return opcode == effEditKeyDown ? editor->keyDown(key) : editor->keyUp(key);
    }
    case effSetEditKnobMode:
        return editor ? editor->setKnobMode(VstInt32(value)) : 0;
    case effGetMidiProgramName:
        return getMidiProgramName(index, static_cast<MidiProgramName*>(ptr));
    case effGetCurrentMidiProgram:
        return getCurrentMidiProgram(index, static_cast<MidiProgramName*>(ptr));
    case effGetMidiProgramCategory:
        return getMidiProgramCategory(index, static_cast<MidiProgramCategory*>(ptr));
    case effHasMidiProgramsChanged:
        return answer(hasMidiProgramsChanged(index));
    case effGetMidiKeyName:
        return answer(getMidiKeyName(index, static_cast<MidiKeyName*>(ptr)));
    case effBeginSetProgram:
        return answer(beginSetProgram());
    case effEndSetProgram:
        return answer(endSetProgram());
    case effGetSpeakerArrangement:
        return answer(getSpeakerArrangement(pointerFromValue<VstSpeakerArrangement*>(value),
                                            static_cast<VstSpeakerArrangement**>(ptr)));
    case effShellGetNextPlugin:
        return shellGetNextPlugin(text);
    case effStartProcess:
        return startProcess();
    case effStopProcess:
        return stopProcess();
    case effSetTotalSampleToProcess:
        return setTotalSampleToProcess(VstInt32(value));
    case effSetPanLaw:
        return answer(setPanLaw(VstInt32(value), opt));
    case effBeginLoadBank:
        return beginLoadBank(static_cast<VstPatchChunkInfo*>(ptr));
    case effBeginLoadProgram:
        return beginLoadProgram(static_cast<VstPatchChunkInfo*>(ptr));
    default:
        return 0;
    }
}

// --- operations with their base defaults -----------------------------------------------

EffectEditor* EffectBaseEx::getEditor() { return editor; }

VstInt32 EffectBaseEx::processEvents(VstEvents*) { return 0; }

bool EffectBaseEx::canBeAutomated(VstInt32) { return true; }

bool EffectBaseEx::stringToParameter(VstInt32, char*) { return false; }

float EffectBaseEx::getParameterForChannel(VstInt32, VstInt32) { return 0.0f; }

VstInt32 EffectBaseEx::getNumProgramCategories() { return 1; }

bool EffectBaseEx::getProgramNameIndexed(VstInt32, VstInt32, char*) { return false; }

bool EffectBaseEx::copyProgram(VstInt32) { return false; }

void EffectBaseEx::connectInput(VstInt32, bool) {}

void EffectBaseEx::connectOutput(VstInt32, bool) {}

bool EffectBaseEx::getInputProperties(VstInt32, VstPinProperties*) { return false; }

bool EffectBaseEx::getOutputProperties(VstInt32, VstPinProperties*) { return false; }

VstInt32 EffectBaseEx::getPlugCategory()
{
    return (hostRecord.flags & effFlagsIsSynth) ? kPlugCategSynth : kPlugCategUnknown;
}

void EffectBaseEx::setExtIsAsync(bool state) { setFlag(effFlagsExtIsAsync, state); }

void EffectBaseEx::setExtHasBuffer(bool state) { setFlag(effFlagsExtHasBuffer, state); }

VstInt32 EffectBaseEx::getCurrentPosition() { return 0; }

float* EffectBaseEx::getDestinationBuffer() { return nullptr; }

bool EffectBaseEx::offlineNotify(VstAudioFile*, VstInt32, bool) { return false; }

bool EffectBaseEx::offlinePrepare(VstOfflineTask*, VstInt32) { return false; }

bool EffectBaseEx::offlineRun(VstOfflineTask*, VstInt32) { return false; }

VstInt32 EffectBaseEx::getOfflinePassCount() { return 0; }

VstInt32 EffectBaseEx::getOfflineMetaPassCount() { return 0; }

void EffectBaseEx::setIsSynth(bool state) { setFlag(effFlagsIsSynth, state); }

void EffectBaseEx::setNoSoundInStop(bool state) { setFlag(effFlagsNoSoundInStop, state); }

bool EffectBaseEx::processVarIo(VstVariableIo*) { return false; }

bool EffectBaseEx::setSpeakerArrangement(VstSpeakerArrangement*, VstSpeakerArrangement*) { return false; }

bool EffectBaseEx::getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output)
{
    *input = nullptr;
    *output = nullptr;
    return false;
}

void EffectBaseEx::setBlockSizeAndSampleRate(VstInt32 size, float rate)
{
    blockSize = size;
    sampleRate = rate;
}

bool EffectBaseEx::setBypass(bool) { return false; }

bool EffectBaseEx::getEffectName(char*) { return false; }

bool EffectBaseEx::getErrorText(char*) { return false; }

bool EffectBaseEx::getVendorString(char*) { return false; }

bool EffectBaseEx::getProductString(char*) { return false; }

VstInt32 EffectBaseEx::getVendorVersion() { return 0; }

VstIntPtr EffectBaseEx::vendorSpecific(VstInt32, VstIntPtr, void*, float) { return 0; }

VstInt32 EffectBaseEx::canDo(char*) { return 0; }

void* EffectBaseEx::getIcon() { return nullptr; }

bool EffectBaseEx::setViewPosition(VstInt32, VstInt32) { return false; }

VstInt32 EffectBaseEx::getTailSize() { return 0; }

VstInt32 EffectBaseEx::idle() { return 0; }

bool EffectBaseEx::getParameterProperties(VstInt32, VstParameterProperties*) { return false; }

bool EffectBaseEx::keysRequired() { return false; }

VstInt32 EffectBaseEx::getVstVersion() { return 2300; }

VstInt32 EffectBaseEx::getMidiProgramName(VstInt32, MidiProgramName*) { return 0; }

VstInt32 EffectBaseEx::getCurrentMidiProgram(VstInt32, MidiProgramName*) { return -1; }

VstInt32 EffectBaseEx::getMidiProgramCategory(VstInt32, MidiProgramCategory*) { return 0; }

bool EffectBaseEx::hasMidiProgramsChanged(VstInt32) { return false; }

bool EffectBaseEx::getMidiKeyName(VstInt32, MidiKeyName*) { return false; }

bool EffectBaseEx::beginSetProgram() { return false; }

bool EffectBaseEx::endSetProgram() { return false; }

VstInt32 EffectBaseEx::setTotalSampleToProcess(VstInt32 value) { return value; }

VstInt32 EffectBaseEx::shellGetNextPlugin(char*) { return 0; }

VstInt32 EffectBaseEx::startProcess() { return 0; }

VstInt32 EffectBaseEx::stopProcess() { return 0; }

bool EffectBaseEx::setPanLaw(VstInt32, float) { return false; }

VstInt32 EffectBaseEx::beginLoadBank(VstPatchChunkInfo*) { return 0; }

VstInt32 EffectBaseEx::beginLoadProgram(VstPatchChunkInfo*) { return 0; }

// --- speaker arrangements ----------------------------------------------------------------

bool EffectBaseEx::allocateSpeakerArrangement(VstSpeakerArrangement** arrangement, VstInt32 channels)
{
    if (!arrangement)
        return false;
    releaseSpeakerArrangement(arrangement);
    if (channels < 0)
        return false;
    auto* created = static_cast<VstSpeakerArrangement*>(std::calloc(1, speakerArrangementSize(channels)));
    if (!created)
        return false;
    created->numChannels = channels;
    *arrangement = created;
    return true;
}

bool EffectBaseEx::releaseSpeakerArrangement(VstSpeakerArrangement** arrangement)
{
    if (arrangement && *arrangement) {
        std::free(*arrangement);
        *arrangement = nullptr;
    }
    return true;
}

bool EffectBaseEx::copySpeakerProperties(VstSpeakerProperties* to, VstSpeakerProperties* from)
{
    if (!to || !from)
        return false;
    ValueText::copy(to->name, from->name, int(sizeof to->name) - 1);
    to->type = from->type;
    to->azimuth = from->azimuth;
    to->elevation = from->elevation;
    to->radius = from->radius;
    to->reserved = from->reserved;
    std::memcpy(to->future, from->future, sizeof to->future);
    return true;
}

bool EffectBaseEx::copySpeakerArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from)
{
    if (!from || !to)
        return false;
    if (!releaseSpeakerArrangement(to) || !allocateSpeakerArrangement(to, from->numChannels))
        return false;
    (*to)->type = from->type;
    for (VstInt32 i = 0; i < from->numChannels; ++i)
        if (!copySpeakerProperties(speakerAt(*to, i), speakerAt(from, i)))
            return false;
    return true;
}

// --- host calls --------------------------------------------------------------------------

VstIntPtr EffectBaseEx::hostWantMidi(VstInt32 filter) { return callHost(audioMasterWantMidi, 0, filter); }

VstTimeInfo* EffectBaseEx::hostGetTime(VstInt32 filter)
{
    return reinterpret_cast<VstTimeInfo*>(callHost(audioMasterGetTime, 0, filter));
}

VstIntPtr EffectBaseEx::hostTempoAt(VstInt32 position) { return callHost(audioMasterTempoAt, 0, position); }

bool EffectBaseEx::hostProcessEvents(VstEvents* events)
{
    return callHost(audioMasterProcessEvents, 0, 0, events) == 1;
}

VstIntPtr EffectBaseEx::hostGetNumAutomatableParameters() { return callHost(audioMasterGetNumAutomatableParameters); }

VstIntPtr EffectBaseEx::hostGetParameterQuantization() { return callHost(audioMasterGetParameterQuantization); }

bool EffectBaseEx::hostIOChanged() { return callHost(audioMasterIOChanged) != 0; }

bool EffectBaseEx::hostNeedIdle() { return callHost(audioMasterNeedIdle) != 0; }

bool EffectBaseEx::hostSizeWindow(VstInt32 width, VstInt32 height)
{
    return callHost(audioMasterSizeWindow, width, height) != 0;
}

// Only a positive answer replaces what the effect already knows.
float EffectBaseEx::hostGetSampleRate()
{
    const VstIntPtr rate = callHost(audioMasterGetSampleRate);
    if (rate > 0)
        sampleRate = float(rate);
    return sampleRate;
}

VstInt32 EffectBaseEx::hostGetBlockSize()
{
    const VstIntPtr size = callHost(audioMasterGetBlockSize);
    if (size > 0)
        blockSize = VstInt32(size);
    return blockSize;
}

VstIntPtr EffectBaseEx::hostGetInputLatency() { return callHost(audioMasterGetInputLatency); }

VstIntPtr EffectBaseEx::hostGetOutputLatency() { return callHost(audioMasterGetOutputLatency); }

// The pin travels in the index, as it does for the pin-connection query.
AEffect* EffectBaseEx::hostGetPreviousPlug(VstInt32 pin)
{
    return reinterpret_cast<AEffect*>(callHost(audioMasterGetPreviousPlug, pin));
}

AEffect* EffectBaseEx::hostGetNextPlug(VstInt32 pin)
{
    return reinterpret_cast<AEffect*>(callHost(audioMasterGetNextPlug, pin));
}

VstIntPtr EffectBaseEx::hostWillReplaceOrAccumulate() { return callHost(audioMasterWillReplaceOrAccumulate); }

VstIntPtr EffectBaseEx::hostGetCurrentProcessLevel() { return callHost(audioMasterGetCurrentProcessLevel); }

VstIntPtr EffectBaseEx::hostGetAutomationState() { return callHost(audioMasterGetAutomationState); }

bool EffectBaseEx::hostOfflineStart(VstAudioFile* files, VstInt32 count, VstInt32 newCount)
{
    return callHost(audioMasterOfflineStart, newCount, count, files) != 0;
}

bool EffectBaseEx::hostOfflineRead(VstOfflineTask* task, VstInt32 option, bool readSource)
{
    return callHost(audioMasterOfflineRead, readSource ? 1 : 0, option, task) != 0;
}

bool EffectBaseEx::hostOfflineWrite(VstOfflineTask* task, VstInt32 option)
{
    return callHost(audioMasterOfflineWrite, 0, option, task) != 0;
}

bool EffectBaseEx::hostOfflineGetCurrentPass() { return callHost(audioMasterOfflineGetCurrentPass) != 0; }

bool EffectBaseEx::hostOfflineGetCurrentMetaPass() { return callHost(audioMasterOfflineGetCurrentMetaPass) != 0; }

void EffectBaseEx::hostSetOutputSampleRate(float rate)
{
    callHost(audioMasterSetOutputSampleRate, 0, 0, nullptr, rate);
}

VstSpeakerArrangement* EffectBaseEx::hostGetSpeakerArrangement()
{
    return reinterpret_cast<VstSpeakerArrangement*>(callHost(audioMasterGetSpeakerArrangement));
}

VstSpeakerArrangement* EffectBaseEx::hostGetInputSpeakerArrangement()
{
    return reinterpret_cast<VstSpeakerArrangement*>(callHost(audioMasterGetInputSpeakerArrangement));
}

bool EffectBaseEx::hostGetVendorString(char* text) { return callHost(audioMasterGetVendorString, 0, 0, text) != 0; }

bool EffectBaseEx::hostGetProductString(char* text) { return callHost(audioMasterGetProductString, 0, 0, text) != 0; }

VstIntPtr EffectBaseEx::hostGetVendorVersion() { return callHost(audioMasterGetVendorVersion); }

VstIntPtr EffectBaseEx::hostVendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt)
{
    return callHost(audioMasterVendorSpecific, index, value, ptr, opt);
}

bool EffectBaseEx::hostCanDo(char* text) { return callHost(audioMasterCanDo, 0, 0, text) != 0; }

VstIntPtr EffectBaseEx::hostGetLanguage() { return callHost(audioMasterGetLanguage); }

void* EffectBaseEx::hostOpenWindow(VstWindow* window)
{
    return reinterpret_cast<void*>(callHost(audioMasterOpenWindow, 0, 0, window));
}

bool EffectBaseEx::hostCloseWindow(VstWindow* window) { return callHost(audioMasterCloseWindow, 0, 0, window) != 0; }

void* EffectBaseEx::hostGetDirectory() { return reinterpret_cast<void*>(callHost(audioMasterGetDirectory)); }

bool EffectBaseEx::hostUpdateDisplay() { return callHost(audioMasterUpdateDisplay) != 0; }

bool EffectBaseEx::hostBeginEdit(VstInt32 index) { return callHost(audioMasterBeginEdit, index) != 0; }

bool EffectBaseEx::hostEndEdit(VstInt32 index) { return callHost(audioMasterEndEdit, index) != 0; }

bool EffectBaseEx::hostOpenFileSelector(VstFileSelect* select)
{
    return select && callHost(audioMasterOpenFileSelector, 0, 0, select) != 0;
}

bool EffectBaseEx::hostCloseFileSelector(VstFileSelect* select)
{
    return select && callHost(audioMasterCloseFileSelector, 0, 0, select) != 0;
}

bool EffectBaseEx::hostGetChunkFile(void* nativePath)
{
    return nativePath && callHost(audioMasterGetChunkFile, 0, 0, nativePath) != 0;
}

}  // namespace kelp
