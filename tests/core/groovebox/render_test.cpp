// The Groove Box's MIDI render through the General MIDI font, and its packed font.

#include "core/groovebox/gbpattern.h"
#include "core/groovebox/midiloader.h"
#include "core/groovebox/patterntomidi.h"
#include "core/groovebox/soundfontpack.h"
#include "support/qtfixtures.h"
#include "support/smfwriter.h"

#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>

namespace {

const QString kFont = QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2");
constexpr int kBytesPerSecond = 44100 * 4;

// Root mean square of the 16-bit stereo samples between two times of a rendered WAV.
double rms(const QByteArray& wav, double from, double to)
{
    const auto* samples = reinterpret_cast<const qint16*>(wav.constData() + 44);
    const qsizetype count = (wav.size() - 44) / 2;
    const qsizetype first = std::min(count, qsizetype(from * 44100) * 2);
    const qsizetype last = std::min(count, qsizetype(to * 44100) * 2);
    double sum = 0.0;
    for (qsizetype i = first; i < last; ++i)
        sum += double(samples[i]) * samples[i];
    return last > first ? std::sqrt(sum / double(last - first)) : 0.0;
}

// The largest absolute 16-bit sample between two times.
double peak(const QByteArray& wav, double from, double to)
{
    const auto* samples = reinterpret_cast<const qint16*>(wav.constData() + 44);
    const qsizetype count = (wav.size() - 44) / 2;
    const qsizetype first = std::min(count, qsizetype(std::max(0.0, from) * 44100) * 2);
    const qsizetype last = std::min(count, qsizetype(to * 44100) * 2);
    int largest = 0;
    for (qsizetype i = first; i < last; ++i)
        largest = std::max(largest, std::abs(int(samples[i])));
    return largest;
}

bool pack(const QString& source, const QString& destination)
{
    return QProcess::execute(QStringLiteral(SONABEL_SF2PACK_PROGRAM), { source, destination }) == 0;
}

int unpack(const QString& source, const QString& destination)
{
    return unPackSf2File(QFile::encodeName(source).constData(), QFile::encodeName(destination).constData());
}

struct LengthCase {
    const char* name;
    fixtures::SmfWriter song;
    double minSeconds;
    double maxSeconds;
    double loudFrom = 0.0; // a stretch that only sounds when the song jumped to its beginning
    double quietFrom = 0.0; // a stretch that sounds when it wrongly did
};

TEST(MidiRender, KeepsWholeSecondsLoopsOnMarkersAndWritesSizesLast)
{
    using fixtures::SmfWriter;
    const double block = 10000.0 / 44100;
    // The organ plays only in the first half second; the song jumps back at "LoopEnd".
    const SmfWriter looped = SmfWriter().program(0, 19).note(0, 60, 0.0, 0.5).marker("LoopEnd", 1.0).end(3.5);
    const SmfWriter fromStart = SmfWriter(looped).marker("LOOPSTART", 0.8).end(4.5);
    const LengthCase cases[] = {
        { "5.7 s", SmfWriter().note(9, 36, 0.0, 0.2).note(9, 38, 5.5, 0.2).end(5.7), 5.0, 5.0 + block },
        { "under a second", SmfWriter().note(9, 36, 0.0, 0.2).end(0.6), block, block },
        { "mixed-case loop end", looped, 3.0, 3.0 + block, 2.0 },
        { "loop start", fromStart, 4.0, 4.0 + block, 0.0, 3.0 },
        { "ends on a whole second", SmfWriter().note(9, 36, 0.0, 0.2).end(4.0), 4.0, 4.0 + block },
        { "no notes", SmfWriter(), block, block },
        { "rests only", SmfWriter().end(2.0), 2.0, 2.0 + block },
    };
    QTemporaryDir dir;
    for (const LengthCase& c : cases) {
        SCOPED_TRACE(c.name);
        const QString midi = dir.filePath(QStringLiteral("song.mid"));
        const QString wav = dir.filePath(QStringLiteral("song.wav"));
        ASSERT_TRUE(writeBytes(midi, QByteArray::fromStdString(c.song.bytes())));
        const MidiRenderResult result = midiLoader(midi, kFont, wav);
        ASSERT_TRUE(result.ok) << result.error.toStdString();
        const QByteArray bytes = readBytes(wav);
        ASSERT_GT(bytes.size(), 44);
        const double seconds = double(bytes.size() - 44) / kBytesPerSecond;
        EXPECT_GE(seconds, c.minSeconds - 1e-6);
        EXPECT_LE(seconds, c.maxSeconds + 1e-6);
        EXPECT_DOUBLE_EQ(result.seconds, seconds);
        EXPECT_EQ(bytes.left(4), "RIFF");
        EXPECT_EQ(bytes.mid(8, 8), "WAVEfmt ");
        EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 4), quint32(bytes.size() - 8));
        EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 24), 44100u);
        EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 22), 2u);
        EXPECT_EQ(qFromLittleEndian<quint16>(bytes.constData() + 34), 16u);
        EXPECT_EQ(bytes.mid(36, 4), "data");
        EXPECT_EQ(qFromLittleEndian<quint32>(bytes.constData() + 40), quint32(bytes.size() - 44));
        if (c.loudFrom > 0.0) {
            // Without the jump the organ's last sound fades out long before this.
            EXPECT_GT(rms(bytes, c.loudFrom, c.loudFrom + 0.4), 300.0);
        }
        if (c.quietFrom > 0.0) {
            EXPECT_LT(rms(bytes, c.quietFrom, c.quietFrom + 0.4), 30.0);
        }
        EXPECT_EQ(entries(dir.path()), (QStringList { QStringLiteral("song.mid"), QStringLiteral("song.wav") }));
        QFile::remove(wav);
    }
}

// A built-in rhythm, through its MIDI form: each step that has a hit starts a sound within
// 10 ms of its time, and the steps without one start nothing.
TEST(MidiRender, ARhythmSoundsOnItsStepsAndOnlyThere)
{
    QTemporaryDir dir;
    GBPattern pattern;
    pattern.presetTracks(1);
    const QString midi = dir.filePath(QStringLiteral("rock.mid"));
    const QString wav = dir.filePath(QStringLiteral("rock.wav"));
    ASSERT_TRUE(writeBytes(midi, patternToMidi(pattern)));
    ASSERT_TRUE(midiLoader(midi, kFont, wav).ok);
    const QByteArray sound = readBytes(wav);
    const double step = 60.0 / PatternMidi::tempoForSpeed(pattern.speed()) / 4.0;
    for (int tick = 1; tick < 32; ++tick) {
        bool hit = false;
        for (int key = GBPattern::kFirstKey; key <= GBPattern::kLastKey; ++key)
            hit = hit || pattern.isOn(key, tick);
        const double at = tick * step;
        const double before = peak(sound, at - 0.012, at - 0.002);
        const double after = peak(sound, at, at + 0.010);
        if (hit)
            EXPECT_GT(after, 1.5 * before + 300.0) << "step " << tick;
        else
            EXPECT_LT(after, 1.2 * before + 300.0) << "step " << tick;
    }
}

TEST(MidiRender, FailsWithoutLeavingAFile)
{
    QTemporaryDir dir;
    const QString good = dir.filePath(QStringLiteral("good.mid"));
    const QString noise = dir.filePath(QStringLiteral("noise.mid"));
    const QString cut = dir.filePath(QStringLiteral("cut.mid"));
    const QByteArray song = QByteArray::fromStdString(fixtures::SmfWriter().note(9, 36, 0.0, 0.2).end(2.0).bytes());
    ASSERT_TRUE(writeBytes(good, song));
    ASSERT_TRUE(writeBytes(noise, QByteArray(3000, '\x5a')));
    ASSERT_TRUE(writeBytes(cut, song.left(song.size() - 6)));
    ASSERT_TRUE(writeBytes(dir.filePath(QStringLiteral("a-file")), "x"));
    const QStringList before = entries(dir.path());
    const struct {
        QString midi;
        QString wav;
    } cases[] = {
        { dir.filePath(QStringLiteral("absent.mid")), dir.filePath(QStringLiteral("out.wav")) },
        { noise, dir.filePath(QStringLiteral("out.wav")) },
        { cut, dir.filePath(QStringLiteral("out.wav")) },
        { good, dir.filePath(QStringLiteral("no/such/folder/out.wav")) },
        { good, dir.filePath(QStringLiteral("a-file/out.wav")) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.midi.toStdString() + " -> " + c.wav.toStdString());
        const MidiRenderResult result = midiLoader(c.midi, kFont, c.wav);
        EXPECT_FALSE(result.ok);
        EXPECT_FALSE(result.error.isEmpty());
        EXPECT_EQ(entries(dir.path()), before);
    }
}

TEST(SoundFontPack, RoundTripsTheBytes)
{
    QTemporaryDir dir;
    QByteArray fake = QByteArray::fromStdString(std::string(300000, 'R'));
    for (int i = 0; i < fake.size(); i += 997)
        fake[i] = char(i * 31);
    const QString source = dir.filePath(QStringLiteral("fake.sf2"));
    ASSERT_TRUE(writeBytes(source, fake));
    ASSERT_TRUE(pack(source, dir.filePath(QStringLiteral("fake.sf2pack"))));
    ASSERT_EQ(unpack(dir.filePath(QStringLiteral("fake.sf2pack")), dir.filePath(QStringLiteral("out.sf2"))), 0);
    EXPECT_EQ(readBytes(dir.filePath(QStringLiteral("out.sf2"))), fake);

    // The pack the build ships holds the General MIDI font itself.
    if (!QFileInfo::exists(QStringLiteral(SONABEL_PACKED_FONT)))
        GTEST_SKIP() << "the build found no sound font to pack";
    ASSERT_EQ(unpack(QStringLiteral(SONABEL_PACKED_FONT), dir.filePath(QStringLiteral("shipped.sf2"))), 0);
    EXPECT_EQ(readBytes(dir.filePath(QStringLiteral("shipped.sf2"))), readBytes(kFont));
}

TEST(SoundFontPack, RefusesDamagedPacksLeavingNoFile)
{
    QTemporaryDir dir;
    const QString source = dir.filePath(QStringLiteral("font.sf2"));
    ASSERT_TRUE(writeBytes(source, QByteArray(100000, 'F')));
    ASSERT_TRUE(pack(source, dir.filePath(QStringLiteral("font.sf2pack"))));
    const QByteArray good = readBytes(dir.filePath(QStringLiteral("font.sf2pack")));
    auto with = [&good](int at, char value) {
        QByteArray bytes = good;
        bytes[at] = value;
        return bytes;
    };
    const struct {
        const char* name;
        QByteArray bytes;
    } cases[] = {
        { "magic", with(0, 'X') },
        { "version", with(4, 9) },
        { "larger size", with(8, char(good[8] + 1)) },
        { "smaller size", with(8, char(good[8] - 1)) },
        { "damaged stream", with(good.size() / 2, char(good[good.size() / 2] ^ 0x55)) },
        { "cut stream", good.left(good.size() - 20) },
        { "trailing bytes", good + "tail" },
        { "header only", good.left(16) },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        const QString packed = dir.filePath(QStringLiteral("bad.sf2pack"));
        ASSERT_TRUE(writeBytes(packed, c.bytes));
        EXPECT_NE(unpack(packed, dir.filePath(QStringLiteral("out.sf2"))), 0);
        EXPECT_EQ(entries(dir.path()),
            (QStringList {
                QStringLiteral("bad.sf2pack"), QStringLiteral("font.sf2"), QStringLiteral("font.sf2pack") }));
    }
    EXPECT_NE(unpack(dir.filePath(QStringLiteral("absent.sf2pack")), dir.filePath(QStringLiteral("out.sf2"))), 0);
}

} // namespace
