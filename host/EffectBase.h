// The first-generation effect base: owns the host record, decodes opcodes 0 to 24 and
// offers the host calls and value-to-text conversions every effect needs.
#pragma once

#include "host/VstInterface.h"

namespace kelp {

class EffectEditor;

class EffectBase {
public:
    EffectBase(HostCallback hostCallback, VstInt32 programCount, VstInt32 parameterCount);
    virtual ~EffectBase();

    EffectBase(const EffectBase&) = delete;
    EffectBase& operator=(const EffectBase&) = delete;

    virtual void setParameter(VstInt32 index, float value);
    virtual float getParameter(VstInt32 index);
    virtual void automateParameter(VstInt32 index, float value);
    virtual void process(float** inputs, float** outputs, VstInt32 sampleFrames) = 0;
    virtual void processReplacing(float** inputs, float** outputs, VstInt32 sampleFrames);
    virtual VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt);
    virtual void open();
    virtual void close();
    virtual VstInt32 getProgram();
    virtual void setProgram(VstInt32 program);
    virtual void setProgramName(char* name);
    virtual void getProgramName(char* name);
    virtual void getParamLabel(VstInt32 index, char* label);
    virtual void getParamDisplay(VstInt32 index, char* text);
    virtual void getParamName(VstInt32 index, char* text);
    virtual float getVu();
    virtual VstInt32 getChunk(void** data, bool isPreset);
    virtual VstInt32 setChunk(void* data, VstInt32 byteSize, bool isPreset);
    virtual void setSampleRate(float rate);
    virtual void setBlockSize(VstInt32 size);
    virtual void suspend();
    virtual void resume();
    virtual void setUniqueId(VstInt32 id);
    virtual void setNumInputs(VstInt32 inputs);
    virtual void setNumOutputs(VstInt32 outputs);
    virtual void setHasVu(bool state);
    virtual void setHasClip(bool state);
    virtual void setCanMono(bool state);
    virtual void setCanReplacing(bool state);
    virtual void setProgramChunks(bool state);
    virtual void setRealQualities(VstInt32 qualities);
    virtual void setOffQualities(VstInt32 qualities);
    virtual void setInitialDelay(VstInt32 delay);
    virtual float getSampleRate();
    virtual VstInt32 getBlockSize();
    virtual VstIntPtr hostVersion();
    virtual VstIntPtr hostCurrentId();
    virtual VstIntPtr hostIdle();
    virtual bool isInputConnected(VstInt32 input);
    virtual bool isOutputConnected(VstInt32 output);
    virtual void decibelsToText(float gain, char* text);
    virtual void hertzToText(float samples, char* text);
    virtual void millisecondsToText(float samples, char* text);
    virtual void floatToText(float value, char* text);
    virtual void longToText(VstInt32 value, char* text);

    AEffect* record() { return &hostRecord; }
    // An editor registers itself here when it is made; the effect deletes it with itself.
    void registerEditor(EffectEditor* newEditor);
    // An editor that goes first (its construction failed) takes itself back.
    void unregisterEditor(EffectEditor* leaving);

    // The record's five entries: plain functions in the interface's calling convention.
    static VstIntPtr VSTCALL dispatchEntry(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr,
                                           float opt);
    static void VSTCALL processEntry(AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames);
    static void VSTCALL processReplacingEntry(AEffect* effect, float** inputs, float** outputs, VstInt32 sampleFrames);
    static void VSTCALL setParameterEntry(AEffect* effect, VstInt32 index, float value);
    static float VSTCALL getParameterEntry(AEffect* effect, VstInt32 index);

protected:
    // Every host call goes through here; answers 0 without a host callback.
    VstIntPtr callHost(VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f)
    {
        return hostCallback ? hostCallback(&hostRecord, opcode, index, value, ptr, opt) : 0;
    }
    void setFlag(VstInt32 flag, bool state);

    float sampleRate;
    EffectEditor* editor;
    HostCallback hostCallback;
    VstInt32 programCount;
    VstInt32 parameterCount;
    VstInt32 currentProgram;
    VstInt32 blockSize;
    AEffect hostRecord;
};

}  // namespace kelp
