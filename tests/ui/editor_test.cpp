#include "core/environment/editingstate.h"
#include "core/notification/notificationcenter.h"
#include "support/editorfixture.h"
#include "support/monitorcapture.h"
#include "ui/editor/audioeditorviewplugcontroller.h"
#include "ui/editor/ringtonesavecontroller.h"
#include "ui/editor/showprocessviewcontroller.h"
#include "ui/waveform/dragview.h"

#include <QCheckBox>
#include <QComboBox>
#include <QMessageBox>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

class EditorTest : public EditorFixture {
protected:
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(&editor, k, modifiers); }
    // A key where the keyboard is: the widget that has the focus.
    void keyToFocus(Qt::Key k) { QTest::keyClick(editor.focusWidget(), k); }
    QPushButton* button(const char* name) { return editor.findChild<QPushButton*>(QLatin1String(name)); }
    void setRingsGap(double seconds)
    {
        NotificationCenter::defaultCenter().post(
            QStringLiteral("SetRingsGapTime"), nullptr, { { QStringLiteral("RingsGap"), seconds } });
    }
    double partStart() const { return seconds(editor.part().x); }
    double partEnd() const { return seconds(editor.part().x + editor.part().width); }
};

TEST_F(EditorTest, LoadingChoosesTheFirstPartAndShowsItsLength)
{
    load(25);
    EXPECT_DOUBLE_EQ(partEnd(), 25.0);
    EXPECT_EQ(editor.infoPanel()->chooseLengthText(), QStringLiteral("25s"));
    EXPECT_EQ(editor.infoPanel()->playTimeText(), QStringLiteral("00:00:00 / 00:00:25"));
    load(180);
    EXPECT_DOUBLE_EQ(partStart(), 0.0);
    EXPECT_DOUBLE_EQ(partEnd(), 40.0);
    EXPECT_EQ(editor.infoPanel()->chooseLengthText(), QStringLiteral("40s"));
    EXPECT_TRUE(editor.playBtn()->isEnabled());
}

TEST_F(EditorTest, TypedEndTooCloseToTheStartIsCorrectedAfterTheAlert)
{
    load(180);
    type(editor.startTimeTF(), QStringLiteral("00:00:10"));
    type(editor.endTimeTF(), QStringLiteral("00:00:12"));
    EXPECT_EQ(editor.endTimeTF()->text(), QStringLiteral("00:00:15")); // at once, before the alert ends
    QMessageBox* alert = editor.lengthAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->windowTitle(), QStringLiteral("Error!"));
    EXPECT_EQ(alert->text(),
        QStringLiteral("The output file duration should be 5 s at least.It will be adjusted to 5 s automatically."));
    EXPECT_EQ(alert->icon(), QMessageBox::Critical);
    alert->buttons().first()->click();
    EXPECT_DOUBLE_EQ(partStart(), 10.0);
    EXPECT_DOUBLE_EQ(partEnd(), 15.0);
    EXPECT_EQ(editor.endTimeTF()->text(), QStringLiteral("00:00:15"));
}

// A start typed into the last 5 s of a part whose edges are not on whole seconds is kept
// after the alert: the part becomes 5 s from there.
TEST_F(EditorTest, TypedStartNearThePartsEndIsKeptAfterTheAlert)
{
    load(120);
    QWidget* view = editor.waveformView();
    QTest::mousePress(view, Qt::LeftButton, {}, QPoint(46, 120));
    QTest::mouseMove(view, QPoint(746, 120));
    QTest::mouseRelease(view, Qt::LeftButton, {}, QPoint(746, 120)); // 4.6 s to 64.6 s
    EXPECT_EQ(editor.startTimeTF()->text(), QStringLiteral("00:00:05"));
    EXPECT_EQ(editor.endTimeTF()->text(), QStringLiteral("00:01:04"));
    type(editor.startTimeTF(), QStringLiteral("00:01:00"));
    ASSERT_NE(editor.lengthAlert(), nullptr);
    editor.lengthAlert()->buttons().first()->click();
    EXPECT_NEAR(partStart(), 60.0, 1e-9);
    EXPECT_NEAR(partEnd(), 65.0, 1e-9);
    EXPECT_EQ(editor.startTimeTF()->text(), QStringLiteral("00:01:00"));
    EXPECT_EQ(editor.endTimeTF()->text(), QStringLiteral("00:01:05"));
}

// Each edit must leave three fields of at most two digits, seconds up to 59 and minutes up
// to 60: anything else is refused with a beep and the field keeps what it had.
TEST_F(EditorTest, TypedTimesRefuseWhatIsNoTimeAndHandTheKeysBack)
{
    load(180);
    QLineEdit* start = editor.startTimeTF();
    QSignalSpy refused(start, SIGNAL(refused()));
    ASSERT_TRUE(refused.isValid());
    const std::tuple<const char*, const char*, int, double> cases[] = {
        { "a letter", "00:01:1a0", 1, 70.0 }, { "a blank", "00:00: 20", 1, 20.0 },
        { "seconds past 59", "00:00:60", 1, 6.0 },
        { "minutes of 60 pass while typing", "00:60:00", 0, 6.0 }, // 59 minutes: past the file, restored
    };
    for (const auto& [what, keys, refusals, startSeconds] : cases) {
        SCOPED_TRACE(what);
        refused.clear();
        type(start, QString::fromLatin1(keys));
        EXPECT_EQ(refused.count(), refusals);
        EXPECT_DOUBLE_EQ(partStart(), startSeconds);
        // The keys are the editor's again: the arrows move the part, not the text cursor.
        ASSERT_EQ(editor.focusWidget(), &editor);
        keyToFocus(Qt::Key_Right);
        EXPECT_DOUBLE_EQ(partStart(), startSeconds + 1.0);
        key(Qt::Key_Left);
    }
}

TEST_F(EditorTest, TypedTimesScrollThePartIntoView)
{
    load(180); // 1800 pixels, wider than the view
    const auto inView = [this](double from, double to) {
        const QScrollArea* area = editor.waveformView()->waveformScrollView();
        const double left = area->horizontalScrollBar()->value();
        return left <= from && to <= left + area->viewport()->width();
    };
    type(editor.startTimeTF(), QStringLiteral("00:02:30")); // pulled back to 140-180 s
    EXPECT_TRUE(inView(editor.part().x, editor.part().x + editor.part().width));
    type(editor.startTimeTF(), QStringLiteral("00:00:05"));
    EXPECT_TRUE(inView(editor.part().x, editor.part().x + editor.part().width));
    for (int i = 0; i < 4; ++i)
        click(button("zoomInBtn"), QPoint(5, 5)); // 200 pixels a second: the part is wider than the view
    type(editor.endTimeTF(), QStringLiteral("00:00:50"));
    EXPECT_TRUE(inView(editor.part().x + editor.part().width - 1, editor.part().x + editor.part().width));
}

// Whatever was clicked inside the editor, the arrows move the part afterwards; with Alt
// they resize it.
TEST_F(EditorTest, ArrowKeysMoveThePartAfterAClickAnywhereInTheEditor)
{
    load(120);
    WaveformView* view = editor.waveformView();
    QScrollBar* scroller = view->waveformScrollView()->horizontalScrollBar();
    const std::pair<QWidget*, QPoint> clicks[] = {
        { view, { 600, 120 } },
        { view->lineView(), { 100, 60 } },
        { scroller, { scroller->width() / 2, scroller->height() / 2 } },
        { editor.fadeInBtn(), { 5, editor.fadeInBtn()->height() / 2 } },
    };
    double x = 0.0;
    for (const auto& [target, at] : clicks) {
        SCOPED_TRACE(target->metaObject()->className());
        editor.startTimeTF()->setFocus();
        click(target, at);
        keyToFocus(Qt::Key_Right);
        x += 1.0;
        EXPECT_DOUBLE_EQ(partStart(), x);
    }
    key(Qt::Key_Up, Qt::AltModifier); // the start moves right by 1 s
    EXPECT_DOUBLE_EQ(partStart(), x + 1.0);
    EXPECT_DOUBLE_EQ(partEnd(), x + 40.0);
}

// The zoom buttons step through 0.05, 0.1, 0.25, 0.5 and 1 pixel a point and back; the
// ruler's labels stay closer than the narrowest view at every step (the window's editor
// shows about 650 pixels), and a load starts from the bottom.
TEST_F(EditorTest, ZoomStepsThroughTheLadderAndALoadStartsAtTheBottom)
{
    load(120);
    QPushButton* in = button("zoomInBtn");
    QPushButton* out = button("zoomOutBtn");
    const auto clearance = [] { return gloableState()._pointClearance.load(); };
    const auto labelSpacing
        = [&] { return editor.waveformView()->showTimeClearance() * clearance() * EditingState::pointCountPerSecond; };
    EXPECT_FALSE(out->isEnabled());
    for (const double step : { 0.1, 0.25, 0.5, 1.0 }) {
        ASSERT_TRUE(in->isEnabled());
        click(in, QPoint(5, 5));
        EXPECT_DOUBLE_EQ(clearance(), step);
        EXPECT_LE(labelSpacing(), 600.0) << step;
        EXPECT_DOUBLE_EQ(partEnd(), 40.0); // the same times at every scale
    }
    EXPECT_FALSE(in->isEnabled());
    for (const double step : { 0.5, 0.25, 0.1, 0.05 }) {
        ASSERT_TRUE(out->isEnabled());
        click(out, QPoint(5, 5));
        EXPECT_DOUBLE_EQ(clearance(), step);
        EXPECT_LE(labelSpacing(), 600.0) << step;
    }
    EXPECT_FALSE(out->isEnabled());
    click(in, QPoint(5, 5));
    click(in, QPoint(5, 5));
    load(30);
    EXPECT_DOUBLE_EQ(clearance(), 0.05);
    EXPECT_EQ(editor.waveformView()->showTimeClearance(), 30);
    EXPECT_TRUE(in->isEnabled());
    EXPECT_FALSE(out->isEnabled());
}

TEST_F(EditorTest, AfterCloseTheNextFileFillsTheWaveformArea)
{
    load(30);
    const int height = editor.waveformView()->waveformScrollView()->viewport()->height();
    ASSERT_GT(height, 217);
    EXPECT_EQ(editor.waveformView()->height(), height);
    editor.clickCloseButton();
    load(25);
    EXPECT_EQ(editor.waveformView()->height(), height);
    const QImage shot = editor.waveformView()->grab().toImage();
    EXPECT_NE(shot.pixel(100, height - 3), shot.pixel(100, 5)); // the waveform's background reaches the bottom
}

TEST_F(EditorTest, RecordButtonKeepsItsStartPictureWhenNoRecorderOpens)
{
    load(30);
    QPushButton* record = button("m_RecordBtn");
    const QImage start = QIcon(QStringLiteral(":/RecordInAudioEditViewStart.png")).pixmap(32).toImage();
    int clicks = 0;
    const auto id = NotificationCenter::defaultCenter().addObserver(
        nullptr, QStringLiteral("ClickRecord"), nullptr, [&](const Notification&) { ++clicks; });
    click(record, QPoint(5, 5));
    NotificationCenter::defaultCenter().removeObserver(id);
    EXPECT_EQ(clicks, 1);
    EXPECT_EQ(record->icon().pixmap(32).toImage(), start);
}

TEST_F(EditorTest, UntickingAFadeGreysItsChoiceAndResetsIt)
{
    load(30);
    tick(editor.fadeInBtn());
    EXPECT_TRUE(editor.fadeInPoPupBtn()->isEnabled());
    editor.fadeInPoPupBtn()->setCurrentIndex(2);
    tick(editor.fadeInBtn());
    EXPECT_FALSE(editor.fadeInPoPupBtn()->isEnabled());
    EXPECT_EQ(editor.fadeInPoPupBtn()->currentText(), QStringLiteral("1s"));
}

// Closing the window with the cursor in a time field: the field's last word must not reach
// an editor that is half gone.
TEST_F(EditorTest, DestroyedWithATimeFieldFocusedItEditsNothing)
{
    auto* other = new VyAudioEditorViewController;
    int ready = 0;
    QObject::connect(other, &VyAudioEditorViewController::loadFileSuccessful, [&] { ++ready; });
    gloableState().movieLen = 120;
    other->chooseFileEnd(tone(120), QStringLiteral("Tone"));
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return ready > 0; }, 20000));
    other->show();
    other->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(other));
    other->startTimeTF()->setFocus();
    other->startTimeTF()->selectAll();
    QTest::keyClicks(other->startTimeTF(), QStringLiteral("00:00:20"));
    int edits = 0;
    const auto id = NotificationCenter::defaultCenter().addObserver(
        nullptr, QStringLiteral("ResizeChooseTimeLen"), nullptr, [&](const Notification&) { ++edits; });
    delete other;
    NotificationCenter::defaultCenter().removeObserver(id);
    EXPECT_EQ(edits, 0);
}

TEST_F(EditorTest, ALoadReplacedHalfwayLeavesOnlyTheSecondFile)
{
    startLoad(tone(1800), 1800); // half an hour: still decoding when the next file arrives
    // Keys, zoom, the fade boxes and saving during the load change nothing.
    key(Qt::Key_Right);
    editor.clickZoomIn();
    tick(editor.fadeInBtn());
    EXPECT_FALSE(editor.fadeInBtn()->isChecked());
    EXPECT_FALSE(editor.fadeInPoPupBtn()->isEnabled());
    editor.uploadToiTunes(); // File > Create Ringtone
    editor.setIsSaveAs(1); // File > Save As
    editor.uploadToiTunes();
    EXPECT_EQ(saver()->nameSheet(), nullptr);
    EXPECT_EQ(saver()->isSaveAs(), 0u);
    startLoad(tone(25), 25);
    ASSERT_TRUE(waitLoaded(30000));
    listenFor(200); // anything late from the first load would land now
    EXPECT_EQ(gloableState()._waveformPointsCount.load(), 25.0f * 200);
    EXPECT_DOUBLE_EQ(gloableState()._pointClearance.load(), 0.05);
    EXPECT_DOUBLE_EQ(partEnd(), 25.0);
    EXPECT_EQ(loaded, 1);
}

TEST_F(EditorTest, TheLoadedFileHandedOverAgainKeepsTheEditorWorking)
{
    load(60);
    if (!hasPlayer())
        GTEST_SKIP() << "no sound output";
    type(editor.startTimeTF(), QStringLiteral("00:00:10"));
    EXPECT_EQ(editor.chooseFileEnd(tone(60), QStringLiteral("Tone")), VyAudioEditorViewController::AlreadyLoaded);
    EXPECT_DOUBLE_EQ(partStart(), 10.0);
    key(Qt::Key_Right);
    EXPECT_DOUBLE_EQ(partStart(), 11.0);
}

TEST_F(EditorTest, SpaceTogglesThePreviewAndPausesWholeFilePlay)
{
    load(30);
    if (!hasPlayer())
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
    if (!hasPlayer())
        GTEST_SKIP() << "no sound output";
    setRingsGap(1.0);
    for (const bool close : { false, true }) {
        SCOPED_TRACE(close ? "close" : "stop");
        editor.repeatePreview(partEnd() * 1000.0 - 500.0); // half a second before the part's end
        ASSERT_TRUE(MonitorCapture::waitFor([&] { return editor.session().gapPending(); }, 20000));
        if (close)
            editor.clickCloseButton();
        else
            editor.clickStopSound();
        EXPECT_FALSE(editor.session().gapPending());
        listenFor(1500); // longer than the gap: no pass may start in it
        EXPECT_NE(editor.playerState(), PreviewSession::kPlayerPlaying);
    }
}

TEST_F(EditorTest, PreviewRepeatsAfterTheRingsGapUntilStopped)
{
    load(30);
    if (!hasPlayer())
        GTEST_SKIP() << "no sound output";
    editor.waveformView()->setTimeTF(PartFrame { 0.0, 100.0 }); // 0-10 s at 10 pixels a second
    setRingsGap(0.5);
    editor.repeatePreview(9600.0); // near the end, so the first pass is short
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return editor.session().gapPending(); }, 20000));
    EXPECT_DOUBLE_EQ(editor.session().timeLineX(), 0.0); // back at the part's start for the gap
    EXPECT_EQ(editor.session().previewBtnSt(), PreviewSession::kPreviewIdle);
    ASSERT_TRUE(
        MonitorCapture::waitFor([&] { return editor.session().previewBtnSt() == PreviewSession::kPreviewing; }, 5000));
    EXPECT_EQ(editor.playerState(), PreviewSession::kPlayerPlaying);
    editor.clickPreviewChosePart(); // ends the loop
    EXPECT_EQ(editor.session().previewBtnSt(), PreviewSession::kPreviewIdle);
    EXPECT_FALSE(editor.session().gapPending());
}

TEST_F(EditorTest, WholeFilePlayReachingTheEndResetsAndSaysSo)
{
    load(8);
    if (!hasPlayer())
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

// What the speakers play, heard at the sound server's monitor.
class HeardTest : public EditorTest {
protected:
    void SetUp() override
    {
        EditorTest::SetUp();
        if (!monitor.isListening())
            GTEST_SKIP() << "no monitor input";
        // The capture settles before anything plays.
        MonitorCapture::waitFor([&] { return monitor.seconds() > 0.5; }, 5000);
    }
    MonitorCapture monitor;
};

TEST_F(HeardTest, WholeFilePlayKeepsItsLevel)
{
    load(8);
    if (!hasPlayer())
        GTEST_SKIP() << "no sound output";
    QTest::mouseClick(editor.playBtn(), Qt::LeftButton);
    const std::vector<int> runs = waitForRuns(monitor, 2, 20000);
    ASSERT_GE(runs.size(), 2u);
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return monitor.seconds() * 1000.0 > runs[0] + 3500.0; }, 20000));
    const QByteArray heard = monitor.captured();
    const double first = MonitorCapture::levelDb(heard, runs[0] + 50.0, 100.0);
    EXPECT_GT(first, -12.0);
    for (double at = runs[0] + 150.0; at < runs[0] + 3000.0; at += 100.0)
        EXPECT_NEAR(MonitorCapture::levelDb(heard, at, 100.0), first, 1.0) << at - runs[0] << " ms into play";
}

struct PassCase {
    const char* name;
    double fileSeconds;
    double partSeconds; // from 0
};

class PreviewPassHeard : public HeardTest, public ::testing::WithParamInterface<PassCase> { };

TEST_P(PreviewPassHeard, EndsAtThePartsEndAndRestsForTheRingsGap)
{
    const PassCase& c = GetParam();
    load(c.fileSeconds, 44100); // the sound server's own rate: no resampling blurs the edges
    if (!hasPlayer())
        GTEST_SKIP() << "no sound output";
    editor.waveformView()->setTimeTF(PartFrame { 0.0, c.partSeconds * 10.0 }); // 10 pixels a second
    setRingsGap(0.5);
    QTest::mouseClick(editor.previewBtn(), Qt::LeftButton);
    // silence, the first pass, the gap, and the next pass begun
    const std::vector<int> runs = waitForRuns(monitor, 4, 30000);
    editor.clickPreviewChosePart();
    ASSERT_GE(runs.size(), 4u);
    EXPECT_NEAR(runs[1], c.partSeconds * 1000.0, 10.0) << "nothing after the part's end is heard";
    EXPECT_NEAR(runs[2], 500.0, 100.0) << "the silence between the passes";
}

INSTANTIATE_TEST_SUITE_P(Parts, PreviewPassHeard,
    ::testing::Values(PassCase { "EndingMidFile", 8.0, 5.0 }, PassCase { "EndingAtTheFilesEnd", 5.0, 5.0 }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(ShowProcessView, ShowsTheFractionDoneNeverPastTheEnd)
{
    ShowProcessViewController progress;
    progress.setProgressRate(0.4f);
    EXPECT_EQ(progress.progress(), 40);
    progress.setProgressRate(1.7f);
    EXPECT_EQ(progress.progress(), 100);
}

} // namespace
