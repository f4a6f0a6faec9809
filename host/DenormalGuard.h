// Flush-to-zero and denormals-are-zero for the lifetime of the guard; the caller's
// floating-point control state comes back when it ends.
#pragma once

#if defined(__SSE__) || defined(__x86_64__) || defined(_M_X64)
#include <atomic>
#include <xmmintrin.h>

namespace kelp {

class DenormalGuard {
public:
    // The control word read here reaches a register only after a trip through memory. Rather
    // than wait for it, the guard sets the state from the control bits the last caller had,
    // which are nearly always the same, and then checks the guess: the processor runs on past
    // a check it predicts right, and a wrong guess is corrected before anything relies on it.
    DenormalGuard() : saved(_mm_getcsr())
    {
        const unsigned guess = lastCaller.load(std::memory_order_relaxed);
        _mm_setcsr(guess | flushing);
        if ((saved ^ guess) & ~statusFlags) [[unlikely]] {
            _mm_setcsr(saved | flushing);
            lastCaller.store(saved, std::memory_order_relaxed);
        }
    }
    // Straight from the word read at the start, long since in memory: a load that would have
    // to wait for a store just made is slow.
    ~DenormalGuard() { asm volatile("ldmxcsr %0" : : "m"(saved)); }
    DenormalGuard(const DenormalGuard&) = delete;
    DenormalGuard& operator=(const DenormalGuard&) = delete;

private:
    static constexpr unsigned flushing = 0x8040;             // flush-to-zero and denormals-are-zero
    static constexpr unsigned statusFlags = 0x003f;          // sticky exception flags, not state
    static inline std::atomic<unsigned> lastCaller{0x1f80};  // the power-on default
    unsigned saved;
};
#else
class DenormalGuard {};
#endif

}  // namespace kelp
