#include "media/audioprocesslib.h"
#include "media/utfconvert.h"
#include "support/fixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <thread>

namespace {

using fixtures::Pcm;
using fixtures::rms;

// Everything a processor over `file` delivers, from `seekTo` when not negative.
Pcm pull(const std::string& file, int rate, int channels, int volume = 100, const double* fades = nullptr,
    double seekTo = -1.0)
{
    Pcm p;
    const fixtures::Sources sources(file, rate, channels);
    AudioProcessor processor = sources.audio;
    if (processor == nullptr)
        return p;
    PCSetVolum(processor, volume);
    if (fades != nullptr)
        PCSetFadeInOutTime(processor, fades[0], fades[1], fades[2], fades[3]);
    if (seekTo >= 0.0)
        PCAudioSeek(processor, seekTo);
    p.sampleRate = PCAudioGetInfo(processor)->sampleRate;
    p.channels = PCAudioGetInfo(processor)->channels;
    while (const MEDIA_FRAME* frame = PCAudioGetNextFrame(processor)) {
        if (p.firstTimestampUs < 0)
            p.firstTimestampUs = frame->timestampUs;
        const auto* s = reinterpret_cast<const int16_t*>(frame->audio.data);
        p.samples.insert(p.samples.end(), s, s + frame->audio.dataSize / 2);
    }
    return p;
}

class AudioProcessTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { DecMgrInit(); }
};

TEST_F(AudioProcessTest, ZerosKeepTheSourceFormatAndTheSamples)
{
    const Pcm p = pull(fixtures::path("tone.wav"), 0, 0);
    EXPECT_EQ(p.sampleRate, 44100);
    EXPECT_EQ(p.channels, 2);
    EXPECT_EQ(p.samples, fixtures::decodeAll(fixtures::path("tone.wav")).samples);
    EXPECT_EQ(PCAudioCreate(nullptr, 0, 0, 0, 0), nullptr);
}

TEST_F(AudioProcessTest, ConvertsRateAndChannels)
{
    // Stereo 44.1 kHz to mono 22.05 kHz: half the samples, the tone still there.
    const Pcm mono = pull(fixtures::path("tone.wav"), 22050, 1);
    EXPECT_EQ(mono.sampleRate, 22050);
    EXPECT_EQ(mono.channels, 1);
    EXPECT_NEAR(static_cast<double>(mono.samples.size()), 6.0 * 22050, 64);
    // Mono 48 kHz up to stereo 44.1 kHz: both channels carry the tone.
    const Pcm stereo = pull(fixtures::path("mono-48k.wav"), 44100, 2);
    EXPECT_EQ(stereo.channels, 2);
    EXPECT_NEAR(static_cast<double>(stereo.samples.size()) / 2, 3.0 * 44100, 64);
    EXPECT_GT(std::min(rms(stereo, 1.0, 0.5, 0), rms(stereo, 1.0, 0.5, 1)), 0.15);
}

TEST_F(AudioProcessTest, VolumeScalesWithClipping)
{
    const double base = rms(pull(fixtures::path("tone.wav"), 0, 0), 1.0, 1.0);
    EXPECT_NEAR(rms(pull(fixtures::path("tone.wav"), 0, 0, 50), 1.0, 1.0), base / 2, base * 0.01);
    EXPECT_EQ(rms(pull(fixtures::path("tone.wav"), 0, 0, 0), 1.0, 1.0), 0.0);
    // 300 % of a half-scale tone clips at full scale.
    const Pcm loud = pull(fixtures::path("tone.wav"), 0, 0, 300);
    EXPECT_EQ(*std::max_element(loud.samples.begin(), loud.samples.end()), 32767);
    EXPECT_EQ(*std::min_element(loud.samples.begin(), loud.samples.end()), -32768);
}

TEST_F(AudioProcessTest, FadesAreLinearRampsOnTheSourceTimeline)
{
    const double fades[] = { 1.0, 2.0, 4.0, 1.0 }; // in from 1 s to 3 s, out from 4 s to 5 s
    const Pcm p = pull(fixtures::path("tone.wav"), 0, 0, 100, fades);
    const double full = rms(pull(fixtures::path("tone.wav"), 0, 0), 3.5, 0.02);
    EXPECT_EQ(rms(p, 0.5, 0.02), 0.0); // before the fade-in: silent
    EXPECT_NEAR(rms(p, 1.99, 0.02), full * 0.5, full * 0.03); // half-way up
    EXPECT_NEAR(rms(p, 3.5, 0.02), full, full * 0.01); // between the fades: untouched
    EXPECT_NEAR(rms(p, 4.49, 0.02), full * 0.5, full * 0.03); // half-way down
    EXPECT_EQ(rms(p, 5.5, 0.02), 0.0); // after the fade-out
}

TEST_F(AudioProcessTest, SeekLandsOnTheRequestedSampleAfterResampling)
{
    const Pcm p = pull(fixtures::path("tone.wav"), 0, 0, 100, nullptr, 2.5);
    EXPECT_EQ(p.firstTimestampUs, 2500000);
    EXPECT_EQ(p.samples.size(), static_cast<size_t>(3.5 * 44100 * 2));
    const Pcm resampled = pull(fixtures::path("tone.wav"), 48000, 2, 100, nullptr, 2.5);
    EXPECT_EQ(resampled.firstTimestampUs, 2500000);
    EXPECT_NEAR(static_cast<double>(resampled.samples.size()) / 2, 3.5 * 48000, 64);
}

TEST_F(AudioProcessTest, VolumeMayChangeWhileAnotherThreadPulls)
{
    const fixtures::Sources sources(fixtures::path("tone.flac"));
    AudioProcessor processor = sources.audio;
    ASSERT_NE(processor, nullptr);
    int frames = 0;
    std::jthread puller([processor, &frames] {
        while (PCAudioGetNextFrame(processor) != nullptr)
            ++frames;
    });
    for (int v = 0; v <= 200; v += 10) {
        PCSetVolum(processor, v);
        PCSetFadeInOutTime(processor, 0.0, v / 100.0, 5.0, 1.0);
    }
    puller.join();
    EXPECT_GT(frames, 50); // six seconds of FLAC, 4608 samples a frame
}

} // namespace
