#include "media/decoderlib.h"
#include "media/utfconvert.h"
#include "media/vyrtmediafiledecoder.h"
#include "media/yuvconvert.h"
#include "support/fixtures.h"
#include "support/referencepcm.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <fstream>
#include <iterator>
#include <thread>
#include <tuple>

using fixtures::Pcm;

namespace {

class DecoderTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { DecMgrInit(); }
};

// The samples of a 16-bit WAV file as written, read without FFmpeg.
std::vector<int16_t> wavSamples(const std::string& file)
{
    std::ifstream in(file, std::ios::binary);
    std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    size_t pos = 12;
    while (pos + 8 <= bytes.size()) {
        uint32_t size = 0;
        std::memcpy(&size, bytes.data() + pos + 4, 4);
        if (bytes.compare(pos, 4, "data") == 0) {
            std::vector<int16_t> samples(size / 2);
            std::memcpy(samples.data(), bytes.data() + pos + 8, samples.size() * 2);
            return samples;
        }
        pos += 8 + size + (size & 1);
    }
    return {};
}

TEST_F(DecoderTest, ProbeReportsDurationStreamsAndAudioFormat)
{
    // Name, duration, audio and video streams.
    for (const auto& [name, duration, audio, video] :
        { std::tuple { "tone.wav", 6.0, 1, 0 }, { "tone.mp3", 6.0, 1, 0 }, { "tagged.mp3", 6.0, 1, 0 },
            { "tagged.m4a", 6.0, 1, 0 }, { "tone.flac", 6.0, 1, 0 }, { "tone.ogg", 6.0, 1, 0 },
            { "video.mp4", 3.0, 1, 1 }, { "video-silent.mp4", 3.0, 0, 1 }, { "short.wav", 0.9, 1, 0 } }) {
        SCOPED_TRACE(name);
        MediaFileInfoPtr info = VyRTMediaFileDecoder::getMediaFileInfo(fixtures::path(name));
        ASSERT_TRUE(info);
        EXPECT_NEAR(info->duration, duration, 0.06);
        ASSERT_EQ(info->programCount, 1);
        EXPECT_EQ(info->programs[0].audioStreamCount, audio);
        EXPECT_EQ(info->programs[0].videoStreamCount, video);
        ASSERT_NE(info->programs[0].firstStream, nullptr);
        EXPECT_NEAR(info->programs[0].firstStream->duration, duration, 0.1);
        if (audio > 0) {
            const VyStreamInfo* audio = info->programs[0].audioStream;
            ASSERT_NE(audio, nullptr);
            EXPECT_EQ(audio->sampleRate, 44100);
            EXPECT_EQ(audio->channels, 2);
        }
    }
    // A cover picture is listed as a stream but never counted as video.
    MediaFileInfoPtr tagged = VyRTMediaFileDecoder::getMediaFileInfo(fixtures::path("tagged.mp3"));
    ASSERT_TRUE(tagged);
    EXPECT_EQ(tagged->streams.size(), 2u);
    EXPECT_GT(tagged->programs[0].audioStream->bitRate, 100000);
}

// Decoding from any start gives the samples one plain decode of the whole file gives
// there (for a WAV file, exactly the samples on disk): the encoder's delay skipped at the
// file's start, nothing missing or ramping up after a seek. One decoder per file goes
// through the starts in order, so the seeks back to the start (fresh, then after use) and
// near it are covered too.
TEST_F(DecoderTest, EveryStartGivesTheSamplesOfOneWholeFileDecode)
{
    constexpr double kStarts[] = { 0.0, 30.0, 17.3217, 0.0371, 0.0 };
    for (const auto& [name, rate] : { std::pair { "music-44k-cbr.mp3", 44100 }, { "music-44k-vbr.mp3", 44100 },
             { "music-22k-cbr.mp3", 22050 }, { "music-22k-vbr.mp3", 22050 }, { "music.m4a", 44100 },
             { "music.flac", 44100 }, { "music.opus", 48000 }, { "music.wav", 44100 } }) {
        SCOPED_TRACE(name);
        const std::vector<int16_t> reference = std::string_view(name).ends_with(".wav")
            ? wavSamples(fixtures::path(name))
            : fixtures::referencePcm(name);
        AudioDecoder decoder = ADecCreate(WidePath(fixtures::path(name)), 0, 0, 0);
        ASSERT_NE(decoder, nullptr);
        ASSERT_EQ(ADecGetAudioInfo(decoder)->sampleRate, rate);
        ASSERT_EQ(ADecGetAudioInfo(decoder)->channels, 2);
        for (size_t n = 0; n < std::size(kStarts); ++n) {
            const double start = kStarts[n];
            SCOPED_TRACE(start);
            ADecAudioSeek(decoder, start);
            // The whole file the first time, a second of it after each later start.
            const size_t wanted = n == 0 ? reference.size() : static_cast<size_t>(rate) * 2;
            std::vector<int16_t> ours;
            int64_t firstTimestampUs = -1;
            while (ours.size() < wanted) {
                const MEDIA_FRAME* frame = ADecGetNextAudioFrame(decoder);
                if (frame == nullptr || frame->audio.dataSize == 0)
                    break;
                if (firstTimestampUs < 0)
                    firstTimestampUs = frame->timestampUs;
                const auto* samples = reinterpret_cast<const int16_t*>(frame->audio.data);
                ours.insert(ours.end(), samples, samples + frame->audio.dataSize / 2);
            }
            const int64_t first = std::llround(start * rate);
            EXPECT_EQ(firstTimestampUs, std::llround(static_cast<double>(first) * 1e6 / rate));
            const size_t offset = static_cast<size_t>(first) * 2;
            if (n == 0)
                EXPECT_EQ(ours.size(), reference.size());
            else
                ours.resize(std::min(ours.size(), wanted));
            const fixtures::Difference d = fixtures::compareWithReference(ours, reference, offset);
            ASSERT_TRUE(d.fits);
            EXPECT_LE(d.worst, 2) << "at " << (d.where / 2) * 1000.0 / rate << " ms after the start";
        }
        ADecDestroy(decoder);
    }
}

TEST_F(DecoderTest, SeveralDecodersOnOneFileFromSeveralThreads)
{
    const Pcm reference = fixtures::decodeAll(fixtures::path("tone.mp3"));
    std::vector<Pcm> results(4);
    {
        std::vector<std::jthread> threads;
        for (auto& result : results)
            threads.emplace_back([&result] { result = fixtures::decodeAll(fixtures::path("tone.mp3")); });
    }
    for (const Pcm& pcm : results)
        EXPECT_EQ(pcm.samples, reference.samples);
}

TEST_F(DecoderTest, VideoPicturesAreYuv420AndSeekToTheRequestedTime)
{
    VideoDecoder decoder = VDecCreate(WidePath(fixtures::path("video.mp4")), 0, 0, 0);
    ASSERT_NE(decoder, nullptr);
    const VyVideoInfo* info = VDecGetVideoInfo(decoder);
    EXPECT_EQ(info->width, 160);
    EXPECT_EQ(info->height, 120);
    EXPECT_NEAR(info->frameRate, 25.0, 0.01);

    const MEDIA_FRAME* frame = VDecGetVideoFrame(decoder);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->kind, kMediaFrameVideo);
    EXPECT_EQ(frame->video.width, 160);
    EXPECT_GE(frame->video.strideY, 160);
    EXPECT_GE(frame->video.strideU, 80);
    EXPECT_EQ(frame->timestampUs, 0);

    VDecVideoSeek(decoder, 2.0, 1);
    frame = VDecGetVideoFrame(decoder);
    ASSERT_NE(frame, nullptr);
    EXPECT_EQ(frame->timestampUs, 2000000); // its pixels: the thumbnail's colour checks
    VDecDestroy(decoder);
}

// Its colours are the video thumbnail's checks; here a picture without pixels.
TEST_F(DecoderTest, YuvConversionRefusesAnEmptyPicture)
{
    std::vector<uint8_t> y(16 * 16), u(8 * 8), v(8 * 8);
    std::vector<uint32_t> pixels(16 * 16);
    EXPECT_FALSE(
        Yuv420_2_rgb32(0, 16, reinterpret_cast<uint8_t*>(pixels.data()), y.data(), u.data(), v.data(), 16, 8, 8));
}

TEST_F(DecoderTest, WrapperCreatesTheDecodersItsKindAsksFor)
{
    VyRTMediaFileDecoder audioOnly(fixtures::path("video.mp4"), VyRTMediaFileDecoder::AudioOnly);
    EXPECT_NE(audioOnly.getAudioInfo(), nullptr);
    EXPECT_EQ(audioOnly.getVideoInfo(), nullptr);
    EXPECT_EQ(audioOnly.getVideoFrame(), nullptr);

    VyRTMediaFileDecoder both(fixtures::path("video.mp4"), VyRTMediaFileDecoder::AudioAndVideo);
    EXPECT_NE(both.getVideoInfo(), nullptr);
    EXPECT_TRUE(both.setFilePathForDecoder(fixtures::path("video.mp4"), 2));
    // Kind 2 fails without a picture, although the sound decoder exists.
    EXPECT_FALSE(both.setFilePathForDecoder(fixtures::path("tone.mp3"), 2));
    EXPECT_NE(both.getAudioInfo(), nullptr);
    // Any other kind creates both and reports failure.
    EXPECT_FALSE(both.setFilePathForDecoder(fixtures::path("video.mp4"), 7));
    EXPECT_NE(both.getVideoInfo(), nullptr);

    VyRTMediaFileDecoder missing(fixtures::path("no-such-file.mp3"), 1);
    EXPECT_EQ(missing.getAudioInfo(), nullptr);
    EXPECT_EQ(missing.getNextAudioFrame(), nullptr);
    EXPECT_EQ(missing.audioSeek(1.0), 0.0);
    EXPECT_FALSE(missing.getMediaFileInfo());
}

} // namespace
