#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "effect/EntryPoint.h"
#include "effect/ReverseEffect.h"
#include "host/VstEventList.h"
#include "tests/RecordingHost.h"

using namespace kelp;

namespace {

std::string text(ReverseEffect& effect, VstInt32 opcode, VstInt32 index = 0)
{
    char buffer[64];
    std::memset(buffer, '#', sizeof buffer);
    effect.dispatcher(opcode, index, 0, buffer, 0.0f);
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
}

VstMidiEvent midi(unsigned char status, unsigned char data1)
{
    VstMidiEvent event{};
    event.type = kVstMidiType;
    event.byteSize = sizeof event;
    event.midiData[0] = char(status);
    event.midiData[1] = char(data1);
    return event;
}

}  // namespace

TEST(ReverseEffect, NewEffectHasItsDefaultsAndIdentity)
{
    RecordingHost host;
    ReverseEffect effect(RecordingHost::callback);
    EXPECT_EQ(effect.getParameter(0), 1.0f);
    EXPECT_EQ(effect.getParameter(1), 1.0f);
    EXPECT_EQ(effect.getParameter(2), 0.0f);
    EXPECT_EQ(effect.getParameter(3), 0.0f);
    EXPECT_EQ(effect.getFade(), 0.0f);
    EXPECT_EQ(effect.getHostTempo(), 125.0f);
    EXPECT_EQ(effect.getLeftBuffer()->getTargetLength(), 88200.0f);

    EXPECT_EQ(text(effect, effGetParamDisplay, 0), "on");
    EXPECT_EQ(text(effect, effGetParamDisplay, 1), "88200.00");
    EXPECT_EQ(text(effect, effGetParamDisplay, 2), "off");
    EXPECT_EQ(text(effect, effGetParamName, 0), " On/Off ");
    EXPECT_EQ(text(effect, effGetParamName, 1), "BuffSize");
    EXPECT_EQ(text(effect, effGetParamName, 2), "Note/ms ");
    EXPECT_EQ(text(effect, effGetParamLabel, 2), " ");
    EXPECT_EQ(text(effect, effGetProgramName), "Backtwister");
    EXPECT_EQ(text(effect, effGetEffectName), "Backtwister");
    EXPECT_EQ(text(effect, effGetProductString), "Kelpworks Backtwister");
    EXPECT_EQ(text(effect, effGetVendorString), "Kelpworks");
    // Out-of-range parameters write nothing at all.
    EXPECT_EQ(text(effect, effGetParamName, 3)[0], '#');
    EXPECT_EQ(text(effect, effGetParamDisplay, -1)[0], '#');

    const AEffect* record = effect.record();
    EXPECT_EQ(record->flags, effFlagsCanMono | effFlagsCanReplacing);
    EXPECT_EQ(record->numInputs, 2);
    EXPECT_EQ(record->numOutputs, 2);
    EXPECT_EQ(record->uniqueID, 0x426B7431);
    EXPECT_TRUE(host.calls.empty()) << "construction must not call the host";
}

TEST(ReverseEffect, DisplaysAndProgramNames)
{
    RecordingHost host;
    ReverseEffect effect(RecordingHost::callback);
    effect.setParameter(0, 0.5f);
    effect.setParameter(2, 0.5f);
    EXPECT_EQ(text(effect, effGetParamDisplay, 0), "on");
    EXPECT_EQ(text(effect, effGetParamDisplay, 2), "on");
    effect.setParameter(2, 0.49999997f);
    EXPECT_EQ(text(effect, effGetParamDisplay, 2), "off");
    effect.setParameter(1, 0.0f);
    EXPECT_EQ(text(effect, effGetParamDisplay, 1), "1024.000");

    char name[64] = "Init";
    effect.dispatcher(effSetProgramName, 0, 0, name, 0.0f);
    EXPECT_EQ(text(effect, effGetProgramName), "Init 1");

    char longName[64] = "A program name far longer than twenty-three";
    effect.dispatcher(effSetProgramName, 0, 0, longName, 0.0f);
    EXPECT_EQ(text(effect, effGetProgramName), "A program name far long");
}

TEST(ReverseEffect, CapabilitiesPinsAndFixedAnswers)
{
    RecordingHost host;
    ReverseEffect effect(RecordingHost::callback);
    char yes1[] = "receiveVstEvents", yes2[] = "receiveVstMidiEvent", no1[] = "receiveVstTimeInfo", no2[] = "bypass",
         odd[] = "ReceiveVstEvents";
    EXPECT_EQ(effect.dispatcher(effCanDo, 0, 0, yes1, 0.0f), 1);
    EXPECT_EQ(effect.dispatcher(effCanDo, 0, 0, yes2, 0.0f), 1);
    EXPECT_EQ(effect.dispatcher(effCanDo, 0, 0, no1, 0.0f), -1);
    EXPECT_EQ(effect.dispatcher(effCanDo, 0, 0, no2, 0.0f), -1);
    EXPECT_EQ(effect.dispatcher(effCanDo, 0, 0, odd, 0.0f), -1);

    VstPinProperties pin{};
    EXPECT_EQ(effect.dispatcher(effGetInputProperties, 1, 0, &pin, 0.0f), 1);
    EXPECT_STREQ(pin.label, "Backtwister Right Input 1");
    EXPECT_EQ(pin.flags, kVstPinIsActive | kVstPinIsStereo);
    EXPECT_EQ(effect.dispatcher(effGetOutputProperties, 0, 0, &pin, 0.0f), 1);
    EXPECT_STREQ(pin.label, "Backtwister Left Output 1");
    VstPinProperties untouched{};
    EXPECT_EQ(effect.dispatcher(effGetInputProperties, 2, 0, &untouched, 0.0f), 0);
    EXPECT_EQ(effect.dispatcher(effGetOutputProperties, -1, 0, &untouched, 0.0f), 0);
    EXPECT_EQ(untouched.label[0], '\0');

    EXPECT_EQ(effect.dispatcher(effGetPlugCategory, 0, 0, nullptr, 0.0f), kPlugCategEffect);
    EXPECT_EQ(effect.dispatcher(effGetVendorVersion, 0, 0, nullptr, 0.0f), 110);
    EXPECT_EQ(effect.dispatcher(effGetTailSize, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(effect.dispatcher(effGetVu, 0, 0, nullptr, 0.0f), 0);
    char category[32] = "x";
    EXPECT_EQ(effect.dispatcher(effGetProgramNameIndexed, 0, 0, category, 0.0f), 0);
}

TEST(ReverseEffect, EverySettingStoresInTheProgramAndRestartsTheCrossfadeForOnOff)
{
    RecordingHost host;
    ReverseEffect effect(RecordingHost::callback);
    effect.setParameter(0, 1.0f);  // the value it already has
    EXPECT_EQ(effect.getFade(), 1.0f);

    effect.setParameter(0, 0.25f);
    effect.setParameter(1, 0.5f);
    EXPECT_EQ(effect.getLeftBuffer()->getTargetLength(), 0.5f * 87176.0f + 1024.0f);
    EXPECT_EQ(effect.dispatcher(effCopyProgram, 0, 0, nullptr, 0.0f), 1);
    EXPECT_EQ(effect.dispatcher(effCopyProgram, 1, 0, nullptr, 0.0f), 0);
    EXPECT_EQ(effect.dispatcher(effCopyProgram, -1, 0, nullptr, 0.0f), 0);

    // Program 0 holds the values set since; selecting it re-applies them.
    effect.setParameter(0, 0.75f);
    effect.dispatcher(effSetProgram, 0, 0, nullptr, 0.0f);
    EXPECT_EQ(effect.getParameter(0), 0.75f);
    EXPECT_EQ(effect.getParameter(1), 0.5f);
    effect.dispatcher(effSetProgram, 0, 1, nullptr, 0.0f);
    effect.dispatcher(effSetProgram, 0, -1, nullptr, 0.0f);
    EXPECT_EQ(effect.dispatcher(effGetProgram, 0, 0, nullptr, 0.0f), 0);
}

TEST(ReverseEffect, NoteValueModeTakesTheTargetFromTheTempo)
{
    RecordingHost host;
    ReverseEffect effect(RecordingHost::callback);
    const float perSecond = 0.016666668f;
    effect.setParameter(2, 1.0f);

    // At ordinary tempi two beats exceed the store: the target is held at its top.
    host.answers[audioMasterTempoAt] = 1200000;
    effect.dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
    EXPECT_EQ(effect.getHostTempo(), 120.0f);
    effect.setParameter(1, 0.3f);
    EXPECT_EQ(effect.getLeftBuffer()->getTargetLength(), 88200.0f);

    host.answers[audioMasterTempoAt] = 100000000;  // 10000 beats per minute
    effect.dispatcher(effMainsChanged, 0, 1, nullptr, 0.0f);
    effect.setParameter(1, 0.3f);
    EXPECT_EQ(effect.getLeftBuffer()->getTargetLength(), 88200.0f / (10000.0f * perSecond * perSecond) * 2.0f);

    // Setting the mode alone does not recompute the target.
    effect.setParameter(2, 0.0f);
    EXPECT_EQ(effect.getLeftBuffer()->getTargetLength(), 88200.0f / (10000.0f * perSecond * perSecond) * 2.0f);
}

TEST(ReverseEffect, ResumeAsksForMidiAndTheTempoAndFallsBackTo125)
{
    RecordingHost host;
    ReverseEffect effect(RecordingHost::callback);
    host.answers[audioMasterTempoAt] = 0;
    effect.dispatcher(effMainsChanged, 0, 2, nullptr, 0.0f);
    ASSERT_EQ(host.calls.size(), 2u);
    EXPECT_EQ(host.calls[0].opcode, audioMasterWantMidi);
    EXPECT_EQ(host.calls[0].value, 1);
    EXPECT_EQ(host.calls[0].effect, effect.record());
    EXPECT_EQ(host.calls[1].opcode, audioMasterTempoAt);
    EXPECT_EQ(host.calls[1].value, 0);
    EXPECT_EQ(effect.getHostTempo(), 125.0f);

    host.calls.clear();
    effect.dispatcher(effMainsChanged, 0, 0, nullptr, 0.0f);
    EXPECT_TRUE(host.calls.empty());
}

TEST(ReverseEffect, MidiProgramChangeZeroReappliesTheProgram)
{
    RecordingHost host;
    ReverseEffect effect(RecordingHost::callback);
    effect.setParameter(0, 0.0f);
    VstMidiEvent change = midi(0xC3, 0), other = midi(0xC0, 5), note = midi(0x90, 60);
    VstEvent sysex{};
    sysex.type = 6;
    VstEventList<5> list{
        5, 0, {reinterpret_cast<VstEvent*>(&note), nullptr, &sysex, reinterpret_cast<VstEvent*>(&other), nullptr}};

    // Fade out first, then see whether the changes restart it.
    float in[2][8] = {}, out[2][8] = {};
    float* ins[] = {in[0], in[1]};
    float* outs[] = {out[0], out[1]};
    for (int i = 0; i < 30; ++i)
        effect.processReplacing(ins, outs, 8);
    EXPECT_LT(effect.getFade(), 1.0f);
    const float fadeBefore = effect.getFade();
    EXPECT_EQ(effect.dispatcher(effProcessEvents, 0, 0, list.record(), 0.0f), 1);
    EXPECT_EQ(effect.getFade(), fadeBefore) << "only program 0 may be recalled";

    list.events[1] = reinterpret_cast<VstEvent*>(&change);
    EXPECT_EQ(effect.dispatcher(effProcessEvents, 0, 0, list.record(), 0.0f), 1);
    EXPECT_EQ(effect.getFade(), 1.0f);
    EXPECT_EQ(effect.getParameter(0), 0.0f);

    list.numEvents = -3;
    EXPECT_EQ(effect.dispatcher(effProcessEvents, 0, 0, &list, 0.0f), 1);
    EXPECT_EQ(effect.dispatcher(effProcessEvents, 0, 0, nullptr, 0.0f), 0);
}

TEST(ReverseEffect, BarStartTestFollowsTheHostsTimeInformation)
{
    RecordingHost host;
    VstTimeInfo time{};
    host.answers[audioMasterGetTime] = reinterpret_cast<VstIntPtr>(&time);
    ReverseEffect effect(RecordingHost::callback);

    time.flags = kVstPpqPosValid;  // bars missing
    EXPECT_FALSE(effect.isBarStart());
    EXPECT_EQ(host.calls.back().value, kVstPpqPosValid | kVstBarsValid);

    time.flags = kVstPpqPosValid | kVstBarsValid;
    time.barStartPos = 4.0;
    time.ppqPos = 4.5;
    EXPECT_FALSE(effect.isBarStart());
    time.ppqPos = 4.0;
    EXPECT_TRUE(effect.isBarStart());
    const std::size_t callsAfterStart = host.calls.size();
    for (int i = 0; i < 2048; ++i)
        EXPECT_FALSE(effect.isBarStart());
    EXPECT_EQ(host.calls.size(), callsAfterStart) << "the hold-off must not ask the host";

    time.barStartPos = 0.0;
    time.ppqPos = 0.0;
    EXPECT_TRUE(effect.isBarStart());  // first time at bar zero
    for (int i = 0; i < 2048; ++i)
        effect.isBarStart();
    EXPECT_FALSE(effect.isBarStart());  // bar zero only once until another bar is seen

    host.answers[audioMasterGetTime] = 0;
    EXPECT_FALSE(effect.isBarStart());
}

TEST(EntryPoint, MainAsksTheVersionAndRefusesOldHosts)
{
    RecordingHost host;
    host.answers[audioMasterVersion] = 0;
    EXPECT_EQ(backtwisterMain(RecordingHost::callback), nullptr);
    ASSERT_EQ(host.calls.size(), 1u);
    EXPECT_EQ(host.calls[0].effect, nullptr);
    EXPECT_EQ(host.calls[0].opcode, audioMasterVersion);
    EXPECT_EQ(backtwisterMain(nullptr), nullptr);

    host.answers[audioMasterVersion] = 2400;
    AEffect* record = backtwisterMain(RecordingHost::callback);
    ASSERT_NE(record, nullptr);
    EXPECT_EQ(record->magic, kEffectMagic);
    EXPECT_EQ(record->dispatcher(record, effClose, 0, 0, nullptr, 0.0f), 1);
}
