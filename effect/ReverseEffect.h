// The plug-in's effect: three parameters in one program, two reversing buffers and the
// on/off crossfade between the reversed and the dry signal.
#pragma once

#include <atomic>
#include <cstdint>

#include "effect/ReverseBuffer.h"
#include "effect/ReverseProgram.h"
#include "host/EffectBaseEx.h"

enum EffectParameter : VstInt32 {
    kOnOff = 0,
    kBuffSize = 1,
    kNoteMs = 2,
    kNumParameters = 3,
};

class ReverseEffect : public EffectBaseEx {
public:
    static constexpr VstInt32 kNumPrograms = 1;
    static constexpr int kBufferCapacity = 88200;
    static constexpr float kFadeStep = 0.005f;

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

    // The per-frame stereo step shared by both audio entries.
    void processStereoSample(float inLeft, float inRight, float& outLeft, float& outRight)
    {
        const float revLeft = leftBuffer->processSample(inLeft);
        const float revRight = rightBuffer->processSample(inRight);
        const bool on = onOffValue.load(std::memory_order_relaxed) > 0.5f;
        float amount = fade.load(std::memory_order_relaxed);
        if (amount > 0.0f) {
            if (on) {
                outLeft = inLeft * amount + revLeft * (1.0f - amount);
                outRight = inRight * amount + revRight * (1.0f - amount);
            } else {
                outLeft = revLeft * amount + inLeft * (1.0f - amount);
                outRight = revRight * amount + inRight * (1.0f - amount);
            }
            // A restart stored meanwhile by setParameter wins over the countdown.
            fade.compare_exchange_strong(amount, amount - kFadeStep, std::memory_order_relaxed);
        } else if (on) {
            outLeft = revLeft;
            outRight = revRight;
        } else {
            outLeft = inLeft;
            outRight = inRight;
        }
        outLeft = audible(outLeft);
        outRight = audible(outRight);
    }

    // What a host may be handed: NaN, infinity and subnormals, which only the dry signal can
    // bring (flush-to-zero does not touch a copied sample), leave as silence.
    static float audible(float x)
    {
        std::uint32_t bits;
        __builtin_memcpy(&bits, &x, sizeof bits);
        const std::uint32_t exponent = bits & 0x7f800000u;
        return exponent == 0x7f800000u || (exponent == 0 && (bits & 0x007fffffu) != 0) ? 0.0f : x;
    }

    float getFade() const { return fade.load(std::memory_order_relaxed); }
    float getHostTempo() const { return hostTempo.load(std::memory_order_relaxed); }
    const ReverseBuffer* getLeftBuffer() const { return leftBuffer; }

private:
    template <bool accumulate>
    void processBlock(float** inputs, float** outputs, VstInt32 sampleFrames);
    void readTempo();
    float targetLengthFor(float buffSize) const;

    ReverseProgram* programs;
    float vuValue;
    std::atomic<float> onOffValue;
    std::atomic<float> buffSizeValue;
    std::atomic<float> noteMsValue;
    ReverseBuffer* leftBuffer;
    ReverseBuffer* rightBuffer;
    std::atomic<float> fade;
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
