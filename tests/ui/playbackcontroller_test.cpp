#include "support/editorfixture.h"
#include "support/notificationrecorder.h"
#include "support/qtfixtures.h"
#include "ui/player/roingtoneplaybackcontroller.h"
#include "ui/player/videosurface.h"

#include <QWidget>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class PlaybackControllerTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { DecMgrInit(); }
    void SetUp() override
    {
        pane.resize(210, 143);
        if (!controller.initPlayerWithPath(QString(), &pane, QRect(0, 0, 210, 143)))
            GTEST_SKIP() << "no sound output";
    }
    // The play-state notifications posted so far.
    [[nodiscard]] QStringList posted() const { return recorder.names(u"Play"_s); }

    QWidget pane;
    RoingTonePlayBackController controller;
    NotificationRecorder recorder;
};

TEST_F(PlaybackControllerTest, ASecondFileStopsTheFirstBeforeItIsAttached)
{
    ASSERT_TRUE(controller.setNewPlayFile(fixture("tone.wav")));
    EXPECT_FALSE(controller.hasVideo());
    controller.play();
    EXPECT_EQ(controller.playerState(), PlayerState::Playing);
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return controller.getPlayedTime() > 0.1; }, 10000));

    ASSERT_TRUE(controller.setNewPlayFile(fixture("video.mp4")));
    EXPECT_EQ(posted(), (QStringList { u"StartPlay"_s, u"StopPlay"_s }));
    EXPECT_EQ(controller.playerState(), PlayerState::Stopped);
    EXPECT_TRUE(controller.hasVideo());
    EXPECT_NEAR(controller.getMovieLength(), 3.0, 0.05);
}

TEST_F(PlaybackControllerTest, PicturesReachTheSurfaceWhilePlaying)
{
    ASSERT_TRUE(controller.setNewPlayFile(fixture("video.mp4")));
    VideoSurface* surface = controller.getPlayViewHandle();
    ASSERT_NE(surface, nullptr);
    EXPECT_EQ(surface->parentWidget(), &pane);
    EXPECT_EQ(surface->geometry(), QRect(0, 0, 210, 143));
    controller.play();
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return !surface->picture().isNull(); }, 10000));
    EXPECT_EQ(surface->picture().size(), QSize(160, 120));
    controller.stop();
    EXPECT_EQ(posted().back(), u"StopPlay"_s);
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return surface->picture().isNull(); }, 5000)); // blanked
}

// Calls from other threads are the player's own case; here each change of state is posted.
TEST_F(PlaybackControllerTest, PausingAndPlayingToTheEndAreAnnounced)
{
    ASSERT_TRUE(controller.setNewPlayFile(fixture("tone.wav")));
    controller.play();
    controller.pause();
    EXPECT_EQ(controller.playerState(), PlayerState::Paused);
    controller.seekPlayer(5.6);
    controller.play();
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return controller.playerState() == PlayerState::Stopped; }, 20000));
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return posted().size() >= 4; }, 5000));
    EXPECT_EQ(posted(), (QStringList { u"StartPlay"_s, u"PausePlay"_s, u"StartPlay"_s, u"StopPlay"_s }));
}

TEST_F(PlaybackControllerTest, FilesWithoutSoundAreRefused)
{
    EXPECT_TRUE(RoingTonePlayBackController::canCreateDecoder(fixture("video-silent.mp4")));
    EXPECT_FALSE(RoingTonePlayBackController::canCreateDecoder(fixture("no-such-file.mp3")));
    EXPECT_FALSE(controller.setNewPlayFile(fixture("video-silent.mp4")));
    EXPECT_EQ(controller.playerState(), PlayerState::Stopped);
}

using NoSoundServerUi = EditorFixture;

// The editor loads and edits, and its player is refused rather than left half made.
TEST_F(NoSoundServerUi, TheEditorWorksAndItsPlayerIsRefused)
{
    if (qEnvironmentVariableIsEmpty("SONABEL_EXPECT_NO_SOUND"))
        GTEST_SKIP() << "only meaningful without a sound server";
    load(6);
    EXPECT_EQ(editor.getPlayerState(), PlayerState::None);
    editor.clickPlaySound(); // does nothing visible
    editor.clickPreviewChosePart();
    EXPECT_EQ(editor.session().playBtnSt(), PlayButtonState::Fresh);
    editor.waveformView()->narrowChoosePart(10.0, 2); // editing still works
    EXPECT_DOUBLE_EQ(editor.part().width, 50.0);

    QWidget pane;
    RoingTonePlayBackController controller;
    EXPECT_FALSE(controller.initPlayerWithPath(fixture("tone.wav"), &pane, QRect(0, 0, 210, 143)));
    EXPECT_EQ(controller.playerState(), PlayerState::None);
    EXPECT_EQ(controller.getPlayViewHandle(), nullptr);
}

} // namespace
