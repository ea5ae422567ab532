#pragma once
// Reduces a file's whole audio to waveform points: 200 points per second of audio,
// each the peak of its slice of time, scaled to the drawing height so that y grows
// with the sample value and silence lies just under mid-height.
//
// Point k is the sample of greatest magnitude (its sign kept; the first one on a tie)
// among all channels' samples of frames floor(k * rate / 200) up to
// floor((k + 1) * rate / 200) - 1. Loud passages always look loud, whatever a tone's
// phase, and there are exactly 200 points a second at every sample rate.
//
// Threads: one engine serves one job on one worker thread. setStopGetData() may be
// called from any thread; the worker polls it after fetching each frame and, once
// set, delivers nothing.

#include "core/waveform/sampleblock.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <optional>

struct MEDIA_FRAME;

class WaveformDataEngine {
public:
    WaveformDataEngine() = default;

    // Decodes `path` and returns its complete block; an empty block (capability 0)
    // when the file has no usable audio; none when stopped. `viewHeight` minus
    // `rulerHeight` is the drawing height.
    [[nodiscard]] std::optional<SampleBlock> getWaveformPointsFromFile(
        const QString& path, float viewHeight, float rulerHeight);

    // Sets up the arithmetic for a stream of `bitsPerSample` samples at `sampleRate`
    // Hz drawn `drawHeight` units high, and starts at its first byte. False for a
    // rate below 200 Hz, which leaves some points without a frame.
    bool prepare(int bitsPerSample, int sampleRate, float drawHeight);

    // Reduces one buffer of `size` bytes of interleaved PCM, appending the points
    // whose slices it completes. A slice may span buffers.
    void getSampleArray(const MEDIA_FRAME* frame, int size, SampleBlock& block);
    // At the end of the stream: appends the point of a last, incomplete slice.
    void finish(SampleBlock& block);
    // Appends the point of the next slice, whose peak was found elsewhere (the parallel
    // engine reduces slices on several threads and converts them here, in order).
    void appendPeak(int32_t peak, SampleBlock& block)
    {
        m_peak = peak;
        appendPoint(block);
    }

    void setStopGetData() { m_stop.store(1, std::memory_order_relaxed); }
    [[nodiscard]] bool stopRequested() const { return m_stop.load(std::memory_order_relaxed) != 0; }

    [[nodiscard]] float dy() const { return m_dy; }
    [[nodiscard]] int32_t canReachPeakValue() const { return m_canReachPeakValue; }
    [[nodiscard]] int32_t sampleClearance() const { return m_sampleClearance; }
    [[nodiscard]] float drawViewHeight() const { return m_drawViewHeight; }

private:
    // The first frame of point `k`'s slice.
    [[nodiscard]] int64_t sliceStart(int64_t k) const;
    void appendPoint(SampleBlock& block);

    float m_dy = 0.0f;
    int32_t m_canReachPeakValue = 0;
    int32_t m_sampleClearance = 0;
    float m_drawViewHeight = 0.0f;
    int m_sampleRate = 0;
    int64_t m_point = 0; // index of the point being gathered, skipped ones included
    int64_t m_position = 0; // samples (of all channels) reduced so far
    int32_t m_peak = 0; // the current point's peak so far ...
    int32_t m_peakSize = -1; // ... and its magnitude; -1 before its first sample
    std::atomic<uint32_t> m_stop { 0 }; // mStopGetData
};
