#include "core/convert/vyconverter.h"
#include "media/decoderlib.h"
#include "media/encoderlib.h"
#include "media/vyrtmediafiledecoder.h"
#include "support/fixtures.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

QString q(const std::string& path)
{
    return QString::fromStdString(path);
}

std::string code(uint32_t fourCC)
{
    std::string text(4, ' ');
    for (int i = 0; i < 4; ++i)
        text[i] = static_cast<char>((fourCC >> (8 * i)) & 0xFF);
    return text;
}

QVariantMap part(double start, double length, double volume = 100)
{
    return {{ConvertKey::ConverteStartTime, start},
            {ConvertKey::ConverteLength, length},
            {ConvertKey::ConverteOutputVolume, volume}};
}

QVariantMap fades(double inStart, double inLength, double outStart, double outLength)
{
    return {{ConvertKey::FadeInStartTime, inStart},
            {ConvertKey::FadeInLength, inLength},
            {ConvertKey::FadeOutStartTime, outStart},
            {ConvertKey::FadeOutLength, outLength}};
}

QVariantMap audioParameters(int sampleRate, int channels, int bitRate)
{
    return {{ConvertKey::SampleRate, sampleRate}, {ConvertKey::Channels, channels}, {ConvertKey::BitRate, bitRate}};
}

// Runs the ffmpeg command to make a source the fixtures do not have.
bool ffmpeg(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("ffmpeg"),
                  QStringList {QStringLiteral("-nostdin"), QStringLiteral("-hide_banner"), QStringLiteral("-loglevel"),
                               QStringLiteral("error"), QStringLiteral("-y")}
                      + arguments);
    return process.waitForFinished(-1) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

// A steady 440 Hz tone at amplitude 0.5 in the given format.
bool makeTone(const std::string& path, int sampleRate, int channels, double seconds, const QStringList& codec)
{
    const QString source = QStringLiteral("aevalsrc=exprs=0.5*sin(2*PI*440*t):s=%1:d=%2").arg(sampleRate).arg(seconds);
    return ffmpeg(QStringList {QStringLiteral("-f"), QStringLiteral("lavfi"), QStringLiteral("-i"), source,
                               QStringLiteral("-ac"), QString::number(channels)}
                  + codec + QStringList {q(path)});
}

struct Probe {
    bool readable = false;
    std::string format;
    int videoStreams = 0;
    int audioStreams = 0;
    VyStreamInfo audio;
    VyStreamInfo video;
};

Probe probe(const std::string& path)
{
    Probe p;
    const MediaFileInfoPtr info = VyRTMediaFileDecoder::getMediaFileInfo(path);
    if (!info || info->programCount <= 0)
        return p;
    p.readable = true;
    p.format = info->formatName;
    p.videoStreams = info->programs[0].videoStreamCount;
    p.audioStreams = info->programs[0].audioStreamCount;
    for (const VyStreamInfo& s : info->streams) {
        if (s.kind == VyStreamInfo::Kind::Audio && p.audio.codecName.empty())
            p.audio = s;
        if (s.kind == VyStreamInfo::Kind::Video && p.video.codecName.empty())
            p.video = s;
    }
    return p;
}

// The major brand of an MPEG-4 family file: "M4A " for a ringtone, "qt  " for a MOV.
std::string majorBrand(const std::string& path)
{
    QFile file(q(path));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray head = file.read(12);
    return head.size() == 12 && head.mid(4, 4) == "ftyp" ? head.mid(8, 4).toStdString() : std::string();
}

// RMS of all channels over `seconds` from `from`, in sample units.
double rms(const fixtures::Pcm& pcm, double from, double seconds)
{
    const auto first = static_cast<size_t>(std::lround(from * pcm.sampleRate));
    const auto count = static_cast<size_t>(std::lround(seconds * pcm.sampleRate));
    double sum = 0.0;
    size_t n = 0;
    for (size_t i = first * pcm.channels; i < (first + count) * pcm.channels && i < pcm.samples.size(); ++i, ++n)
        sum += double(pcm.samples[i]) * pcm.samples[i];
    return n > 0 ? std::sqrt(sum / double(n)) : 0.0;
}

QStringList entries(const std::string& folder)
{
    return QDir(q(folder)).entryList(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot, QDir::Name);
}

EncodeParam encoderDefaults()
{
    EncodeParam defaults {};
    InitEncParam(&defaults);
    return defaults;
}

constexpr double kWindow = 0.020; // 20 ms: several periods of the fixtures' tones

class VyConverterTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        DecMgrInit();
        FCInitPlugins();
    }
    static void TearDownTestSuite() { FCUninitPlugins(); }

    // A ringtone of `source` in `format` at `out`, leaving the converter idle.
    static bool convert(VyConverter& converter, const std::string& source, const std::string& out,
                        const QVariantMap& attributes, const QVariantMap& effect = {},
                        const QString& format = QStringLiteral("M4R"))
    {
        const bool made = converter.converte(q(source), format, q(out), attributes, effect);
        EXPECT_FALSE(converter.isEncoding());
        return made;
    }

    fixtures::ScratchDir m_dir;
};

TEST_F(VyConverterTest, WithoutAudioParametersTheRingtoneKeepsTheSourceFormat)
{
    const std::string source = m_dir.file("mono-22k.wav");
    ASSERT_TRUE(makeTone(source, 22050, 1, 8.0, {QStringLiteral("-c:a"), QStringLiteral("pcm_s16le")}));
    const std::string out = m_dir.file("ring.m4r");
    VyConverter converter;
    EXPECT_FALSE(converter.isEncoding());
    ASSERT_TRUE(convert(converter, source, out, part(1.0, 6.0)));

    const EncodeParam& enc = converter.encodeParam();
    EXPECT_EQ(code(enc.dwFourCC), "M4A ");
    EXPECT_EQ(code(enc.audio.dwFourCC), "AAC ");
    EXPECT_EQ(enc.audio.nSampleRate, 22050);
    EXPECT_EQ(enc.audio.nChannels, 1);
    EXPECT_EQ(enc.audio.nBitsPerSample, 16);
    EXPECT_EQ(enc.bVideoDisable, 1);
    EXPECT_EQ(enc.bAudioDisable, 0);

    const Probe p = probe(out);
    ASSERT_TRUE(p.readable);
    EXPECT_EQ(majorBrand(out), "M4A ");
    EXPECT_EQ(p.videoStreams, 0);
    EXPECT_EQ(p.audio.codecName, "aac");
    EXPECT_EQ(p.audio.sampleRate, 22050);
    EXPECT_EQ(p.audio.channels, 1);
    const fixtures::Pcm pcm = fixtures::decodeAll(out);
    EXPECT_EQ(pcm.sampleRate, 22050);
    EXPECT_EQ(pcm.channels, 1);
}

TEST_F(VyConverterTest, AudioParametersWinOverTheSourceFormat)
{
    const std::string out = m_dir.file("ring.m4r");
    VyConverter converter;
    converter.setAudioParm(audioParameters(44100, 2, 128000));
    ASSERT_TRUE(convert(converter, fixtures::path("mono-48k.wav"), out, part(0.0, 2.5)));
    EXPECT_EQ(converter.encodeParam().audio.nSampleRate, 44100);
    EXPECT_EQ(converter.encodeParam().audio.nChannels, 2);
    EXPECT_EQ(converter.encodeParam().audio.nBitrate, 128000);
    const Probe p = probe(out);
    EXPECT_EQ(p.audio.codecName, "aac");
    EXPECT_EQ(p.audio.sampleRate, 44100);
    EXPECT_EQ(p.audio.channels, 2);
    const fixtures::Pcm pcm = fixtures::decodeAll(out);
    EXPECT_EQ(pcm.sampleRate, 44100);
    EXPECT_EQ(pcm.channels, 2);
    // The mono tone lands on both channels.
    EXPECT_NEAR(fixtures::zeroCrossings(pcm, 0, 44100, 44100), 880, 20);
    EXPECT_NEAR(fixtures::zeroCrossings(pcm, 1, 44100, 44100), 880, 20);
}

TEST_F(VyConverterTest, ARingtoneLastsTheRequestedLength)
{
    const struct {
        const char* source;
        double start;
        double length;
        int rate;
    } cases[] = {{"tone.wav", 0.5, 5.0, 44100}, {"tone.mp3", 0.25, 5.5, 44100}, {"tone-48k.wav", 0.0, 4.0, 48000}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        const std::string out = m_dir.file(std::string(c.source) + ".m4r");
        VyConverter converter;
        ASSERT_TRUE(convert(converter, fixtures::path(c.source), out, part(c.start, c.length)));
        const fixtures::Pcm pcm = fixtures::decodeAll(out);
        ASSERT_EQ(pcm.sampleRate, c.rate);
        EXPECT_NEAR(double(pcm.frames()), c.length * c.rate, 1024.0);
    }
}

TEST_F(VyConverterTest, FadesRampFromSilenceToFullAndBack)
{
    // Part 0.5-5.5 s of the tone; 2 s fade-in from the part's start, 2 s fade-out to its end.
    const std::string out = m_dir.file("faded.m4r");
    VyConverter converter;
    ASSERT_TRUE(convert(converter, fixtures::path("tone.wav"), out, part(0.5, 5.0), fades(0.5, 2.0, 3.5, 2.0)));
    const fixtures::Pcm pcm = fixtures::decodeAll(out);
    ASSERT_EQ(pcm.sampleRate, 44100);
    const double full = rms(pcm, 2.4, kWindow); // between the fades
    ASSERT_GT(full, 10000.0);                   // amplitude 0.5: about 11585

    EXPECT_LT(rms(pcm, 0.0, kWindow), 0.05 * full);
    EXPECT_NEAR(rms(pcm, 1.0 - kWindow / 2, kWindow), 0.5 * full, 0.08 * full);
    EXPECT_GT(rms(pcm, 2.0 - kWindow, kWindow), 0.95 * full);

    EXPECT_GT(rms(pcm, 3.0, kWindow), 0.95 * full);
    EXPECT_NEAR(rms(pcm, 4.0 - kWindow / 2, kWindow), 0.5 * full, 0.08 * full);
    EXPECT_LT(rms(pcm, 5.0 - kWindow, kWindow), 0.05 * full);
}

TEST_F(VyConverterTest, FadeLengthsOfZeroLeaveTheWholePartLoud)
{
    // Starts inside the part but no lengths: no fade may act, not even from those starts.
    const std::string out = m_dir.file("unfaded.wav");
    VyConverter converter;
    ASSERT_TRUE(convert(converter, fixtures::path("tone.wav"), out, part(1.0, 4.0), fades(1.0, 0.0, 3.0, 0.0),
                        QStringLiteral("WAVE")));
    const fixtures::Pcm pcm = fixtures::decodeAll(out);
    const fixtures::Pcm source = fixtures::decodeAll(fixtures::path("tone.wav"), 1.0);
    ASSERT_GT(rms(source, 0.0, kWindow), 10000.0);
    for (const double at : {0.0, 0.5, 2.0 - kWindow, 3.5, 4.0 - kWindow}) {
        SCOPED_TRACE(at);
        EXPECT_NEAR(rms(pcm, at, kWindow), rms(source, at, kWindow), 1.0);
    }
}

TEST_F(VyConverterTest, TheVolumeIsAWholePercentCutTowardZero)
{
    // PCM output is exact: a volume that acts as 100 gives the source's samples back.
    const fixtures::Pcm source = fixtures::decodeAll(fixtures::path("tone.wav"), 1.0);
    const auto makeAt = [this](double volume) {
        const std::string out = m_dir.file("volume-" + std::to_string(volume) + ".wav");
        VyConverter converter;
        EXPECT_TRUE(convert(converter, fixtures::path("tone.wav"), out, part(1.0, 4.0, volume), {},
                            QStringLiteral("WAVE")));
        EXPECT_EQ(code(converter.encodeParam().dwFourCC), "WAV ");
        EXPECT_EQ(code(converter.encodeParam().audio.dwFourCC), "PCM ");
        return fixtures::decodeAll(out);
    };
    const fixtures::Pcm at100point9 = makeAt(100.9);
    ASSERT_EQ(at100point9.channels, 2);
    EXPECT_NEAR(double(at100point9.frames()), 4.0 * 44100, 1.0);
    const size_t n = std::min(at100point9.samples.size(), source.samples.size());
    ASSERT_GT(n, size_t(44100));
    EXPECT_TRUE(std::equal(at100point9.samples.begin(), at100point9.samples.begin() + long(n), source.samples.begin()));

    const fixtures::Pcm at101 = makeAt(101.0);
    ASSERT_GE(at101.samples.size(), n);
    EXPECT_FALSE(std::equal(at101.samples.begin(), at101.samples.begin() + long(n), source.samples.begin()));

    EXPECT_TRUE(makeAt(99.9).samples == makeAt(99.0).samples);
}

TEST_F(VyConverterTest, TheVolumeScalesTheLevel)
{
    const auto levelAt = [this](int volume) {
        const std::string out = m_dir.file("level-" + std::to_string(volume) + ".m4r");
        VyConverter converter;
        EXPECT_TRUE(convert(converter, fixtures::path("tone.wav"), out, part(1.0, 5.0, volume)));
        return rms(fixtures::decodeAll(out), 1.0, 3.0);
    };
    const double unchanged = levelAt(100);
    ASSERT_GT(unchanged, 10000.0);
    EXPECT_NEAR(levelAt(50) / unchanged, 0.5, 0.025);
    EXPECT_NEAR(levelAt(200) / unchanged, 2.0, 0.1);
    EXPECT_LT(levelAt(0), 1.0);
}

TEST_F(VyConverterTest, FormatNamesChooseTheContainerAndCodec)
{
    const struct {
        QString name;
        const char* container;
        const char* codec;
        const char* probedFormat;
        const char* file;
    } cases[] = {
        {QStringLiteral("WAVE"), "WAV ", "PCM ", "wav", "a.wav"},
        {QStringLiteral("MP3"), "PM3 ", "PM3 ", "mp3", "b.mp3"},
        {QStringLiteral("m4r"), "PM3 ", "PM3 ", "mp3", "c.mp3"}, // names are exact: only "M4R" is a ringtone
        {QString(), "PM3 ", "PM3 ", "mp3", "d.mp3"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name.toStdString());
        const std::string out = m_dir.file(c.file);
        VyConverter converter;
        ASSERT_TRUE(convert(converter, fixtures::path("tone.wav"), out, part(0.0, 3.0), {}, c.name));
        EXPECT_EQ(code(converter.encodeParam().dwFourCC), c.container);
        EXPECT_EQ(code(converter.encodeParam().audio.dwFourCC), c.codec);
        const Probe p = probe(out);
        EXPECT_EQ(p.format, c.probedFormat);
        EXPECT_EQ(p.audioStreams, 1);
        EXPECT_NEAR(double(fixtures::decodeAll(out).frames()), 3.0 * 44100, 2048.0);
    }
}

TEST_F(VyConverterTest, KeepingTheSourceFormatGivesAacAPhoneTakes)
{
    const std::string flac = m_dir.file("hires.flac");
    ASSERT_TRUE(makeTone(flac, 96000, 2, 6.0, {QStringLiteral("-c:a"), QStringLiteral("flac")}));
    const std::string surround = m_dir.file("surround.m4a");
    ASSERT_TRUE(makeTone(surround, 48000, 6, 6.0, {QStringLiteral("-c:a"), QStringLiteral("aac")}));
    const struct {
        std::string source;
        int sourceRate;
        int sourceChannels;
    } cases[] = {{flac, 96000, 2}, {surround, 48000, 6}, {fixtures::path("tone.wav"), 44100, 2}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.source);
        const std::string out = m_dir.file("kept.m4r");
        VyConverter converter;
        ASSERT_TRUE(convert(converter, c.source, out, part(0.5, 5.0)));
        // The source's own values are asked for; the encoder brings them within reach.
        EXPECT_EQ(converter.encodeParam().audio.nSampleRate, c.sourceRate);
        EXPECT_EQ(converter.encodeParam().audio.nChannels, c.sourceChannels);
        const Probe p = probe(out);
        EXPECT_EQ(majorBrand(out), "M4A ");
        EXPECT_EQ(p.audio.codecName, "aac");
        EXPECT_GE(p.audio.sampleRate, 8000);
        EXPECT_LE(p.audio.sampleRate, 48000);
        EXPECT_EQ(p.audio.channels, 2);
        const fixtures::Pcm pcm = fixtures::decodeAll(out);
        ASSERT_GT(pcm.sampleRate, 0);
        EXPECT_NEAR(double(pcm.frames()), 5.0 * pcm.sampleRate, 1024.0);
        EXPECT_GT(rms(pcm, 2.0, 1.0), 5000.0);
    }
}

TEST_F(VyConverterTest, CuttingAVideoKeepsItsPictureAndSound)
{
    const std::string out = m_dir.file("cut.mov");
    VyConverter converter;
    ASSERT_EQ(converter.cutFile(q(fixtures::path("video.mp4")), q(out), 0.5, 2.0), 1U);
    EXPECT_FALSE(converter.isEncoding());
    EXPECT_EQ(code(converter.encodeParam().dwFourCC), "MOV ");
    EXPECT_EQ(code(converter.encodeParam().video.dwFourCC), "Xvid");
    EXPECT_EQ(code(converter.encodeParam().audio.dwFourCC), "AAC ");
    const Probe p = probe(out);
    EXPECT_EQ(majorBrand(out), "qt  ");
    EXPECT_EQ(p.videoStreams, 1);
    EXPECT_EQ(p.video.width, 160);
    EXPECT_EQ(p.video.height, 120);
    EXPECT_NEAR(p.video.duration, 2.0, 0.1);
    EXPECT_EQ(p.audioStreams, 1);
    EXPECT_EQ(p.audio.codecName, "aac");
    EXPECT_NEAR(double(fixtures::decodeAll(out).frames()), 2.0 * 44100, 1024.0);
}

TEST_F(VyConverterTest, CuttingAnAudioFileGivesAnAudioOnlyMov)
{
    const std::string out = m_dir.file("cut.mov");
    VyConverter converter;
    ASSERT_EQ(converter.cutFile(q(fixtures::path("tone.mp3")), q(out), 1.0, 3.0), 1U);
    EXPECT_FALSE(converter.isEncoding());
    const Probe p = probe(out);
    EXPECT_EQ(majorBrand(out), "qt  ");
    EXPECT_EQ(p.videoStreams, 0);
    EXPECT_EQ(p.audioStreams, 1);
    EXPECT_EQ(p.audio.codecName, "aac");
    const fixtures::Pcm pcm = fixtures::decodeAll(out);
    EXPECT_NEAR(double(pcm.frames()), 3.0 * 44100, 1024.0);
    // Left stays left: the 440 Hz tone, not the 660 Hz one.
    EXPECT_NEAR(fixtures::zeroCrossings(pcm, 0, 22050, 44100), 880, 20);
}

TEST_F(VyConverterTest, CuttingTakesTheSourceAudioFormatOnlyWithoutAudioParameters)
{
    const EncodeParam defaults = encoderDefaults();
    {
        VyConverter converter;
        converter.setAudioParm(audioParameters(22050, 1, 64000));
        ASSERT_EQ(converter.cutFile(q(fixtures::path("tone-48k.wav")), q(m_dir.file("a.mov")), 0.0, 2.0), 1U);
        EXPECT_EQ(converter.encodeParam().audio.nSampleRate, defaults.audio.nSampleRate);
        EXPECT_EQ(converter.encodeParam().audio.nChannels, defaults.audio.nChannels);
        EXPECT_EQ(converter.encodeParam().audio.nBitrate, defaults.audio.nBitrate);
    }
    {
        VyConverter converter;
        ASSERT_EQ(converter.cutFile(q(fixtures::path("mono-48k.wav")), q(m_dir.file("b.mov")), 0.0, 2.0), 1U);
        EXPECT_EQ(converter.encodeParam().audio.nSampleRate, 48000);
        EXPECT_EQ(converter.encodeParam().audio.nChannels, 1);
        EXPECT_EQ(probe(m_dir.file("b.mov")).audio.sampleRate, 48000);
    }
}

TEST_F(VyConverterTest, AnUnusableSourceFailsWithNothingWritten)
{
    const std::string sources = m_dir.file("in");
    const std::string outputs = m_dir.file("out");
    std::filesystem::create_directories(sources);
    std::filesystem::create_directories(outputs);
    fixtures::writeFile(sources + "/random.mp3", fixtures::randomBytes(64 * 1024, 7));
    fixtures::writeFile(sources + "/empty.m4a", "");
    const std::string candidates[] = {sources + "/random.mp3", sources + "/empty.m4a", sources + "/missing.wav",
                                      fixtures::path("video-silent.mp4")};
    for (const std::string& source : candidates) {
        for (const bool withParameters : {false, true}) {
            SCOPED_TRACE(source + (withParameters ? " with audio parameters" : " keeping the source format"));
            VyConverter converter;
            if (withParameters)
                converter.setAudioParm(audioParameters(44100, 2, 128000));
            EXPECT_FALSE(convert(converter, source, outputs + "/ring.m4r", part(0.0, 5.0)));
            EXPECT_EQ(converter.cutFile(q(source), q(outputs + "/cut.mov"), 0.0, 5.0), 0U);
            EXPECT_FALSE(converter.isEncoding());
            EXPECT_EQ(entries(outputs), QStringList());
        }
    }
}

TEST_F(VyConverterTest, AnUnwritableOutputFailsAndLeavesNothingBehind)
{
    // Permissions do not stop root, so the folders are made unusable instead.
    fixtures::writeFile(m_dir.file("plain-file"), "not a folder");
    const QStringList before = entries(m_dir.path());
    const std::string targets[] = {m_dir.file("no-such-folder/ring.m4r"), m_dir.file("plain-file/ring.m4r")};
    for (const std::string& target : targets) {
        SCOPED_TRACE(target);
        VyConverter converter;
        EXPECT_FALSE(convert(converter, fixtures::path("tone.wav"), target, part(0.0, 5.0)));
        EXPECT_EQ(converter.cutFile(q(fixtures::path("tone.wav")), q(target), 0.0, 5.0), 0U);
        EXPECT_FALSE(converter.isEncoding());
        EXPECT_EQ(entries(m_dir.path()), before);
    }
    QFile plain(q(m_dir.file("plain-file")));
    ASSERT_TRUE(plain.open(QIODevice::ReadOnly));
    EXPECT_EQ(plain.readAll(), QByteArray("not a folder"));
}

TEST_F(VyConverterTest, AnOutputThatCannotBePutInPlaceIsAFailure)
{
    // The encode starts and runs, but the finished file cannot take the place of a
    // folder: only the wait tells.
    const std::string taken = m_dir.file("ring.m4r");
    std::filesystem::create_directories(taken);
    fixtures::writeFile(taken + "/keep", "x");
    VyConverter converter;
    EXPECT_FALSE(convert(converter, fixtures::path("tone.wav"), taken, part(0.0, 5.0)));
    EXPECT_EQ(converter.cutFile(q(fixtures::path("tone.wav")), q(taken), 0.0, 5.0), 0U);
    EXPECT_FALSE(converter.isEncoding());
    EXPECT_EQ(entries(m_dir.path()), QStringList {QStringLiteral("ring.m4r")});
    EXPECT_EQ(entries(taken), QStringList {QStringLiteral("keep")});
}

TEST_F(VyConverterTest, AReplacedOutputIsTheNewRingtone)
{
    // The save flow writes over a ringtone of the same name.
    const std::string out = m_dir.file("ring.m4r");
    fixtures::writeFile(out, "an older ringtone");
    VyConverter converter;
    ASSERT_TRUE(convert(converter, fixtures::path("tone.wav"), out, part(0.0, 5.0)));
    EXPECT_EQ(probe(out).audio.codecName, "aac");
    EXPECT_EQ(entries(m_dir.path()), QStringList {QStringLiteral("ring.m4r")});
}

} // namespace
