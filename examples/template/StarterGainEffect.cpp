#include "StarterGainEffect.h"

#include <cmath>
#include <cstring>
#include <limits>

#include "Identity.h"
#include "host/EffectEditor.h"
#include "host/ValueText.h"

using namespace kelp;

namespace {

// Names are at most 31 characters plus the terminator; vendor and product 63.
constexpr int kNameLength = 31;
constexpr int kVendorLength = 63;

// Hostile input (NaN, infinities) becomes silence rather than reaching the host's mix.
inline float finiteOrZero(float x) { return std::fabs(x) <= std::numeric_limits<float>::max() ? x : 0.0f; }

}  // namespace

StarterGainEffect::StarterGainEffect(HostCallback hostCallback)
    : EffectBaseEx(hostCallback, 1, kNumParameters), gainValue(kDefaultGain), setting(kDefaultGain),
      gain(gainFor(kDefaultGain)), target(gain)
{
    setNumInputs(2);
    setNumOutputs(2);
    setCanReplacing(true);
    setUniqueId(fourCharacters(Identity::uniqueId));
}

// --- parameter -------------------------------------------------------------------------

// From any thread, the audio thread among them: one atomic store, and a request to the editor,
// which moves its controls later on its own thread.
void StarterGainEffect::setParameter(VstInt32 index, float value)
{
    if (index != kGain)
        return;
    gainValue.store(value, std::memory_order_relaxed);
    if (editor)
        editor->setParameter(index, value);
}

float StarterGainEffect::getParameter(VstInt32 index)
{
    return index == kGain ? gainValue.load(std::memory_order_relaxed) : 0.0f;
}

// Written so that NaN counts as 0.
float StarterGainEffect::decibelsFor(float value)
{
    const float inRange = value > 0.0f ? (value < 1.0f ? value : 1.0f) : 0.0f;
    return (2.0f * inRange - 1.0f) * kRangeDecibels;
}

float StarterGainEffect::gainFor(float value) { return std::pow(10.0f, decibelsFor(value) / 20.0f); }

void StarterGainEffect::getParamName(VstInt32 index, char* text)
{
    if (index == kGain)
        ValueText::copy(text, "Gain", ValueText::maxLength);
}

void StarterGainEffect::getParamLabel(VstInt32 index, char* label)
{
    if (index == kGain)
        ValueText::copy(label, "dB", ValueText::maxLength);
}

void StarterGainEffect::getParamDisplay(VstInt32 index, char* text)
{
    if (index == kGain)
        decibelsToText(gainFor(getParameter(kGain)), text);
}

void StarterGainEffect::getProgramName(char* name) { ValueText::copy(name, "Default", 23); }

// --- identity ----------------------------------------------------------------------------

bool StarterGainEffect::getEffectName(char* name)
{
    ValueText::copy(name, Identity::name, kNameLength);
    return true;
}

bool StarterGainEffect::getVendorString(char* text)
{
    ValueText::copy(text, Identity::vendor, kVendorLength);
    return true;
}

bool StarterGainEffect::getProductString(char* text)
{
    ValueText::copy(text, Identity::product, kVendorLength);
    return true;
}

VstInt32 StarterGainEffect::getVendorVersion() { return Identity::vendorVersion; }

VstInt32 StarterGainEffect::getPlugCategory() { return kPlugCategEffect; }

VstInt32 StarterGainEffect::getTailSize() { return 1; }  // 1 means none; 0 would mean unknown

VstInt32 StarterGainEffect::canDo(char* text)
{
    return std::strcmp(text, "plugAsChannelInsert") == 0 || std::strcmp(text, "2in2out") == 0 ? 1 : -1;
}

// --- audio -------------------------------------------------------------------------------

void StarterGainEffect::process(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    processBlock<true>(inputs, outputs, sampleFrames);
}

void StarterGainEffect::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    processBlock<false>(inputs, outputs, sampleFrames);
}

void StarterGainEffect::followSetting()
{
    const float value = gainValue.load(std::memory_order_relaxed);
    if (value == setting)
        return;
    setting = value;
    target = gainFor(value);
    step = (target - gain) / float(kRampFrames);
    rampLeft = kRampFrames;
}

// No allocation, no lock, no call per frame. Each frame's inputs are read before its outputs
// are written, so hosts may process in place.
template <bool accumulate>
void StarterGainEffect::processBlock(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    if (sampleFrames < 1 || !inputs || !outputs || !inputs[0] || !inputs[1] || !outputs[0] || !outputs[1])
        return;
    followSetting();
    const float* inLeft = inputs[0];
    const float* inRight = inputs[1];
    float* outLeft = outputs[0];
    float* outRight = outputs[1];
    for (VstInt32 i = 0; i < sampleFrames; ++i) {
        if (rampLeft > 0)
            gain = --rampLeft == 0 ? target : gain + step;  // ends on the setting exactly
        const float left = finiteOrZero(inLeft[i]) * gain;
        const float right = finiteOrZero(inRight[i]) * gain;
        if constexpr (accumulate) {
            outLeft[i] += left;
            outRight[i] += right;
        } else {
            outLeft[i] = left;
            outRight[i] = right;
        }
    }
}
