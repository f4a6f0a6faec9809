// The gallery's effect: a stereo pass-through whose parameters are the showcase's controls,
// so that every gesture on the face is automation the host sees.
#pragma once

#include <atomic>

#include "host/EffectBaseEx.h"

enum GalleryParameter : VstInt32 {
    kKnob,
    kStripKnob,
    kVerticalSlider,
    kHorizontalSlider,
    kSelector,
    kVerticalSelector,
    kRocker,
    kPushButton,
    kMomentary,
    kLed,
    kGalleryParameters
};

class GalleryEffect : public kelp::EffectBaseEx {
public:
    explicit GalleryEffect(HostCallback hostCallback);

    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void process(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void getParamName(VstInt32 index, char* text) override;
    void getParamDisplay(VstInt32 index, char* text) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getPlugCategory() override;

private:
    static void passThrough(float** inputs, float** outputs, VstInt32 sampleFrames, bool accumulate);

    std::atomic<float> values[kGalleryParameters];
};
