#include <gtest/gtest.h>

#include <functional>

#include "tests/MinimalEffect.h"
#include "tests/RecordingHost.h"

using namespace kelp;

namespace {

struct Expected {
    const char* name;
    std::function<void(MinimalEffect&)> call;
    VstInt32 opcode;
    VstInt32 index;
    VstIntPtr value;
    bool pointer;  // whether the call carries the test's marker pointer
    float opt;
};

int marker;

}  // namespace

TEST(HostCalls, EachWrapperSendsItsOpcodeAndArguments)
{
    auto* m = &marker;
    auto* text = reinterpret_cast<char*>(m);
    const Expected table[] = {
        {"automate", [](MinimalEffect& e) { e.automateParameter(3, 0.25f); }, audioMasterAutomate, 3, 0, false, 0.25f},
        {"version", [](MinimalEffect& e) { e.hostVersion(); }, audioMasterVersion, 0, 0, false, 0},
        {"currentId", [](MinimalEffect& e) { e.hostCurrentId(); }, audioMasterCurrentId, 0, 0, false, 0},
        {"idle", [](MinimalEffect& e) { e.hostIdle(); }, audioMasterIdle, 0, 0, false, 0},
        {"input", [](MinimalEffect& e) { e.isInputConnected(5); }, audioMasterPinConnected, 5, 0, false, 0},
        {"output", [](MinimalEffect& e) { e.isOutputConnected(6); }, audioMasterPinConnected, 6, 1, false, 0},
        {"wantMidi", [](MinimalEffect& e) { e.hostWantMidi(1); }, audioMasterWantMidi, 0, 1, false, 0},
        {"getTime", [](MinimalEffect& e) { e.hostGetTime(0xA00); }, audioMasterGetTime, 0, 0xA00, false, 0},
        {"events", [m](MinimalEffect& e) { e.hostProcessEvents(reinterpret_cast<VstEvents*>(m)); },
         audioMasterProcessEvents, 0, 0, true, 0},
        {"tempoAt", [](MinimalEffect& e) { e.hostTempoAt(4410); }, audioMasterTempoAt, 0, 4410, false, 0},
        {"automatable", [](MinimalEffect& e) { e.hostGetNumAutomatableParameters(); },
         audioMasterGetNumAutomatableParameters, 0, 0, false, 0},
        {"quantization", [](MinimalEffect& e) { e.hostGetParameterQuantization(); },
         audioMasterGetParameterQuantization, 0, 0, false, 0},
        {"ioChanged", [](MinimalEffect& e) { e.hostIOChanged(); }, audioMasterIOChanged, 0, 0, false, 0},
        {"needIdle", [](MinimalEffect& e) { e.hostNeedIdle(); }, audioMasterNeedIdle, 0, 0, false, 0},
        {"sizeWindow", [](MinimalEffect& e) { e.hostSizeWindow(320, 240); }, audioMasterSizeWindow, 320, 240, false, 0},
        {"sampleRate", [](MinimalEffect& e) { e.hostGetSampleRate(); }, audioMasterGetSampleRate, 0, 0, false, 0},
        {"blockSize", [](MinimalEffect& e) { e.hostGetBlockSize(); }, audioMasterGetBlockSize, 0, 0, false, 0},
        {"inLatency", [](MinimalEffect& e) { e.hostGetInputLatency(); }, audioMasterGetInputLatency, 0, 0, false, 0},
        {"outLatency", [](MinimalEffect& e) { e.hostGetOutputLatency(); }, audioMasterGetOutputLatency, 0, 0, false, 0},
        {"previous", [](MinimalEffect& e) { e.hostGetPreviousPlug(2); }, audioMasterGetPreviousPlug, 2, 0, false, 0},
        {"next", [](MinimalEffect& e) { e.hostGetNextPlug(3); }, audioMasterGetNextPlug, 3, 0, false, 0},
        {"replace", [](MinimalEffect& e) { e.hostWillReplaceOrAccumulate(); }, audioMasterWillReplaceOrAccumulate, 0, 0,
         false, 0},
        {"level", [](MinimalEffect& e) { e.hostGetCurrentProcessLevel(); }, audioMasterGetCurrentProcessLevel, 0, 0,
         false, 0},
        {"automation", [](MinimalEffect& e) { e.hostGetAutomationState(); }, audioMasterGetAutomationState, 0, 0, false,
         0},
        {"offStart", [m](MinimalEffect& e) { e.hostOfflineStart(reinterpret_cast<VstAudioFile*>(m), 4, 9); },
         audioMasterOfflineStart, 9, 4, true, 0},
        {"offRead", [m](MinimalEffect& e) { e.hostOfflineRead(reinterpret_cast<VstOfflineTask*>(m), 11, true); },
         audioMasterOfflineRead, 1, 11, true, 0},
        {"offWrite", [m](MinimalEffect& e) { e.hostOfflineWrite(reinterpret_cast<VstOfflineTask*>(m), 12); },
         audioMasterOfflineWrite, 0, 12, true, 0},
        {"offPass", [](MinimalEffect& e) { e.hostOfflineGetCurrentPass(); }, audioMasterOfflineGetCurrentPass, 0, 0,
         false, 0},
        {"offMeta", [](MinimalEffect& e) { e.hostOfflineGetCurrentMetaPass(); }, audioMasterOfflineGetCurrentMetaPass,
         0, 0, false, 0},
        {"outRate", [](MinimalEffect& e) { e.hostSetOutputSampleRate(22050.0f); }, audioMasterSetOutputSampleRate, 0, 0,
         false, 22050.0f},
        {"speakers", [](MinimalEffect& e) { e.hostGetSpeakerArrangement(); }, audioMasterGetSpeakerArrangement, 0, 0,
         false, 0},
        {"vendor", [text](MinimalEffect& e) { e.hostGetVendorString(text); }, audioMasterGetVendorString, 0, 0, true,
         0},
        {"product", [text](MinimalEffect& e) { e.hostGetProductString(text); }, audioMasterGetProductString, 0, 0, true,
         0},
        {"vendorVersion", [](MinimalEffect& e) { e.hostGetVendorVersion(); }, audioMasterGetVendorVersion, 0, 0, false,
         0},
        {"specific", [m](MinimalEffect& e) { e.hostVendorSpecific(1, 2, m, 3.0f); }, audioMasterVendorSpecific, 1, 2,
         true, 3.0f},
        {"canDo", [text](MinimalEffect& e) { e.hostCanDo(text); }, audioMasterCanDo, 0, 0, true, 0},
        {"language", [](MinimalEffect& e) { e.hostGetLanguage(); }, audioMasterGetLanguage, 0, 0, false, 0},
        {"openWindow", [m](MinimalEffect& e) { e.hostOpenWindow(reinterpret_cast<VstWindow*>(m)); },
         audioMasterOpenWindow, 0, 0, true, 0},
        {"closeWindow", [m](MinimalEffect& e) { e.hostCloseWindow(reinterpret_cast<VstWindow*>(m)); },
         audioMasterCloseWindow, 0, 0, true, 0},
        {"directory", [](MinimalEffect& e) { e.hostGetDirectory(); }, audioMasterGetDirectory, 0, 0, false, 0},
        {"display", [](MinimalEffect& e) { e.hostUpdateDisplay(); }, audioMasterUpdateDisplay, 0, 0, false, 0},
        {"beginEdit", [](MinimalEffect& e) { e.hostBeginEdit(2); }, audioMasterBeginEdit, 2, 0, false, 0},
        {"endEdit", [](MinimalEffect& e) { e.hostEndEdit(2); }, audioMasterEndEdit, 2, 0, false, 0},
        {"openSelector", [m](MinimalEffect& e) { e.hostOpenFileSelector(reinterpret_cast<VstFileSelect*>(m)); },
         audioMasterOpenFileSelector, 0, 0, true, 0},
        {"closeSelector", [m](MinimalEffect& e) { e.hostCloseFileSelector(reinterpret_cast<VstFileSelect*>(m)); },
         audioMasterCloseFileSelector, 0, 0, true, 0},
        {"chunkFile", [m](MinimalEffect& e) { e.hostGetChunkFile(m); }, audioMasterGetChunkFile, 0, 0, true, 0},
        {"inSpeakers", [](MinimalEffect& e) { e.hostGetInputSpeakerArrangement(); },
         audioMasterGetInputSpeakerArrangement, 0, 0, false, 0},
    };
    for (const Expected& expected : table) {
        RecordingHost host;
        MinimalEffect effect(RecordingHost::callback);
        expected.call(effect);
        ASSERT_EQ(host.calls.size(), 1u) << expected.name;
        const HostCall& call = host.calls[0];
        EXPECT_EQ(call.effect, effect.record()) << expected.name;
        EXPECT_EQ(call.opcode, expected.opcode) << expected.name;
        EXPECT_EQ(call.index, expected.index) << expected.name;
        EXPECT_EQ(call.value, expected.value) << expected.name;
        EXPECT_EQ(call.ptr, expected.pointer ? static_cast<void*>(m) : nullptr) << expected.name;
        EXPECT_EQ(call.opt, expected.opt) << expected.name;
    }
}

TEST(HostCalls, AnswersAreConverted)
{
    RecordingHost host;
    MinimalEffect effect(RecordingHost::callback);
    host.answers[audioMasterVersion] = 0;
    EXPECT_EQ(effect.hostVersion(), 1);
    host.answers[audioMasterCanDo] = -1;
    char sizeWindow[] = "sizeWindow";
    EXPECT_TRUE(effect.hostCanDo(sizeWindow));
    host.answers[audioMasterProcessEvents] = 2;
    VstEvents events{};
    EXPECT_FALSE(effect.hostProcessEvents(&events));
    host.answers[audioMasterProcessEvents] = 1;
    EXPECT_TRUE(effect.hostProcessEvents(&events));
    host.answers[audioMasterPinConnected] = 1;
    EXPECT_FALSE(effect.isInputConnected(0));

    host.answers[audioMasterGetSampleRate] = 48000;
    EXPECT_EQ(effect.hostGetSampleRate(), 48000.0f);
    host.answers[audioMasterGetSampleRate] = 0;
    EXPECT_EQ(effect.hostGetSampleRate(), 48000.0f);
    host.answers[audioMasterGetSampleRate] = -5;
    EXPECT_EQ(effect.getSampleRate(), 48000.0f);
    host.answers[audioMasterGetBlockSize] = 0;
    EXPECT_EQ(effect.hostGetBlockSize(), 1024);
    host.answers[audioMasterGetBlockSize] = 512;
    EXPECT_EQ(effect.hostGetBlockSize(), 512);

    host.calls.clear();
    EXPECT_FALSE(effect.hostOpenFileSelector(nullptr));
    EXPECT_FALSE(effect.hostCloseFileSelector(nullptr));
    EXPECT_FALSE(effect.hostGetChunkFile(nullptr));
    EXPECT_TRUE(host.calls.empty());
}

TEST(HostCalls, WithoutAHostEveryWrapperAnswersItsDefault)
{
    struct Recorder : MinimalEffect {
        using MinimalEffect::MinimalEffect;
        void setParameter(VstInt32 index, float value) override { lastSet = {index, value}; }
        std::pair<VstInt32, float> lastSet{-1, 0.0f};
    } effect(nullptr);
    char text[] = "x";
    EXPECT_EQ(effect.hostVersion(), 1);
    EXPECT_TRUE(effect.isInputConnected(0));
    EXPECT_TRUE(effect.isOutputConnected(0));
    EXPECT_EQ(effect.hostGetTime(0), nullptr);
    EXPECT_EQ(effect.hostTempoAt(0), 0);
    EXPECT_FALSE(effect.hostCanDo(text));
    EXPECT_EQ(effect.hostGetSampleRate(), 44100.0f);
    EXPECT_EQ(effect.hostGetBlockSize(), 1024);
    EXPECT_EQ(effect.hostOpenWindow(nullptr), nullptr);
    EXPECT_FALSE(effect.hostSizeWindow(1, 1));
    effect.automateParameter(1, 0.75f);
    EXPECT_EQ(effect.lastSet.first, 1);
    EXPECT_EQ(effect.lastSet.second, 0.75f);
}
