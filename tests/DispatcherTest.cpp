#include <gtest/gtest.h>

#include <cstring>

#include "tests/MinimalEffect.h"
#include "tests/RecordingHost.h"

using namespace kelp;

namespace {

VstIntPtr send(EffectBase& effect, VstInt32 opcode, VstInt32 index = 0, VstIntPtr value = 0, void* ptr = nullptr,
               float opt = 0.0f)
{
    return EffectBase::dispatchEntry(effect.record(), opcode, index, value, ptr, opt);
}

}  // namespace

TEST(Dispatcher, FreshBaseFillsTheRecordWithItsDefaults)
{
    MinimalEffect effect(nullptr);
    const AEffect* r = effect.record();
    EXPECT_EQ(r->magic, 0x56737450);
    EXPECT_EQ(r->numInputs, 1);
    EXPECT_EQ(r->numOutputs, 2);
    EXPECT_EQ(r->numPrograms, 2);
    EXPECT_EQ(r->numParams, 4);
    EXPECT_EQ(r->flags, 0);
    EXPECT_EQ(r->ioRatio, 1.0f);
    EXPECT_EQ(r->uniqueID, 0x4E6F4566);
    EXPECT_EQ(r->version, 1);
    EXPECT_EQ(r->object, &effect);
    EXPECT_EQ(effect.getSampleRate(), 44100.0f);
    EXPECT_EQ(effect.getBlockSize(), 1024);
    for (char c : r->future)
        EXPECT_EQ(c, 0);
}

TEST(Dispatcher, FlagSettersTouchOnlyTheirBit)
{
    MinimalEffect effect(nullptr);
    effect.setFlag(0x40000, true);  // a bit no setter owns
    effect.setCanMono(true);
    effect.setHasClip(true);
    effect.setCanMono(false);
    EXPECT_EQ(effect.record()->flags, 0x40000 | effFlagsHasClip);
    effect.setIsSynth(true);
    EXPECT_EQ(send(effect, effGetPlugCategory), kPlugCategSynth);
    effect.setIsSynth(false);
    EXPECT_EQ(send(effect, effGetPlugCategory), kPlugCategUnknown);
}

TEST(Dispatcher, BaseDefaultsOfEveryOpcode)
{
    MinimalEffect effect(nullptr);
    char text[128] = "untouched";
    VstPinProperties pin{};
    void* pointers[2] = {&pin, &pin};

    EXPECT_EQ(send(effect, effIdentify), 0x4E764566);
    EXPECT_EQ(send(effect, effGetVstVersion), 2300);
    EXPECT_EQ(send(effect, effKeysRequired), 1);
    EXPECT_EQ(send(effect, effCanBeAutomated, 3), 1);
    EXPECT_EQ(send(effect, effGetNumProgramCategories), 1);
    EXPECT_EQ(send(effect, effConnectInput, 0, 0), 1);
    EXPECT_EQ(send(effect, effConnectOutput, 1, 1), 1);
    EXPECT_EQ(send(effect, effSetBlockSizeAndSampleRate, 0, 256, nullptr, 48000.0f), 1);
    EXPECT_EQ(effect.getBlockSize(), 256);
    EXPECT_EQ(effect.getSampleRate(), 48000.0f);
    EXPECT_EQ(send(effect, effGetCurrentMidiProgram, 0, 0, text), -1);
    EXPECT_EQ(send(effect, effSetTotalSampleToProcess, 0, 12345), 12345);
    EXPECT_EQ(send(effect, effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&pointers[0]), &pointers[1]), 0);
    EXPECT_EQ(pointers[0], nullptr);
    EXPECT_EQ(pointers[1], nullptr);

    // Everything else answers 0 at the base.
    const VstInt32 zero[] = {effOpen,
                             effGetProgramName,
                             effGetParamLabel,
                             effGetParamDisplay,
                             effGetParamName,
                             effGetVu,
                             effEditGetRect,
                             effEditOpen,
                             effEditClose,
                             effEditDraw,
                             effEditMouse,
                             effEditKey,
                             effEditIdle,
                             effEditTop,
                             effEditSleep,
                             effGetChunk,
                             effSetChunk,
                             effProcessEvents,
                             effString2Parameter,
                             effGetProgramNameIndexed,
                             effCopyProgram,
                             effGetInputProperties,
                             effGetOutputProperties,
                             effGetCurrentPosition,
                             effGetDestinationBuffer,
                             effOfflineNotify,
                             effOfflinePrepare,
                             effOfflineRun,
                             effProcessVarIo,
                             effSetBypass,
                             effGetEffectName,
                             effGetErrorText,
                             effGetVendorString,
                             effGetProductString,
                             effGetVendorVersion,
                             effVendorSpecific,
                             effCanDo,
                             effGetTailSize,
                             effIdle,
                             effGetIcon,
                             effSetViewPosition,
                             effGetParameterProperties,
                             effEditKeyDown,
                             effEditKeyUp,
                             effSetEditKnobMode,
                             effGetMidiProgramName,
                             effGetMidiProgramCategory,
                             effHasMidiProgramsChanged,
                             effGetMidiKeyName,
                             effBeginSetProgram,
                             effEndSetProgram,
                             effShellGetNextPlugin,
                             effStartProcess,
                             effStopProcess,
                             effSetPanLaw,
                             effBeginLoadBank,
                             effBeginLoadProgram,
                             77,
                             90,
                             -1,
                             -10};
    for (VstInt32 opcode : zero) {
        std::strcpy(text, "untouched");
        void* chunk = text;
        void* ptr = text;
        if (opcode == effGetChunk)
            ptr = &chunk;
        if (opcode == effGetInputProperties || opcode == effGetOutputProperties)
            ptr = &pin;
        EXPECT_EQ(send(effect, opcode, 0, 0, ptr), 0) << "opcode " << opcode;
        const bool clearsText = opcode == effGetProgramName || opcode == effGetParamLabel ||
                                opcode == effGetParamDisplay || opcode == effGetParamName;
        const bool leavesText = opcode == effGetEffectName || opcode == effCanDo;
        if (clearsText) {
            EXPECT_STREQ(text, "") << "opcode " << opcode;
        }
        if (leavesText) {
            EXPECT_STREQ(text, "untouched") << "opcode " << opcode;
        }
    }
    std::strcpy(text, "abc");
    send(effect, effSetProgramName, 0, 0, text);
    EXPECT_EQ(text[0], '\0');
}

TEST(Dispatcher, ProgramSelectionMainsAndVuConversion)
{
    MinimalEffect effect(nullptr);
    send(effect, effSetProgram, 0, 1);
    EXPECT_EQ(send(effect, effGetProgram), 1);
    EXPECT_EQ(send(effect, effSetProgram, 0, 2), 0);
    send(effect, effSetProgram, 0, -1);
    EXPECT_EQ(send(effect, effGetProgram), 1);

    send(effect, effMainsChanged, 0, 2);
    send(effect, effMainsChanged, 0, -1);
    send(effect, effMainsChanged, 0, 0);
    EXPECT_EQ(effect.resumed, 2);
    EXPECT_EQ(effect.suspended, 1);

    send(effect, effSetSampleRate, 0, 0, nullptr, 96000.0f);
    send(effect, effSetBlockSize, 0, 64);
    EXPECT_EQ(effect.getSampleRate(), 96000.0f);
    EXPECT_EQ(effect.getBlockSize(), 64);

    struct VuEffect : MinimalEffect {
        using MinimalEffect::MinimalEffect;
        float getVu() override { return vu; }
        float vu = 0.0f;
    } vuEffect(nullptr);
    const std::pair<float, VstIntPtr> cases[] = {{1.0f, 32767}, {0.5f, 16383}, {-0.5f, -16383}, {1.0e30f, 0}};
    for (const auto& [vu, expected] : cases) {
        vuEffect.vu = vu;
        EXPECT_EQ(send(vuEffect, effGetVu), expected) << vu;
    }
}

TEST(Dispatcher, NullPointersAnswerZeroInsteadOfCrashing)
{
    MinimalEffect effect(nullptr);
    new RecordingEditor(&effect);  // owned by the effect
    struct Texts : MinimalEffect {
        using MinimalEffect::MinimalEffect;
        VstInt32 canDo(char* text) override { return text[0] == 'x' ? 1 : -1; }
        bool getEffectName(char* name) override { return name[0] = 'x', true; }
    } texts(nullptr);
    // Every opcode with every pointer argument null: the sanitizers watch each access.
    for (VstInt32 opcode = -2; opcode <= 80; ++opcode)
        if (opcode != effClose) {
            send(effect, opcode, 0, 0, nullptr, 0.0f);
            send(texts, opcode, 0, 0, nullptr, 0.0f);
        }
    EXPECT_EQ(send(texts, effCanDo), 0);
    EXPECT_EQ(send(texts, effGetEffectName), 0);
    EXPECT_EQ(send(effect, effEditGetRect), 0);
    EXPECT_EQ(EffectBase::dispatchEntry(nullptr, effOpen, 0, 0, nullptr, 0.0f), 0);
}

TEST(Dispatcher, EditorOpcodesReachTheEditorOnlyWhenThereIsOne)
{
    MinimalEffect effect(nullptr);
    EXPECT_EQ(send(effect, effEditKeyDown, 65, 0, nullptr, 3.7f), 0);
    EXPECT_EQ(send(effect, effEditOpen, 0, 0, &effect), 0);
    auto* editor = new RecordingEditor(&effect);
    EXPECT_EQ(effect.record()->flags & effFlagsHasEditor, effFlagsHasEditor);
    EXPECT_EQ(effect.getEditor(), editor);

    EXPECT_EQ(send(effect, effEditKeyDown, 65, 0x1FF, nullptr, 3.7f), 7);
    EXPECT_EQ(editor->lastKey.character, 65);
    EXPECT_EQ(editor->lastKey.virt, 0xFF);
    EXPECT_EQ(editor->lastKey.modifier, 3);
    EXPECT_EQ(send(effect, effEditKeyUp, 65, 0, nullptr, 0.0f), -1);
    EXPECT_EQ(send(effect, effSetEditKnobMode, 0, 2), 0);

    ERect* rect = reinterpret_cast<ERect*>(&effect);
    EXPECT_EQ(send(effect, effEditGetRect, 0, 0, &rect), 0);
    EXPECT_EQ(rect, nullptr);
    int window = 0;
    EXPECT_EQ(send(effect, effEditOpen, 0, 0, &window), 1);
    EXPECT_EQ(editor->getSystemWindow(), &window);

    // idle consumes a pending update exactly once.
    editor->requestUpdate();
    send(effect, effEditIdle);
    send(effect, effEditIdle);
    EXPECT_EQ(editor->updates, 1);
}

TEST(Dispatcher, CloseDestroysTheEffectAndItsEditor)
{
    int effects = 0, editors = 0;
    auto* effect = new MinimalEffect(nullptr, &effects);
    new RecordingEditor(effect, &editors);
    EXPECT_EQ(EffectBase::dispatchEntry(effect->record(), effClose, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(effects, 1);
    EXPECT_EQ(editors, 1);
}

TEST(Dispatcher, SpeakerArrangementsAreCopiedWhole)
{
    MinimalEffect effect(nullptr);
    VstSpeakerArrangement* source = nullptr;
    ASSERT_TRUE(effect.allocateSpeakerArrangement(&source, 2));
    source->type = 7;
    for (VstInt32 i = 0; i < 2; ++i) {
        VstSpeakerProperties* speaker = speakerAt(source, i);
        std::strcpy(speaker->name, i == 0 ? "Left" : "Right");
        speaker->azimuth = float(i) - 0.5f;
        speaker->type = i + 1;
        speaker->future[27] = char(40 + i);
    }
    VstSpeakerArrangement* copy = nullptr;
    ASSERT_TRUE(effect.allocateSpeakerArrangement(&copy, 5));  // replaced by the copy
    ASSERT_TRUE(effect.copySpeakerArrangement(&copy, source));
    EXPECT_EQ(speakerArrangementSize(copy->numChannels), 232u);
    EXPECT_EQ(std::memcmp(copy, source, 232), 0);

    EXPECT_FALSE(effect.copySpeakerArrangement(&copy, nullptr));
    EXPECT_FALSE(effect.copySpeakerProperties(nullptr, speakerAt(source, 0)));
    EXPECT_FALSE(effect.allocateSpeakerArrangement(&copy, -1));
    EXPECT_EQ(copy, nullptr) << "a failed allocation must not leave the released arrangement behind";
    EXPECT_TRUE(effect.releaseSpeakerArrangement(&copy));
    EXPECT_TRUE(effect.releaseSpeakerArrangement(&source));
    EXPECT_EQ(source, nullptr);
}
