#include "GalleryEffect.h"

#include "editor/EditorBase.h"
#include "host/ValueText.h"

using namespace kelp;

namespace {

const char* const names[kGalleryParameters] = {"Knob",    "StripKnb", "VSlider", "HSlider", "Selector",
                                               "VSelect", "Rocker",   "Push",    "Moment",  "LED"};
// What the face shows before anyone touches it.
const float defaults[kGalleryParameters] = {0.35f, 0.7f, 0.75f, 0.4f, 0.5f, 0.0f, 0.5f, 1.0f, 0.0f, 1.0f};

bool isParameter(VstInt32 index) { return index >= 0 && index < kGalleryParameters; }

}  // namespace

GalleryEffect::GalleryEffect(HostCallback hostCallback) : EffectBaseEx(hostCallback, 1, kGalleryParameters)
{
    for (VstInt32 i = 0; i < kGalleryParameters; ++i)
        values[i].store(defaults[i]);
    setNumInputs(2);
    setNumOutputs(2);
    setCanReplacing(true);
    setUniqueId(fourCharacters("BkGl"));
}

void GalleryEffect::setParameter(VstInt32 index, float value)
{
    if (isParameter(index))
        values[index].store(value, std::memory_order_relaxed);
    if (editor)
        editor->setParameter(index, value);
}

float GalleryEffect::getParameter(VstInt32 index)
{
    return isParameter(index) ? values[index].load(std::memory_order_relaxed) : 0.0f;
}

void GalleryEffect::process(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    passThrough(inputs, outputs, sampleFrames, true);
}

void GalleryEffect::processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames)
{
    passThrough(inputs, outputs, sampleFrames, false);
}

void GalleryEffect::passThrough(float** inputs, float** outputs, VstInt32 sampleFrames, bool accumulate)
{
    if (sampleFrames < 1 || !inputs || !outputs)
        return;
    for (int channel = 0; channel < 2; ++channel) {
        if (!inputs[channel] || !outputs[channel])
            continue;
        for (VstInt32 i = 0; i < sampleFrames; ++i)
            outputs[channel][i] = (accumulate ? outputs[channel][i] : 0.0f) + inputs[channel][i];
    }
}

void GalleryEffect::getParamName(VstInt32 index, char* text)
{
    if (isParameter(index))
        ValueText::copy(text, names[index], ValueText::maxLength);
}

void GalleryEffect::getParamDisplay(VstInt32 index, char* text)
{
    if (isParameter(index))
        floatToText(getParameter(index), text);
}

bool GalleryEffect::getEffectName(char* name)
{
    ValueText::copy(name, "Control Bench", 23);
    return true;
}

bool GalleryEffect::getVendorString(char* text)
{
    ValueText::copy(text, "Kelpworks", 23);
    return true;
}

bool GalleryEffect::getProductString(char* text)
{
    ValueText::copy(text, "Kelpworks Control Bench", 23);
    return true;
}

VstInt32 GalleryEffect::getPlugCategory() { return kPlugCategEffect; }
