#include "core/environment/editingstate.h"
#include "core/waveform/waveformdataengine.h"
#include "media/decoderlib.h"
#include "support/fixtures.h"
#include "support/qtfixtures.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <thread>
#include <tuple>

namespace {

// A buffer of `bytes` bytes of loud 16-bit samples, handed over as one decoder frame.
struct Buffer {
    Buffer(int rate, int channels, int bytes)
        : data(static_cast<size_t>(bytes), 0x40)
    {
        frame.audio = AudioFrame { rate, channels, 16, data.data(), bytes, bytes / (2 * channels) };
    }
    std::vector<uint8_t> data;
    MEDIA_FRAME frame {};
};

// The sample index a point's y stands for.
int64_t sampleOf(const WaveformDataEngine& engine, const SamplePoint& p)
{
    return std::lround(p.cgSampPoint.y / engine.dy()) - engine.canReachPeakValue();
}

class WaveformEngineTest : public ::testing::Test {
protected:
    void SetUp() override { gloableState()._pointClearance = 0.05; }
    void TearDown() override { GloableVar::resetGloableVariable(); }
};

// Point k is the sample of greatest magnitude, sign kept, first on a tie, among all
// channels' samples of frames floor(k rate / 200) .. floor((k + 1) rate / 200) - 1. A
// quiet background (never above 3) with a few loud samples placed per case; buffers of
// awkward sizes, so slices span buffers.
TEST_F(WaveformEngineTest, EachPointIsThePeakOfItsSlice)
{
    struct Sample {
        int frame;
        int channel;
        int value;
    };
    struct Case {
        const char* name;
        int rate;
        int channels;
        int frames;
        int buffer; // bytes per buffer handed over
        std::vector<Sample> placed;
        std::vector<std::pair<size_t, int>> expected; // point, its sample
    };
    const Case cases[] = {
        // 44.1 kHz: slices of 220 and 221 frames ([0, 220), [220, 441), [441, 661), ...).
        { "sign kept, any channel", 44100, 2, 44100, 4608, { { 100, 1, 900 }, { 300, 0, -1200 }, { 310, 1, 1100 } },
            { { 0, 900 }, { 1, -1200 }, { 2, -3 } } }, // point 2: background only, its -3 comes first
        { "first on a tie, across channels and buffers", 44100, 2, 44100, 1000,
            { { 10, 1, -700 }, { 200, 0, 700 }, { 230, 0, 500 }, { 260, 1, -500 }, { 661, 1, -32768 },
                { 700, 0, 32767 } },
            { { 0, -700 }, { 1, 500 }, { 3, -32768 } } },
        { "the last frame of a slice is its own, the next one the next slice's", 44100, 2, 44100, 882,
            { { 440, 1, 2000 }, { 441, 0, -3000 }, { 660, 0, 4000 } }, { { 1, 2000 }, { 2, 4000 }, { 3, 3 } } },
        { "5.1 at 48 kHz", 48000, 6, 48000, 6000, { { 239, 5, -9000 }, { 240, 3, 8000 }, { 480, 0, 1 } },
            { { 0, -9000 }, { 1, 8000 }, { 2, 3 } } },
        { "mono at 22.05 kHz, slices of 110 and 111 frames", 22050, 1, 22050, 300,
            { { 109, 0, 50 }, { 110, 0, -60 }, { 221, 0, -70 } }, { { 0, 50 }, { 1, -60 }, { 2, -70 } } },
        { "a last, short slice still makes a point", 48000, 2, 48000 + 100, 4000, { { 48050, 1, -4321 } },
            { { 200, -4321 } } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<int16_t> pcm(static_cast<size_t>(c.frames) * c.channels);
        for (size_t i = 0; i < pcm.size(); ++i)
            pcm[i] = static_cast<int16_t>(static_cast<int>(i % 7) - 3);
        for (const Sample& p : c.placed)
            pcm[static_cast<size_t>(p.frame) * c.channels + p.channel] = static_cast<int16_t>(p.value);

        WaveformDataEngine engine;
        ASSERT_TRUE(engine.prepare(16, c.rate, 65535.0f)); // dy 1: y is the sample plus 32767
        SampleBlock block;
        const auto* bytes = reinterpret_cast<uint8_t*>(pcm.data());
        const int total = static_cast<int>(pcm.size() * 2);
        for (int done = 0; done < total; done += c.buffer) {
            const int n = std::min(c.buffer, total - done);
            MEDIA_FRAME frame {};
            frame.audio = AudioFrame { c.rate, c.channels, 16, const_cast<uint8_t*>(bytes + done), n, 0 };
            engine.getSampleArray(&frame, n, block);
        }
        engine.finish(block);
        const int64_t points = (int64_t { c.frames } * 200 + c.rate - 1) / c.rate;
        ASSERT_EQ(block.sampleBlk().size(), static_cast<size_t>(points));
        for (const auto& [k, value] : c.expected) {
            EXPECT_EQ(sampleOf(engine, block.sampleBlk()[k]), value) << "point " << k;
            EXPECT_FLOAT_EQ(block.sampleBlk()[k].cgSampPoint.x, static_cast<float>(0.05 * static_cast<double>(k)));
        }
    }
}

// Buffers of an awkward size, so slices span them; an hour shows no drift either.
TEST_F(WaveformEngineTest, EveryRateGivesExactly200PointsASecond)
{
    for (const auto& [rate, channels, seconds] :
        { std::tuple { 48000, 2, 3600 }, { 32000, 2, 10 }, { 22050, 2, 10 }, { 11025, 1, 10 }, { 96000, 6, 10 } }) {
        SCOPED_TRACE(rate);
        WaveformDataEngine engine;
        ASSERT_TRUE(engine.prepare(16, rate, 100.0f));
        Buffer buffer(rate, channels, 2302 * channels);
        SampleBlock block;
        const int64_t total = int64_t { seconds } * rate * channels * 2;
        for (int64_t done = 0; done < total; done += buffer.frame.audio.dataSize)
            engine.getSampleArray(
                &buffer.frame, static_cast<int>(std::min<int64_t>(buffer.frame.audio.dataSize, total - done)), block);
        EXPECT_EQ(block.sampleBlk().size(), static_cast<size_t>(seconds) * 200);
    }
}

TEST_F(WaveformEngineTest, PointAtExactlyMidHeightIsSkippedAndLaterPointsMoveLeft)
{
    // 16-bit samples never land exactly at mid-height; 24-bit ones (read a byte at a
    // time) can, through float rounding. Find such a height for a sample byte of 0.
    WaveformDataEngine engine;
    float height = 0.0f;
    for (float h = 1.0f; h < 4096.0f && height == 0.0f; h += 0.25f) {
        engine.prepare(24, 48000, h);
        if (static_cast<double>(engine.dy() * static_cast<float>(engine.canReachPeakValue()))
            == static_cast<double>(h) / 2.0)
            height = h;
    }
    ASSERT_NE(height, 0.0f) << "no height puts a 24-bit sample at exactly mid-height";
    ASSERT_TRUE(engine.prepare(24, 48000, height));

    // Mono 24-bit: picks every 720 bytes; the second pick's byte is 0 (mid-height).
    std::vector<uint8_t> data(720 * 3, 0);
    data[0] = 5;
    data[1440] = 9;
    MEDIA_FRAME frame {};
    frame.audio = AudioFrame { 48000, 1, 24, data.data(), static_cast<int32_t>(data.size()), 720 };
    SampleBlock block;
    engine.getSampleArray(&frame, frame.audio.dataSize, block);
    ASSERT_EQ(block.sampleBlk().size(), 2u);
    EXPECT_FLOAT_EQ(block.sampleBlk()[0].cgSampPoint.x, 0.0f);
    // The third pick takes the second point's place, one step to the right of the first.
    EXPECT_FLOAT_EQ(block.sampleBlk()[1].cgSampPoint.x, 0.05f);
    EXPECT_FLOAT_EQ(
        block.sampleBlk()[1].cgSampPoint.y, engine.dy() * static_cast<float>(engine.canReachPeakValue() + 9));
}

TEST_F(WaveformEngineTest, PointClearanceIsReadForEveryPoint)
{
    WaveformDataEngine engine;
    ASSERT_TRUE(engine.prepare(16, 48000, 100.0f));
    Buffer buffer(48000, 1, 960);
    SampleBlock block;
    engine.getSampleArray(&buffer.frame, 960, block);
    gloableState()._pointClearance = 1.0; // a zoom while the job runs
    engine.getSampleArray(&buffer.frame, 960, block);
    ASSERT_EQ(block.sampleBlk().size(), 4u);
    EXPECT_FLOAT_EQ(block.sampleBlk()[1].cgSampPoint.x, 0.05f);
    EXPECT_FLOAT_EQ(block.sampleBlk()[2].cgSampPoint.x, 2.0f);
    EXPECT_FLOAT_EQ(block.sampleBlk()[3].cgSampPoint.x, 3.0f);
}

TEST_F(WaveformEngineTest, RatesBelow200HzAreRefused)
{
    WaveformDataEngine engine;
    EXPECT_FALSE(engine.prepare(16, 100, 100.0f));
    EXPECT_EQ(engine.sampleClearance(), 0);
}

// Every point of a steady tone shows the tone's level, whatever its frequency and phase
// (tones whose period divides a point's 5 ms would otherwise draw a flat line).
TEST_F(WaveformEngineTest, WholeFilesGive200PointsPerSecondAtTheirRealLevel)
{
    DecMgrInit();
    // Name, seconds, and amplitude as a fraction of full scale.
    for (const auto& [name, seconds, amplitude] : { std::tuple { "tone.wav", 6.0, 0.5 }, { "tone-48k.wav", 4.0, 0.5 },
             { "mono-48k.wav", 3.0, 0.5 }, { "tone.flac", 6.0, 0.5 }, { "tone-500hz-18db.wav", 3.0, 0.125893 },
             { "tone-1s.wav", 1.0, 0.5 }, { "tone-5.1.flac", 2.0, 0.25 } }) {
        SCOPED_TRACE(name);
        WaveformDataEngine engine;
        const auto block = engine.getWaveformPointsFromFile(fixture(name), 180, 20);
        ASSERT_TRUE(block.has_value());
        EXPECT_EQ(block->capability(), seconds * 200);
        EXPECT_EQ(block->sampleBlk().size(), static_cast<size_t>(seconds * 200));
        const double peak = amplitude * 32768.0;
        for (const SamplePoint& p : block->sampleBlk()) {
            const double level = std::abs(p.cgSampPoint.y / engine.dy() - engine.canReachPeakValue());
            ASSERT_GE(level, 0.97 * peak) << "at x " << p.cgSampPoint.x;
            ASSERT_LE(level, peak + 1.0) << "at x " << p.cgSampPoint.x;
        }
    }
}

// Files that give no points, or only those around what cannot be read.
TEST_F(WaveformEngineTest, UnusableFilesGiveTheirReadablePointsOrAnEmptyBlock)
{
    DecMgrInit();
    fixtures::ScratchDir dir;
    fixtures::writeFile(dir.file("slow.wav"), fixtures::wavHeader(100, 1, 2000) + std::string(2000, '\x11'));
    QByteArray damaged = readBytes(fixture("tone.mp3"));
    damaged.replace(damaged.size() / 2, 4000, QByteArray::fromStdString(fixtures::randomBytes(4000, 3)));
    ASSERT_TRUE(writeBytes(q(dir.file("damaged.mp3")), damaged));
    const std::tuple<std::string, double, double> cases[] = {
        { dir.file("slow.wav"), 0, 0 }, // 100 Hz: below a sample a point
        { dir.file("missing.mp3"), 0, 0 }, // what the decoder cannot open is the decoder's table's
        { fixtures::path("truncated.mp3"), 1100, 1300 }, // about 6 s of the 20 s
        // At least the three seconds before the damage; the decoder picks up again after it.
        { dir.file("damaged.mp3"), 600, 1210 },
    };
    for (const auto& [path, minPoints, maxPoints] : cases) {
        SCOPED_TRACE(path);
        const auto block = WaveformDataEngine().getWaveformPointsFromFile(q(path), 100, 10);
        ASSERT_TRUE(block.has_value());
        EXPECT_GE(block->capability(), minPoints);
        EXPECT_LE(block->capability(), maxPoints);
        EXPECT_EQ(block->sampleBlk().size(), static_cast<size_t>(block->capability()));
    }
}

TEST_F(WaveformEngineTest, StopRequestEndsTheJobWithoutABlock)
{
    WaveformDataEngine stopped;
    stopped.setStopGetData();
    EXPECT_FALSE(stopped.getWaveformPointsFromFile(fixture("tone.wav"), 100, 10));

    // An hour of silence at 48 kHz stereo (a sparse file), stopped from another thread.
    fixtures::ScratchDir dir;
    const std::string path = dir.file("hour.wav");
    fixtures::writeSilentWav(path, 48000, 2, 3600);

    WaveformDataEngine engine;
    std::optional<SampleBlock> result = SampleBlock();
    std::jthread worker([&] { result = engine.getWaveformPointsFromFile(q(path), 100, 10); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    engine.setStopGetData();
    worker.join();
    EXPECT_FALSE(result.has_value());
}

} // namespace
