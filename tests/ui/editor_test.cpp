#include "support/editorfixture.h"
#include "support/notificationrecorder.h"
#include "ui/editor/audioeditorviewplugcontroller.h"
#include "ui/editor/ringtonesavecontroller.h"
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

#include <functional>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

class EditorTest : public EditorFixture {
protected:
    void key(Qt::Key k, Qt::KeyboardModifiers modifiers = Qt::NoModifier) { QTest::keyClick(&editor, k, modifiers); }
    // A key where the keyboard is: the widget that has the focus.
    void keyToFocus(Qt::Key k) { QTest::keyClick(editor.focusWidget(), k); }
    QPushButton* button(const char* name) { return editor.findChild<QPushButton*>(QLatin1String(name)); }
};

// The first part's rules are the core tables'; here the panel shows what the load chose.
TEST_F(EditorTest, LoadingShowsTheFirstPartsLengthAndTheFilesInThePanel)
{
    load(25);
    EXPECT_DOUBLE_EQ(partEnd(), 25.0);
    EXPECT_EQ(editor.infoPanel()->chooseLengthText(), u"25s"_s);
    EXPECT_EQ(editor.infoPanel()->playTimeText(), u"00:00:00 / 00:00:25"_s);
    EXPECT_TRUE(editor.playBtn()->isEnabled());
}

// An end typed too close to the start shows at once what it becomes after the alert; a start
// typed into the part's last 5 s is kept after the alert, the part becoming 5 s from there.
TEST_F(EditorTest, TypedTimesTooCloseAreCorrectedAfterTheAlert)
{
    load(180);
    type(editor.startTimeTF(), u"00:00:10"_s);
    type(editor.endTimeTF(), u"00:00:12"_s);
    EXPECT_EQ(editor.endTimeTF()->text(), u"00:00:15"_s); // before the alert ends
    QMessageBox* alert = editor.lengthAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->windowTitle(), u"Error!"_s);
    EXPECT_EQ(
        alert->text(), u"The output file duration should be 5 s at least.It will be adjusted to 5 s automatically."_s);
    EXPECT_EQ(alert->icon(), QMessageBox::Critical);
    alert->buttons().first()->click();
    EXPECT_DOUBLE_EQ(partStart(), 10.0);
    EXPECT_DOUBLE_EQ(partEnd(), 15.0);

    type(editor.startTimeTF(), u"00:00:13"_s);
    ASSERT_NE(editor.lengthAlert(), nullptr);
    editor.lengthAlert()->buttons().first()->click();
    EXPECT_DOUBLE_EQ(partStart(), 13.0);
    EXPECT_DOUBLE_EQ(partEnd(), 18.0);
}

// A key that is no digit, and an edit the time rules refuse (seconds past 59), are refused
// with a beep and the field keeps what it had; after Return the keys are the editor's again.
TEST_F(EditorTest, TypedTimesRefuseWhatIsNoTimeAndHandTheKeysBack)
{
    load(180);
    QLineEdit* start = editor.startTimeTF();
    QSignalSpy refused(start, SIGNAL(refused()));
    ASSERT_TRUE(refused.isValid());
    const std::tuple<const char*, int, double> cases[]
        = { { "00:01:1a0", 1, 70.0 }, { "00:00:60", 1, 6.0 }, { "00:00:20", 0, 20.0 } };
    for (const auto& [keys, refusals, startSeconds] : cases) {
        SCOPED_TRACE(keys);
        refused.clear();
        type(start, QString::fromLatin1(keys));
        EXPECT_EQ(refused.count(), refusals);
        EXPECT_DOUBLE_EQ(partStart(), startSeconds);
        // The keys are the editor's again: the arrows move the part, not the text cursor.
        ASSERT_EQ(editor.focusWidget(), editor.waveformView());
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
    type(editor.startTimeTF(), u"00:02:30"_s); // pulled back to 140-180 s
    EXPECT_TRUE(inView(editor.part().x, editor.part().right()));
    type(editor.startTimeTF(), u"00:00:05"_s);
    EXPECT_TRUE(inView(editor.part().x, editor.part().right()));
    for (int i = 0; i < 4; ++i)
        click(button("zoomInBtn"), QPoint(5, 5)); // 200 pixels a second: the part is wider than the view
    type(editor.endTimeTF(), u"00:00:50"_s);
    EXPECT_TRUE(inView(editor.part().right() - 1, editor.part().right()));
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
    const std::pair<QPushButton*, double> steps[] = { { in, 0.1 }, { in, 0.25 }, { in, 0.5 }, { in, 1.0 }, { out, 0.5 },
        { out, 0.25 }, { out, 0.1 }, { out, 0.05 } };
    for (const auto& [pressed, step] : steps) {
        ASSERT_TRUE(pressed->isEnabled()) << step;
        click(pressed, QPoint(5, 5));
        EXPECT_DOUBLE_EQ(clearance(), step);
        EXPECT_LE(labelSpacing(), 600.0) << step;
        EXPECT_EQ(std::pair(in->isEnabled(), out->isEnabled()), std::pair(step<1.0, step> 0.05)) << step;
    }
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
    const QImage start = QIcon(u":/RecordInAudioEditViewStart.png"_s).pixmap(32).toImage();
    const NotificationRecorder clicks(u"ClickRecord"_s);
    click(record, QPoint(5, 5));
    EXPECT_EQ(clicks.posted.size(), 1u);
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
    EXPECT_EQ(editor.fadeInPoPupBtn()->currentText(), u"1s"_s);
}

// Closing the window with the cursor in a time field: the field's last word must not reach
// an editor that is half gone.
TEST_F(EditorTest, DestroyedWithATimeFieldFocusedItEditsNothing)
{
    auto* other = new VyAudioEditorViewController;
    int ready = 0;
    QObject::connect(other, &VyAudioEditorViewController::loadFileSuccessful, [&] { ++ready; });
    gloableState().movieLen = 120;
    other->chooseFileEnd(tone(120), u"Tone"_s);
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return ready > 0; }, 20000));
    other->show();
    other->activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(other));
    other->startTimeTF()->setFocus();
    other->startTimeTF()->selectAll();
    QTest::keyClicks(other->startTimeTF(), u"00:00:20"_s);
    const NotificationRecorder edits(u"ResizeChooseTimeLen"_s);
    delete other;
    EXPECT_TRUE(edits.posted.empty());
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
    MonitorCapture::listenFor(200); // anything late from the first load would land now
    EXPECT_EQ(gloableState()._waveformPointsCount.load(), 25.0f * 200);
    EXPECT_DOUBLE_EQ(gloableState()._pointClearance.load(), 0.05);
    EXPECT_DOUBLE_EQ(partEnd(), 25.0);
    EXPECT_EQ(loaded, 1);
}

// What Space does is the preview session's rule; here the key reaches it and the player.
TEST_F(EditorTest, SpacePausesWholeFilePlay)
{
    if (!loadToPlay(30))
        GTEST_SKIP() << "no sound output";
    editor.clickPlaySound();
    EXPECT_EQ(editor.session().playBtnSt(), PlayButtonState::Playing);
    key(Qt::Key_Space);
    EXPECT_EQ(editor.session().playBtnSt(), PlayButtonState::Idle);
    EXPECT_EQ(editor.playerState(), PlayerState::Paused);
}

// Stop, Create Ringtone and Close during the rings gap end the preview: no pass starts.
TEST_F(EditorTest, StopSaveAndCloseDuringTheRingsGapLeaveSilence)
{
    if (!loadToPlay(30))
        GTEST_SKIP() << "no sound output";
    setRingsGap(1.0);
    const std::pair<const char*, std::function<void()>> endings[] = {
        { "stop", [&] { editor.clickStopSound(); } },
        { "create ringtone",
            [&] {
                QTest::mouseClick(editor.saveBtn(), Qt::LeftButton);
                EXPECT_TRUE(saver()->nameSheet() != nullptr && saver()->nameSheet()->isVisible());
            } },
        { "close", [&] { editor.clickCloseButton(); } },
    };
    for (const auto& [what, end] : endings) {
        SCOPED_TRACE(what);
        editor.repeatePreview(partEnd() * 1000.0 - 500.0); // half a second before the part's end
        ASSERT_TRUE(MonitorCapture::waitFor([&] { return editor.session().gapPending(); }, 20000));
        end();
        EXPECT_FALSE(editor.session().gapPending());
        EXPECT_FALSE(editor.session().isPreview());
        MonitorCapture::listenFor(1500); // longer than the gap
        EXPECT_NE(editor.playerState(), PlayerState::Playing) << "no new pass, not behind the name sheet";
        if (saver()->nameSheet() != nullptr)
            saver()->nameSheet()->reject();
    }
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
    if (!loadToPlay(8))
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

// A part from 0 to `second` seconds of a file of `first` seconds.
class PreviewPassHeard : public HeardTest, public ::testing::WithParamInterface<std::pair<double, double>> { };

TEST_P(PreviewPassHeard, EndsAtThePartsEndAndRestsForTheRingsGap)
{
    const auto [fileSeconds, partSeconds] = GetParam();
    // The sound server's own rate: no resampling blurs the edges.
    if (!loadToPlay(fileSeconds, 44100))
        GTEST_SKIP() << "no sound output";
    editor.waveformView()->setTimeTF(PartFrame { 0.0, partSeconds * 10.0 }); // 10 pixels a second
    setRingsGap(0.5);
    QTest::mouseClick(editor.previewBtn(), Qt::LeftButton);
    // silence, the first pass, the gap, and the next pass begun
    const std::vector<int> runs = waitForRuns(monitor, 4, 30000);
    editor.clickPreviewChosePart();
    ASSERT_GE(runs.size(), 4u);
    EXPECT_NEAR(runs[1], partSeconds * 1000.0, 10.0) << "nothing after the part's end is heard";
    EXPECT_NEAR(runs[2], 500.0, 100.0) << "the silence between the passes";
}

INSTANTIATE_TEST_SUITE_P(Parts, PreviewPassHeard, ::testing::Values(std::pair { 8.0, 5.0 }, std::pair { 5.0, 5.0 }),
    [](const auto& info) { return info.param.first > info.param.second ? "EndingMidFile" : "EndingAtTheFilesEnd"; });

} // namespace
