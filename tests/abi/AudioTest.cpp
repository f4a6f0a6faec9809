#include "AbiHost.h"
#include "tests/ReverseReference.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <limits>
#include <vector>

namespace abitest {
namespace {

    constexpr int kCapacity = 88200;
    constexpr int kCrossfadeFrames = 201;

    struct Stereo {
        std::vector<float> left;
        std::vector<float> right;

        explicit Stereo(std::size_t frames) : left(frames), right(frames) {}
        std::size_t frames() const { return left.size(); }
    };

    // Reproducible noise in [-1, 1): neighbouring samples differ, so a read one slot off shows.
    Stereo noise(std::size_t frames, std::uint32_t seed)
    {
        Stereo signal(frames);
        auto next = [&seed] {
            seed = seed * 1664525u + 1013904223u;
            return float(std::int32_t(seed >> 8) - (1 << 23)) / float(1 << 23);
        };
        for (std::size_t i = 0; i < frames; ++i) {
            signal.left[i] = next();
            signal.right[i] = next();
        }
        return signal;
    }

    // Hands `in` to the DLL block by block, cycling through the given block sizes. `accumulate`
    // chooses the process entry over processReplacing.
    void run(Effect& fx, const Stereo& in, Stereo& out, std::initializer_list<int> blocks = {1024},
             bool accumulate = false)
    {
        auto size = blocks.begin();
        for (std::size_t pos = 0; pos < in.frames();) {
            int frames = int(std::min<std::size_t>(*size, in.frames() - pos));
            float* inputs[] = {const_cast<float*>(&in.left[pos]), const_cast<float*>(&in.right[pos])};
            float* outputs[] = {&out.left[pos], &out.right[pos]};
            if (accumulate)
                fx.process(inputs, outputs, frames);
            else
                fx.processReplacing(inputs, outputs, frames);
            pos += frames;
            if (++size == blocks.end())
                size = blocks.begin();
        }
    }

    Stereo replacing(Effect& fx, const Stereo& in, std::initializer_list<int> blocks = {1024})
    {
        Stereo out(in.frames());
        run(fx, in, out, blocks);
        return out;
    }

    Stereo modelled(ReferenceEffect& model, const Stereo& in)
    {
        Stereo out(in.frames());
        for (std::size_t i = 0; i < in.frames(); ++i)
            model.step(in.left[i], in.right[i], out.left[i], out.right[i]);
        return out;
    }

    testing::AssertionResult sameBits(const char* channel, const std::vector<float>& actual,
                                      const std::vector<float>& expected)
    {
        if (actual.size() != expected.size())
            return testing::AssertionFailure()
                   << channel << ": " << actual.size() << " frames, not " << expected.size();
        for (std::size_t i = 0; i < actual.size(); ++i)
            if (std::bit_cast<std::uint32_t>(actual[i]) != std::bit_cast<std::uint32_t>(expected[i]))
                return testing::AssertionFailure()
                       << channel << " frame " << i << ": " << actual[i] << " instead of " << expected[i];
        return testing::AssertionSuccess();
    }

    testing::AssertionResult sameBits(const Stereo& actual, const Stereo& expected)
    {
        auto left = sameBits("left", actual.left, expected.left);
        return left ? sameBits("right", actual.right, expected.right) : left;
    }

    Stereo tail(const Stereo& signal, std::size_t from)
    {
        Stereo rest(0);
        rest.left.assign(signal.left.begin() + from, signal.left.end());
        rest.right.assign(signal.right.begin() + from, signal.right.end());
        return rest;
    }

    class AudioTest : public testing::Test {
    protected:
        void SetUp() override { ASSERT_NE(fx.record(), nullptr); }

        // Runs a stretch through the DLL and the model and compares the two.
        testing::AssertionResult play(std::size_t frames, std::uint32_t seed,
                                      std::initializer_list<int> blocks = {1024})
        {
            Stereo in = noise(frames, seed);
            return sameBits(replacing(fx, in, blocks), modelled(model, in));
        }

        FreshHost host;
        Effect fx;
        ReferenceEffect model;
    };

    TEST_F(AudioTest, ReversedOutputMatchesTheModelOverSeveralWraps)
    {
        EXPECT_TRUE(play(3 * kCapacity + 777, 1, {1, 511, 4096, 7, 1024, kCapacity}));
    }

    TEST_F(AudioTest, ProcessAddsToTheOutputs)
    {
        Stereo in = noise(20000, 2);
        Stereo out = noise(20000, 3);
        Stereo expected = modelled(model, in);
        for (std::size_t i = 0; i < in.frames(); ++i) {
            expected.left[i] = out.left[i] + expected.left[i];
            expected.right[i] = out.right[i] + expected.right[i];
        }
        run(fx, in, out, {333, 4096}, true);
        EXPECT_TRUE(sameBits(out, expected));
    }

    TEST_F(AudioTest, InputAndOutputMayBeTheSameBuffers)
    {
        Stereo signal = noise(50000, 4);
        Stereo expected = modelled(model, signal);
        run(fx, signal, signal, {1000});
        EXPECT_TRUE(sameBits(signal, expected));
    }

    TEST_F(AudioTest, SwitchingOffCrossfadesToDryIn201Frames)
    {
        ASSERT_TRUE(play(10000, 5));
        fx.setParameter(0, 0.0f);
        model.setOnOff(0.0f);

        Stereo in = noise(1000, 6);
        Stereo out = replacing(fx, in, {100});
        EXPECT_TRUE(sameBits(out, modelled(model, in)));
        EXPECT_TRUE(sameBits(tail(out, kCrossfadeFrames), tail(in, kCrossfadeFrames)));
    }

    TEST_F(AudioTest, SettingOnAgainRestartsTheCrossfadeFromDry)
    {
        ASSERT_TRUE(play(10000, 7));
        fx.setParameter(0, 1.0f);
        model.setOnOff(1.0f);

        Stereo in = noise(1000, 8);
        Stereo out = replacing(fx, in);
        EXPECT_TRUE(sameBits(out, modelled(model, in)));
        EXPECT_EQ(out.left[0], in.left[0]);
        EXPECT_EQ(out.right[0], in.right[0]);
    }

    TEST_F(AudioTest, HalfIsProcessedAsOff)
    {
        fx.setParameter(0, 0.5f);
        model.setOnOff(0.5f);
        Stereo in = noise(2000, 9);
        Stereo out = replacing(fx, in);
        EXPECT_TRUE(sameBits(out, modelled(model, in)));
        EXPECT_TRUE(sameBits(tail(out, kCrossfadeFrames), tail(in, kCrossfadeFrames)));
    }

    TEST_F(AudioTest, BufferSizeAndNoteValueLeaveTheSoundAlone)
    {
        fx.dispatch(effMainsChanged, 0, 1);
        fx.setParameter(1, 0.0f);
        fx.setParameter(2, 1.0f);
        fx.setParameter(1, 0.3f);
        EXPECT_TRUE(play(kCapacity + 500, 10));
    }

    TEST_F(AudioTest, EmptyOrIncompleteBlocksTouchNothing)
    {
        ASSERT_TRUE(play(1000, 11));
        RecordingHost::clearCalls();

        float inLeft[16] = {0.5f};
        float inRight[16] = {0.25f};
        float outLeft[16];
        float outRight[16];
        int calls = 0;
        auto check = [&](float* inputs[2], float* outputs[2], VstInt32 frames, const char* what) {
            for (bool accumulate : {false, true}) {
                std::fill(std::begin(outLeft), std::end(outLeft), 7.0f);
                std::fill(std::begin(outRight), std::end(outRight), 7.0f);
                if (accumulate)
                    fx.process(inputs, outputs, frames);
                else
                    fx.processReplacing(inputs, outputs, frames);
                ++calls;
                auto seven = [](float sample) { return sample == 7.0f; };
                bool untouched = std::all_of(std::begin(outLeft), std::end(outLeft), seven) &&
                                 std::all_of(std::begin(outRight), std::end(outRight), seven);
                EXPECT_TRUE(untouched) << what << (accumulate ? " (process)" : " (processReplacing)");
            }
        };
        float* inputs[] = {inLeft, inRight};
        float* outputs[] = {outLeft, outRight};
        float* noLeft[] = {nullptr, inRight};
        float* noRight[] = {inLeft, nullptr};
        float* noLeftOut[] = {nullptr, outRight};
        float* noRightOut[] = {outLeft, nullptr};
        check(inputs, outputs, 0, "no frames");
        check(inputs, outputs, -5, "negative frames");
        check(nullptr, outputs, 16, "no input array");
        check(inputs, nullptr, 16, "no output array");
        check(noLeft, outputs, 16, "no left input");
        check(noRight, outputs, 16, "no right input");
        check(inputs, noLeftOut, 16, "no left output");
        check(inputs, noRightOut, 16, "no right output");

        EXPECT_EQ(RecordingHost::callsWith(audioMasterTempoAt).size(), std::size_t(calls));
        EXPECT_TRUE(play(1000, 12)) << "the buffers moved on";
    }

    TEST_F(AudioTest, NonFiniteInputIsKeptAsSilenceAndNeverPassesDry)
    {
        const float nonFinite[] = {std::numeric_limits<float>::quiet_NaN(), std::numeric_limits<float>::infinity(),
                                   -std::numeric_limits<float>::infinity()};
        auto spoil = [&](Stereo& signal) {
            for (std::size_t i = 0; i < signal.frames(); i += 97) {
                signal.left[i] = nonFinite[i % 3];
                signal.right[i + 1 < signal.frames() ? i + 1 : i] = nonFinite[(i + 1) % 3];
            }
        };

        Stereo reversedIn = noise(60000, 13);
        spoil(reversedIn);
        EXPECT_TRUE(sameBits(replacing(fx, reversedIn), modelled(model, reversedIn)));

        fx.setParameter(0, 0.0f);
        model.setOnOff(0.0f);
        ASSERT_TRUE(play(kCrossfadeFrames, 14));
        Stereo dryIn = noise(30000, 15);
        spoil(dryIn);
        Stereo dryOut = replacing(fx, dryIn);
        EXPECT_TRUE(sameBits(dryOut, modelled(model, dryIn)));
        for (std::size_t i = 0; i < dryIn.frames(); ++i) {
            const bool finite = std::isfinite(dryIn.left[i]);
            ASSERT_EQ(dryOut.left[i], finite ? dryIn.left[i] : 0.0f) << "frame " << i;
        }

        fx.setParameter(0, 1.0f);
        model.setOnOff(1.0f);
        EXPECT_TRUE(play(kCapacity, 16)) << "what was fed while dry came back";
    }

    TEST_F(AudioTest, EffectsKeepTheirOwnState)
    {
        Effect other;
        ASSERT_NE(other.record(), nullptr);
        ReferenceEffect otherModel;
        for (std::uint32_t round = 0; round < 6; ++round) {
            Stereo in = noise(20000, 100 + round);
            Stereo otherIn = noise(20000, 200 + round);
            EXPECT_TRUE(sameBits(replacing(fx, in), modelled(model, in))) << round;
            EXPECT_TRUE(sameBits(replacing(other, otherIn), modelled(otherModel, otherIn))) << round;
        }
    }

    VstMidiEvent midi(int status, int data1, int data2 = 0)
    {
        VstMidiEvent event = {};
        event.type = kVstMidiType;
        event.byteSize = sizeof event;
        event.midiData[0] = char(status);
        event.midiData[1] = char(data1);
        event.midiData[2] = char(data2);
        return event;
    }

    VstIntPtr send(Effect& fx, VstInt32 count, VstEvent* first, VstEvent* second = nullptr)
    {
        VstEvents events = {};
        events.numEvents = count;
        events.events[0] = first;
        events.events[1] = second;
        return fx.dispatch(effProcessEvents, 0, 0, &events);
    }

    VstEvent* asEvent(VstMidiEvent& event) { return reinterpret_cast<VstEvent*>(&event); }

    struct Trigger {
        const char* what;
        std::function<void(Effect&)> act;
        bool restartsCrossfade;
    };

    TEST_F(AudioTest, ProgramRecallRestartsTheCrossfade)
    {
        const Trigger triggers[] = {
            {"effSetProgram 0", [](Effect& e) { EXPECT_EQ(e.dispatch(effSetProgram, 0, 0), 0); }, true},
            {"effSetProgram 1", [](Effect& e) { EXPECT_EQ(e.dispatch(effSetProgram, 0, 1), 0); }, false},
            {"effSetProgram -1", [](Effect& e) { EXPECT_EQ(e.dispatch(effSetProgram, 0, -1), 0); }, false},
            {"parameter 0", [](Effect& e) { e.setParameter(0, 1.0f); }, true},
            {"parameter 1", [](Effect& e) { e.setParameter(1, 0.5f); }, false},
            {"parameter 2", [](Effect& e) { e.setParameter(2, 0.5f); }, false},
            {"program change 0",
             [](Effect& e) {
                 VstMidiEvent change = midi(0xC0, 0);
                 EXPECT_EQ(send(e, 1, asEvent(change)), 1);
             },
             true},
            {"program change 0x80 on channel 6",
             [](Effect& e) {
                 VstMidiEvent change = midi(0xC5, 0x80);
                 EXPECT_EQ(send(e, 1, asEvent(change)), 1);
             },
             true},
            {"program change after a note",
             [](Effect& e) {
                 VstMidiEvent note = midi(0x90, 60, 100);
                 VstMidiEvent change = midi(0xC0, 0);
                 EXPECT_EQ(send(e, 2, asEvent(note), asEvent(change)), 1);
             },
             true},
            {"program change 1",
             [](Effect& e) {
                 VstMidiEvent change = midi(0xC0, 1);
                 EXPECT_EQ(send(e, 1, asEvent(change)), 1);
             },
             false},
            {"note, controller",
             [](Effect& e) {
                 VstMidiEvent note = midi(0x90, 60, 100);
                 VstMidiEvent controller = midi(0xB0, 7, 100);
                 EXPECT_EQ(send(e, 2, asEvent(note), asEvent(controller)), 1);
             },
             false},
            {"program change in an event that is not MIDI",
             [](Effect& e) {
                 VstMidiEvent other = midi(0xC0, 0);
                 other.type = 6;
                 EXPECT_EQ(send(e, 1, asEvent(other)), 1);
             },
             false},
            {"null entries", [](Effect& e) { EXPECT_EQ(send(e, 2, nullptr, nullptr), 1); }, false},
            {"negative count",
             [](Effect& e) {
                 VstMidiEvent change = midi(0xC0, 0);
                 EXPECT_EQ(send(e, -1, asEvent(change)), 1);
             },
             false},
        };
        for (const Trigger& trigger : triggers) {
            Effect effect;
            ASSERT_NE(effect.record(), nullptr);
            ReferenceEffect expected;
            Stereo before = noise(3000, 17);
            ASSERT_TRUE(sameBits(replacing(effect, before), modelled(expected, before))) << trigger.what;

            trigger.act(effect);
            if (trigger.restartsCrossfade)
                expected.setOnOff(1.0f);
            Stereo after = noise(400, 18);
            EXPECT_TRUE(sameBits(replacing(effect, after), modelled(expected, after))) << trigger.what;
        }
    }

}  // namespace
}  // namespace abitest
