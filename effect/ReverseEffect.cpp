#include "effect/ReverseEffect.h"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <new>

#include "host/EffectEditor.h"
#include "host/ValueText.h"

using namespace kelp;

namespace {

constexpr int kTextLength = ValueText::maxLength;

const char* const parameterNames[kNumParameters] = {" On/Off ", "BuffSize", "Note/ms "};

bool isParameter(VstInt32 index) { return index >= 0 && index < kNumParameters; }

float load(const std::atomic<float>& value) { return value.load(std::memory_order_relaxed); }

// A program's values and the current program's index are written by whichever thread sets a
// parameter or a program, the audio thread among them (a MIDI program change), so each is
// read and written as one relaxed atomic access.
float loadStored(float& value) { return std::atomic_ref<float>(value).load(std::memory_order_relaxed); }

void store(float& value, float newValue) { std::atomic_ref<float>(value).store(newValue, std::memory_order_relaxed); }

}  // namespace

ReverseEffect::ReverseEffect(HostCallback hostCallback)
    : EffectBaseEx(hostCallback, kNumPrograms, kNumParameters),
      programs(new (std::nothrow) ReverseProgram[kNumPrograms]), vuValue(0.0f),
      leftBuffer(new (std::nothrow) ReverseBuffer(kBufferCapacity)),
      rightBuffer(new (std::nothrow) ReverseBuffer(kBufferCapacity)), reverser(leftBuffer, rightBuffer),
      onOffSettings(0), onOffSettingsTaken(0), crossfade(0.0f), barHoldOff(0), barAtZeroSeen(false)
{
    onOffValue.store(1.0f);
    buffSizeValue.store(1.0f);
    noteMsValue.store(0.0f);
    hostTempo.store(125.0f);  // the note-value target below needs a tempo already
    startWithoutCrossfade();

    if (programs && isValid()) {
        setProgram(0);
        setParameter(kOnOff, 1.0f);
        setParameter(kBuffSize, 1.0f);
        setParameter(kNoteMs, 0.0f);
        ValueText::copy(programs[currentProgram].name, "Backtwister", ReverseProgram::maxNameLength);
    }

    ValueText::copy(effectName, "Backtwister", sizeof effectName - 1);
    ValueText::copy(productString, "Kelpworks Backtwister", sizeof productString - 1);
    ValueText::copy(vendorString, "Kelpworks", sizeof vendorString - 1);

    setHasVu(false);
    hostRecord.numInputs = 2;
    hostRecord.numOutputs = 2;
    setCanMono(true);
    setCanReplacing(true);
    setIsSynth(false);
    hostRecord.uniqueID = fourCharacters("Bkt1");

    hostTempo.store(125.0f);
    startWithoutCrossfade();  // the settings above started one
}

// A new effect plays its state as it is, without a crossfade.
void ReverseEffect::startWithoutCrossfade()
{
    onOffSettingsTaken = onOffSettings.load(std::memory_order_relaxed) >> 1;
    crossfade = 0.0f;
    fade.store(0.0f, std::memory_order_relaxed);
}

ReverseEffect::~ReverseEffect()
{
    delete[] programs;
    delete leftBuffer;
    delete rightBuffer;
}

bool ReverseEffect::isValid() const
{
    return programs && leftBuffer && rightBuffer && leftBuffer->isValid() && rightBuffer->isValid();
}

// --- parameters and program ------------------------------------------------------------

void ReverseEffect::setParameter(VstInt32 index, float value)
{
    ReverseProgram& program = programs[getProgram()];
    switch (index) {
    case kOnOff:
        store(program.onOff, value);
        onOffValue.store(value, std::memory_order_relaxed);
        fade.store(1.0f, std::memory_order_relaxed);
        countOnOffSetting(value > 0.5f);
        break;
    case kBuffSize: {
        store(program.buffSize, value);
        buffSizeValue.store(value, std::memory_order_relaxed);
        const float target = targetLengthFor(value);
        leftBuffer->setTargetLength(target);
        rightBuffer->setTargetLength(target);
        break;
    }
    case kNoteMs:
        store(program.noteMs, value);
        noteMsValue.store(value, std::memory_order_relaxed);
        break;
    default:
        break;
    }
    if (editor) {
        editor->requestUpdate();
        editor->setParameter(index, value);
    }
}

// Whichever thread sets parameter 0: one more setting, and whether it switches on.
void ReverseEffect::countOnOffSetting(bool on)
{
    std::uint32_t settings = onOffSettings.load(std::memory_order_relaxed);
    while (!onOffSettings.compare_exchange_weak(settings, ((settings >> 1) + 1) << 1 | (on ? 1u : 0u),
                                                std::memory_order_relaxed)) {}
}

// The audio thread: a setting it has not seen restarts the crossfade.
bool ReverseEffect::takeOnOffSetting()
{
    const std::uint32_t settings = onOffSettings.load(std::memory_order_relaxed);
    if (settings >> 1 != onOffSettingsTaken) {
        onOffSettingsTaken = settings >> 1;
        crossfade = 1.0f;
    }
    return settings & 1u;
}

// Milliseconds mode: value × 87176 + 1024 samples. Note-value mode: two beats at the host
// tempo, scaled to the buffer and limited to 1024..88200.
float ReverseEffect::targetLengthFor(float buffSize) const
{
    if (load(noteMsValue) < 0.5f)
        return buffSize * 87176.0f + 1024.0f;
    const float perSecond = 0.016666668f;
    float target = 88200.0f / (load(hostTempo) * perSecond * perSecond) * 2.0f;
    if (!(target >= 1024.0f))
        target = 1024.0f;
    if (target > 88200.0f)
        target = 88200.0f;
    return target;
}

float ReverseEffect::getParameter(VstInt32 index)
{
    switch (index) {
    case kOnOff:
        return load(onOffValue);
    case kBuffSize:
        return load(buffSizeValue);
    case kNoteMs:
        return load(noteMsValue);
    default:
        return 0.0f;
    }
}

void ReverseEffect::setProgram(VstInt32 program)
{
    EffectBaseEx::setProgram(program);
    ReverseProgram& stored = programs[program];
    setParameter(kOnOff, loadStored(stored.onOff));
    setParameter(kBuffSize, loadStored(stored.buffSize));
    setParameter(kNoteMs, loadStored(stored.noteMs));
}

void ReverseEffect::setProgramName(char* name)
{
    ValueText::copy(programs[getProgram()].name, name, ReverseProgram::maxNameLength);
}

void ReverseEffect::getProgramName(char* name)
{
    const VstInt32 current = getProgram();
    const char* stored = programs[current].name;
    char numbered[40];
    if (std::strcmp(stored, "Init") == 0) {
        std::snprintf(numbered, sizeof numbered, "%s %d", stored, int(current) + 1);
        stored = numbered;
    }
    ValueText::copy(name, stored, ReverseProgram::maxNameLength);
}

void ReverseEffect::getParamLabel(VstInt32 index, char* label)
{
    if (isParameter(index))
        ValueText::copy(label, " ", kTextLength);
}

void ReverseEffect::getParamDisplay(VstInt32 index, char* text)
{
    switch (index) {
    case kOnOff:
        onOffText(load(onOffValue), text);
        break;
    case kBuffSize:
        floatToText(load(buffSizeValue) * 87176.0f + 1024.0f, text);
        break;
    case kNoteMs:
        onOffText(load(noteMsValue), text);
        break;
    default:
        break;
    }
}

void ReverseEffect::getParamName(VstInt32 index, char* text)
{
    if (isParameter(index))
        ValueText::copy(text, parameterNames[index], kTextLength);
}

void ReverseEffect::onOffText(float value, char* text)
{
    ValueText::copy(text, value >= 0.5f ? "on" : "off", kTextLength);
}

float ReverseEffect::getVu()
{
    const float vu = vuValue;
    vuValue = 0.0f;
    return vu;
}

bool ReverseEffect::getProgramNameIndexed(VstInt32, VstInt32, char*) { return false; }

bool ReverseEffect::copyProgram(VstInt32 destination)
{
    if (destination < 0 || destination >= programCount)
        return false;
    ReverseProgram& source = programs[getProgram()];
    ReverseProgram& target = programs[destination];
    if (&target != &source) {
        store(target.onOff, loadStored(source.onOff));
        store(target.buffSize, loadStored(source.buffSize));
        store(target.noteMs, loadStored(source.noteMs));
        std::memcpy(target.name, source.name, sizeof target.name);
    }
    return true;
}

// --- set-up and MIDI -------------------------------------------------------------------

void ReverseEffect::suspend() {}

void ReverseEffect::resume()
{
    hostWantMidi(1);
    const float tempo = float(double(hostTempoAt(0)) * 0.0001);
    hostTempo.store(tempo > 0.0f ? tempo : 125.0f, std::memory_order_relaxed);
}

void ReverseEffect::readTempo() { hostTempo.store(float(double(hostTempoAt(0)) * 0.0001), std::memory_order_relaxed); }

VstInt32 ReverseEffect::processEvents(VstEvents* events)
{
    // The host allocates numEvents pointers; the record declares only the first two.
    VstEvent* const* list = events->events;
    for (VstInt32 i = 0; i < events->numEvents; ++i) {
        const VstEvent* event = list[i];
        if (!event || event->type != kVstMidiType)
            continue;
        const auto* midi = reinterpret_cast<const VstMidiEvent*>(event);
        const auto status = std::uint8_t(midi->midiData[0]) & 0xF0;
        if (status == 0xB0 || status == 0xE0) {
            if (editor)
                editor->requestUpdate();
        } else if (status == 0xC0) {
            const VstInt32 program = std::uint8_t(midi->midiData[1]) & 0x7F;
            if (program < kNumPrograms)
                setProgram(program);
        }
    }
    return 1;
}

// --- identity ----------------------------------------------------------------------------

bool ReverseEffect::getInputProperties(VstInt32 index, VstPinProperties* properties)
{
    if (index < 0 || index > 1)
        return false;
    std::snprintf(properties->label, sizeof properties->label, index == 0 ? "%s Left Input %d" : "%s Right Input %d",
                  effectName, 1);
    properties->flags = kVstPinIsActive | kVstPinIsStereo;
    return true;
}

bool ReverseEffect::getOutputProperties(VstInt32 index, VstPinProperties* properties)
{
    if (index < 0 || index > 1)
        return false;
    std::snprintf(properties->label, sizeof properties->label, index == 0 ? "%s Left Output %d" : "%s Right Output %d",
                  effectName, 1);
    properties->flags = kVstPinIsActive | kVstPinIsStereo;
    return true;
}

VstInt32 ReverseEffect::getPlugCategory() { return kPlugCategEffect; }

bool ReverseEffect::getEffectName(char* name)
{
    ValueText::copy(name, effectName, ReverseProgram::maxNameLength);
    return true;
}

bool ReverseEffect::getVendorString(char* text)
{
    ValueText::copy(text, vendorString, ReverseProgram::maxNameLength);
    return true;
}

bool ReverseEffect::getProductString(char* text)
{
    ValueText::copy(text, productString, ReverseProgram::maxNameLength);
    return true;
}

VstInt32 ReverseEffect::getVendorVersion() { return 110; }

VstInt32 ReverseEffect::canDo(char* text)
{
    if (std::strcmp(text, "receiveVstEvents") == 0 || std::strcmp(text, "receiveVstMidiEvent") == 0)
        return 1;
    return -1;
}

VstInt32 ReverseEffect::getTailSize() { return 1; }

bool ReverseEffect::isBarStart()
{
    if (barHoldOff >= 1) {
        --barHoldOff;
        return false;
    }
    const VstTimeInfo* time = hostGetTime(kVstPpqPosValid | kVstBarsValid);
    const VstInt32 needed = kVstPpqPosValid | kVstBarsValid;
    if (!time || (time->flags & needed) != needed)
        return false;
    const double limit = 2147483647.0;
    const double barScaled = time->barStartPos * 100.0;
    const double ppqScaled = time->ppqPos * 100.0;
    if (!(std::fabs(barScaled) < limit && std::fabs(ppqScaled) < limit))
        return false;
    const VstInt32 bar = VstInt32(barScaled);
    const VstInt32 position = VstInt32(ppqScaled);
    if (bar != 0) {
        barAtZeroSeen = false;
        if (position != bar)
            return false;
    } else {
        if (barAtZeroSeen)
            return false;
        barAtZeroSeen = true;
        if (position != 0)
            return false;
    }
    barHoldOff = 2048;
    return true;
}

// --- audio -------------------------------------------------------------------------------

void ReverseEffect::process(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    processBlock<true>(inputs, outputs, sampleFrames);
}

void ReverseEffect::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    processBlock<false>(inputs, outputs, sampleFrames);
}

// One tempo query per block, then the block through both buffers. The block path reads
// frame i's inputs before writing its outputs, so hosts may process in place.
template <bool accumulate>
void ReverseEffect::processBlock(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    readTempo();
    if (sampleFrames < 1 || !inputs || !outputs || !inputs[0] || !inputs[1] || !outputs[0] || !outputs[1])
        return;
    const bool on = takeOnOffSetting();
    const float before = crossfade;
    reverser.process<accumulate>(inputs[0], inputs[1], outputs[0], outputs[1], sampleFrames, on, crossfade);
    if (crossfade != before)
        fade.store(crossfade, std::memory_order_relaxed);
}
