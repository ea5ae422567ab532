// The player's byte ring: what goes in comes out, in order, across the buffer's end and
// between two threads.

#include "audio/spscring.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <thread>
#include <vector>

namespace {

// A byte stream whose value at each position shows a lost, repeated or reordered chunk.
char byteAt(size_t position)
{
    return static_cast<char>(position % 251);
}

} // namespace

TEST(SpscRing, AnEmptyRingGivesNothingAndAFullOneTakesOnlyWhatWasRead)
{
    SpscRing ring(8);
    auto writer = ring.writer();
    auto reader = ring.reader();
    char out[8] = {};
    EXPECT_EQ(reader.read(out, sizeof out), 0U);
    EXPECT_EQ(reader.available(), 0U);
    EXPECT_EQ(writer.space(), 8U);

    EXPECT_EQ(writer.write("0123456789", 10), 8U);
    EXPECT_EQ(writer.space(), 0U);
    EXPECT_EQ(writer.write("x", 1), 0U);
    EXPECT_EQ(reader.available(), 8U);
    ASSERT_EQ(reader.read(out, 3), 3U);
    EXPECT_EQ(writer.write("abcde", 5), 3U);
    ASSERT_EQ(reader.read(out, sizeof out), 8U);
    EXPECT_EQ(std::string(out, 8), "34567abc");

    // Emptied again: as new, whatever was in it.
    EXPECT_EQ(writer.write("abcdef", 6), 6U);
    ring.reset();
    EXPECT_EQ(reader.read(out, sizeof out), 0U);
    EXPECT_EQ(writer.space(), 8U);
}

// Every length from every starting point, so each way a copy can be split at the
// buffer's end (not at all, after one byte, before the last) is taken.
TEST(SpscRing, WrapsAroundFromEveryPosition)
{
    constexpr size_t kCapacity = 7;
    for (size_t start = 0; start < kCapacity; ++start) {
        for (size_t length = 1; length <= kCapacity; ++length) {
            SCOPED_TRACE("start " + std::to_string(start) + ", length " + std::to_string(length));
            SpscRing ring(kCapacity);
            auto writer = ring.writer();
            auto reader = ring.reader();
            std::vector<char> in(start + length);
            for (size_t i = 0; i < in.size(); ++i)
                in[i] = byteAt(i);
            std::vector<char> out(in.size(), '\xff');
            ASSERT_EQ(writer.write(in.data(), start), start);
            ASSERT_EQ(reader.read(out.data(), start), start);
            ASSERT_EQ(writer.write(in.data() + start, length), length);
            ASSERT_EQ(reader.available(), length);
            ASSERT_EQ(reader.read(out.data() + start, kCapacity), length);
            EXPECT_EQ(out, in);
        }
    }
}

// A producer and a consumer thread move a known stream through a small ring in chunks
// of changing sizes; the consumer sees every byte once, in order.
TEST(SpscRing, TwoThreadsMoveAStreamIntact)
{
    constexpr size_t kTotal = 64 * 1024;
    SpscRing ring(61);
    auto writer = ring.writer();
    auto reader = ring.reader();

    std::thread producer([&writer] {
        char chunk[23];
        size_t sent = 0;
        for (size_t step = 0; sent < kTotal; ++step) {
            const size_t size = std::min<size_t>(1 + step % sizeof chunk, kTotal - sent);
            for (size_t i = 0; i < size; ++i)
                chunk[i] = byteAt(sent + i);
            size_t done = 0;
            while (done < size) {
                const size_t n = writer.write(chunk + done, size - done);
                if (n == 0)
                    std::this_thread::yield();
                done += n;
            }
            sent += size;
        }
    });

    size_t received = 0;
    size_t wrong = 0;
    char chunk[17];
    for (size_t step = 0; received < kTotal; ++step) {
        const size_t n = reader.read(chunk, 1 + step % sizeof chunk);
        if (n == 0)
            std::this_thread::yield();
        for (size_t i = 0; i < n; ++i)
            wrong += chunk[i] != byteAt(received + i) ? 1 : 0;
        received += n;
    }
    producer.join();
    EXPECT_EQ(wrong, 0U);
    EXPECT_EQ(received, kTotal);
    EXPECT_EQ(reader.available(), 0U);
}
