#pragma once
// The capture stream's push side: a write-only device holding the writer of the
// recorder's ring. writeData copies the PCM into the ring while a take is on and sums the
// power of each channel for the level meter; it never locks, allocates or calls into Qt.
// It may run on any one thread at a time: nothing here depends on which.
//
// Each completed tenth of a second publishes its per-channel mean square, so the meter
// reads the latest 0.1 s from any thread without tearing.

#include "audio/spscring.h"

#include <QIODevice>

#include <array>
#include <atomic>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <utility>

class CaptureDevice : public QIODevice {
    Q_OBJECT

public:
    static constexpr int kMaxChannels = 2;

    // `isFloat`: 32-bit float samples, else signed 16-bit; interleaved.
    CaptureDevice(SpscRing::Writer ring, bool isFloat, int channels, int sampleRate)
        : m_ring(std::move(ring))
        , m_float(isFloat)
        , m_channels(channels < 1 ? 1 : (channels > kMaxChannels ? kMaxChannels : channels))
        , m_frameBytes(m_channels * (isFloat ? 4 : 2))
        , m_windowFrames(sampleRate > 0 ? sampleRate / 10 : 4410)
    {
    }

    // Set while a take is on: only then do the samples go into the ring.
    std::atomic<bool> capturing { false };
    // Bytes of a take that did not fit into the ring.
    std::atomic<int64_t> dropped { 0 };

    [[nodiscard]] int channels() const { return m_channels; }
    [[nodiscard]] int frameBytes() const { return m_frameBytes; }
    [[nodiscard]] bool isFloat() const { return m_float; }
    // Mean square (full scale = 1) of `channel` over the latest complete 0.1 s; 0 before
    // the first one.
    [[nodiscard]] double meanSquare(int channel) const { return m_level[channel].load(std::memory_order_relaxed); }

    [[nodiscard]] bool isSequential() const override { return true; }

protected:
    qint64 writeData(const char* data, qint64 size) override
    {
        if (size <= 0)
            return 0;
        if (capturing.load(std::memory_order_acquire)) {
            const size_t n = m_ring.write(data, static_cast<size_t>(size));
            if (n < static_cast<size_t>(size))
                dropped.fetch_add(size - static_cast<qint64>(n), std::memory_order_relaxed);
        }
        measure(data, static_cast<size_t>(size));
        return size;
    }
    qint64 readData(char*, qint64) override { return -1; }

private:
    // Sums whole frames; the bytes of a frame cut between two calls wait in m_partial.
    void measure(const char* data, size_t size)
    {
        if (m_partialBytes > 0) {
            const size_t take = std::min(size, static_cast<size_t>(m_frameBytes - m_partialBytes));
            std::memcpy(m_partial.data() + m_partialBytes, data, take);
            m_partialBytes += static_cast<int>(take);
            data += take;
            size -= take;
            if (m_partialBytes < m_frameBytes)
                return;
            addFrames(m_partial.data(), 1);
            m_partialBytes = 0;
        }
        const size_t frames = size / static_cast<size_t>(m_frameBytes);
        addFrames(data, frames);
        const size_t rest = size - frames * static_cast<size_t>(m_frameBytes);
        std::memcpy(m_partial.data(), data + frames * static_cast<size_t>(m_frameBytes), rest);
        m_partialBytes = static_cast<int>(rest);
    }

    void addFrames(const char* data, size_t frames)
    {
        for (size_t f = 0; f < frames; ++f) {
            for (int c = 0; c < m_channels; ++c) {
                const double v = sample(data, f * static_cast<size_t>(m_channels) + static_cast<size_t>(c));
                m_sum[c] += v * v;
            }
            if (++m_counted == m_windowFrames) {
                for (int c = 0; c < m_channels; ++c) {
                    m_level[c].store(m_sum[c] / m_windowFrames, std::memory_order_relaxed);
                    m_sum[c] = 0.0;
                }
                m_counted = 0;
            }
        }
    }

    [[nodiscard]] double sample(const char* data, size_t index) const
    {
        if (m_float) {
            float v;
            std::memcpy(&v, data + index * 4, 4);
            return v;
        }
        int16_t v;
        std::memcpy(&v, data + index * 2, 2);
        return v / 32768.0;
    }

    SpscRing::Writer m_ring;
    const bool m_float;
    const int m_channels;
    const int m_frameBytes;
    const int m_windowFrames;
    // The writer's own: used by the thread that calls writeData only.
    std::array<double, kMaxChannels> m_sum {};
    int m_counted = 0;
    std::array<char, kMaxChannels * 4> m_partial {};
    int m_partialBytes = 0;
    // Published for the meter.
    std::array<std::atomic<double>, kMaxChannels> m_level {};
};
