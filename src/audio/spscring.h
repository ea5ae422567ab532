#pragma once
// A single-producer, single-consumer ring of bytes, wait-free on both sides.
//
// Contract: exactly one thread writes (the decode thread) and exactly one reads (the
// sink's pull side). Neither side locks or allocates; the buffer is allocated once in
// the constructor. reset() is only allowed while neither side is running.

#include <atomic>
#include <cstddef>
#include <cstring>
#include <memory>

class SpscRing {
public:
    explicit SpscRing(size_t capacity)
        : m_capacity(capacity)
        , m_data(std::make_unique<char[]>(capacity))
    {
    }

    [[nodiscard]] size_t capacity() const { return m_capacity; }

    // Producer: copies as many of `size` bytes as fit; returns how many.
    size_t write(const char* data, size_t size)
    {
        const size_t head = m_head.load(std::memory_order_relaxed);
        const size_t tail = m_tail.load(std::memory_order_acquire);
        const size_t room = m_capacity - (head - tail);
        const size_t n = size < room ? size : room;
        copyIn(head % m_capacity, data, n);
        m_head.store(head + n, std::memory_order_release);
        return n;
    }

    // Consumer: copies up to `size` bytes out; returns how many.
    size_t read(char* data, size_t size)
    {
        const size_t tail = m_tail.load(std::memory_order_relaxed);
        const size_t head = m_head.load(std::memory_order_acquire);
        const size_t available = head - tail;
        const size_t n = size < available ? size : available;
        copyOut(tail % m_capacity, data, n);
        m_tail.store(tail + n, std::memory_order_release);
        return n;
    }

    // Either side: bytes waiting to be read.
    [[nodiscard]] size_t available() const
    {
        return m_head.load(std::memory_order_acquire) - m_tail.load(std::memory_order_acquire);
    }
    [[nodiscard]] size_t space() const { return m_capacity - available(); }
    // Bytes the consumer has taken since the last reset.
    [[nodiscard]] size_t consumed() const { return m_tail.load(std::memory_order_acquire); }

    void reset()
    {
        m_head.store(0, std::memory_order_relaxed);
        m_tail.store(0, std::memory_order_relaxed);
    }

private:
    void copyIn(size_t at, const char* data, size_t n)
    {
        const size_t first = n < m_capacity - at ? n : m_capacity - at;
        std::memcpy(m_data.get() + at, data, first);
        std::memcpy(m_data.get(), data + first, n - first);
    }
    void copyOut(size_t at, char* data, size_t n) const
    {
        const size_t first = n < m_capacity - at ? n : m_capacity - at;
        std::memcpy(data, m_data.get() + at, first);
        std::memcpy(data + first, m_data.get(), n - first);
    }

    const size_t m_capacity;
    std::unique_ptr<char[]> m_data;
    std::atomic<size_t> m_head {0}; // total bytes written
    std::atomic<size_t> m_tail {0}; // total bytes read
};
