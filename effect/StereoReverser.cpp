#include "effect/StereoReverser.h"

#include <algorithm>
#include <cstddef>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

constexpr int kLanes = StereoReverser::kLanes;
#if defined(__SSE2__)
constexpr bool kFourFrameSteps = true;
#else
constexpr bool kFourFrameSteps = false;
#endif
constexpr int kFadeChunk = 256;      // crossfade amounts worked out ahead, at most this many at once
constexpr int kAlignedStretch = 64;  // frames from which aligned reads pay for an extra step

bool apart(const float* p, const float* q, int frames)
{
    const auto a = reinterpret_cast<std::uintptr_t>(p);
    const auto b = reinterpret_cast<std::uintptr_t>(q);
    const std::uintptr_t size = std::uintptr_t(frames) * sizeof(float);
    return a == b || a + size <= b || b + size <= a;
}

#if defined(__SSE2__)

__m128 backwards(__m128 v) { return _mm_shuffle_ps(v, v, _MM_SHUFFLE(0, 1, 2, 3)); }

// audible() of four samples: normal numbers and zeros of either sign pass, the rest is +0.
__m128 audible(__m128 x)
{
    const __m128 magnitude = _mm_and_ps(x, _mm_castsi128_ps(_mm_set1_epi32(0x7fffffff)));
    const __m128 normal = _mm_and_ps(_mm_cmple_ps(_mm_set1_ps(1.17549435e-38f), magnitude),
                                     _mm_cmple_ps(magnitude, _mm_set1_ps(3.40282347e+38f)));
    const __m128 zero = _mm_castsi128_ps(_mm_cmpeq_epi32(_mm_castps_si128(magnitude), _mm_setzero_si128()));
    return _mm_and_ps(x, _mm_or_ps(normal, zero));
}

template <bool accumulate>
void put(float* out, __m128 y)
{
    if constexpr (accumulate)
        _mm_storeu_ps(out, _mm_add_ps(_mm_loadu_ps(out), y));
    else
        _mm_storeu_ps(out, y);
}

// First pass of a stretch: both channels' inputs into their stores, as they come, four frames
// a step; the last step ends at the last frame and may store some frames again. Answers whether
// one of them is a NaN, an infinity or 2^127 or more in magnitude.
__attribute__((noinline)) bool storeInputs(const float* inL, const float* inR, float* storeL, float* storeR, int frames)
{
    // Each sample doubled as an integer loses its sign and has its exponent in the top byte,
    // which is 254 or more just for the samples asked about: the largest byte tells.
    __m128i most = _mm_setzero_si128();
    auto step = [&](int j) {
        const __m128i l = _mm_castps_si128(_mm_loadu_ps(inL + j));
        const __m128i r = _mm_castps_si128(_mm_loadu_ps(inR + j));
        _mm_storeu_ps(storeL + j, _mm_castsi128_ps(l));
        _mm_storeu_ps(storeR + j, _mm_castsi128_ps(r));
        most = _mm_max_epu8(most, _mm_max_epu8(_mm_add_epi32(l, l), _mm_add_epi32(r, r)));
    };
    int j = 0;
#pragma GCC unroll 4
    for (; j + kLanes <= frames; j += kLanes)
        step(j);
    if (j < frames)
        step(frames - kLanes);
    const __m128i exponents = _mm_srli_epi32(most, 24);
    return _mm_movemask_epi8(_mm_cmpgt_epi32(exponents, _mm_set1_epi32(253))) != 0;
}

enum class Mix { reversed, dry, fadeToReversed, fadeToDry };

// A stretch as the second pass makes it; both buffers share the positions.
struct Stretch {
    const float* dataL;
    const float* dataR;
    const float* window;
    int write;
    int readA;
    int readB;
    int frames;
    const float* amounts;  // the crossfade's, one per frame
};

// Where a step of the second pass reads and writes: the stretch's frames from `first` on.
// Each store is read from its position A; B and the window lie at fixed distances from it.
struct Cursor {
    Cursor(const Stretch& s, bool oneWindow, int first, float* outL, float* outR)
        : left(reinterpret_cast<const char*>(s.dataL + s.readA - first - (kLanes - 1))),
          right(reinterpret_cast<const char*>(s.dataR + s.readA - first - (kLanes - 1))),
          inL(s.dataL + s.write + first), inR(s.dataR + s.write + first),
          amount(s.amounts ? s.amounts + first : nullptr), outL(outL + first),
          toB(std::ptrdiff_t(s.readB - s.readA) * std::ptrdiff_t(sizeof(float))),
          toWindow(reinterpret_cast<const char*>(s.window + windowSlot(s, oneWindow) - first - (kLanes - 1)) - left),
          toOutR(reinterpret_cast<char*>(outR) - reinterpret_cast<char*>(outL))
    {
    }
    void next(int steps)
    {
        left -= steps * kLanes * int(sizeof(float));
        right -= steps * kLanes * int(sizeof(float));
        inL += steps * kLanes;
        inR += steps * kLanes;
        if (amount)
            amount += steps * kLanes;
        outL += steps * kLanes;
    }
    // With one window for both reads, it is read in its lower half only, where one of the two
    // positions always is: the stores and that half are all the loop reads.
    static int windowSlot(const Stretch& s, bool oneWindow) { return oneWindow ? std::min(s.readA, s.readB) : s.readA; }
    static __m128 at(const char* p, std::ptrdiff_t offset)
    {
        return _mm_loadu_ps(reinterpret_cast<const float*>(p + offset));
    }

    const char* left;
    const char* right;
    const float* inL;  // the inputs, as the first pass stored them
    const float* inR;
    const float* amount;
    float* outL;
    std::ptrdiff_t toB;
    std::ptrdiff_t toWindow;
    std::ptrdiff_t toOutR;
};

// Second pass, four frames: the outputs from the stores alone, the inputs included as the
// first pass stored them, so an output may have overwritten any input by now. The first pass
// has stored the whole stretch, and the stretch ends before a frame would read a slot that a
// later frame writes, so each read sees what the per-frame order sees. Read positions move
// backward: a step loads the four samples below each read position forward and turns the sum
// around once. When `guarded`, the reversed output passes audible(); it needs to only when a
// stored sample can make the sum overflow, since with flush-to-zero set nothing but a normal
// number or a zero comes out of it otherwise.
template <Mix mix, bool guarded, bool oneWindow, bool accumulate, int ahead = 0>
inline __attribute__((always_inline)) void fourFrames(const Cursor& c)
{
    // The step `ahead` steps after the cursor's, at fixed distances from its pointers.
    const char* const left = c.left - ahead * kLanes * int(sizeof(float));
    const char* const right = c.right - ahead * kLanes * int(sizeof(float));
    const float* const inL = c.inL + ahead * kLanes;
    const float* const inR = c.inR + ahead * kLanes;
    float* const outL = c.outL + ahead * kLanes;
    const __m128 one = _mm_set1_ps(1.0f);
    __m128 yL, yR;
    if constexpr (mix == Mix::dry) {
        yL = _mm_loadu_ps(inL);
        yR = _mm_loadu_ps(inR);
    } else {
        const __m128 wA = Cursor::at(left, c.toWindow);
        const __m128 wB = oneWindow ? wA : Cursor::at(left, c.toWindow + c.toB);
        const __m128 restA = _mm_sub_ps(one, wA);
        yL = backwards(_mm_add_ps(_mm_mul_ps(wB, Cursor::at(left, c.toB)), _mm_mul_ps(restA, Cursor::at(left, 0))));
        yR = backwards(_mm_add_ps(_mm_mul_ps(wB, Cursor::at(right, c.toB)), _mm_mul_ps(restA, Cursor::at(right, 0))));
    }
    // The crossfade, weighed as the per-frame step weighs it: the signal being left times the amount.
    if constexpr (mix == Mix::fadeToReversed || mix == Mix::fadeToDry) {
        const __m128 xL = _mm_loadu_ps(inL);
        const __m128 xR = _mm_loadu_ps(inR);
        const __m128 a = _mm_loadu_ps(c.amount + ahead * kLanes);
        const __m128 rest = _mm_sub_ps(one, a);
        if constexpr (mix == Mix::fadeToReversed) {
            yL = _mm_add_ps(_mm_mul_ps(xL, a), _mm_mul_ps(yL, rest));
            yR = _mm_add_ps(_mm_mul_ps(xR, a), _mm_mul_ps(yR, rest));
        } else {
            yL = _mm_add_ps(_mm_mul_ps(yL, a), _mm_mul_ps(xL, rest));
            yR = _mm_add_ps(_mm_mul_ps(yR, a), _mm_mul_ps(xR, rest));
        }
    }
    if constexpr (guarded) {
        yL = audible(yL);
        yR = audible(yR);
    }
    put<accumulate>(outL, yL);
    put<accumulate>(reinterpret_cast<float*>(reinterpret_cast<char*>(outL) + c.toOutR), yR);
}

// The outputs of a stretch. Added outputs take whole steps from the first frame. Steps that
// replace them start where the reads of position A begin a 16-byte line, which costs less,
// after one step at the first frame, and the last one ends at the last frame: the frames
// that steps share are written twice, with the same values.
template <Mix mix, bool guarded, bool oneWindow, bool accumulate>
__attribute__((noinline)) void writeOutputs(const Stretch& s, float* outL, float* outR)
{
    int head = 0;
    int body = s.frames;
    if constexpr (!accumulate) {
        if (s.frames >= kAlignedStretch)
            head = int(reinterpret_cast<std::uintptr_t>(s.dataL + s.readA + 1) / sizeof(float) % kLanes);
        body = (s.frames - head) / kLanes * kLanes;
        if (head > 0)
            fourFrames<mix, guarded, oneWindow, accumulate>(Cursor(s, oneWindow, 0, outL, outR));
    }
    Cursor c(s, oneWindow, head, outL, outR);
    float* const end = c.outL + body;
    // Four steps at a time from one set of pointers, then the steps left over.
    for (float* const fours = c.outL + body / (4 * kLanes) * (4 * kLanes); c.outL != fours; c.next(4)) {
        fourFrames<mix, guarded, oneWindow, accumulate, 0>(c);
        fourFrames<mix, guarded, oneWindow, accumulate, 1>(c);
        fourFrames<mix, guarded, oneWindow, accumulate, 2>(c);
        fourFrames<mix, guarded, oneWindow, accumulate, 3>(c);
    }
    for (; c.outL != end; c.next(1))
        fourFrames<mix, guarded, oneWindow, accumulate>(c);
    if (head + body < s.frames)
        fourFrames<mix, guarded, oneWindow, accumulate>(Cursor(s, oneWindow, s.frames - kLanes, outL, outR));
}

template <Mix mix, bool guarded, bool accumulate>
void writeOutputs(bool oneWindow, const Stretch& s, float* outL, float* outR)
{
    if (oneWindow)
        writeOutputs<mix, guarded, true, accumulate>(s, outL, outR);
    else
        writeOutputs<mix, guarded, false, accumulate>(s, outL, outR);
}

#endif

}  // namespace

StereoReverser::StereoReverser(ReverseBuffer* left, ReverseBuffer* right)
    : left(left), right(right), inStep(false), oneWindow(false), overflowRisk(0)
{
#if defined(__SSE2__)
    if (!left || !right || !left->isValid() || !right->isValid() || left->capacity != right->capacity ||
        left->capacity < 2 * kLanes || left->writePos != right->writePos || left->readPosA != right->readPosA ||
        left->readPosB != right->readPosB)
        return;
    const int n = left->capacity;
    // One window load serves both channels only if their windows hold the same bits.
    inStep = std::memcmp(left->window, right->window, sizeof(float) * std::size_t(n)) == 0;
    // And both read positions, half the buffer apart, if the window repeats after half the
    // buffer bit for bit; that depends on the math library's cosine, so it is checked.
    oneWindow = n % 2 == 0 && std::memcmp(left->window, left->window + n / 2, sizeof(float) * std::size_t(n / 2)) == 0;
#endif
}

// Frames from the current positions on that one stretch may take: no position wraps, and no
// frame reads a slot that a later frame of the stretch writes. A stretch stores all its inputs
// before it reads, so a frame that reads a slot written by itself or an earlier frame of the
// stretch reads what the per-frame order reads (the frame at which a read position meets the
// write position reads the sample it has just written). A read position d > 0 slots ahead of
// the write position meets it in frame d / 2 (d even; between frames when d is odd); after
// that frame it reads slots that are already written.
inline int StereoReverser::stretchLength(int wanted) const
{
    const ReverseBuffer& l = *left;
    const int w = l.writePos;
    const int a = l.readPosA;
    const int b = l.readPosB;
    int length = std::min({wanted, l.capacity - w, a + 1, b + 1});
    if (a > w)
        length = std::min(length, (a - w) / 2 + 1);
    if (b > w)
        length = std::min(length, (b - w) / 2 + 1);
    return length;
}

// After a stretch, which ends at the latest where a position wraps; both buffers move alike.
inline void StereoReverser::advance(int frames)
{
    const int n = left->capacity;
    const int w = left->writePos + frames;
    const int a = left->readPosA - frames;
    const int b = left->readPosB - frames;
    left->writePos = right->writePos = w == n ? 0 : w;
    left->readPosA = right->readPosA = a < 0 ? a + n : a;
    left->readPosB = right->readPosB = b < 0 ? b + n : b;
}

template <bool accumulate>
void StereoReverser::perFrame(const float* inL, const float* inR, float* outL, float* outR, int frames, bool on,
                              float& fade)
{
    spend(frames);
    for (int i = 0; i < frames; ++i) {
        float l, r;
        frame(inL[i], inR[i], l, r, on, fade);
        put<accumulate>(outL[i], l);
        put<accumulate>(outR[i], r);
    }
}

template <bool accumulate>
void StereoReverser::processBlock(const float* inL, const float* inR, float* outL, float* outR, int frames, bool on,
                                  float& fade)
{
    if (!inStep) {
        perFrame<accumulate>(inL, inR, outL, outR, frames, on, fade);
        return;
    }
    // A stretch reads all its inputs before it writes an output; the per-frame step reads a
    // frame's inputs just before it writes that frame's outputs. The two agree when each output
    // is an input, the other output or apart from both; an output that overlaps them otherwise
    // takes the per-frame step.
    if (!(apart(outL, inL, frames) && apart(outL, inR, frames) && apart(outR, inL, frames) &&
          apart(outR, inR, frames) && apart(outL, outR, frames))) {
        perFrame<accumulate>(inL, inR, outL, outR, frames, on, fade);
        return;
    }
    if (fade > 0.0f)
        fadeThenRun<accumulate>(inL, inR, outL, outR, frames, on, fade);
    else
        run<accumulate>(on ? Path::reversed : Path::dry, inL, inR, outL, outR, frames, nullptr, on);
}

// A block that starts in a crossfade: the fade a chunk at a time, then the rest of the block.
template <bool accumulate>
void StereoReverser::fadeThenRun(const float* inL, const float* inR, float* outL, float* outR, int frames, bool on,
                                 float& fade)
{
    for (int done = 0; done < frames;) {
        if (fade > 0.0f) {
            // The amounts exactly as the per-frame countdown makes them, in the current rounding.
            float amounts[kFadeChunk];
            const int most = std::min(frames - done, kFadeChunk);
            int count = 0;
            for (; count < most && fade > 0.0f; ++count) {
                amounts[count] = fade;
                fade = fade - kFadeStep;
            }
            run<accumulate>(on ? Path::fadeToReversed : Path::fadeToDry, inL + done, inR + done, outL + done,
                            outR + done, count, amounts, on);
            done += count;
        } else {
            run<accumulate>(on ? Path::reversed : Path::dry, inL + done, inR + done, outL + done, outR + done,
                            frames - done, nullptr, on);
            done = frames;
        }
    }
}

template <bool accumulate>
void StereoReverser::run(Path path, const float* inL, const float* inR, float* outL, float* outR, int frames,
                         const float* amounts, bool on)
{
    for (int j = 0; j < frames;) {
        const int length = stretchLength(frames - j);
        if (length < kLanes || !kFourFrameSteps) {
            // Too few frames for a step before a read position would read ahead of the writes.
            spend(length);
            for (int k = j; k < j + length; ++k) {
                float amount = amounts ? amounts[k] : 0.0f;
                sharedFrame<accumulate>(inL[k], inR[k], outL[k], outR[k], on, amount);
            }
            j += length;
            continue;
        }
#if defined(__SSE2__)
        // Replaced outputs may be written twice, so steps cover the whole stretch; added ones
        // may not, and the frames after the last whole step take the per-frame step.
        const int steps = accumulate ? length - length % kLanes : length;
        spend(steps);
        const int w = left->writePos;
        if (storeInputs(inL + j, inR + j, left->sampleData + w, right->sampleData + w, steps)) {
            // A NaN, an infinity or a sample of 2^127 or more: the stretch once more, frame by
            // frame, from the inputs, which no output has overwritten yet. That stores silence
            // for the first two and guards the reversed output from now on for the last.
            for (int k = j; k < j + steps; ++k) {
                float amount = amounts ? amounts[k] : 0.0f;
                sharedFrame<accumulate>(inL[k], inR[k], outL[k], outR[k], on, amount);
            }
            j += steps;
            continue;
        }
        const Stretch stretch{left->sampleData, right->sampleData, left->window, w,
                              left->readPosA,   left->readPosB,    steps,        amounts ? amounts + j : nullptr};
        switch (path) {
        case Path::reversed:
            if (overflowRisk > 0)
                writeOutputs<Mix::reversed, true, accumulate>(oneWindow, stretch, outL + j, outR + j);
            else
                writeOutputs<Mix::reversed, false, accumulate>(oneWindow, stretch, outL + j, outR + j);
            break;
        case Path::dry:
            writeOutputs<Mix::dry, true, accumulate>(oneWindow, stretch, outL + j, outR + j);
            break;
        case Path::fadeToReversed:
            writeOutputs<Mix::fadeToReversed, true, accumulate>(oneWindow, stretch, outL + j, outR + j);
            break;
        case Path::fadeToDry:
            writeOutputs<Mix::fadeToDry, true, accumulate>(oneWindow, stretch, outL + j, outR + j);
            break;
        }
        advance(steps);
        j += steps;
#endif
    }
}

template void StereoReverser::processBlock<false>(const float*, const float*, float*, float*, int, bool, float&);
template void StereoReverser::processBlock<true>(const float*, const float*, float*, float*, int, bool, float&);
