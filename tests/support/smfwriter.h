#pragma once
// A tiny standard MIDI file writer for tests and benchmarks: one track, 480 ticks per
// quarter note at 120 beats per minute (960 ticks a second), times given in seconds.

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace fixtures {

class SmfWriter {
public:
    static constexpr int kTicksPerSecond = 960;

    SmfWriter& program(int channel, int number, double at = 0.0)
    {
        return event(at, { uint8_t(0xc0 | channel), uint8_t(number) });
    }
    SmfWriter& note(int channel, int key, double at, double length, int velocity = 110)
    {
        event(at, { uint8_t(0x90 | channel), uint8_t(key), uint8_t(velocity) });
        return event(at + length, { uint8_t(0x80 | channel), uint8_t(key), 0 });
    }
    SmfWriter& marker(const std::string& text, double at)
    {
        std::vector<uint8_t> bytes { 0xff, 0x06, uint8_t(text.size()) };
        bytes.insert(bytes.end(), text.begin(), text.end());
        return event(at, bytes);
    }
    // The song ends here (its end-of-track event), whatever sounds before.
    SmfWriter& end(double at)
    {
        m_end = at;
        return *this;
    }

    [[nodiscard]] std::string bytes() const
    {
        std::vector<Event> events = m_events;
        std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) { return a.tick < b.tick; });
        std::string track("\x00\xff\x51\x03\x07\xa1\x20", 7); // tempo: 500000 us per quarter
        int last = 0;
        for (const Event& e : events) {
            putVarLen(track, e.tick - last);
            track.append(e.data.begin(), e.data.end());
            last = e.tick;
        }
        putVarLen(track, std::max(last, ticks(m_end)) - last);
        track.append("\xff\x2f\x00", 3);
        std::string file("MThd\x00\x00\x00\x06\x00\x00\x00\x01\x01\xe0", 14);
        file += "MTrk";
        for (int shift = 24; shift >= 0; shift -= 8)
            file += char((track.size() >> shift) & 0xff);
        return file + track;
    }

private:
    struct Event {
        int tick;
        std::vector<uint8_t> data;
    };
    static int ticks(double seconds) { return int(seconds * kTicksPerSecond + 0.5); }
    static void putVarLen(std::string& out, int value)
    {
        std::string reversed(1, char(value & 0x7f));
        while ((value >>= 7) > 0)
            reversed += char(0x80 | (value & 0x7f));
        out.append(reversed.rbegin(), reversed.rend());
    }
    SmfWriter& event(double at, std::vector<uint8_t> data)
    {
        m_events.push_back({ ticks(at), std::move(data) });
        return *this;
    }

    std::vector<Event> m_events;
    double m_end = 0.0;
};

} // namespace fixtures
