// The Groove Box's pattern file, which GBUtil reads from the music folder: read, written
// and read again, and turned into the MIDI file GBUtil writes. The MIDI file is walked
// event by event: it must be a well-formed one-track file ending where the loop ends.

#include "core/groovebox/gbpatternfile.h"
#include "core/groovebox/patterntomidi.h"
#include "fuzz/fuzzsupport.h"

#include <optional>

namespace {

uint32_t bigEndian(const QByteArray& bytes, qsizetype at, int count)
{
    uint32_t value = 0;
    for (int i = 0; i < count; ++i)
        value = value << 8 | static_cast<uint8_t>(bytes.at(at + i));
    return value;
}

void checkMidi(const QByteArray& midi, const GBPattern& pattern)
{
    fuzz::check(midi.size() >= 22 && midi.startsWith("MThd") && bigEndian(midi, 4, 4) == 6, "a MIDI header");
    fuzz::check(bigEndian(midi, 8, 2) == 0 && bigEndian(midi, 10, 2) == 1, "format 0, one track");
    fuzz::check(midi.mid(14, 4) == "MTrk" && bigEndian(midi, 18, 4) == uint32_t(midi.size() - 22), "track length");

    qsizetype at = 22;
    const auto byte = [&] {
        fuzz::check(at < midi.size(), "events stay inside the track");
        return static_cast<uint8_t>(midi.at(at++));
    };
    uint32_t tick = 0;
    int notesOn = 0;
    bool ended = false;
    while (at < midi.size()) {
        fuzz::check(!ended, "nothing after the end of the track");
        uint32_t delta = 0;
        for (int i = 0;; ++i) {
            fuzz::check(i < 4, "a delta time of at most four bytes");
            const uint8_t b = byte();
            delta = delta << 7 | (b & 0x7f);
            if ((b & 0x80) == 0)
                break;
        }
        tick += delta;
        const uint8_t status = byte();
        if (status == 0xff) {
            const uint8_t type = byte();
            const uint8_t length = byte();
            fuzz::check(length < 0x80, "short meta events");
            at += length;
            ended = type == 0x2f;
        } else {
            fuzz::check(status == 0x99 || status == 0x89, "notes on the percussion channel only");
            const uint8_t key = byte();
            const uint8_t velocity = byte();
            fuzz::check(key >= GBPattern::kFirstKey && key <= GBPattern::kLastKey, "a Groove Box key");
            fuzz::check(velocity < 0x80, "a velocity");
            notesOn += status == 0x99 ? 1 : 0;
        }
    }
    fuzz::check(ended && at == midi.size(), "the track ends with its end event");
    fuzz::check(tick == uint32_t(GBPattern::kStepCount * PatternMidi::kTicksPerStep), "the track ends at the loop end");
    fuzz::check(notesOn == pattern.onCount(), "one note for every step that sounds");
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietLogs();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray text(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    QString error;
    const std::optional<GBPattern> pattern = GBPatternFile::fromXml(text, &error);
    if (!pattern) {
        fuzz::check(!error.isEmpty(), "a refused pattern says why");
        return 0;
    }
    fuzz::check(pattern->speed() >= 0 && pattern->speed() <= GBPatternFile::kMaxSpeed, "a speed in range");
    const std::optional<GBPattern> again = GBPatternFile::fromXml(GBPatternFile::toXml(*pattern));
    fuzz::check(again && *again == *pattern, "a written pattern reads back equal");
    checkMidi(patternToMidi(*pattern), *pattern);
    return 0;
}
