#include "audio/playerlib.h"
#include "media/utfconvert.h"
#include "support/fixtures.h"
#include "support/monitorcapture.h"

#include <QCoreApplication>
#include <QThread>

#include <gtest/gtest.h>

#include <atomic>
#include <mutex>
#include <thread>
#include <vector>

namespace {

// The file's sources, wrapped as the editor wraps them.
struct Loaded : fixtures::Sources {
    explicit Loaded(const std::string& file)
        : Sources(file, 0, 0, true, -1.0)
    {
    }
};

struct CallbackLog {
    std::mutex mutex;
    std::vector<uint32_t> states;
    std::vector<bool> onMainThread;

    static int record(void* user, uint32_t message, uint32_t state, uint32_t)
    {
        auto* log = static_cast<CallbackLog*>(user);
        if (message != kPlayerStateMessage)
            return 0;
        const std::lock_guard lock(log->mutex);
        log->states.push_back(state);
        log->onMainThread.push_back(QThread::currentThread() == QCoreApplication::instance()->thread());
        return 0;
    }
    size_t count()
    {
        const std::lock_guard lock(mutex);
        return states.size();
    }
};

class PlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { DecMgrInit(); }
    void SetUp() override
    {
        player = VPCreate();
        if (player == nullptr)
            GTEST_SKIP() << "no sound server";
    }
    void TearDown() override
    {
        if (player != nullptr) {
            VPSetDecoder(player, static_cast<VideoProcessor>(nullptr), static_cast<AudioProcessor>(nullptr));
            VPDestroy(player);
        }
    }
    Player player = nullptr;
};

TEST_F(PlayerTest, StatesAndPlayedTimeFollowTheSound)
{
    const Loaded file(fixtures::path("tone.wav"));
    CallbackLog log;
    VPSetCallBackPtr(player, &CallbackLog::record, &log);
    VPSetDecoder(player, file.video, file.audio);
    EXPECT_NEAR(VPGetMovieLength(player), 6.0, 0.01);
    EXPECT_EQ(VPIsActivate(player), 0);

    ASSERT_EQ(VPPlay(player), 0);
    EXPECT_EQ(VPIsActivate(player), 1);
    // The clock runs forward only.
    double last = 0.0;
    ASSERT_TRUE(MonitorCapture::waitFor(
        [&] {
            const double t = VPGetPlayedTime(player);
            EXPECT_GE(t, last);
            last = t;
            return t > 0.3;
        },
        10000));
    VPPause(player);
    EXPECT_EQ(VPIsActivate(player), 2);
    const double paused = VPGetPlayedTime(player);
    QThread::msleep(200);
    EXPECT_NEAR(VPGetPlayedTime(player), paused, 0.05);
    VPResume(player);
    EXPECT_EQ(VPIsActivate(player), 1);
    VPStop(player);
    EXPECT_EQ(VPIsActivate(player), 0);
    EXPECT_EQ(VPGetPlayedTime(player), 0.0);

    ASSERT_EQ(log.count(), 2u);
    EXPECT_EQ(log.states, (std::vector<uint32_t> { kPlayerPlaying, kPlayerStopped }));
    EXPECT_FALSE(log.onMainThread[0]);
    EXPECT_FALSE(log.onMainThread[1]);
}

TEST_F(PlayerTest, RangeStopsAtItsEndAndTheClockStaysThere)
{
    const Loaded file(fixtures::path("tone.wav"));
    CallbackLog log;
    VPSetCallBackPtr(player, &CallbackLog::record, &log);
    VPSetDecoder(player, file.video, file.audio);
    VPSetPlayTime(player, 1.0, 1.6);
    ASSERT_EQ(VPPlay(player), 0);
    EXPECT_GE(VPGetPlayedTime(player), 1.0);
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return VPIsActivate(player) == 0; }, 20000));
    EXPECT_NEAR(VPGetPlayedTime(player), 1.6, 0.01);
    QThread::msleep(50);
    EXPECT_NEAR(VPGetPlayedTime(player), 1.6, 0.01); // no jump back to 0 after the end
    ASSERT_EQ(log.count(), 2u);
    EXPECT_EQ(log.states.back(), kPlayerStopped);
    EXPECT_FALSE(log.onMainThread.back());
}

TEST_F(PlayerTest, SeekMovesTheClockToTheTarget)
{
    const Loaded file(fixtures::path("tone.mp3"));
    VPSetDecoder(player, file.video, file.audio);
    VPSeek(player, 2.0, 1); // while stopped: where the next play starts
    EXPECT_DOUBLE_EQ(VPGetPlayedTime(player), 2.0);
    ASSERT_EQ(VPPlay(player), 0);
    EXPECT_GE(VPGetPlayedTime(player), 2.0);
    VPSeek(player, 4.5, 1);
    EXPECT_EQ(VPIsActivate(player), 1);
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return VPGetPlayedTime(player) > 4.6; }, 10000));
    EXPECT_LT(VPGetPlayedTime(player), 6.1);
    VPStop(player);
}

TEST_F(PlayerTest, VolumeIsHeardOnTheMonitor)
{
    MonitorCapture monitor;
    if (!monitor.isListening())
        GTEST_SKIP() << "no monitor input";
    const Loaded file(fixtures::path("tone.wav"));
    VPSetDecoder(player, file.video, file.audio);
    auto levelAt = [&](int volume) {
        VPSetVolume(player, volume);
        VPSetPlayTime(player, 0.5, 2.5);
        VPPlay(player);
        EXPECT_TRUE(MonitorCapture::waitFor([&] { return VPGetPlayedTime(player) > 0.8; }, 10000));
        monitor.clear();
        EXPECT_TRUE(MonitorCapture::waitFor([&] { return VPGetPlayedTime(player) > 1.8; }, 10000));
        const double level = monitor.rms();
        VPStop(player);
        return level;
    };
    const double normal = levelAt(100);
    EXPECT_GT(normal, 5000.0);
    EXPECT_LT(levelAt(0), 50.0);
    EXPECT_NEAR(levelAt(200) / normal, 2.0, 0.2);
}

TEST_F(PlayerTest, PicturesOfAVideoComeOutWhilePlaying)
{
    const Loaded file(fixtures::path("video.mp4"));
    ASSERT_NE(file.video, nullptr);
    std::atomic<int> pictures { 0 };
    QObject::connect(
        VPGetFrameRelay(player), &PlayerFrameRelay::frameReady, VPGetFrameRelay(player),
        [&](const QImage& image) {
            EXPECT_EQ(image.size(), QSize(160, 120));
            ++pictures;
        },
        Qt::DirectConnection);
    VPSetDecoder(player, file.video, file.audio);
    VPSetPlayTime(player, 0.0, 1.0);
    VPPlay(player);
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return VPIsActivate(player) == 0; }, 20000));
    EXPECT_GE(pictures.load(), 10); // 25 pictures a second
}

TEST_F(PlayerTest, CallsFromAnotherThreadWhileTheMainThreadPauses)
{
    const Loaded file(fixtures::path("tone.flac"));
    VPSetDecoder(player, file.video, file.audio);
    ASSERT_EQ(VPPlay(player), 0);
    std::jthread other([&] {
        for (int i = 0; i < 50; ++i) {
            VPSetVolume(player, i * 4);
            (void)VPGetPlayedTime(player);
            (void)VPIsActivate(player);
            if (i % 10 == 0)
                VPSeek(player, 1.0 + i / 50.0, 1);
        }
    });
    for (int i = 0; i < 20; ++i) {
        VPPause(player);
        VPResume(player);
    }
    other.join(); // no deadlock, and the state is the last one asked for
    EXPECT_EQ(VPIsActivate(player), 1);
    VPStop(player);
    EXPECT_EQ(VPIsActivate(player), 0);
}

TEST_F(PlayerTest, RawDecodersPlayToo)
{
    AudioDecoder audio = ADecCreate(WidePath(fixtures::path("tone.wav")), 0, 0, 0);
    VPSetDecoder(player, static_cast<VideoDecoder>(nullptr), audio);
    VPSetPlayTime(player, 5.5, -1.0);
    ASSERT_EQ(VPPlay(player), 0);
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return VPIsActivate(player) == 0; }, 20000));
    EXPECT_NEAR(VPGetPlayedTime(player), 6.0, 0.01);
    VPSetDecoder(player, static_cast<VideoDecoder>(nullptr), static_cast<AudioDecoder>(nullptr));
    ADecDestroy(audio);
}

// Run by CTest with the sound server out of reach.
TEST(NoSoundServer, PlayerCannotBeMade)
{
    if (qEnvironmentVariableIsEmpty("SONABEL_EXPECT_NO_SOUND"))
        GTEST_SKIP() << "only meaningful without a sound server";
    EXPECT_EQ(VPCreate(), nullptr);
}

} // namespace
