// A stereo gain with one parameter, "Gain": -24 dB at 0, unity in the middle, +24 dB at 1. A
// new setting is reached along a short ramp, so that automation does not click.
#pragma once

#include <atomic>

#include "host/EffectBaseEx.h"

enum StarterGainParameter : VstInt32 { kGain, kNumParameters };

class StarterGainEffect : public kelp::EffectBaseEx {
public:
    static constexpr float kDefaultGain = 0.5f;     // unity
    static constexpr float kRangeDecibels = 24.0f;  // either way from unity
    static constexpr VstInt32 kRampFrames = 64;     // about 1.5 ms at 44.1 kHz

    explicit StarterGainEffect(HostCallback hostCallback);

    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void process(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void getParamName(VstInt32 index, char* text) override;
    void getParamLabel(VstInt32 index, char* label) override;
    void getParamDisplay(VstInt32 index, char* text) override;
    void getProgramName(char* name) override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override;
    VstInt32 getPlugCategory() override;
    VstInt32 getTailSize() override;
    VstInt32 canDo(char* text) override;

    // What a parameter value stands for; values outside 0 to 1 (and NaN) count as an end.
    static float decibelsFor(float value);
    static float gainFor(float value);

private:
    template <bool accumulate>
    void processBlock(float** inputs, float** outputs, VstInt32 sampleFrames);
    // Once per block: a new setting starts a ramp from the factor applied now.
    void followSetting();

    std::atomic<float> gainValue;  // the parameter, written from any thread
    // The audio thread's own: the setting last seen, the factor applied now and its ramp.
    float setting;
    float gain;
    float target;
    float step = 0.0f;
    VstInt32 rampLeft = 0;
};
