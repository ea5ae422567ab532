// The Groove Box pattern: its model, presets and random fill, its file, and its MIDI form.

#include "core/groovebox/gbpatternfile.h"
#include "core/groovebox/patterntomidi.h"
#include "support/qtfixtures.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>
#include <pugixml.hpp>
#include <set>

namespace {

using Steps = std::map<int, std::set<int>>; // key -> steps that sound

Steps stepsOf(const GBPattern& pattern)
{
    Steps steps;
    for (const VyGBData& row : pattern.gbData())
        for (int t = 0; t < row.ticks().size(); ++t)
            if (row.ticks()[t] == 1)
                steps[row.instrumentID()].insert(t);
    return steps;
}

std::set<int> every(int first, int step)
{
    std::set<int> steps;
    for (int t = first; t < 64; t += step)
        steps.insert(t);
    return steps;
}

TEST(GBPattern, UntouchedPatternWritesEveryInstrumentSilentAtSpeedThree)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QString::fromLatin1(GBPatternFile::kPatternFileName));
    ASSERT_TRUE(GBPatternFile::writePatternFile(GBPattern(), path));
    EXPECT_EQ(entries(dir.path()), QStringList { QString::fromLatin1(GBPatternFile::kPatternFileName) });

    const QByteArray text = readBytes(path);
    pugi::xml_document document;
    ASSERT_TRUE(document.load_buffer(text.constData(), static_cast<size_t>(text.size())));
    const pugi::xml_node info = document.child("info");
    const std::string silent = QString(QStringLiteral("0,").repeated(63) + u'0').toStdString();
    int key = 35;
    for (const pugi::xml_node& node : info.children("Instrument")) {
        EXPECT_EQ(node.attribute("id").as_int(), key++);
        EXPECT_EQ(node.child_value(), silent);
        EXPECT_EQ(node.next_sibling().name(), std::string(key <= 81 ? "Instrument" : "Speed"));
    }
    EXPECT_EQ(key, 82);
    EXPECT_STREQ(info.last_child().child_value(), "3");
    EXPECT_EQ(text.count("\n"), 47 + 4) << "one element per line";
}

TEST(GBPattern, PresetTwoReadsBackExactly)
{
    GBPattern pattern;
    pattern.generateRandomData();
    ASSERT_TRUE(pattern.presetTracks(2));
    const std::optional<GBPattern> back = GBPatternFile::fromXml(GBPatternFile::toXml(pattern));
    ASSERT_TRUE(back);
    const Steps expected { { 49, every(0, 4) }, { 44, every(0, 2) }, { 38, { 4, 12, 20, 28, 36, 44, 52, 60 } },
        { 35,
            { 0, 2, 3, 7, 9, 10, 15, 16, 18, 19, 23, 25, 26, 31, 32, 34, 35, 39, 41, 42, 47, 48, 50, 51, 55, 57, 58,
                63 } } };
    EXPECT_EQ(stepsOf(*back), expected);
}

TEST(GBPattern, EveryPresetReadsBackAsItself)
{
    for (int index = 0; index <= 4; ++index) {
        GBPattern pattern;
        pattern.generateRandomData();
        pattern.setSpeed(index + 1);
        EXPECT_EQ(pattern.presetTracks(index), index >= 1 && index <= 3) << index;
        EXPECT_EQ(pattern.onCount() == 0, index == 0 || index == 4) << index;
        EXPECT_EQ(GBPatternFile::fromXml(GBPatternFile::toXml(pattern)), pattern) << index;
    }
}

TEST(GBPattern, RandomFollowsItsOwnSeededSequence)
{
    GBPattern first;
    first.generateRandomData();
    // Seed 1's numbers start 1804289383 (every second instrument), 846930886, ...
    const Steps start = stepsOf(first);
    EXPECT_EQ(start.count(36), 0u);
    EXPECT_EQ(start.at(35), (std::set<int> { 5, 15, 25, 30, 35, 50, 55 }));
    EXPECT_EQ(start.at(37), (std::set<int> { 0, 20, 28, 32, 40, 56, 60 }));

    GBPattern fresh;
    fresh.generateRandomData();
    EXPECT_EQ(fresh, first);
    GBPattern copy = first;
    std::set<QByteArray> seen;
    for (int run = 0; run < 20; ++run) {
        first.generateRandomData();
        for (int i = 0; i < 100; ++i)
            (void)random();
        fresh.generateRandomData();
        copy.generateRandomData();
        EXPECT_EQ(fresh, first) << run;
        EXPECT_EQ(copy, first) << run;
        EXPECT_GT(first.onCount(), 0);
        ASSERT_EQ(first.gbData().size(), 47);
        for (int row = 0; row < 47; ++row) {
            EXPECT_EQ(first.gbData()[row].instrumentID(), 35 + row);
            EXPECT_EQ(first.gbData()[row].ticks().size(), 64);
        }
        seen.insert(GBPatternFile::toXml(first));
    }
    EXPECT_GT(seen.size(), 15u);
}

TEST(GBPattern, MalformedFilesAreRefused)
{
    const QByteArray good = GBPatternFile::toXml(GBPattern());
    const auto edited = [&good](const QByteArray& from, const char* to) { return QByteArray(good).replace(from, to); };
    const QByteArray lastRow = "<Instrument id=\"81\">" + QByteArray("0,").repeated(63) + "0</Instrument>";
    const struct {
        const char* name;
        QByteArray text;
        const char* complaint;
    } cases[] = {
        { "empty", "", "not XML" },
        { "cut short", good.left(good.size() / 2), "not XML" },
        { "another root", edited("info>", "data>"), "root" },
        { "no speed", edited("<Speed>3</Speed>", ""), "Speed" },
        { "speed not a number", edited("<Speed>3<", "<Speed>fast<"), "speed" },
        { "negative speed", edited("<Speed>3<", "<Speed>-1<"), "speed" },
        { "two speeds", edited("<Speed>3</Speed>", "<Speed>3</Speed><Speed>4</Speed>"), "Speed" },
        { "63 values", edited(">0,0,", ">0,"), "63 values" },
        { "65 values", edited(">0,0,", ">0,0,0,"), "65 values" },
        { "a value of 2", edited(">0,0,", ">0,2,"), "\"2\"" },
        { "a blank", edited(">0,0,", ">0, 0,"), "\" 0\"" },
        { "an empty value", edited(">0,0,", ">0,,"), "\"\"" },
        { "id out of range", edited("\"35\"", "\"34\""), "\"34\"" },
        { "id not a number", edited("\"35\"", "\"x\""), "\"x\"" },
        { "ids out of order", edited("\"36\"", "\"37\""), "\"37\"" },
        { "an instrument after the speed", edited("<Speed>3</Speed>", "<Speed>3</Speed><Instrument id=\"82\"/>"),
            "\"82\"" },
        { "46 instruments", edited(lastRow, ""), "46" },
        { "another element", edited("<Speed>", "<Tempo>3</Tempo><Speed>"), "Tempo" },
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_FALSE(GBPatternFile::fromXml(c.text, &error)) << c.name;
        EXPECT_TRUE(error.contains(QLatin1String(c.complaint))) << c.name << ": " << error.toStdString();
    }
    QString error;
    EXPECT_FALSE(GBPatternFile::readPatternFile(QStringLiteral("/nonexistent/CorvaneGBData.xml"), &error));
    EXPECT_FALSE(error.isEmpty());
}

// The events of a format-0 MIDI file, as far as the pattern's own files use them.
struct MidiTrack {
    Steps notes; // key -> steps whose note starts there
    std::map<std::string, int> markers; // text -> tick
    int tempo = 0; // microseconds per quarter
    int endTick = -1;
    int longestNote = 0;
    int softestOnBeat = 127;
    int loudestOffBeat = 0;
    bool onlyChannelTen = true;
};

MidiTrack parseMidi(const QByteArray& file)
{
    MidiTrack track;
    const auto byte = [&file](qsizetype at) { return at < file.size() ? static_cast<uint8_t>(file[at]) : 0; };
    const auto number = [&byte](qsizetype at, int bytes) {
        int value = 0;
        for (int i = 0; i < bytes; ++i)
            value = value << 8 | byte(at + i);
        return value;
    };
    EXPECT_TRUE(file.startsWith("MThd"));
    EXPECT_EQ(number(4, 4), 6);
    EXPECT_EQ(number(8, 2), 0) << "format";
    EXPECT_EQ(number(10, 2), 1) << "tracks";
    EXPECT_EQ(number(12, 2), PatternMidi::kTicksPerQuarter);
    EXPECT_EQ(file.mid(14, 4), "MTrk");
    EXPECT_EQ(number(18, 4), file.size() - 22) << "track length";
    qsizetype at = 22;
    const auto variable = [&] {
        int value = 0;
        uint8_t b = 0;
        do {
            b = byte(at++);
            value = value << 7 | (b & 0x7f);
        } while (b & 0x80);
        return value;
    };
    std::map<int, int> sounding; // key -> start tick
    int tick = 0;
    while (at < file.size() && track.endTick < 0) {
        tick += variable();
        const uint8_t status = byte(at++);
        if (status == 0xff) {
            const uint8_t type = byte(at++);
            const int length = variable();
            const QByteArray data = file.mid(at, length);
            at += length;
            if (type == 0x06)
                track.markers[data.toStdString()] = tick;
            else if (type == 0x51)
                track.tempo = number(at - 3, 3);
            else if (type == 0x2f)
                track.endTick = tick;
        } else if ((status & 0xe0) == 0x80) {
            track.onlyChannelTen = track.onlyChannelTen && (status & 0x0f) == 9;
            const int key = byte(at);
            const int velocity = byte(at + 1);
            at += 2;
            if (status & 0x10) {
                const bool onBeat = tick % PatternMidi::kTicksPerQuarter == 0;
                int& edge = onBeat ? track.softestOnBeat : track.loudestOffBeat;
                edge = onBeat ? std::min(edge, velocity) : std::max(edge, velocity);
                track.notes[key].insert(tick / PatternMidi::kTicksPerStep);
                EXPECT_EQ(tick % PatternMidi::kTicksPerStep, 0);
                sounding[key] = tick;
            } else {
                track.longestNote = std::max(track.longestNote, tick - sounding[key]);
            }
        } else {
            ADD_FAILURE() << "unexpected status " << int(status);
            break;
        }
    }
    EXPECT_EQ(at, file.size()) << "the end of the track ends the file";
    return track;
}

TEST(PatternMidi, EveryStepThatSoundsIsOneNoteOnChannelTen)
{
    for (int preset = 0; preset <= 4; ++preset) {
        GBPattern pattern;
        if (preset == 4)
            pattern.generateRandomData();
        else
            pattern.presetTracks(preset);
        pattern.setSpeed(preset);
        const MidiTrack track = parseMidi(patternToMidi(pattern));
        EXPECT_EQ(track.notes, stepsOf(pattern)) << preset;
        EXPECT_TRUE(track.onlyChannelTen) << preset;
        EXPECT_EQ(track.longestNote > 0, pattern.onCount() > 0);
        EXPECT_LE(track.longestNote, PatternMidi::kTicksPerStep);
        EXPECT_EQ(track.tempo, 60'000'000 / (60 + 20 * preset)) << preset;
        EXPECT_EQ(track.markers, (std::map<std::string, int> { { "loopstart", 0 }, { "loopend", 64 * 24 } }));
        EXPECT_EQ(track.endTick, 64 * 24);
        EXPECT_GT(track.softestOnBeat, track.loudestOffBeat) << "beats are accented";
    }
}

} // namespace
