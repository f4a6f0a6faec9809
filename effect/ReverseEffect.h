// The plug-in's effect: three parameters in one program, two reversing buffers and the
// on/off crossfade between the reversed and the dry signal.
#pragma once

#include <atomic>
#include <cstdint>

#include "effect/ReverseBuffer.h"
#include "effect/ReverseProgram.h"
#include "effect/StereoReverser.h"
#include "host/EffectBaseEx.h"

enum EffectParameter : VstInt32 {
    kOnOff = 0,
    kBuffSize = 1,
    kNoteMs = 2,
    kNumParameters = 3,
};

class ReverseEffect : public kelp::EffectBaseEx {
public:
    static constexpr VstInt32 kNumPrograms = 1;
    static constexpr int kBufferCapacity = 88200;
    static constexpr float kFadeStep = StereoReverser::kFadeStep;

    explicit ReverseEffect(HostCallback hostCallback);
    ~ReverseEffect() override;

    // False when the program store or a buffer could not be allocated.
    bool isValid() const;

    void setParameter(VstInt32 index, float value) override;
    float getParameter(VstInt32 index) override;
    void process(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames) override;
    void setProgram(VstInt32 program) override;
    void setProgramName(char* name) override;
    void getProgramName(char* name) override;
    void getParamLabel(VstInt32 index, char* label) override;
    void getParamDisplay(VstInt32 index, char* text) override;
    void getParamName(VstInt32 index, char* text) override;
    float getVu() override;
    void suspend() override;
    void resume() override;
    VstInt32 processEvents(VstEvents* events) override;
    bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text) override;
    bool copyProgram(VstInt32 destination) override;
    bool getInputProperties(VstInt32 index, VstPinProperties* properties) override;
    bool getOutputProperties(VstInt32 index, VstPinProperties* properties) override;
    VstInt32 getPlugCategory() override;
    bool getEffectName(char* name) override;
    bool getVendorString(char* text) override;
    bool getProductString(char* text) override;
    VstInt32 getVendorVersion() override;
    VstInt32 canDo(char* text) override;
    VstInt32 getTailSize() override;

    // True once per bar start reported by the host's time information; nothing calls it.
    virtual bool isBarStart();
    virtual void onOffText(float value, char* text);

    // The per-frame stereo step, which the audio entries reproduce a block at a time. A
    // setting of parameter 0 takes effect from the next frame here, from the next block there.
    void processStereoSample(float inLeft, float inRight, float& outLeft, float& outRight)
    {
        const bool on = takeOnOffSetting();
        reverser.frame(inLeft, inRight, outLeft, outRight, on, crossfade);
        fade.store(crossfade, std::memory_order_relaxed);
    }

    float getFade() const { return fade.load(std::memory_order_relaxed); }
    float getHostTempo() const { return hostTempo.load(std::memory_order_relaxed); }
    const ReverseBuffer* getLeftBuffer() const { return leftBuffer; }

private:
    template <bool accumulate>
    void processBlock(float** inputs, float** outputs, VstInt32 sampleFrames);
    void readTempo();
    void countOnOffSetting(bool on);
    bool takeOnOffSetting();
    void startWithoutCrossfade();
    float targetLengthFor(float buffSize) const;

    ReverseProgram* programs;
    float vuValue;
    std::atomic<float> onOffValue;
    std::atomic<float> buffSizeValue;
    std::atomic<float> noteMsValue;
    ReverseBuffer* leftBuffer;
    ReverseBuffer* rightBuffer;
    StereoReverser reverser;
    // Every setting of parameter 0 counts in the upper bits, whether it switches on in bit 0:
    // the audio thread takes both in one load, and a setting made while it processes a block
    // is taken at the next one.
    std::atomic<std::uint32_t> onOffSettings;
    std::uint32_t onOffSettingsTaken;  // audio thread
    float crossfade;                   // audio thread: the crossfade amount it counts down
    std::atomic<float> fade;           // that amount for other threads; 1.0 right after a setting
    std::atomic<float> hostTempo;
    char effectName[24];
    char productString[24];
    char vendorString[27];
    int barHoldOff;
    bool barAtZeroSeen;
};

// The effect's editor, made by the editor subsystem (editor/ReverseEditor.cpp, or
// editor/NoEditor.cpp in the window-free build) right after the effect; it registers itself
// with the effect. False only when an editor was wanted but could not be made.
bool createEditor(ReverseEffect& effect);
