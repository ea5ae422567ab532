#pragma once
// Per-slice peaks of a stretch of a file's sound: what WaveformDataEngine turns into
// points, gathered where the samples' place on the timeline is known, so that stretches
// reduced on different threads can be joined before the points are made.

#include <cstdint>
#include <vector>

struct SlicePeak {
    int32_t peak = 0; // the sample of greatest magnitude, sign kept, first on a tie
    int32_t size = -1; // its magnitude; -1 while the slice has no sample
};

class SlicePeaks {
public:
    SlicePeaks(int sampleRate, int channels);

    // The slice that holds frame `frame`: slice k holds frames floor(k * rate / 200) up to
    // floor((k + 1) * rate / 200) - 1.
    [[nodiscard]] int64_t sliceOf(int64_t frame) const;

    // Takes `frames` interleaved 16-bit frames at timeline frame `position`. Frames come in
    // timeline order.
    void add(const int16_t* data, int frames, int64_t position);

    [[nodiscard]] int64_t firstSlice() const { return m_first; }
    [[nodiscard]] const std::vector<SlicePeak>& peaks() const { return m_peaks; }
    // Slices before this one (an index into peaks()) get no more samples from later frames.
    [[nodiscard]] size_t settled() const { return m_peaks.empty() ? 0 : m_peaks.size() - 1; }

    // Joins `later`'s slices into `all` (slice 0 first): a later sample replaces an
    // earlier peak only when it is strictly greater, as within one stretch.
    static void join(std::vector<SlicePeak>& all, const SlicePeaks& later);

private:
    int m_rate;
    int m_channels;
    int64_t m_first = 0;
    std::vector<SlicePeak> m_peaks;
};
