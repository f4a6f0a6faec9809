#include "AbiHost.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

namespace abitest {
namespace {

    class EffectTest : public testing::Test {
    protected:
        void SetUp() override { ASSERT_NE(fx.record(), nullptr); }

        std::optional<std::string> display(VstInt32 index)
        {
            return fx.text(effGetParamDisplay, index, kParamTextLimit);
        }
        std::optional<std::string> programName() { return fx.text(effGetProgramName, 0, kNameLimit); }

        void renameProgram(const std::string& name)
        {
            std::string copy = name;
            fx.dispatch(effSetProgramName, 0, 0, copy.data());
        }

        FreshHost host;
        Effect fx;
    };

    TEST_F(EffectTest, ParameterValues)
    {
        EXPECT_EQ(fx.getParameter(0), 1.0f);
        EXPECT_EQ(fx.getParameter(1), 1.0f);
        EXPECT_EQ(fx.getParameter(2), 0.0f);
        EXPECT_EQ(fx.getParameter(3), 0.0f);
        EXPECT_EQ(fx.getParameter(-1), 0.0f);

        fx.setParameter(0, 0.25f);
        fx.setParameter(1, 0.5f);
        fx.setParameter(2, 0.75f);
        fx.setParameter(3, 0.9f);
        fx.setParameter(-1, 0.9f);
        EXPECT_EQ(fx.getParameter(0), 0.25f);
        EXPECT_EQ(fx.getParameter(1), 0.5f);
        EXPECT_EQ(fx.getParameter(2), 0.75f);
        EXPECT_EQ(fx.getParameter(3), 0.0f);
    }

    TEST_F(EffectTest, ParameterTexts)
    {
        EXPECT_EQ(fx.text(effGetParamName, 0, kParamTextLimit), " On/Off ");
        EXPECT_EQ(fx.text(effGetParamName, 1, kParamTextLimit), "BuffSize");
        EXPECT_EQ(fx.text(effGetParamName, 2, kParamTextLimit), "Note/ms ");
        for (VstInt32 index : {0, 1, 2})
            EXPECT_EQ(fx.text(effGetParamLabel, index, kParamTextLimit), " ") << index;
        EXPECT_EQ(display(0), "on");
        EXPECT_EQ(display(1), "88200.00");
        EXPECT_EQ(display(2), "off");

        for (VstInt32 opcode : {effGetParamName, effGetParamLabel, effGetParamDisplay})
            for (VstInt32 index : {3, -1})
                EXPECT_EQ(fx.text(opcode, index, kParamTextLimit), std::nullopt)
                    << "opcode " << opcode << " index " << index;
    }

    TEST_F(EffectTest, DisplaysFollowTheValues)
    {
        for (VstInt32 index : {0, 2}) {
            fx.setParameter(index, 0.5f);
            EXPECT_EQ(display(index), "on") << index;
            fx.setParameter(index, 0.49f);
            EXPECT_EQ(display(index), "off") << index;
            fx.setParameter(index, 1.0f);
            EXPECT_EQ(display(index), "on") << index;
            fx.setParameter(index, 0.0f);
            EXPECT_EQ(display(index), "off") << index;
        }
        fx.setParameter(1, 0.0f);
        EXPECT_EQ(display(1), "1024.000");
        fx.setParameter(1, 0.5f);
        EXPECT_EQ(display(1), "44612.00");
    }

    TEST_F(EffectTest, ProgramName)
    {
        EXPECT_EQ(programName(), "Backtwister");
        renameProgram("Init");
        EXPECT_EQ(programName(), "Init 1");
        renameProgram("Init ");
        EXPECT_EQ(programName(), "Init ");
        renameProgram("Initial");
        EXPECT_EQ(programName(), "Initial");
        renameProgram("");
        EXPECT_EQ(programName(), "");

        renameProgram("A long name for a program, cut");
        EXPECT_EQ(programName(), "A long name for a progr");
    }

    TEST_F(EffectTest, OneProgramOnly)
    {
        fx.setParameter(0, 0.25f);
        for (VstIntPtr program : {1, -1, 128}) {
            EXPECT_EQ(fx.dispatch(effSetProgram, 0, program), 0);
            EXPECT_EQ(fx.dispatch(effGetProgram), 0) << program;
        }
        EXPECT_EQ(fx.getParameter(0), 0.25f);
        EXPECT_EQ(fx.getParameter(1), 1.0f);
        EXPECT_EQ(programName(), "Backtwister");

        EXPECT_EQ(fx.dispatch(effCopyProgram, 0), 1);
        EXPECT_EQ(fx.dispatch(effCopyProgram, 1), 0);
        EXPECT_EQ(fx.dispatch(effCopyProgram, -1), 0);
        char name[kNameLimit] = {};
        EXPECT_EQ(fx.dispatch(effGetProgramNameIndexed, 0, 0, name), 0);
        EXPECT_EQ(fx.dispatch(effGetNumProgramCategories), 1);
    }

    TEST_F(EffectTest, ProgramKeepsTheValuesSet)
    {
        fx.setParameter(0, 0.25f);
        fx.setParameter(1, 0.5f);
        fx.setParameter(2, 0.75f);
        EXPECT_EQ(fx.dispatch(effSetProgram, 0, 0), 0);
        EXPECT_EQ(fx.getParameter(0), 0.25f);
        EXPECT_EQ(fx.getParameter(1), 0.5f);
        EXPECT_EQ(fx.getParameter(2), 0.75f);
    }

    TEST_F(EffectTest, Capabilities)
    {
        auto canDo = [this](const char* text) {
            std::string copy = text;
            return fx.dispatch(effCanDo, 0, 0, copy.data());
        };
        EXPECT_EQ(canDo("receiveVstEvents"), 1);
        EXPECT_EQ(canDo("receiveVstMidiEvent"), 1);
        for (const char* cannot : {"sendVstEvents",
                                   "sendVstMidiEvent",
                                   "sendVstTimeInfo",
                                   "receiveVstTimeInfo",
                                   "offline",
                                   "plugAsChannelInsert",
                                   "plugAsSend",
                                   "mixDryWet",
                                   "noRealTime",
                                   "multipass",
                                   "metapass",
                                   "1in1out",
                                   "1in2out",
                                   "2in1out",
                                   "2in2out",
                                   "2in4out",
                                   "4in2out",
                                   "4in4out",
                                   "4in8out",
                                   "8in4out",
                                   "8in8out",
                                   "midiProgramNames",
                                   "conformsToWindowRules",
                                   "bypass",
                                   "ReceiveVstEvents",
                                   "receiveVstEvents ",
                                   "receiveVstEventsX",
                                   "receiveVst",
                                   "",
                                   "?"})
            EXPECT_EQ(canDo(cannot), -1) << '"' << cannot << '"';
    }

    TEST_F(EffectTest, PinProperties)
    {
        struct Pin {
            VstInt32 opcode;
            VstInt32 index;
            const char* label;
        };
        const Pin pins[] = {
            {effGetInputProperties, 0, "Backtwister Left Input 1"},
            {effGetInputProperties, 1, "Backtwister Right Input 1"},
            {effGetOutputProperties, 0, "Backtwister Left Output 1"},
            {effGetOutputProperties, 1, "Backtwister Right Output 1"},
        };
        for (const Pin& pin : pins) {
            VstPinProperties properties = {};
            EXPECT_EQ(fx.dispatch(pin.opcode, pin.index, 0, &properties), 1);
            EXPECT_STREQ(properties.label, pin.label);
            EXPECT_EQ(properties.flags, kVstPinIsActive | kVstPinIsStereo) << pin.label;
        }

        for (VstInt32 opcode : {effGetInputProperties, effGetOutputProperties})
            for (VstInt32 index : {2, -1}) {
                VstPinProperties properties;
                std::memset(&properties, 0x7f, sizeof properties);
                const VstPinProperties before = properties;
                EXPECT_EQ(fx.dispatch(opcode, index, 0, &properties), 0);
                EXPECT_EQ(std::memcmp(&properties, &before, sizeof properties), 0)
                    << "opcode " << opcode << " index " << index << " wrote into the record";
            }
    }

}  // namespace
}  // namespace abitest
