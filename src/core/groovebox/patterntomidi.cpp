#include "core/groovebox/patterntomidi.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

using namespace PatternMidi;

constexpr uint8_t kNoteOn = 0x99; // channel 10
constexpr uint8_t kNoteOff = 0x89;
constexpr uint8_t kMeta = 0xff;
constexpr uint8_t kMetaMarker = 0x06;
constexpr uint8_t kMetaTempo = 0x51;
constexpr uint8_t kMetaEndOfTrack = 0x2f;

struct Event {
    int tick;
    int order; // at one tick: markers and tempo, then note ends, then note starts, then the end
    QByteArray bytes;
};

void appendBigEndian(QByteArray& out, uint32_t value, int bytes)
{
    for (int shift = (bytes - 1) * 8; shift >= 0; shift -= 8)
        out.append(static_cast<char>((value >> shift) & 0xff));
}

void appendVariableLength(QByteArray& out, uint32_t value)
{
    uint8_t groups[5];
    int count = 0;
    do {
        groups[count++] = static_cast<uint8_t>(value & 0x7f);
        value >>= 7;
    } while (value != 0);
    while (count > 1)
        out.append(static_cast<char>(groups[--count] | 0x80));
    out.append(static_cast<char>(groups[0]));
}

QByteArray metaEvent(uint8_t type, const QByteArray& data)
{
    QByteArray bytes;
    bytes.append(static_cast<char>(kMeta));
    bytes.append(static_cast<char>(type));
    appendVariableLength(bytes, static_cast<uint32_t>(data.size()));
    bytes.append(data);
    return bytes;
}

QByteArray channelEvent(uint8_t status, int key, int velocity)
{
    QByteArray bytes;
    bytes.append(static_cast<char>(status));
    bytes.append(static_cast<char>(key & 0x7f));
    bytes.append(static_cast<char>(velocity & 0x7f));
    return bytes;
}

} // namespace

QByteArray patternToMidi(const GBPattern& pattern)
{
    const int loopEnd = GBPattern::kStepCount * kTicksPerStep;
    QByteArray tempo;
    const int bpm = std::max(1, tempoForSpeed(pattern.speed()));
    appendBigEndian(tempo, static_cast<uint32_t>(60'000'000 / bpm), 3);

    std::vector<Event> events;
    events.push_back({ 0, 0, metaEvent(kMetaMarker, "loopstart") });
    events.push_back({ 0, 0, metaEvent(kMetaTempo, tempo) });
    for (const VyGBData& data : pattern.gbData()) {
        const QList<int>& ticks = data.ticks();
        for (int step = 0; step < ticks.size() && step < GBPattern::kStepCount; ++step) {
            if (ticks[step] != 1)
                continue;
            const int start = step * kTicksPerStep;
            const int velocity = step % kStepsPerBeat == 0 ? kAccentVelocity : kVelocity;
            events.push_back({ start, 2, channelEvent(kNoteOn, data.instrumentID(), velocity) });
            events.push_back({ start + kNoteTicks, 1, channelEvent(kNoteOff, data.instrumentID(), 64) });
        }
    }
    events.push_back({ loopEnd, 3, metaEvent(kMetaMarker, "loopend") });
    events.push_back({ loopEnd, 4, metaEvent(kMetaEndOfTrack, {}) });
    std::stable_sort(events.begin(), events.end(),
        [](const Event& a, const Event& b) { return a.tick != b.tick ? a.tick < b.tick : a.order < b.order; });

    QByteArray track;
    int previous = 0;
    for (const Event& event : events) {
        appendVariableLength(track, static_cast<uint32_t>(event.tick - previous));
        track.append(event.bytes);
        previous = event.tick;
    }

    QByteArray file("MThd");
    appendBigEndian(file, 6, 4);
    appendBigEndian(file, 0, 2); // format 0
    appendBigEndian(file, 1, 2); // one track
    appendBigEndian(file, kTicksPerQuarter, 2);
    file.append("MTrk");
    appendBigEndian(file, static_cast<uint32_t>(track.size()), 4);
    file.append(track);
    return file;
}
