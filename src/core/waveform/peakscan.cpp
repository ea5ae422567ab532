#include "core/waveform/peakscan.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

// The smallest and the largest of `count` 16-bit samples at `data` (any alignment).
void range16(const uint8_t* data, int64_t count, int32_t& low, int32_t& high)
{
    int64_t i = 0;
    int16_t lo = INT16_MAX;
    int16_t hi = INT16_MIN;
#if defined(__SSE2__)
    // Sixteen samples a step in two independent lanes: this touches every sample of the file.
    if (count >= 16) {
        __m128i lo0 = _mm_set1_epi16(INT16_MAX);
        __m128i hi0 = _mm_set1_epi16(INT16_MIN);
        __m128i lo1 = lo0;
        __m128i hi1 = hi0;
        for (; i + 16 <= count; i += 16) {
            const __m128i a = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 2 * i));
            const __m128i b = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 2 * i + 16));
            lo0 = _mm_min_epi16(lo0, a);
            hi0 = _mm_max_epi16(hi0, a);
            lo1 = _mm_min_epi16(lo1, b);
            hi1 = _mm_max_epi16(hi1, b);
        }
        __m128i vlo = _mm_min_epi16(lo0, lo1);
        __m128i vhi = _mm_max_epi16(hi0, hi1);
        // Fold the eight lanes into one.
        vlo = _mm_min_epi16(vlo, _mm_shuffle_epi32(vlo, _MM_SHUFFLE(1, 0, 3, 2)));
        vhi = _mm_max_epi16(vhi, _mm_shuffle_epi32(vhi, _MM_SHUFFLE(1, 0, 3, 2)));
        vlo = _mm_min_epi16(vlo, _mm_shuffle_epi32(vlo, _MM_SHUFFLE(2, 3, 0, 1)));
        vhi = _mm_max_epi16(vhi, _mm_shuffle_epi32(vhi, _MM_SHUFFLE(2, 3, 0, 1)));
        vlo = _mm_min_epi16(vlo, _mm_shufflelo_epi16(vlo, _MM_SHUFFLE(2, 3, 0, 1)));
        vhi = _mm_max_epi16(vhi, _mm_shufflelo_epi16(vhi, _MM_SHUFFLE(2, 3, 0, 1)));
        lo = static_cast<int16_t>(_mm_extract_epi16(vlo, 0));
        hi = static_cast<int16_t>(_mm_extract_epi16(vhi, 0));
    }
#endif
    for (; i < count; ++i) {
        int16_t v = 0;
        std::memcpy(&v, data + 2 * i, sizeof v);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    low = lo;
    high = hi;
}

// The first of `count` 16-bit samples that is `a` or `b`.
int32_t firstOf16(const uint8_t* data, int64_t count, int32_t a, int32_t b)
{
    int64_t i = 0;
#if defined(__SSE2__)
    // Steady tones tie often: look eight samples at a time.
    const __m128i va = _mm_set1_epi16(static_cast<int16_t>(a));
    const __m128i vb = _mm_set1_epi16(static_cast<int16_t>(b));
    for (; i + 8 <= count; i += 8) {
        const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(data + 2 * i));
        const int mask = _mm_movemask_epi8(_mm_or_si128(_mm_cmpeq_epi16(v, va), _mm_cmpeq_epi16(v, vb)));
        if (mask != 0) {
            i += __builtin_ctz(static_cast<unsigned>(mask)) / 2;
            break;
        }
    }
#endif
    for (; i < count; ++i) {
        int16_t v = 0;
        std::memcpy(&v, data + 2 * i, sizeof v);
        if (v == a || v == b)
            return v;
    }
    return a;
}

} // namespace

namespace peakscan {

void peakOf(const uint8_t* data, int64_t count, int bytesPerSample, int32_t& peak, int32_t& size)
{
    if (bytesPerSample == 2) {
        int32_t low = 0;
        int32_t high = 0;
        range16(data, count, low, high);
        if (-low > high) {
            peak = low;
            size = -low;
        } else if (high > -low || low == high) {
            peak = high;
            size = std::abs(high);
        } else {
            size = high; // both signs reach it: the earlier one counts
            peak = firstOf16(data, count, low, high);
        }
        return;
    }
    peak = data[0];
    for (int64_t i = 1; i < count; ++i)
        peak = std::max<int32_t>(peak, data[i * bytesPerSample]);
    size = peak;
}

} // namespace peakscan
