// The audio entries must not allocate: every allocation of this program is counted, and a
// few seconds of audio through the record's entries must add none.
#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <new>
#include <vector>

#include "effect/EntryPoint.h"
#include "tests/RecordingHost.h"

namespace {
std::atomic<long> allocations{0};
}

void* operator new(std::size_t size)
{
    ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept
{
    ++allocations;
    return std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }

TEST(AudioAllocation, ProcessingAndSwitchingAllocateNothing)
{
    RecordingHost host;
    host.calls.reserve(1000);  // the recording host itself must not allocate meanwhile
    const long atStart = allocations.load();
    AEffect* effect = backtwisterMain(RecordingHost::callback);
    ASSERT_NE(effect, nullptr);
    ASSERT_GT(allocations.load(), atStart) << "the counter sees the effect's own allocations";
    std::vector<float> l(512, 0.25f), r(512, -0.25f), outL(512), outR(512);
    float* ins[] = {l.data(), r.data()};
    float* outs[] = {outL.data(), outR.data()};

    const long before = allocations.load();
    for (int block = 0; block < 400; ++block) {
        if (block % 50 == 0)
            effect->setParameter(effect, 0, float(block / 50 % 2));
        (block % 2 ? effect->process : effect->processReplacing)(effect, ins, outs, 512);
    }
    EXPECT_EQ(allocations.load(), before);
    effect->dispatcher(effect, effClose, 0, 0, nullptr, 0.0f);
}
