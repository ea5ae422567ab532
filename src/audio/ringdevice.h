#pragma once
// The sink's pull side: a read-only device holding the reader of the player's ring.
// readData only copies from the ring (or writes zeros) and counts shortfalls; it never
// locks, allocates or calls into Qt.
//
// Once the last bytes are in the ring, and while the player rests between two pieces,
// the device hands out silence instead of running dry: the sound server's stream keeps
// going, so a pause between two passes is heard exactly as long as it is, without the
// stream's start-up delay.

#include "audio/spscring.h"

#include <QIODevice>

#include <atomic>
#include <cstdint>
#include <cstring>
#include <utility>

class RingDevice : public QIODevice {
    Q_OBJECT

public:
    explicit RingDevice(SpscRing::Reader ring)
        : m_ring(std::move(ring))
    {
    }

    // Set by the producer once the last bytes of the stream are in the ring: a short
    // read after that is the end, not an underrun.
    std::atomic<bool> endWritten { false };
    // The ring is set aside (the player rests or is refilling it): only silence comes out.
    std::atomic<bool> silent { false };
    std::atomic<int> underruns { 0 };
    // Every byte handed to the sink since it started, silence included: where the stream
    // stands as the sound server has taken it (ahead of what is heard by its latency).
    std::atomic<int64_t> handedOut { 0 };

    [[nodiscard]] bool isSequential() const override { return true; }
    [[nodiscard]] qint64 bytesAvailable() const override
    {
        return static_cast<qint64>(m_ring.available()) + QIODevice::bytesAvailable();
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        if (maxSize <= 0)
            return 0;
        const auto size = static_cast<size_t>(maxSize);
        if (silent.load(std::memory_order_acquire)) {
            std::memset(data, 0, size);
            handedOut.fetch_add(maxSize, std::memory_order_relaxed);
            return maxSize;
        }
        const size_t n = m_ring.read(data, size);
        if (n < size && endWritten.load(std::memory_order_acquire)) {
            std::memset(data + n, 0, size - n); // after the last sample: silence
            handedOut.fetch_add(maxSize, std::memory_order_relaxed);
            return maxSize;
        }
        if (n == 0)
            underruns.fetch_add(1, std::memory_order_relaxed);
        handedOut.fetch_add(static_cast<int64_t>(n), std::memory_order_relaxed);
        return static_cast<qint64>(n);
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    SpscRing::Reader m_ring;
};
