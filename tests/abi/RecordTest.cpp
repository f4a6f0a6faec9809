#include "AbiHost.h"

#include <gtest/gtest.h>

#include <windows.h>

#include <cstdint>
#include <cstring>
#include <vector>

namespace abitest {
namespace {

    // Reads a field at a byte offset, as a host compiled against its own copy of the record would.
    template <typename T>
    T fieldAt(const AEffect* record, std::size_t offset)
    {
        T value;
        std::memcpy(&value, reinterpret_cast<const char*>(record) + offset, sizeof value);
        return value;
    }

    void expectCall(const HostCall& call, AEffect* effect, VstInt32 opcode, VstIntPtr value)
    {
        EXPECT_EQ(call.effect, effect);
        EXPECT_EQ(call.opcode, opcode);
        EXPECT_EQ(call.index, 0);
        EXPECT_EQ(call.value, value);
        EXPECT_EQ(call.ptr, nullptr);
        EXPECT_EQ(call.opt, 0.0f);
    }

    // Reserves the process's free address space but for about `spare` bytes, for as long as it lives.
    class AddressSpaceSqueeze {
    public:
        explicit AddressSpaceSqueeze(std::size_t spare)
        {
            for (std::size_t chunk : {std::size_t(16) << 20, std::size_t(1) << 20, std::size_t(64) << 10})
                while (void* block = VirtualAlloc(nullptr, chunk, MEM_RESERVE, PAGE_NOACCESS))
                    reserved.push_back(block);
            for (std::size_t freed = 0; freed < spare && !reserved.empty(); freed += 16 << 20) {
                VirtualFree(reserved.front(), 0, MEM_RELEASE);
                reserved.erase(reserved.begin());
            }
        }
        ~AddressSpaceSqueeze()
        {
            for (void* block : reserved)
                VirtualFree(block, 0, MEM_RELEASE);
        }

    private:
        std::vector<void*> reserved;
    };

    class RecordTest : public testing::Test {
    protected:
        void SetUp() override { RecordingHost::reset(); }
    };

    // The published offsets of the record's fields: 144 bytes at 32 bits; at 64 bits every
    // pointer-sized field is 8 bytes wide and aligned to 8, which makes 192 bytes.
    struct Layout {
        std::size_t dispatcher, process, setParameter, getParameter, numPrograms, numParams, numInputs, numOutputs,
            flags, resvd1, resvd2, initialDelay, realQualities, offQualities, ioRatio, object, user, uniqueID, version,
            processReplacing, future, size;
    };
    constexpr Layout kLayout32{4, 8, 12, 16, 20, 24, 28, 32, 36, 40, 44, 48, 52, 56, 60, 64, 68, 72, 76, 80, 84, 144};
    constexpr Layout kLayout64{8,  16, 24, 32, 40, 44,  48,  52,  56,  64,  72,
                               80, 84, 88, 92, 96, 104, 112, 116, 120, 128, 192};
    constexpr Layout kLayout = sizeof(void*) == 8 ? kLayout64 : kLayout32;

    TEST_F(RecordTest, FieldsAtTheirPublishedOffsets)
    {
        Effect fx;
        const AEffect* r = fx.record();
        ASSERT_NE(r, nullptr);
        const Layout& at = kLayout;

        EXPECT_EQ(fieldAt<std::uint32_t>(r, 0), 0x56737450u);  // 'VstP'
        for (std::size_t entry : {at.dispatcher, at.process, at.setParameter, at.getParameter, at.processReplacing})
            EXPECT_NE(fieldAt<std::uintptr_t>(r, entry), 0u) << "entry at offset " << entry;
        EXPECT_EQ(fieldAt<std::int32_t>(r, at.numPrograms), 1);
        EXPECT_EQ(fieldAt<std::int32_t>(r, at.numParams), 3);
        EXPECT_EQ(fieldAt<std::int32_t>(r, at.numInputs), 2);
        EXPECT_EQ(fieldAt<std::int32_t>(r, at.numOutputs), 2);
        for (std::size_t zero : {at.resvd1, at.resvd2, at.user})
            EXPECT_EQ(fieldAt<std::uintptr_t>(r, zero), 0u) << "field at offset " << zero;
        for (std::size_t zero : {at.initialDelay, at.realQualities, at.offQualities})
            EXPECT_EQ(fieldAt<std::uint32_t>(r, zero), 0u) << "field at offset " << zero;
        EXPECT_EQ(fieldAt<float>(r, at.ioRatio), 1.0f);
        EXPECT_EQ(fieldAt<const void*>(r, at.object), r->object);
        EXPECT_NE(r->object, nullptr);
        EXPECT_EQ(fieldAt<std::uint32_t>(r, at.uniqueID), 0x426B7431u);  // 'Bkt1', first character highest
        EXPECT_EQ(fieldAt<std::int32_t>(r, at.version), 1);
        for (std::size_t offset = at.future; offset < at.future + 60; ++offset)
            EXPECT_EQ(fieldAt<char>(r, offset), 0) << "future byte at offset " << offset;
        EXPECT_EQ(sizeof(AEffect), at.size);
    }

    TEST_F(RecordTest, FlagsSayMonoAndReplacing)
    {
        Effect fx;
        ASSERT_NE(fx.record(), nullptr);
        // The editor bit comes with the editor; kHasEditor is flipped when it lands.
        const VstInt32 expected = effFlagsCanMono | effFlagsCanReplacing | (kHasEditor ? effFlagsHasEditor : 0);
        EXPECT_EQ(fx.record()->flags, expected) << std::hex << fx.record()->flags;
    }

    TEST_F(RecordTest, MainAsksOnlyForTheHostVersionWithANullRecord)
    {
        Effect fx;
        ASSERT_NE(fx.record(), nullptr);
        ASSERT_EQ(RecordingHost::calls().size(), 1u);
        expectCall(RecordingHost::calls()[0], nullptr, audioMasterVersion, 0);
    }

    TEST_F(RecordTest, HostVersionZeroMeansNoEffectAndNoFurtherCall)
    {
        RecordingHost::answer(audioMasterVersion, 0);
        EXPECT_EQ(callMain(), nullptr);
        ASSERT_EQ(RecordingHost::calls().size(), 1u);
        EXPECT_EQ(RecordingHost::calls()[0].opcode, audioMasterVersion);
    }

    TEST_F(RecordTest, EachMainCallGivesItsOwnRecord)
    {
        Effect first;
        Effect second;
        ASSERT_NE(first.record(), nullptr);
        ASSERT_NE(second.record(), nullptr);
        EXPECT_NE(first.record(), second.record());
        EXPECT_NE(first.record()->object, second.record()->object);
    }

    TEST_F(RecordTest, ResumeWantsMidiThenAsksTheTempo)
    {
        Effect fx;
        ASSERT_NE(fx.record(), nullptr);
        RecordingHost::clearCalls();

        EXPECT_EQ(fx.dispatch(effMainsChanged, 0, 0), 0);  // suspend asks nothing
        EXPECT_TRUE(RecordingHost::calls().empty());

        for (VstIntPtr resume : {1, 2}) {
            RecordingHost::clearCalls();
            EXPECT_EQ(fx.dispatch(effMainsChanged, 0, resume), 0);
            const auto& calls = RecordingHost::calls();
            ASSERT_EQ(calls.size(), 2u) << "resume with " << resume;
            expectCall(calls[0], fx.record(), audioMasterWantMidi, 1);
            expectCall(calls[1], fx.record(), audioMasterTempoAt, 0);
        }
    }

    TEST_F(RecordTest, EveryAudioBlockAsksTheTempoOnce)
    {
        Effect fx;
        ASSERT_NE(fx.record(), nullptr);
        float left[64] = {};
        float right[64] = {};
        float* channels[] = {left, right};

        for (VstInt32 frames : {64, 1, 0, -3}) {
            RecordingHost::clearCalls();
            fx.process(channels, channels, frames);
            ASSERT_EQ(RecordingHost::calls().size(), 1u) << "process of " << frames;
            expectCall(RecordingHost::calls()[0], fx.record(), audioMasterTempoAt, 0);

            RecordingHost::clearCalls();
            fx.processReplacing(channels, channels, frames);
            ASSERT_EQ(RecordingHost::calls().size(), 1u) << "processReplacing of " << frames;
            expectCall(RecordingHost::calls()[0], fx.record(), audioMasterTempoAt, 0);
        }
    }

    TEST_F(RecordTest, CloseAnswersOneAndFreesTheEffect)
    {
        // Each effect holds about 1.4 MB: with 256 MB of address space left, effects that were
        // not freed would run it out long before the last one, and main would fail. Nothing is
        // asserted while the space is short, since a failing assertion needs memory itself.
        constexpr int kEffects = 400;
        int created = 0;
        int closed = 0;
        {
            AddressSpaceSqueeze squeeze(256 << 20);
            for (; created < kEffects; ++created) {
                AEffect* effect = callMain();
                if (!effect)
                    break;
                effect->dispatcher(effect, effOpen, 0, 0, nullptr, 0.0f);
                closed += effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f) == 1;
            }
        }
        EXPECT_EQ(created, kEffects) << "main failed";
        EXPECT_EQ(closed, created) << "effClose did not answer 1";
    }

}  // namespace
}  // namespace abitest
