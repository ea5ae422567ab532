#include "media/encoderlib.h"
#include "media/utfconvert.h"
#include "media/vyrtmediafiledecoder.h"
#include "support/fixtures.h"
#include "support/referencepcm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>

namespace {

using fixtures::Sources;

EncodeParam params(const char (&container)[5], const char (&codec)[5])
{
    EncodeParam p;
    InitEncParam(&p);
    p.dwFourCC = fourCC(container);
    p.audio.dwFourCC = fourCC(codec);
    p.bVideoDisable = 1;
    return p;
}

// Encodes `length` seconds from `start`; the EncStart and EncWait results.
std::pair<int, int> encode(const Sources& s, const EncodeParam& p, const std::string& out, double start, double length)
{
    Encoder encoder = EncCreate(s.video, s.audio);
    EncSetOutputFile(encoder, WidePath(out));
    EncSetEncodeParam(encoder, &p);
    const int started = EncStart(encoder, start, length, 0, 0, 0);
    const int waited = started == 0 ? EncWait(encoder, 0xFFFFFFFF) : -1;
    EncDestroy(encoder);
    return { started, waited };
}

std::string firstBytes(const std::string& file, size_t count)
{
    std::ifstream in(file, std::ios::binary);
    std::string bytes(count, '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(count));
    return bytes;
}

size_t entries(const std::string& folder)
{
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder), {}));
}

class EncoderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        DecMgrInit();
        FCInitPlugins();
    }
    fixtures::ScratchDir dir;
};

TEST_F(EncoderTest, RingtoneIsAacInAnM4aFileStartingAtTheFirstSample)
{
    const Sources s(fixtures::path("tone.wav"));
    const std::string out = dir.file("ring.m4r");
    EXPECT_EQ(encode(s, params("M4A ", "AAC "), out, 1.0, 3.0), std::make_pair(0, 0));
    EXPECT_EQ(firstBytes(out, 12).substr(4, 8), "ftypM4A ");

    MediaFileInfoPtr info = VyRTMediaFileDecoder::getMediaFileInfo(out);
    ASSERT_TRUE(info);
    ASSERT_NE(info->programs[0].audioStream, nullptr);
    EXPECT_EQ(info->programs[0].audioStream->codecName, "aac");
    EXPECT_EQ(info->programs[0].audioStream->sampleRate, 44100);
    EXPECT_NEAR(info->programs[0].audioStream->bitRate, 128000, 16000);

    const fixtures::Pcm pcm = fixtures::decodeAll(out);
    EXPECT_NEAR(static_cast<double>(pcm.frames()), 3.0 * 44100, 1024);
    // The encoder's priming samples are declared, so sound starts at once.
    EXPECT_GT(fixtures::rms(pcm, 0.0, 0.01, -1), 9000.0 / 32768);
    EXPECT_NEAR(fixtures::zeroCrossings(pcm, 0, 0, 44100), 880, 6);
    EXPECT_NEAR(fixtures::zeroCrossings(pcm, 1, 0, 44100), 1320, 6);
}

// A part cut from a compressed file starts with its own sound, not with the silence and
// ramp of a decoder that lost its state: from the file's start and from mid-file.
TEST_F(EncoderTest, PartsOfCompressedFilesHoldTheirSamplesFromTheFirstOne)
{
    for (const auto& [name, rate] : { std::pair { "music-22k-vbr.mp3", 22050 }, std::pair { "music.m4a", 44100 } }) {
        const std::vector<int16_t> reference = fixtures::referencePcm(name);
        EncodeParam wav = params("WAV ", "PCM ");
        wav.audio.nSampleRate = rate; // the source's own: nothing resampled
        for (const double start : { 0.0, 30.0 }) {
            SCOPED_TRACE(std::string(name) + " from " + std::to_string(start));
            const Sources s(fixtures::path(name));
            const std::string out = dir.file("part.wav");
            ASSERT_EQ(encode(s, wav, out, start, 1.0), std::make_pair(0, 0));
            const fixtures::Pcm part = fixtures::decodeAll(out);
            ASSERT_EQ(part.sampleRate, rate);
            ASSERT_EQ(part.frames(), static_cast<size_t>(rate));
            const size_t offset = static_cast<size_t>(std::llround(start * part.sampleRate)) * 2;
            const fixtures::Difference d = fixtures::compareWithReference(part.samples, reference, offset);
            ASSERT_TRUE(d.fits);
            EXPECT_LE(d.worst, 2) << "at " << (d.where / 2) * 1000.0 / part.sampleRate << " ms into the part";
        }
    }
}

TEST_F(EncoderTest, StoppedEncodeLeavesNoFileBehind)
{
    // An hour of silence, stopped soon after it starts.
    const std::string hour = dir.file("hour.wav");
    fixtures::writeSilentWav(hour, 44100, 2, 3600);
    fixtures::ScratchDir outDir;

    const Sources s(hour);
    const EncodeParam p = params("M4A ", "AAC ");
    Encoder encoder = EncCreate(nullptr, s.audio);
    EncSetOutputFile(encoder, WidePath(outDir.file("long.m4r")));
    EncSetEncodeParam(encoder, &p);
    ASSERT_EQ(EncStart(encoder, 0.0, 3000.0, 0, 0, 0), 0);
    EXPECT_EQ(entries(outDir.path()), 1u); // the temporary file, never the final name
    EXPECT_FALSE(std::filesystem::exists(outDir.file("long.m4r")));
    EXPECT_EQ(EncWait(encoder, 10), 1); // still running
    EncDestroy(encoder);
    EXPECT_EQ(entries(outDir.path()), 0u);
}

} // namespace
