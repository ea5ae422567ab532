#include "core/convert/vyconverter.h"
#include "media/decoderlib.h"
#include "media/encoderlib.h"
#include "support/fixtures.h"
#include "support/mediaprobe.h"
#include "support/qtfixtures.h"

#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

QVariantMap part(double start, double length, double volume = 100)
{
    return { { ConvertKey::ConverteStartTime, start }, { ConvertKey::ConverteLength, length },
        { ConvertKey::ConverteOutputVolume, volume } };
}

QVariantMap fades(double inStart, double inLength, double outStart, double outLength)
{
    return { { ConvertKey::FadeInStartTime, inStart }, { ConvertKey::FadeInLength, inLength },
        { ConvertKey::FadeOutStartTime, outStart }, { ConvertKey::FadeOutLength, outLength } };
}

QVariantMap audioParameters(int sampleRate, int channels, int bitRate)
{
    return { { ConvertKey::SampleRate, sampleRate }, { ConvertKey::Channels, channels },
        { ConvertKey::BitRate, bitRate } };
}

// A steady 440 Hz tone at amplitude 0.5 in the given format, made by ffmpeg.
bool makeTone(const std::string& path, int sampleRate, int channels, const QString& codec)
{
    return runFfmpeg({ u"-f"_s, u"lavfi"_s, u"-i"_s, u"aevalsrc=exprs=0.5*sin(2*PI*440*t):s=%1:d=6"_s.arg(sampleRate),
        u"-ac"_s, QString::number(channels), u"-c:a"_s, codec, q(path) });
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
        const QVariantMap& attributes, const QVariantMap& effect = {}, const QString& format = u"M4R"_s)
    {
        const bool made = converter.converte(q(source), format, q(out), attributes, effect);
        EXPECT_FALSE(converter.isEncoding());
        return made;
    }

    fixtures::ScratchDir m_dir;
};

// Without audio parameters the source's own format is asked for, and the encoder brings it
// within what a phone takes (at most 48 kHz, two channels, 330 kbit/s); audio parameters win
// over the source's format.
TEST_F(VyConverterTest, TheRingtoneIsAacInTheAudioParametersOrTheSourceFormatAndReplacesAnOlderOne)
{
    const std::string mono = m_dir.file("mono-22k.wav");
    ASSERT_TRUE(makeTone(mono, 22050, 1, u"pcm_s16le"_s));
    const std::string flac = m_dir.file("hires.flac");
    ASSERT_TRUE(makeTone(flac, 96000, 2, u"flac"_s));
    const std::string surround = m_dir.file("surround.m4a");
    ASSERT_TRUE(makeTone(surround, 48000, 6, u"aac"_s));
    // Source, part start and length (the ringtone lasts as long), whether audio parameters are
    // set (44100 Hz, stereo, 128 kbit/s), and the ringtone's lowest and highest rate and channels.
    const std::tuple<std::string, double, double, bool, int, int, int> cases[] = {
        { mono, 1.0, 4.5, false, 22050, 22050, 1 },
        { flac, 0.5, 5.0, false, 8000, 48000, 2 },
        { surround, 0.5, 5.0, false, 8000, 48000, 2 },
        { fixtures::path("tone.mp3"), 0.25, 5.5, false, 44100, 44100, 2 },
        { fixtures::path("tone-48k.wav"), 0.0, 4.0, false, 48000, 48000, 2 },
        { fixtures::path("mono-48k.wav"), 0.0, 2.5, true, 44100, 44100, 2 },
    };
    const std::string out = m_dir.file("ring.m4r");
    for (const auto& [source, start, length, withParameters, minRate, maxRate, channels] : cases) {
        SCOPED_TRACE(source + (withParameters ? " with audio parameters" : ""));
        fixtures::writeFile(out, "an older ringtone"); // the save flow writes over a ringtone of the same name
        VyConverter converter;
        if (withParameters)
            converter.setAudioParm(audioParameters(44100, 2, 128000));
        ASSERT_TRUE(convert(converter, source, out, part(start, length)));
        EXPECT_EQ(entries(q(m_dir.path())),
            (QStringList { u"hires.flac"_s, u"mono-22k.wav"_s, u"ring.m4r"_s, u"surround.m4a"_s }));
        const Probe p = probe(out);
        EXPECT_EQ(majorBrand(out), "M4A ");
        EXPECT_EQ(p.videoStreams, 0);
        EXPECT_EQ(p.audio.codecName, "aac");
        EXPECT_GE(p.audio.sampleRate, minRate);
        EXPECT_LE(p.audio.sampleRate, maxRate);
        EXPECT_EQ(p.audio.channels, channels);
        EXPECT_LE(p.audio.bitRate, 330000); // a hi-res source's rate is brought down too
        EXPECT_NEAR(double(fixtures::decodeAll(out).frames()), length * p.audio.sampleRate, 1024.0);
    }
}

// The ramps' shape is the processor's to pin; here that the converter hands the fades on.
TEST_F(VyConverterTest, FadesRampFromSilenceToFullAndBack)
{
    // 0.5-5.5 s of the tone; 2 s fade-in from the part's start, 2 s fade-out to its end.
    const std::string out = m_dir.file("faded.m4r");
    VyConverter converter;
    ASSERT_TRUE(convert(converter, fixtures::path("tone.wav"), out, part(0.5, 5.0), fades(0.5, 2.0, 3.5, 2.0)));
    const fixtures::Pcm pcm = fixtures::decodeAll(out);
    ASSERT_EQ(pcm.sampleRate, 44100);
    const double full = fixtures::rms(pcm, 2.4, kWindow, -1); // between the fades
    ASSERT_GT(full, 0.3); // amplitude 0.5: about 0.354
    EXPECT_LT(fixtures::rms(pcm, 0.0, kWindow, -1), 0.05 * full);
    EXPECT_NEAR(fixtures::rms(pcm, 1.0 - kWindow / 2, kWindow, -1), 0.5 * full, 0.08 * full);
    EXPECT_NEAR(fixtures::rms(pcm, 4.0 - kWindow / 2, kWindow, -1), 0.5 * full, 0.08 * full);
    EXPECT_LT(fixtures::rms(pcm, 5.0 - kWindow, kWindow, -1), 0.05 * full);
}

// PCM output is exact: a volume that acts as 100 without any fade gives the source's samples back,
// and a fraction of a percent is cut off, toward zero. How a volume scales is the processor's.
TEST_F(VyConverterTest, TheVolumeIsAWholePercentAndFadeLengthsOfZeroDoNothing)
{
    const fixtures::Pcm source = fixtures::decodeAll(fixtures::path("tone.wav"), 1.0);
    const auto makeAt = [this](double volume, const QVariantMap& effect = {}) {
        const std::string out = m_dir.file("volume-" + std::to_string(volume) + ".wav");
        VyConverter converter;
        EXPECT_TRUE(convert(converter, fixtures::path("tone.wav"), out, part(1.0, 4.0, volume), effect, u"WAVE"_s));
        const fixtures::Pcm pcm = fixtures::decodeAll(out);
        EXPECT_EQ(pcm.channels, 2);
        EXPECT_NEAR(double(pcm.frames()), 4.0 * 44100, 1.0);
        return pcm;
    };
    const auto isSource = [&](const fixtures::Pcm& pcm) {
        const size_t n = std::min(pcm.samples.size(), source.samples.size());
        return std::equal(pcm.samples.begin(), pcm.samples.begin() + long(n), source.samples.begin());
    };
    EXPECT_TRUE(isSource(makeAt(100.9)));
    EXPECT_FALSE(isSource(makeAt(101.0)));
    EXPECT_TRUE(makeAt(99.9).samples == makeAt(99.0).samples);
    // Fade starts inside the part but no lengths: no fade may act, not even from those starts.
    EXPECT_TRUE(isSource(makeAt(100.0, fades(1.0, 0.0, 3.0, 0.0))));
}

TEST_F(VyConverterTest, FormatNamesChooseTheContainerAndCodec)
{
    const std::tuple<QString, const char*, const char*> cases[] = {
        { u"MP3"_s, "mp3", "b.mp3" },
        { u"m4r"_s, "mp3", "c.mp3" }, // names are exact: only "M4R" is a ringtone
        { QString(), "mp3", "d.mp3" },
    };
    for (const auto& [name, probedFormat, file] : cases) {
        SCOPED_TRACE(name.toStdString());
        const std::string out = m_dir.file(file);
        VyConverter converter;
        ASSERT_TRUE(convert(converter, fixtures::path("tone.wav"), out, part(0.0, 3.0), {}, name));
        const Probe p = probe(out);
        EXPECT_EQ(p.format, probedFormat);
        EXPECT_EQ(p.audioStreams, 1);
        EXPECT_NEAR(double(fixtures::decodeAll(out).frames()), 3.0 * 44100, 2048.0);
    }
}

// A cut is a MOV with the source's picture, if any, and AAC sound, whatever the destination's
// extension; it takes the source's audio format and ignores the audio parameters.
TEST_F(VyConverterTest, CuttingGivesAMovInTheSourceAudioFormat)
{
    EncodeParam defaults {};
    InitEncParam(&defaults);
    // Source, destination name, part start and length, whether audio parameters are set
    // (22050 Hz, mono, 64 kbit/s), and the cut's rate, channels and picture streams.
    const std::tuple<const char*, const char*, double, double, bool, int, int, int> cases[] = {
        { "video.mp4", "video.mov", 0.5, 2.0, false, 44100, 2, 1 },
        { "tone.mp3", "tone.mov", 1.0, 3.0, false, 44100, 2, 0 },
        { "tone.mp3", "named-as-mp3.mp3", 1.0, 3.0, false, 44100, 2, 0 },
        { "video.mp4", "named-as-m4a.m4a", 0.5, 2.0, false, 44100, 2, 1 },
        { "mono-48k.wav", "mono.mov", 0.0, 2.0, false, 48000, 1, 0 },
        { "tone-48k.wav", "tone-48k.mov", 0.0, 2.0, true, defaults.audio.nSampleRate, defaults.audio.nChannels, 0 },
    };
    for (const auto& [source, dest, start, length, withParameters, rate, channels, videoStreams] : cases) {
        SCOPED_TRACE(std::string(source) + " to " + dest);
        const std::string out = m_dir.file(dest);
        VyConverter converter;
        if (withParameters)
            converter.setAudioParm(audioParameters(22050, 1, 64000));
        ASSERT_EQ(converter.cutFile(fixture(source), q(out), start, length), 1U);
        EXPECT_FALSE(converter.isEncoding());
        const Probe p = probe(out);
        EXPECT_EQ(majorBrand(out), "qt  ");
        EXPECT_EQ(p.audioStreams, 1);
        EXPECT_EQ(p.audio.codecName, "aac");
        EXPECT_EQ(p.audio.sampleRate, rate);
        EXPECT_EQ(p.audio.channels, channels);
        EXPECT_NEAR(double(fixtures::decodeAll(out).frames()), length * rate, 1024.0);
        EXPECT_EQ(p.videoStreams, videoStreams);
        if (videoStreams == 1) {
            EXPECT_EQ(p.video.width, 160);
            EXPECT_EQ(p.video.height, 120);
            EXPECT_NEAR(p.video.duration, 2.0, 0.1);
        }
    }
}

TEST_F(VyConverterTest, AnUnusableSourceOrOutputFailsAndLeavesNothingBehind)
{
    fixtures::writeFile(m_dir.file("random.mp3"), fixtures::randomBytes(64 * 1024, 7));
    // Permissions do not stop root, so the output folders are made unusable instead. A folder in
    // the output's place lets the encode start and run: only the wait tells.
    fixtures::writeFile(m_dir.file("plain-file"), "not a folder");
    const std::string taken = m_dir.file("taken.m4r");
    std::filesystem::create_directories(taken);
    fixtures::writeFile(taken + "/keep", "x");
    const QStringList before = entries(q(m_dir.path()));
    const std::string tone = fixtures::path("tone.wav");
    const std::string out = m_dir.file("out.m4r");
    const std::pair<std::string, std::string> cases[] = { { m_dir.file("random.mp3"), out },
        { m_dir.file("missing.wav"), out }, { fixtures::path("video-silent.mp4"), out },
        { tone, m_dir.file("no-such-folder/ring.m4r") }, { tone, m_dir.file("plain-file/ring.m4r") }, { tone, taken },
        { tone, m_dir.file(std::string(600, 'n')) } };
    for (const auto& [source, target] : cases) {
        for (const bool withParameters : { false, true }) {
            SCOPED_TRACE(source + " to " + target + (withParameters ? " with audio parameters" : ""));
            VyConverter converter;
            if (withParameters)
                converter.setAudioParm(audioParameters(44100, 2, 128000));
            EXPECT_FALSE(convert(converter, source, target, part(0.0, 5.0)));
            EXPECT_EQ(converter.cutFile(q(source), q(target), 0.0, 5.0), 0U);
            EXPECT_FALSE(converter.isEncoding());
            EXPECT_EQ(entries(q(m_dir.path())), before);
        }
    }
    EXPECT_EQ(entries(q(taken)), QStringList { u"keep"_s });
    EXPECT_EQ(readBytes(q(m_dir.file("plain-file"))), QByteArray("not a folder"));
}

} // namespace
