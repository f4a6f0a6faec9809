// The extended effect base: decodes opcodes 25 to 76 (everything else goes to the first
// level) and wraps the later host calls.
#pragma once

#include "host/EffectBase.h"

namespace kelp {

class EffectBaseEx : public EffectBase {
public:
    EffectBaseEx(HostCallback hostCallback, VstInt32 programCount, VstInt32 parameterCount);
    ~EffectBaseEx() override;

    VstIntPtr dispatcher(VstInt32 opcode, VstInt32 index, VstIntPtr value, void* ptr, float opt) override;

    virtual EffectEditor* getEditor();
    virtual VstIntPtr hostWantMidi(VstInt32 filter);
    virtual VstTimeInfo* hostGetTime(VstInt32 filter);
    virtual VstIntPtr hostTempoAt(VstInt32 position);
    virtual VstInt32 processEvents(VstEvents* events);
    virtual VstIntPtr hostGetNumAutomatableParameters();
    virtual VstIntPtr hostGetParameterQuantization();
    virtual bool canBeAutomated(VstInt32 index);
    virtual bool stringToParameter(VstInt32 index, char* text);
    virtual float getParameterForChannel(VstInt32 channel, VstInt32 index);
    virtual VstInt32 getNumProgramCategories();
    virtual bool getProgramNameIndexed(VstInt32 category, VstInt32 index, char* text);
    virtual bool copyProgram(VstInt32 destination);
    virtual bool hostIOChanged();
    virtual bool hostNeedIdle();
    virtual bool hostSizeWindow(VstInt32 width, VstInt32 height);
    virtual float hostGetSampleRate();
    virtual VstInt32 hostGetBlockSize();
    virtual VstIntPtr hostGetInputLatency();
    virtual VstIntPtr hostGetOutputLatency();
    virtual AEffect* hostGetPreviousPlug(VstInt32 pin);
    virtual AEffect* hostGetNextPlug(VstInt32 pin);
    virtual void connectInput(VstInt32 index, bool state);
    virtual void connectOutput(VstInt32 index, bool state);
    virtual bool getInputProperties(VstInt32 index, VstPinProperties* properties);
    virtual bool getOutputProperties(VstInt32 index, VstPinProperties* properties);
    virtual VstInt32 getPlugCategory();
    virtual VstIntPtr hostWillReplaceOrAccumulate();
    virtual VstIntPtr hostGetCurrentProcessLevel();
    virtual VstIntPtr hostGetAutomationState();
    virtual void setExtIsAsync(bool state);
    virtual void setExtHasBuffer(bool state);
    virtual VstInt32 getCurrentPosition();
    virtual float* getDestinationBuffer();
    virtual bool hostOfflineRead(VstOfflineTask* task, VstInt32 option, bool readSource);
    virtual bool hostOfflineWrite(VstOfflineTask* task, VstInt32 option);
    virtual bool hostOfflineStart(VstAudioFile* files, VstInt32 count, VstInt32 newCount);
    virtual bool hostOfflineGetCurrentPass();
    virtual bool hostOfflineGetCurrentMetaPass();
    virtual bool offlineNotify(VstAudioFile* files, VstInt32 count, bool start);
    virtual bool offlinePrepare(VstOfflineTask* tasks, VstInt32 count);
    virtual bool offlineRun(VstOfflineTask* tasks, VstInt32 count);
    virtual VstInt32 getOfflinePassCount();
    virtual VstInt32 getOfflineMetaPassCount();
    virtual void hostSetOutputSampleRate(float rate);
    virtual VstSpeakerArrangement* hostGetInputSpeakerArrangement();
    virtual VstSpeakerArrangement* hostGetSpeakerArrangement();
    virtual bool hostGetVendorString(char* text);
    virtual bool hostGetProductString(char* text);
    virtual VstIntPtr hostGetVendorVersion();
    virtual VstIntPtr hostVendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt);
    virtual bool hostCanDo(char* text);
    virtual void setIsSynth(bool state);
    virtual void setNoSoundInStop(bool state);
    virtual VstIntPtr hostGetLanguage();
    virtual void* hostOpenWindow(VstWindow* window);
    virtual bool hostCloseWindow(VstWindow* window);
    virtual void* hostGetDirectory();
    virtual bool hostUpdateDisplay();
    virtual bool processVarIo(VstVariableIo* varIo);
    virtual bool setSpeakerArrangement(VstSpeakerArrangement* input, VstSpeakerArrangement* output);
    virtual bool getSpeakerArrangement(VstSpeakerArrangement** input, VstSpeakerArrangement** output);
    virtual void setBlockSizeAndSampleRate(VstInt32 size, float rate);
    virtual bool setBypass(bool state);
    virtual bool getEffectName(char* name);
    virtual bool getErrorText(char* text);
    virtual bool getVendorString(char* text);
    virtual bool getProductString(char* text);
    virtual VstInt32 getVendorVersion();
    virtual VstIntPtr vendorSpecific(VstInt32 index, VstIntPtr value, void* ptr, float opt);
    virtual VstInt32 canDo(char* text);
    virtual void* getIcon();
    virtual bool setViewPosition(VstInt32 x, VstInt32 y);
    virtual VstInt32 getTailSize();
    virtual VstInt32 idle();
    virtual bool getParameterProperties(VstInt32 index, VstParameterProperties* properties);
    virtual bool keysRequired();
    virtual VstInt32 getVstVersion();
    virtual VstInt32 getMidiProgramName(VstInt32 channel, MidiProgramName* name);
    virtual VstInt32 getCurrentMidiProgram(VstInt32 channel, MidiProgramName* name);
    virtual VstInt32 getMidiProgramCategory(VstInt32 channel, MidiProgramCategory* category);
    virtual bool hasMidiProgramsChanged(VstInt32 channel);
    virtual bool getMidiKeyName(VstInt32 channel, MidiKeyName* keyName);
    virtual bool beginSetProgram();
    virtual bool endSetProgram();
    virtual bool hostBeginEdit(VstInt32 index);
    virtual bool hostEndEdit(VstInt32 index);
    virtual bool hostOpenFileSelector(VstFileSelect* select);
    virtual VstInt32 setTotalSampleToProcess(VstInt32 value);
    virtual VstInt32 shellGetNextPlugin(char* name);
    virtual VstInt32 startProcess();
    virtual VstInt32 stopProcess();
    virtual bool setPanLaw(VstInt32 type, float gain);
    virtual VstInt32 beginLoadBank(VstPatchChunkInfo* info);
    virtual VstInt32 beginLoadProgram(VstPatchChunkInfo* info);
    virtual bool allocateSpeakerArrangement(VstSpeakerArrangement** arrangement, VstInt32 channels);
    virtual bool releaseSpeakerArrangement(VstSpeakerArrangement** arrangement);
    virtual bool copySpeakerProperties(VstSpeakerProperties* to, VstSpeakerProperties* from);
    virtual bool copySpeakerArrangement(VstSpeakerArrangement** to, VstSpeakerArrangement* from);

    bool hostProcessEvents(VstEvents* events);
    bool hostCloseFileSelector(VstFileSelect* select);
    bool hostGetChunkFile(void* nativePath);
};

}  // namespace kelp
