#include "audio/soundplayer.h"
#include "support/fixtures.h"
#include "support/monitorcapture.h"
#include "support/qtfixtures.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

class SoundPlayerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { DecMgrInit(); }
};

TEST_F(SoundPlayerTest, PlaysToTheEndAndSaysSo)
{
    SoundPlayer sound;
    if (!sound.open(fixture("tone.wav")))
        GTEST_SKIP() << "no sound output";
    EXPECT_NEAR(sound.duration(), 6.0, 0.01);
    sound.setCurrentTime(5.4);
    int finished = 0;
    QObject::connect(&sound, &SoundPlayer::finished, [&] { ++finished; });
    ASSERT_TRUE(sound.play());
    EXPECT_TRUE(sound.isPlaying());
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return finished > 0; }, 20000));
    EXPECT_EQ(finished, 1);
    EXPECT_FALSE(sound.isPlaying());
    EXPECT_NEAR(sound.currentTime(), 6.0, 0.01);
}

TEST_F(SoundPlayerTest, LoopingStartsOverInsteadOfFinishing)
{
    SoundPlayer sound;
    if (!sound.open(fixture("short.wav")))
        GTEST_SKIP() << "no sound output";
    sound.setLoops(true);
    int finished = 0;
    QObject::connect(&sound, &SoundPlayer::finished, [&] { ++finished; });
    double highest = 0.0;
    bool wrapped = false;
    ASSERT_TRUE(sound.play());
    EXPECT_TRUE(MonitorCapture::waitFor(
        [&] {
            const double t = sound.currentTime();
            wrapped = wrapped || (highest > 0.6 && t < 0.3);
            highest = std::max(highest, t);
            return wrapped;
        },
        20000));
    EXPECT_EQ(finished, 0);
    sound.stop();
    MonitorCapture::listenFor(100); // a stop is not an end: no late "finished" either
    EXPECT_EQ(finished, 0);
}

TEST_F(SoundPlayerTest, ACopyOutlivesTheOriginal)
{
    fixtures::ScratchDir dir;
    const std::string path = dir.file("launch.mp3");
    fixtures::copyFile(fixtures::path("tone.mp3"), path);
    SoundPlayer sound;
    if (!sound.open(q(path), SoundPlayer::Source::ByCopy))
        GTEST_SKIP() << "no sound output";
    std::filesystem::remove(path);
    sound.setVolume(0.5);
    EXPECT_DOUBLE_EQ(sound.volume(), 0.5);
    ASSERT_TRUE(sound.play());
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return sound.currentTime() > 0.2; }, 10000));
    sound.pause();
    EXPECT_FALSE(sound.isPlaying());
    sound.resume();
    EXPECT_TRUE(sound.isPlaying());
    sound.stop();
}

TEST_F(SoundPlayerTest, UnreadableFilesCannotPlay)
{
    fixtures::ScratchDir dir;
    fixtures::writeFile(dir.file("bad.mp3"), fixtures::randomBytes(4096, 5));
    SoundPlayer sound;
    EXPECT_FALSE(sound.open(q(dir.file("bad.mp3"))));
    EXPECT_FALSE(sound.open(q(dir.file("missing.mp3")), SoundPlayer::Source::ByCopy));
    EXPECT_FALSE(sound.canPlay());
    EXPECT_FALSE(sound.play());
}

TEST(NoSoundServer, SoundPlayerCannotPlay)
{
    if (qEnvironmentVariableIsEmpty("SONABEL_EXPECT_NO_SOUND"))
        GTEST_SKIP() << "only meaningful without a sound server";
    DecMgrInit();
    SoundPlayer sound;
    EXPECT_FALSE(sound.open(fixture("tone.wav")));
    EXPECT_FALSE(sound.play());
}

} // namespace
