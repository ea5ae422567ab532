#pragma once
// The sink's pull side: a read-only device over the player's ring. readData only copies
// from the ring and counts shortfalls; it never locks, allocates or calls into Qt.

#include "audio/spscring.h"

#include <QIODevice>

#include <atomic>

class RingDevice : public QIODevice {
    Q_OBJECT

public:
    explicit RingDevice(SpscRing& ring)
        : m_ring(ring)
    {
    }

    // Set by the producer once the last bytes of the stream are in the ring: a short
    // read after that is the end, not an underrun.
    std::atomic<bool> endWritten {false};
    std::atomic<int> underruns {0};

    [[nodiscard]] bool isSequential() const override { return true; }
    [[nodiscard]] qint64 bytesAvailable() const override
    {
        return static_cast<qint64>(m_ring.available()) + QIODevice::bytesAvailable();
    }

protected:
    qint64 readData(char* data, qint64 maxSize) override
    {
        const size_t n = m_ring.read(data, static_cast<size_t>(maxSize));
        if (n == 0 && maxSize > 0 && !endWritten.load(std::memory_order_acquire))
            underruns.fetch_add(1, std::memory_order_relaxed);
        return static_cast<qint64>(n);
    }
    qint64 writeData(const char*, qint64) override { return -1; }

private:
    SpscRing& m_ring;
};
