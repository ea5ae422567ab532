#include "core/waveform/waveformdataengine.h"

#include "core/environment/editingstate.h"
#include "core/environment/logging.h"
#include "media/decoderlib.h"
#include "media/vyrtmediafiledecoder.h"

#include <QFile>

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

// The peak of `count` samples of `bytesPerSample` bytes: greatest magnitude, sign kept,
// the first on a tie. 16-bit samples are signed little-endian; other widths are read
// as their first byte, unsigned.
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

} // namespace

bool WaveformDataEngine::prepare(int bitsPerSample, int sampleRate, float drawHeight)
{
    m_drawViewHeight = drawHeight;
    m_dy = drawHeight / static_cast<float>((int64_t { 1 } << bitsPerSample) - 1);
    m_canReachPeakValue = static_cast<int32_t>((int64_t { 1 } << (bitsPerSample - 1)) - 1);
    m_sampleClearance = sampleRate / EditingState::pointCountPerSecond;
    m_sampleRate = sampleRate;
    m_point = 0;
    m_position = 0;
    m_peakSize = -1;
    return m_sampleClearance > 0;
}

int64_t WaveformDataEngine::sliceStart(int64_t k) const
{
    return k * m_sampleRate / EditingState::pointCountPerSecond;
}

void WaveformDataEngine::appendPoint(SampleBlock& block)
{
    auto& points = block.sampleBlk();
    const float y = m_dy * static_cast<float>(m_canReachPeakValue + m_peak);
    // x is one step per point kept, so a skipped point shifts the later ones left.
    const auto x = static_cast<float>(
        gloableState()._pointClearance.load(std::memory_order_relaxed) * static_cast<double>(points.size()));
    if (static_cast<double>(y) != static_cast<double>(m_drawViewHeight) / 2.0)
        points.push_back(SamplePoint { { x, y } });
    ++m_point;
    m_peakSize = -1;
}

void WaveformDataEngine::getSampleArray(const MEDIA_FRAME* frame, int size, SampleBlock& block)
{
    const int channels = frame->audio.channels;
    const int bytesPerSample = frame->audio.bitsPerSample / 8;
    if (channels <= 0 || bytesPerSample <= 0 || m_sampleRate <= 0 || size <= 0)
        return;
    const uint8_t* data = frame->audio.data;
    const int64_t count = size / bytesPerSample;
    for (int64_t i = 0; i < count;) {
        const int64_t sliceEnd = sliceStart(m_point + 1) * channels;
        const int64_t take = std::min(count - i, sliceEnd - m_position);
        if (take > 0) {
            int32_t peak = 0;
            int32_t peakSize = 0;
            peakOf(data + i * bytesPerSample, take, bytesPerSample, peak, peakSize);
            if (peakSize > m_peakSize) {
                m_peak = peak;
                m_peakSize = peakSize;
            }
            i += take;
            m_position += take;
        }
        if (m_position >= sliceEnd)
            appendPoint(block);
    }
}

void WaveformDataEngine::finish(SampleBlock& block)
{
    if (m_peakSize >= 0)
        appendPoint(block);
}

std::optional<SampleBlock> WaveformDataEngine::getWaveformPointsFromFile(
    const QString& path, float viewHeight, float rulerHeight)
{
    SampleBlock block;
    VyRTMediaFileDecoder decoder(QFile::encodeName(path).toStdString(), VyRTMediaFileDecoder::AudioOnly);
    const VyAudioInfo* info = decoder.getAudioInfo();
    if (info == nullptr)
        return block;
    if (!prepare(info->bitsPerSample, info->sampleRate, viewHeight - rulerHeight)) {
        qCWarning(lcMedia) << "no usable audio: a sample rate of" << info->sampleRate
                           << "Hz is below one sample a point";
        return block;
    }
    // One allocation for the whole file rather than a growing array.
    if (info->duration > 0.0 && info->duration < 24 * 3600.0)
        block.sampleBlk().reserve(static_cast<size_t>(info->duration * EditingState::pointCountPerSecond) + 16);
    decoder.audioSeek(0.0);
    while (const MEDIA_FRAME* frame = decoder.getNextAudioFrame()) {
        if (frame->audio.dataSize == 0)
            break;
        if (stopRequested())
            return std::nullopt; // the decoder goes with `decoder`
        getSampleArray(frame, frame->audio.dataSize, block);
    }
    finish(block);
    block.setCapability(static_cast<double>(block.sampleBlk().size()));
    return block;
}
