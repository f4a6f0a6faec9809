#include "AbiHost.h"

#include <gtest/gtest.h>

#include <cstring>

namespace abitest {
namespace {

    class OpcodeTest : public testing::Test {
    protected:
        void SetUp() override
        {
            ASSERT_NE(fx.record(), nullptr);
            RecordingHost::clearCalls();
        }

        FreshHost host;
        Effect fx;
    };

    constexpr VstIntPtr kScratchAddress = -1;  // stands for the scratch record's address

    struct Answer {
        VstInt32 opcode;
        VstInt32 index;
        VstIntPtr value;
        VstIntPtr expected;
    };

    // Every opcode but effClose and the editor's, with a zeroed scratch record behind the
    // pointer (and behind the value for the two opcodes that take an address there).
    constexpr Answer kAnswers[] = {
        {effOpen, 0, 0, 0},
        {effSetProgram, 0, 0, 0},
        {effGetProgram, 0, 0, 0},
        {effSetProgramName, 0, 0, 0},
        {effGetProgramName, 0, 0, 0},
        {effGetParamLabel, 0, 0, 0},
        {effGetParamDisplay, 0, 0, 0},
        {effGetParamName, 0, 0, 0},
        {effGetVu, 0, 0, 0},
        {effSetSampleRate, 0, 0, 0},
        {effSetBlockSize, 0, 512, 0},
        {effMainsChanged, 0, 0, 0},
        {effEditDraw, 0, 0, 0},
        {effEditMouse, 0, 0, 0},
        {effEditKey, 0, 0, 0},
        {effEditTop, 0, 0, 0},
        {effEditSleep, 0, 0, 0},
        {effIdentify, 0, 0, 0x4E764566},  // 'NvEf'
        {effGetChunk, 0, 0, 0},
        {effSetChunk, 0, 0, 0},
        {effProcessEvents, 0, 0, 1},
        {effCanBeAutomated, 0, 0, 1},
        {effString2Parameter, 0, 0, 0},
        {effGetNumProgramCategories, 0, 0, 1},
        {effGetProgramNameIndexed, 0, 0, 0},
        {effCopyProgram, 0, 0, 1},
        {effConnectInput, 0, 0, 1},
        {effConnectOutput, 0, 0, 1},
        {effGetInputProperties, 0, 0, 1},
        {effGetOutputProperties, 0, 0, 1},
        {effGetPlugCategory, 0, 0, kPlugCategEffect},
        {effGetCurrentPosition, 0, 0, 0},
        {effGetDestinationBuffer, 0, 0, 0},
        {effOfflineNotify, 0, 0, 0},
        {effOfflinePrepare, 0, 0, 0},
        {effOfflineRun, 0, 0, 0},
        {effProcessVarIo, 0, 0, 0},
        {effSetSpeakerArrangement, 0, kScratchAddress, 0},
        {effSetBlockSizeAndSampleRate, 0, 512, 1},
        {effSetBypass, 0, 1, 0},
        {effGetEffectName, 0, 0, 1},
        {effGetErrorText, 0, 0, 0},
        {effGetVendorString, 0, 0, 1},
        {effGetProductString, 0, 0, 1},
        {effGetVendorVersion, 0, 0, 110},
        {effVendorSpecific, 0, 0, 0},
        {effCanDo, 0, 0, -1},  // the empty text
        {effGetTailSize, 0, 0, 1},
        {effIdle, 0, 0, 0},
        {effGetIcon, 0, 0, 0},
        {effSetViewPosition, 0, 0, 0},
        {effGetParameterProperties, 0, 0, 0},
        {effKeysRequired, 0, 0, 1},
        {effGetVstVersion, 0, 0, 2300},
        {effGetMidiProgramName, 0, 0, 0},
        {effGetCurrentMidiProgram, 0, 0, -1},
        {effGetMidiProgramCategory, 0, 0, 0},
        {effHasMidiProgramsChanged, 0, 0, 0},
        {effGetMidiKeyName, 0, 0, 0},
        {effBeginSetProgram, 0, 0, 0},
        {effEndSetProgram, 0, 0, 0},
        {effGetSpeakerArrangement, 0, kScratchAddress, 0},
        {effShellGetNextPlugin, 0, 0, 0},
        {effStartProcess, 0, 0, 0},
        {effStopProcess, 0, 0, 0},
        {effSetTotalSampleToProcess, 0, 48000, 48000},
        {effSetPanLaw, 0, 0, 0},
        {effBeginLoadBank, 0, 0, 0},
        {effBeginLoadProgram, 0, 0, 0},
        {-1, 0, 0, 0},
        {77, 0, 0, 0},
        {90, 0, 0, 0},
    };

    TEST_F(OpcodeTest, EveryOpcodeAnswersWithoutCallingTheHost)
    {
        alignas(8) char scratch[1024];
        for (const Answer& a : kAnswers) {
            std::memset(scratch, 0, sizeof scratch);
            VstIntPtr value = a.value == kScratchAddress ? reinterpret_cast<VstIntPtr>(scratch) : a.value;
            EXPECT_EQ(fx.dispatch(a.opcode, a.index, value, scratch), a.expected) << "opcode " << a.opcode;
        }
        EXPECT_TRUE(RecordingHost::calls().empty());
    }

    TEST_F(OpcodeTest, NullPointerForATextOrRecordAnswersZero)
    {
        constexpr VstInt32 kPointerOpcodes[] = {
            effSetProgramName,
            effGetProgramName,
            effGetParamLabel,
            effGetParamDisplay,
            effGetParamName,
            effEditGetRect,
            effGetChunk,
            effSetChunk,
            effProcessEvents,
            effString2Parameter,
            effGetProgramNameIndexed,
            effGetInputProperties,
            effGetOutputProperties,
            effOfflineNotify,
            effOfflinePrepare,
            effOfflineRun,
            effProcessVarIo,
            effSetSpeakerArrangement,
            effGetEffectName,
            effGetErrorText,
            effGetVendorString,
            effGetProductString,
            effCanDo,
            effGetParameterProperties,
            effGetMidiProgramName,
            effGetCurrentMidiProgram,
            effGetMidiProgramCategory,
            effHasMidiProgramsChanged,
            effGetMidiKeyName,
            effGetSpeakerArrangement,
            effShellGetNextPlugin,
            effBeginLoadBank,
            effBeginLoadProgram,
        };
        for (VstInt32 opcode : kPointerOpcodes)
            EXPECT_EQ(fx.dispatch(opcode, 0, 0, nullptr), 0) << "opcode " << opcode;
        EXPECT_EQ(fx.text(effGetProgramName, 0, kNameLimit), "Backtwister");
    }

    TEST_F(OpcodeTest, EditorOpcodes)
    {
        ERect* rect = nullptr;
        if (!kHasEditor) {
            EXPECT_EQ(fx.dispatch(effEditGetRect, 0, 0, &rect), 0);
            EXPECT_EQ(fx.dispatch(effEditOpen), 0);
            EXPECT_EQ(fx.dispatch(effEditClose), 0);
            EXPECT_EQ(fx.dispatch(effEditIdle), 0);
            EXPECT_EQ(fx.dispatch(effEditKeyDown, 65, 0, nullptr, 3.7f), 0);
            EXPECT_EQ(fx.dispatch(effEditKeyUp, 65, 0, nullptr, 3.7f), 0);
            EXPECT_EQ(fx.dispatch(effSetEditKnobMode, 0, 2), 0);
            return;
        }
        // A closed editor: its size is known, keys are not handled, the knob mode is taken.
        ASSERT_EQ(fx.dispatch(effEditGetRect, 0, 0, &rect), 1);
        ASSERT_NE(rect, nullptr);
        EXPECT_EQ(rect->top, 0);
        EXPECT_EQ(rect->left, 0);
        EXPECT_EQ(rect->bottom, 240);
        EXPECT_EQ(rect->right, 320);
        EXPECT_EQ(fx.dispatch(effEditIdle), 0);
        EXPECT_EQ(fx.dispatch(effEditKeyDown, 65, 0, nullptr, 3.7f), -1);
        EXPECT_EQ(fx.dispatch(effEditKeyUp, 65, 0, nullptr, 3.7f), -1);
        EXPECT_EQ(fx.dispatch(effSetEditKnobMode, 0, 2), 1);
        EXPECT_EQ(fx.dispatch(effEditClose), 0);
    }

    TEST_F(OpcodeTest, IdentityAndFixedAnswers)
    {
        EXPECT_EQ(fx.text(effGetEffectName, 0, kNameLimit), "Backtwister");
        EXPECT_EQ(fx.text(effGetVendorString, 0, kStringLimit), "Kelpworks");
        EXPECT_EQ(fx.text(effGetProductString, 0, kStringLimit), "Kelpworks Backtwister");
        EXPECT_EQ(fx.text(effGetErrorText, 0, kStringLimit), std::nullopt);
        EXPECT_EQ(fx.dispatch(effGetVendorVersion), 110);
        EXPECT_EQ(fx.dispatch(effGetPlugCategory), kPlugCategEffect);
        EXPECT_EQ(fx.dispatch(effGetVstVersion), 2300);
        EXPECT_EQ(fx.dispatch(effGetTailSize), 1);
        EXPECT_EQ(fx.dispatch(effKeysRequired), 1);
        EXPECT_EQ(fx.dispatch(effIdentify), 0x4E764566);
        EXPECT_EQ(fx.dispatch(effGetVu), 0);
        EXPECT_EQ(fx.dispatch(effGetVu), 0);
    }

    TEST_F(OpcodeTest, BaseDefaultsThatTouchTheHostsRecords)
    {
        char midiProgram[256] = {};
        EXPECT_EQ(fx.dispatch(effGetCurrentMidiProgram, 0, 0, midiProgram), -1);

        int dummy;
        void* input = &dummy;
        void* output = &dummy;
        EXPECT_EQ(fx.dispatch(effGetSpeakerArrangement, 0, reinterpret_cast<VstIntPtr>(&input), &output), 0);
        EXPECT_EQ(input, nullptr);
        EXPECT_EQ(output, nullptr);

        void* chunk = &dummy;
        EXPECT_EQ(fx.dispatch(effGetChunk, 0, 0, &chunk), 0);
        EXPECT_EQ(chunk, &dummy);
        EXPECT_EQ(fx.dispatch(effGetChunk, 1, 0, &chunk), 0);
        EXPECT_EQ(chunk, &dummy);

        EXPECT_EQ(fx.dispatch(effSetTotalSampleToProcess, 0, -7), -7);
        EXPECT_EQ(fx.dispatch(effCanBeAutomated, 5), 1);
    }

    TEST_F(OpcodeTest, ConnectingPinsAlwaysAnswersOne)
    {
        for (VstInt32 pin : {0, 1, 7})
            for (VstIntPtr connected : {0, 1}) {
                EXPECT_EQ(fx.dispatch(effConnectInput, pin, connected), 1);
                EXPECT_EQ(fx.dispatch(effConnectOutput, pin, connected), 1);
            }
    }

    TEST_F(OpcodeTest, TextToParameterIsNotOffered)
    {
        char text[] = "0.25";
        EXPECT_EQ(fx.dispatch(effString2Parameter, 0, 0, text), 0);
        EXPECT_EQ(fx.getParameter(0), 1.0f);
    }

}  // namespace
}  // namespace abitest
