#pragma once
// A single-producer, single-consumer ring of bytes, wait-free on both sides.
//
// Contract: the two roles are separate handles. The producer (the player's decode side)
// holds the Writer, the consumer (the sink's pull side) the Reader; each handle is used
// by one thread at a time. Neither side locks or allocates; the buffer is allocated once
// in the constructor. The queries (available, space) only load the two positions, so
// they may be asked from another thread too. reset() belongs to the owner and is only
// legal while neither side runs: it moves both positions without telling either side.

#include <atomic>
#include <cstddef>
#include <cstring>
#include <memory>

class SpscRing {
public:
    class Writer;
    class Reader;

    explicit SpscRing(size_t capacity)
        : m_capacity(capacity)
        , m_data(std::make_unique<char[]>(capacity))
    {
    }
    SpscRing(const SpscRing&) = delete;
    SpscRing& operator=(const SpscRing&) = delete;

    [[nodiscard]] size_t capacity() const { return m_capacity; }
    [[nodiscard]] inline Writer writer();
    [[nodiscard]] inline Reader reader();

    // Empties the ring. Only while neither the writer nor the reader is in use.
    void reset()
    {
        m_head.store(0, std::memory_order_relaxed);
        m_tail.store(0, std::memory_order_relaxed);
    }

private:
    // Producer: copies as many of `size` bytes as fit; returns how many.
    size_t write(const char* data, size_t size)
    {
        const size_t head = m_head.load(std::memory_order_relaxed);
        const size_t tail = m_tail.load(std::memory_order_acquire);
        const size_t room = m_capacity - (head - tail);
        const size_t n = size < room ? size : room;
        if (n == 0)
            return 0;
        const size_t at = head % m_capacity;
        const size_t first = n < m_capacity - at ? n : m_capacity - at;
        std::memcpy(m_data.get() + at, data, first);
        std::memcpy(m_data.get(), data + first, n - first);
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
        if (n == 0)
            return 0;
        const size_t at = tail % m_capacity;
        const size_t first = n < m_capacity - at ? n : m_capacity - at;
        std::memcpy(data, m_data.get() + at, first);
        std::memcpy(data + first, m_data.get(), n - first);
        m_tail.store(tail + n, std::memory_order_release);
        return n;
    }

    [[nodiscard]] size_t available() const
    {
        return m_head.load(std::memory_order_acquire) - m_tail.load(std::memory_order_acquire);
    }

    // 64 bytes: the cache line of the x86-64 and ARM cores we run on. The standard's
    // interference size is not used: its value follows compiler flags, and with it this
    // class's layout would too.
    static constexpr size_t kCacheLine = 64;

    const size_t m_capacity;
    const std::unique_ptr<char[]> m_data;
    // Each position on a cache line of its own, so that one side's stores do not keep
    // taking away the line the other side's position lives on.
    alignas(kCacheLine) std::atomic<size_t> m_head { 0 }; // total bytes written
    alignas(kCacheLine) std::atomic<size_t> m_tail { 0 }; // total bytes read
};

// The producer's side of a ring.
class SpscRing::Writer {
public:
    Writer(const Writer&) = delete;
    Writer& operator=(const Writer&) = delete;
    Writer(Writer&&) = default;

    // Copies as many of `size` bytes as fit; returns how many.
    size_t write(const char* data, size_t size) { return m_ring->write(data, size); }
    // Bytes written and not yet read.
    [[nodiscard]] size_t available() const { return m_ring->available(); }
    // Bytes that can be written now.
    [[nodiscard]] size_t space() const { return m_ring->m_capacity - m_ring->available(); }
    [[nodiscard]] size_t capacity() const { return m_ring->m_capacity; }

private:
    friend class SpscRing;
    explicit Writer(SpscRing& ring)
        : m_ring(&ring)
    {
    }
    SpscRing* m_ring;
};

// The consumer's side of a ring.
class SpscRing::Reader {
public:
    Reader(const Reader&) = delete;
    Reader& operator=(const Reader&) = delete;
    Reader(Reader&&) = default;

    // Copies up to `size` bytes out; returns how many.
    size_t read(char* data, size_t size) { return m_ring->read(data, size); }
    // Bytes waiting to be read.
    [[nodiscard]] size_t available() const { return m_ring->available(); }

private:
    friend class SpscRing;
    explicit Reader(SpscRing& ring)
        : m_ring(&ring)
    {
    }
    SpscRing* m_ring;
};

inline SpscRing::Writer SpscRing::writer()
{
    return Writer(*this);
}
inline SpscRing::Reader SpscRing::reader()
{
    return Reader(*this);
}
