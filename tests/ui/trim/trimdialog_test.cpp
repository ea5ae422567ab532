#include "support/fixtures.h"
#include "support/monitorcapture.h"
#include "support/notificationrecorder.h"
#include "support/qtfixtures.h"
#include "support/tonewav.h"
#include "ui/mainwindow/mainwindownotes.h"
#include "ui/trim/trimdlgctl.h"
#include "ui/trim/trimhelpbubble.h"
#include "ui/trim/trimsliderbar.h"

#include <QAbstractButton>
#include <QDir>
#include <QFileInfo>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

constexpr int kWaitMs = 15000;

// A dialog over the real player on the test sound server, cutting into a scratch folder.
class TrimDialogTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { DecMgrInit(); }
    void SetUp() override
    {
        dialog = std::make_unique<TrimDlgCtl>();
        if (!dialog->hasPlayer())
            GTEST_SKIP() << "no sound output";
        dialog->setCutFolder(q(scratch.file("cuts")));
    }
    void TearDown() override { dialog.reset(); }

    // Opens the dialog on `file` and waits until the whole file plays.
    void open(const QString& file)
    {
        dialog->setMediaPath(file);
        dialog->showWindow();
        ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->playerState() == 1; }, kWaitMs)) << "the preview starts";
    }
    // The section from `from` to `to` seconds, as the trim knobs give it.
    void chooseSection(double from, double to)
    {
        const double total = dialog->totalLength();
        ASSERT_GT(total, 0.0);
        dialog->slider()->setTrimEndValue(float(to / total), false);
        dialog->slider()->setTrimStartValue(float(from / total), false);
    }
    // The "TrimOver" the dialog posts once it is done, if any.
    const Notification* waitForTrimOver()
    {
        (void)QTest::qWaitFor([&] { return !trimOver.posted.empty(); }, 60000);
        return trimOver.posted.empty() ? nullptr : &trimOver.posted.front();
    }
    // A file of `seconds` of tone.
    QString tone(double seconds)
    {
        const std::string file = scratch.file("tone-" + std::to_string(int(seconds * 10)) + ".wav");
        fixtures::writeToneWav(file, seconds);
        return q(file);
    }

    fixtures::ScratchDir scratch;
    NotificationRecorder trimOver { MainWindowNote::TrimOver };
    std::unique_ptr<TrimDlgCtl> dialog;
};

TEST_F(TrimDialogTest, OpeningShowsTheTotalAndTheHelpAndProgressMoves)
{
    open(fixture("tone.wav"));
    EXPECT_EQ(dialog->objectName(), QStringLiteral("TrimDlg"));
    EXPECT_EQ(dialog->trimLengthLabel()->text(), QStringLiteral("Trim Length:00:00:06"));
    EXPECT_EQ(dialog->playButton()->text(), QStringLiteral("Pause"));
    EXPECT_TRUE(dialog->helpBubble()->isShowing());
    EXPECT_TRUE(dialog->helpButton()->isChecked());

    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->slider()->getValue() > 0.2F; }, kWaitMs));
    EXPECT_EQ(dialog->playTimeLabel()->text().right(11), QStringLiteral(" / 00:00:06"));
    EXPECT_NE(dialog->playTimeLabel()->text(), QStringLiteral("00:00:00 / 00:00:06"));

    dialog->clickPlay();
    EXPECT_EQ(dialog->playerState(), 2);
    EXPECT_EQ(dialog->playButton()->text(), QStringLiteral("Play"));
}

TEST_F(TrimDialogTest, TheHelpFollowsTheDialogAndAClickInTheDialogHidesIt)
{
    open(fixture("tone.wav"));
    TrimHelpBubble* bubble = dialog->helpBubble();
    ASSERT_TRUE(bubble->isShowing());
    const QPoint from = bubble->pos();
    dialog->move(dialog->pos() + QPoint(40, 30));
    EXPECT_TRUE(QTest::qWaitFor([&] { return bubble->pos() == from + QPoint(40, 30); }, kWaitMs));
    QTest::mouseClick(dialog->playTimeLabel(), Qt::LeftButton);
    EXPECT_FALSE(dialog->helpBubble()->isShowing());
    EXPECT_FALSE(dialog->helpButton()->isChecked());
}

TEST_F(TrimDialogTest, WholeFileStartsAgainFromTheBeginningAtItsEnd)
{
    open(tone(1.5));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->playedTime() > 1.0; }, kWaitMs));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->playerState() == 1 && dialog->playedTime() < 0.5; }, kWaitMs))
        << "played again from 0";
    EXPECT_EQ(dialog->playMode(), TrimDlgCtl::WholeFile);
}

TEST_F(TrimDialogTest, SectionLoopsOverItsOwnRange)
{
    open(fixture("tone.wav"));
    chooseSection(3.0, 4.0);
    dialog->clickPlaySection();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->playMode() == TrimDlgCtl::Section; }, kWaitMs));
    EXPECT_FALSE(dialog->slider()->isEnableDragTrim()) << "the knobs are locked while a section plays";
    double lowest = 10.0;
    bool reachedEnd = false;
    bool cameBack = false;
    (void)QTest::qWaitFor(
        [&] {
            if (dialog->playerState() == 1) {
                const double t = dialog->playedTime();
                lowest = std::min(lowest, t);
                reachedEnd = reachedEnd || t > 3.8;
                cameBack = cameBack || (reachedEnd && t < 3.3);
            }
            return cameBack;
        },
        kWaitMs);
    EXPECT_TRUE(cameBack) << "the section plays again from its start";
    EXPECT_GT(lowest, 2.9) << "never from the file's start";

    dialog->clickPlay();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return dialog->playMode() == TrimDlgCtl::WholeFile && dialog->playerState() == 1; }, kWaitMs));
    EXPECT_TRUE(dialog->slider()->isEnableDragTrim());
}

TEST_F(TrimDialogTest, CancelWhilePlayingStopsAndCloses)
{
    open(fixture("tone.wav"));
    dialog->clickCancel();
    EXPECT_EQ(dialog->playerState(), 0);
    EXPECT_FALSE(dialog->isVisible());
    MonitorCapture::listenFor(700); // nothing may start again: not the loop, not the delayed start
    EXPECT_EQ(dialog->playerState(), 0);
    EXPECT_TRUE(trimOver.posted.empty());
}

TEST_F(TrimDialogTest, TooShortASectionCutsNothing)
{
    open(fixture("tone.wav"));
    chooseSection(2.0, 2.05);
    dialog->clickTrim();
    const Notification* over = waitForTrimOver();
    ASSERT_NE(over, nullptr);
    EXPECT_FALSE(over->userInfo.contains(LoadKey::NewPath));
    EXPECT_FALSE(dialog->isVisible());
    EXPECT_EQ(dialog->playerState(), 0);
    EXPECT_TRUE(entries(q(scratch.file("cuts"))).isEmpty());
}

TEST_F(TrimDialogTest, CutGivesTheNewFile)
{
    open(fixture("video.mp4"));
    chooseSection(1.0, 2.5);
    dialog->clickTrim();
    EXPECT_FALSE(dialog->trimButton()->isEnabled());
    EXPECT_FALSE(dialog->cancelButton()->isEnabled());
    EXPECT_TRUE(dialog->waitIndicator()->isVisible());
    EXPECT_EQ(dialog->playButton()->text(), QStringLiteral("Play")) << "the player stopped for the cut";
    const Notification* over = waitForTrimOver();
    ASSERT_NE(over, nullptr);
    const QString path = over->userInfo.value(LoadKey::NewPath).toString();
    EXPECT_TRUE(QFileInfo(path).isFile()) << path.toStdString();
    EXPECT_EQ(QFileInfo(path).absolutePath(), QDir(q(scratch.file("cuts"))).absolutePath());
    EXPECT_FALSE(dialog->isVisible());
    const fixtures::Pcm cut = fixtures::decodeAll(path.toStdString());
    ASSERT_GT(cut.sampleRate, 0);
    EXPECT_NEAR(double(cut.frames()) / cut.sampleRate, 1.5, 0.1);
}

TEST_F(TrimDialogTest, FailedCutSaysSoAndClosesWhenRead)
{
    // A folder that cannot be made: its parent is a file.
    fixtures::writeFile(scratch.file("plain"), "x");
    dialog->setCutFolder(q(scratch.file("plain/cuts")));
    open(fixture("tone.wav"));
    chooseSection(1.0, 3.0);
    dialog->clickTrim();
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog->errorSheet() != nullptr; }, 60000));
    EXPECT_TRUE(openAlerts().contains(QStringLiteral("Cut file error")));
    QMessageBox* sheet = dialog->errorSheet();
    EXPECT_EQ(sheet->informativeText(), QStringLiteral("cut file error"));
    EXPECT_EQ(sheet->icon(), QMessageBox::Critical);
    EXPECT_FALSE(dialog->waitIndicator()->isVisible());
    EXPECT_TRUE(dialog->isVisible()) << "open until the sheet is read";
    sheet->buttons().constFirst()->click();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !dialog->isVisible(); }, kWaitMs));
    EXPECT_TRUE(trimOver.posted.empty());
}

} // namespace
