#pragma once
// Reduces a file's whole audio to waveform points: 200 points per second of audio,
// each one raw sample picked at a fixed pace through the decoded stream (a
// decimation, not a peak detector), scaled to the drawing height so that y grows
// with the sample value and silence lies just under mid-height.
//
// Point k is the sample of frame floor(k * rate / 200), channel (k * (c - 1)) mod c:
// in stereo the picks alternate left and right. This is exactly 200 points a second
// at every sample rate.
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
    [[nodiscard]] std::optional<SampleBlock> getWaveformPointsFromFile(const QString& path, float viewHeight,
                                                                       float rulerHeight);

    // Sets up the arithmetic for a stream of `bitsPerSample` samples at `sampleRate`
    // Hz drawn `drawHeight` units high, and starts at its first byte. False for a
    // rate below 200 Hz, which has no sample to pick per point.
    bool prepare(int bitsPerSample, int sampleRate, float drawHeight);

    // Appends the points picked from one buffer of `size` bytes of interleaved PCM.
    void getSampleArray(const MEDIA_FRAME* frame, int size, SampleBlock& block);

    void setStopGetData() { m_stop.store(1, std::memory_order_relaxed); }
    [[nodiscard]] bool stopRequested() const { return m_stop.load(std::memory_order_relaxed) != 0; }

    [[nodiscard]] float dy() const { return m_dy; }
    [[nodiscard]] int32_t canReachPeakValue() const { return m_canReachPeakValue; }
    [[nodiscard]] int32_t sampleClearance() const { return m_sampleClearance; }
    // Bytes from the last picked sample to the end of the buffers reduced so far.
    [[nodiscard]] int64_t leftBits() const { return m_consumed - m_lastPickPosition; }
    [[nodiscard]] float drawViewHeight() const { return m_drawViewHeight; }

private:
    // Byte position of pick `k` in the stream.
    [[nodiscard]] int64_t pickPosition(int64_t k, int blockAlign, int bytesPerSample, int channels) const;

    float m_dy = 0.0f;
    int32_t m_canReachPeakValue = 0;
    int32_t m_sampleClearance = 0;
    float m_drawViewHeight = 0.0f;
    int m_sampleRate = 0;
    int64_t m_nextPick = 0;         // index of the next pick, skipped ones included
    int64_t m_consumed = 0;         // bytes of the stream reduced so far
    int64_t m_lastPickPosition = 0; // byte position of the last pick
    std::atomic<uint32_t> m_stop {0}; // mStopGetData
};
