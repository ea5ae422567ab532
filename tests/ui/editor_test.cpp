#include "core/environment/editingstate.h"
#include "core/notification/notificationcenter.h"
#include "media/decoderlib.h"
#include "support/fixtures.h"
#include "support/monitorcapture.h"
#include "support/tonewav.h"
#include "ui/editor/audioeditorviewplugcontroller.h"
#include "ui/editor/vyaudioeditorviewcontroller.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class EditorTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { DecMgrInit(); }
    void SetUp() override
    {
        GloableVar::resetGloableVariable();
        gloableState()._pointClearance = 0.05;
        editor.resize(900, 420);
        editor.show();
        connect();
    }
    void TearDown() override
    {
        editor.clickStopSound();
        GloableVar::resetGloableVariable();
    }
    void connect()
    {
        QObject::connect(&editor, &VyAudioEditorViewController::loadFileSuccessful, [this] { ++loaded; });
    }
    std::string tone(double seconds)
    {
        const std::string path = dir.file("tone-" + std::to_string(static_cast<int>(seconds * 10)) + ".wav");
        if (!QFile::exists(QString::fromStdString(path)))
            fixtures::writeToneWav(path, seconds);
        return path;
    }
    // Hands the file over as the main window does and waits for its waveform.
    void load(double seconds)
    {
        startLoad(seconds);
        ASSERT_TRUE(MonitorCapture::waitFor([&] { return loaded > before; }, 20000));
    }
    void startLoad(double seconds)
    {
        before = loaded;
        gloableState().movieLen = seconds;
        EXPECT_EQ(editor.chooseFileEnd(QString::fromStdString(tone(seconds)), QStringLiteral("Tone")),
                  VyAudioEditorViewController::LoadStarted);
    }
    void type(QLineEdit* field, const QString& text)
    {
        field->setFocus();
        field->selectAll();
        QTest::keyClicks(field, text);
        QTest::keyClick(field, Qt::Key_Return);
    }
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(&editor, k, modifiers); }
    double seconds(double pixels) const { return pixels / gloableState()._moveDx.load() / 1000.0; }

    fixtures::ScratchDir dir;
    VyAudioEditorViewController editor;
    int loaded = 0;
    int before = 0;
};

TEST_F(EditorTest, LoadingChoosesTheFirstPartAndShowsItsLength)
{
    load(25);
    EXPECT_DOUBLE_EQ(seconds(editor.part().width), 25.0);
    EXPECT_EQ(editor.infoPanel()->chooseLengthText(), QStringLiteral("25s"));
    EXPECT_EQ(editor.infoPanel()->playTimeText(), QStringLiteral("00:00:00 / 00:00:25"));
    load(180);
    EXPECT_DOUBLE_EQ(seconds(editor.part().x), 0.0);
    EXPECT_DOUBLE_EQ(seconds(editor.part().width), 40.0);
    EXPECT_EQ(editor.infoPanel()->chooseLengthText(), QStringLiteral("40s"));
    EXPECT_TRUE(editor.playBtn()->isEnabled());
}

TEST_F(EditorTest, TypedEndTooCloseToTheStartIsCorrectedAfterTheAlert)
{
    load(180);
    type(editor.startTimeTF(), QStringLiteral("00:00:10"));
    type(editor.endTimeTF(), QStringLiteral("00:00:12"));
    QMessageBox* alert = editor.lengthAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->windowTitle(), QStringLiteral("Error!"));
    EXPECT_EQ(alert->text(),
              QStringLiteral("The output file duration should be 5 s at least.It will be adjusted to 5 s automatically."));
    EXPECT_EQ(alert->icon(), QMessageBox::Critical);
    alert->buttons().first()->click();
    EXPECT_DOUBLE_EQ(seconds(editor.part().x), 10.0);
    EXPECT_DOUBLE_EQ(seconds(editor.part().width), 5.0);
    EXPECT_EQ(editor.endTimeTF()->text(), QStringLiteral("00:00:15"));
}

TEST_F(EditorTest, TypedEndBeforeTheStartAndBeyondTheFile)
{
    load(100);
    type(editor.startTimeTF(), QStringLiteral("00:00:20"));
    type(editor.endTimeTF(), QStringLiteral("00:00:05"));
    EXPECT_EQ(editor.endTimeTF()->text(), QStringLiteral("00:00:25")); // at once, before the alert ends
    ASSERT_NE(editor.lengthAlert(), nullptr);
    editor.lengthAlert()->buttons().first()->click();
    type(editor.endTimeTF(), QStringLiteral("00:05:00")); // beyond the file: ends at its end
    EXPECT_DOUBLE_EQ(seconds(editor.part().x + editor.part().width), 80.0); // 60 s at most
    type(editor.startTimeTF(), QStringLiteral("00:01:40")); // the file's whole length: restored
    EXPECT_EQ(editor.startTimeTF()->text(), QStringLiteral("00:00:20"));
}

TEST_F(EditorTest, ArrowKeysStayInsideTheFile)
{
    load(50);
    key(Qt::Key_Left);
    EXPECT_DOUBLE_EQ(seconds(editor.part().x), 0.0);
    for (int i = 0; i < 20; ++i)
        key(Qt::Key_Right);
    EXPECT_DOUBLE_EQ(seconds(editor.part().x + editor.part().width), 50.0);
    key(Qt::Key_Up, Qt::AltModifier); // the start moves right by 1 s
    EXPECT_DOUBLE_EQ(seconds(editor.part().width), 39.0);
}

TEST_F(EditorTest, UntickingAFadeGreysItsChoiceAndResetsIt)
{
    load(30);
    QTest::mouseClick(editor.fadeInBtn(), Qt::LeftButton, {}, QPoint(5, editor.fadeInBtn()->height() / 2));
    EXPECT_TRUE(editor.fadeInPoPupBtn()->isEnabled());
    editor.fadeInPoPupBtn()->setCurrentIndex(2);
    QTest::mouseClick(editor.fadeInBtn(), Qt::LeftButton, {}, QPoint(5, editor.fadeInBtn()->height() / 2));
    EXPECT_FALSE(editor.fadeInPoPupBtn()->isEnabled());
    EXPECT_EQ(editor.fadeInPoPupBtn()->currentText(), QStringLiteral("1s"));
}

TEST_F(EditorTest, ALoadReplacedHalfwayLeavesOnlyTheSecondFile)
{
    startLoad(1800); // half an hour: still decoding when the next file arrives
    // Keys and zoom during the load change nothing.
    key(Qt::Key_Right);
    editor.clickZoomOut();
    startLoad(25);
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return loaded > before; }, 30000));
    MonitorCapture::waitFor([] { return false; }, 200); // anything late from the first load
    EXPECT_EQ(gloableState()._waveformPointsCount.load(), 25.0f * 200);
    EXPECT_DOUBLE_EQ(gloableState()._pointClearance.load(), 0.05);
    EXPECT_DOUBLE_EQ(seconds(editor.part().width), 25.0);
    EXPECT_EQ(loaded, 1);
}

TEST_F(EditorTest, SpaceTogglesThePreviewAndPausesWholeFilePlay)
{
    load(30);
    if (editor.playerState() == PreviewSession::kNoPlayer)
        GTEST_SKIP() << "no sound output";
    key(Qt::Key_Space);
    EXPECT_EQ(editor.session().previewBtnSt(), PreviewSession::kPreviewing);
    key(Qt::Key_Space);
    EXPECT_EQ(editor.session().previewBtnSt(), PreviewSession::kPreviewIdle);
    editor.clickPlaySound();
    EXPECT_EQ(editor.session().playBtnSt(), PreviewSession::kPlaying);
    key(Qt::Key_Space);
    EXPECT_EQ(editor.session().playBtnSt(), PreviewSession::kPlayIdle);
    EXPECT_EQ(editor.playerState(), PreviewSession::kPlayerPaused);
}

TEST_F(EditorTest, StopAndCloseDuringTheRingsGapLeaveSilence)
{
    load(30);
    if (editor.playerState() == PreviewSession::kNoPlayer)
        GTEST_SKIP() << "no sound output";
    NotificationCenter::defaultCenter().post(QStringLiteral("SetRingsGapTime"), nullptr,
                                             {{QStringLiteral("RingsGap"), 1.0}});
    for (const bool close : {false, true}) {
        SCOPED_TRACE(close ? "close" : "stop");
        // Half a second before the part's end, so the pass ends soon.
        editor.repeatePreview(seconds(editor.part().x + editor.part().width) * 1000.0 - 500.0);
        ASSERT_TRUE(MonitorCapture::waitFor([&] { return editor.session().gapPending(); }, 20000));
        if (close)
            editor.clickCloseButton();
        else
            editor.clickStopSound();
        EXPECT_FALSE(editor.session().gapPending());
        MonitorCapture::waitFor([] { return false; }, 1500); // longer than the gap
        EXPECT_NE(editor.playerState(), PreviewSession::kPlayerPlaying);
    }
}

TEST_F(EditorTest, PreviewRepeatsAfterTheRingsGapUntilStopped)
{
    load(30);
    if (editor.playerState() == PreviewSession::kNoPlayer)
        GTEST_SKIP() << "no sound output";
    editor.waveformView()->setTimeTF(PartFrame {0.0, 100.0}); // 0-10 s at 10 pixels a second
    NotificationCenter::defaultCenter().post(QStringLiteral("SetRingsGapTime"), nullptr,
                                             {{QStringLiteral("RingsGap"), 0.5}});
    editor.repeatePreview(9600.0); // near the end, so the first pass is short
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return editor.session().gapPending(); }, 20000));
    EXPECT_DOUBLE_EQ(editor.session().timeLineX(), 0.0); // back at the part's start for the gap
    EXPECT_EQ(editor.session().previewBtnSt(), PreviewSession::kPreviewIdle);
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return editor.session().previewBtnSt() == PreviewSession::kPreviewing; },
                                        5000));
    EXPECT_EQ(editor.playerState(), PreviewSession::kPlayerPlaying);
    editor.clickPreviewChosePart(); // ends the loop
    EXPECT_EQ(editor.session().previewBtnSt(), PreviewSession::kPreviewIdle);
    EXPECT_FALSE(editor.session().gapPending());
}

TEST_F(EditorTest, WholeFilePlayReachingTheEndResetsAndSaysSo)
{
    load(8);
    if (editor.playerState() == PreviewSession::kNoPlayer)
        GTEST_SKIP() << "no sound output";
    int stops = 0;
    const auto id = NotificationCenter::defaultCenter().addObserver(
        nullptr, QStringLiteral("StopPlay"), &editor, [&](const Notification&) { ++stops; });
    editor.handlePlay(7600.0);
    EXPECT_EQ(editor.session().playBtnSt(), PreviewSession::kPlaying);
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return stops > 0; }, 20000));
    NotificationCenter::defaultCenter().removeObserver(id);
    EXPECT_EQ(editor.session().playBtnSt(), PreviewSession::kPlayIdle);
    EXPECT_EQ(editor.playBtn()->property("image").toString(), QStringLiteral("PlayN.png"));
    EXPECT_DOUBLE_EQ(editor.waveformView()->timeLineX(), 0.0);
}

} // namespace

#include "ui/editor/showprocessviewcontroller.h"

namespace {

TEST(ShowProcessView, ShowsTheFractionDoneAndItsText)
{
    ShowProcessViewController progress;
    progress.setProgressRate(0.4f);
    EXPECT_EQ(progress.progress(), 40);
    progress.setProgressRate(1.7f); // never past the end
    EXPECT_EQ(progress.progress(), 100);
    progress.setInfo(QStringLiteral("Copying"));
    EXPECT_EQ(progress.info(), QStringLiteral("Copying"));
}

} // namespace
