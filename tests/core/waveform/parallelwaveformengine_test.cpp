#include "core/environment/editingstate.h"
#include "core/waveform/parallelwaveformengine.h"
#include "core/waveform/waveformdataengine.h"
#include "media/decoderlib.h"
#include "support/fixtures.h"
#include "support/qtfixtures.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <thread>

namespace {

class ParallelWaveformTest : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        DecMgrInit();
        s_dir = std::make_unique<fixtures::ScratchDir>();
        QByteArray damaged = readBytes(fixture("tone.mp3"));
        damaged.replace(damaged.size() / 2, 4000, QByteArray::fromStdString(fixtures::randomBytes(4000, 3)));
        ASSERT_TRUE(writeBytes(q(s_dir->file("damaged.mp3")), damaged));
        fixtures::writeFile(s_dir->file("slow.wav"), fixtures::wavHeader(100, 1, 2000) + std::string(2000, '\x11'));
    }
    static void TearDownTestSuite() { s_dir.reset(); }
    void SetUp() override { gloableState()._pointClearance = 0.05; }
    void TearDown() override { GloableVar::resetGloableVariable(); }

    // 99 s of music-like sound: long enough for parts of the default length.
    static std::string longFile() { return fixtures::path("music-99s.mp3"); }
    static inline std::unique_ptr<fixtures::ScratchDir> s_dir;
};

// The points as bytes: equal only when every x and y is the same float, bit for bit.
QByteArray bits(const std::optional<SampleBlock>& block)
{
    if (!block)
        return {};
    const auto& points = block->sampleBlk();
    return QByteArray(
        reinterpret_cast<const char*>(points.data()), static_cast<qsizetype>(points.size() * sizeof(SamplePoint)));
}

// Every kind of media the tests have, each cut into parts a fraction of a second long so
// that even short files split: the same points as the one-thread engine. Files whose codec
// does not settle after a pre-roll go through whole (one part), and files that cannot be
// split exactly (damaged) or not decoded at all fall back to the one-thread engine.
TEST_F(ParallelWaveformTest, PointsAreThoseOfTheOneThreadEngineForEveryKindOfMedia)
{
    struct Case {
        std::string path;
        int parts; // that the parallel engine decodes side by side; 0: it fell back
    };
    const Case cases[] = { { fixtures::path("tone.wav"), 4 }, { fixtures::path("tone-48k.wav"), 4 },
        { fixtures::path("mono-48k.wav"), 4 }, { fixtures::path("tone-500hz-18db.wav"), 4 },
        { fixtures::path("short.wav"), 1 }, { fixtures::path("tone.flac"), 4 }, { fixtures::path("tone-5.1.flac"), 4 },
        { fixtures::path("tone.ogg"), 4 }, { fixtures::path("tone.mp3"), 4 }, { fixtures::path("tagged.mp3"), 4 },
        { fixtures::path("music-44k-cbr.mp3"), 4 }, { fixtures::path("music-44k-vbr.mp3"), 4 },
        { fixtures::path("music-22k-vbr.mp3"), 4 }, { fixtures::path("music.flac"), 4 },
        { fixtures::path("Ünïcødé name – 曲.mp3"), 4 }, { fixtures::path("tagged.m4a"), 1 },
        { fixtures::path("music.m4a"), 1 }, { fixtures::path("video.mp4"), 1 }, { fixtures::path("music.opus"), 1 },
        { fixtures::path("video-silent.mp4"), 0 }, { fixtures::path("truncated.mp3"), 4 },
        { s_dir->file("damaged.mp3"), 0 }, { s_dir->file("slow.wav"), 0 }, { s_dir->file("missing.mp3"), 0 },
        { longFile(), 4 } };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        const auto single = WaveformDataEngine().getWaveformPointsFromFile(q(c.path), 180, 20);
        ParallelWaveformEngine parallel(4, 0.5);
        const auto block = parallel.getWaveformPointsFromFile(q(c.path), 180, 20);
        ASSERT_EQ(block.has_value(), single.has_value());
        EXPECT_EQ(parallel.partsDecoded(), c.parts);
        EXPECT_EQ(block->capability(), single->capability());
        EXPECT_TRUE(bits(block) == bits(single));
    }
}

// A long file fills in while it is computed: the first screen comes first, from the
// file's start, before the other stretches; together they are the final points.
TEST_F(ParallelWaveformTest, StretchesArriveBeforeTheCompletePoints)
{
    constexpr int64_t kFirstScreen = 1000;
    const auto single = WaveformDataEngine().getWaveformPointsFromFile(q(longFile()), 180, 20);
    ASSERT_TRUE(single.has_value());

    ParallelWaveformEngine engine(2);
    std::vector<WaveformProgress> steps;
    const std::thread::id caller = std::this_thread::get_id();
    const auto block = engine.getWaveformPointsFromFile(
        q(longFile()), 180, 20,
        [&](const WaveformProgress& step) {
            EXPECT_EQ(std::this_thread::get_id(), caller);
            steps.push_back(step);
        },
        kFirstScreen);
    ASSERT_TRUE(block.has_value());
    EXPECT_EQ(engine.partsDecoded(), 2);
    EXPECT_TRUE(bits(block) == bits(single));

    ASSERT_GE(steps.size(), 3u);
    EXPECT_EQ(steps.front().firstPoint, 0);
    EXPECT_GE(steps.front().heights.size(), static_cast<size_t>(kFirstScreen));
    EXPECT_LT(steps.front().heights.size(), block->sampleBlk().size() / 2);
    EXPECT_NEAR(static_cast<double>(steps.front().expectedPoints), static_cast<double>(block->sampleBlk().size()), 30);
    const auto& points = block->sampleBlk();
    std::vector<int> covered(points.size());
    int differing = 0; // only the slice at the cut, of which each part has a share
    for (const WaveformProgress& step : steps) {
        for (size_t i = 0; i < step.heights.size(); ++i) {
            const auto at = static_cast<size_t>(step.firstPoint) + i;
            ASSERT_LT(at, points.size());
            if (++covered[at] == 1 && step.heights[i] != points[at].cgSampPoint.y)
                ++differing;
        }
    }
    EXPECT_LE(differing, 1);
    EXPECT_EQ(std::count(covered.begin(), covered.end(), 0), 0);
    EXPECT_LE(std::count(covered.begin(), covered.end(), 2), 1); // the slice at the cut
}

// A stop ends every part: from another thread at any time, or from the progress sink,
// after which nothing more is delivered.
TEST_F(ParallelWaveformTest, StopEndsEveryPartWithoutABlock)
{
    ParallelWaveformEngine stopped;
    stopped.setStopGetData();
    EXPECT_FALSE(stopped.getWaveformPointsFromFile(q(longFile()), 100, 10));

    ParallelWaveformEngine fromSink(2);
    int calls = 0;
    EXPECT_FALSE(fromSink.getWaveformPointsFromFile(
        q(longFile()), 100, 10,
        [&](const WaveformProgress&) {
            ++calls;
            fromSink.setStopGetData();
        },
        400));
    EXPECT_EQ(calls, 1);

    ParallelWaveformEngine engine(2);
    std::optional<SampleBlock> result = SampleBlock();
    std::jthread worker([&] { result = engine.getWaveformPointsFromFile(q(longFile()), 100, 10); });
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
    engine.setStopGetData();
    worker.join();
    EXPECT_FALSE(result.has_value());
}

} // namespace
