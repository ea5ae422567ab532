#include "core/environment/editingstate.h"
#include "media/decoderlib.h"
#include "support/fixtures.h"
#include "support/notificationrecorder.h"
#include "support/tonewav.h"
#include "ui/waveform/dragview.h"
#include "ui/waveform/waveformgeometry.h"
#include "ui/waveform/waveformview.h"

#include <QDropEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QScreen>
#include <QScrollArea>
#include <QScrollBar>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <algorithm>

using namespace Qt::StringLiterals;

namespace {

struct RecordingDelegate : WaveformViewDelegate {
    std::vector<std::optional<double>> previews;
    std::vector<double> plays;
    std::vector<double> beginTimes;
    PlayerState state = PlayerState::Stopped;
    void repeatePreview(std::optional<double> fromMs) override { previews.push_back(fromMs); }
    void handlePlay(double fromMs) override { plays.push_back(fromMs); }
    int previewStops = 0;
    void stopPreview() override { ++previewStops; }
    PlayerState getPlayerState() override { return state; }
    void setPlayBeginTime(double ms) override { beginTimes.push_back(ms); }
    void setCanMoveWaveform() override { }
};

class WaveformViewTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { DecMgrInit(); }
    void SetUp() override
    {
        view = new WaveformView(&window);
        view->waveformScrollView()->resize(900, 250);
        view->resize(682, 217);
        view->setDelegate(&delegate);
        view->setTimeFields(&start, &end);
        window.resize(900, 250);
        window.show();
    }
    void TearDown() override { GloableVar::resetGloableVariable(); }

    // Loads a tone of `seconds` the way the editor does, and returns after it landed.
    void load(double seconds)
    {
        const std::string path = dir.file("tone-" + std::to_string(seconds) + ".wav");
        fixtures::writeToneWav(path, seconds);
        gloableState().movieLen = seconds;
        gloableState()._pointClearance = 0.05;
        recorder.posted.clear();
        view->drawWave(QString::fromStdString(path));
        QCoreApplication::processEvents();
        ASSERT_TRUE(view->hasWaveform());
    }
    QString lastLength() const
    {
        for (auto it = recorder.posted.rbegin(); it != recorder.posted.rend(); ++it) {
            if (it->name == u"ResizeChooseTimeLen"_s)
                return it->userInfo.value(u"ChooseTimeLen"_s).toString();
        }
        return {};
    }
    void press(QPoint p) { QTest::mousePress(view, Qt::LeftButton, {}, p); }
    void move(QPoint p) { QTest::mouseMove(view, p); }
    void release(QPoint p) { QTest::mouseRelease(view, Qt::LeftButton, {}, p); }

    fixtures::ScratchDir dir;
    QWidget window;
    WaveformView* view = nullptr;
    QLineEdit start;
    QLineEdit end;
    RecordingDelegate delegate;
    NotificationRecorder recorder;
};

// A taller or wider area: the points' heights follow the waveform band's, the bar spans
// it, and the view fills the area's width.
TEST_F(WaveformViewTest, TheViewFollowsItsAreaAndThePointsItsHeight)
{
    load(30);
    const auto points = gloableState()._cgPointArray();
    ASSERT_TRUE(points && !points->empty());
    const double band = view->height() - WaveformArt::kRulerHeight;
    const float loud = (*points)[100].y;
    for (const QSize area : { QSize(1400, 450), QSize(900, 250) }) {
        SCOPED_TRACE(area.width());
        view->waveformScrollView()->resize(area);
        QCoreApplication::processEvents();
        const QWidget* viewport = view->waveformScrollView()->viewport();
        EXPECT_EQ(view->height(), viewport->height());
        EXPECT_EQ(view->width(), std::max(682, viewport->width()));
        const double newBand = view->height() - WaveformArt::kRulerHeight;
        EXPECT_NEAR((*gloableState()._cgPointArray())[100].y, loud * newBand / band, 0.01);
        EXPECT_EQ(view->lineView()->height(), int(newBand));
    }
}

// The first part, in the fields and as the bar; the view is never narrower than the area.
TEST_F(WaveformViewTest, ALoadShowsTheFirstPartInTheFieldsAndAsTheBar)
{
    const std::tuple<double, double, const char*, int> cases[]
        = { { 30, 300, "00:00:30", 682 }, { 120, 400, "00:00:40", 1200 } };
    for (const auto& [file, width, endText, viewWidth] : cases) {
        SCOPED_TRACE(file);
        load(file);
        EXPECT_EQ(view->part(), (PartFrame { 0.0, width })); // 10 pixels a second
        EXPECT_EQ(start.text(), u"00:00:00"_s);
        EXPECT_EQ(end.text(), QString::fromLatin1(endText));
        EXPECT_EQ(view->width(), std::max(viewWidth, view->waveformScrollView()->viewport()->width()));
        EXPECT_EQ(view->lineView()->geometry(),
            QRect(0, WaveformArt::kRulerHeight, int(width), view->height() - WaveformArt::kRulerHeight));
        EXPECT_TRUE(view->lineView()->isVisible());
    }
    EXPECT_EQ(view->timeLineStrings().size(), 120);
    EXPECT_EQ(view->timeLineStrings().at(75), u"00:01:15"_s);
}

TEST_F(WaveformViewTest, DraggingOverEmptyWaveformBuildsAPartFromThePressPoint)
{
    load(120);
    // 70 s to the left of the press: at most 60 s, ending at the press point.
    press(QPoint(1100, 120));
    move(QPoint(700, 120));
    move(QPoint(400, 120));
    release(QPoint(400, 120));
    EXPECT_EQ(view->part(), (PartFrame { 500.0, 600.0 }));
    EXPECT_EQ(start.text(), u"00:00:50"_s);
    EXPECT_EQ(end.text(), u"00:01:50"_s);
    EXPECT_EQ(lastLength(), u"60s"_s);
}

TEST_F(WaveformViewTest, ResizeStopsAt5SecondsUntilThePointerReturns)
{
    load(120);
    move(QPoint(402, 120)); // the right grab zone
    press(QPoint(402, 120));
    move(QPoint(200, 120));
    move(QPoint(10, 120));
    EXPECT_EQ(view->part(), (PartFrame { 0.0, 50.0 }));
    move(QPoint(300, 120)); // away from the zone: ignored
    EXPECT_EQ(view->part(), (PartFrame { 0.0, 50.0 }));
    move(QPoint(52, 120)); // back in the right grab zone
    move(QPoint(152, 120));
    EXPECT_EQ(view->part(), (PartFrame { 0.0, 150.0 }));
    release(QPoint(152, 120));
    EXPECT_EQ(end.text(), u"00:00:15"_s);
}

TEST_F(WaveformViewTest, DoubleClicksPreviewInsideAndPlayOutside)
{
    load(120);
    QTest::mouseDClick(view->lineView(), Qt::LeftButton, {}, QPoint(100, 60));
    ASSERT_EQ(delegate.previews.size(), 1u);
    EXPECT_DOUBLE_EQ(delegate.previews[0].value(), 10000.0);
    EXPECT_TRUE(view->isPreview());
    QTest::mouseDClick(view, Qt::LeftButton, {}, QPoint(600, 120));
    ASSERT_EQ(delegate.plays.size(), 1u);
    EXPECT_DOUBLE_EQ(delegate.plays[0], 60000.0);
    EXPECT_FALSE(view->isPreview());
}

TEST_F(WaveformViewTest, PlayLineFollowsTheRulerAndRestartsPlay)
{
    load(120);
    delegate.state = PlayerState::Playing; // playing
    press(QPoint(250, 10)); // in the ruler
    move(QPoint(300, 10));
    release(QPoint(300, 10));
    EXPECT_DOUBLE_EQ(view->timeLineX(), 300.0);
    ASSERT_EQ(delegate.plays.size(), 2u);
    EXPECT_DOUBLE_EQ(delegate.plays.back(), 30000.0);
    EXPECT_DOUBLE_EQ(delegate.beginTimes.back(), 30000.0);
    view->repaint(); // the bar learns where the line is when the view paints
    EXPECT_TRUE(view->lineView()->drawsTimeLine()); // 30 s lies inside the 0-40 s part

    // While previewing (a pass, or the rings gap after it) the line ends the preview and
    // starts nothing.
    view->setIsPreview(true);
    press(QPoint(350, 10));
    release(QPoint(350, 10));
    EXPECT_EQ(delegate.previewStops, 1);
    EXPECT_EQ(delegate.plays.size(), 2u);
    EXPECT_TRUE(delegate.previews.empty());
}

// While previewing the bar draws the play line; what the window shows after the line's
// own repaint must have it.
TEST_F(WaveformViewTest, PreviewShowsThePlayLineOnTheBar)
{
    load(120);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    view->setIsPreview(true);
    QTest::qWait(20);
    for (const double x : { 200.0, 230.0 }) {
        view->setTimeLineXPos(x);
        QTest::qWait(20);
        const QImage shown = window.screen()->grabWindow(window.winId()).toImage();
        const QPoint at = view->mapTo(&window, QPoint(static_cast<int>(x), 100));
        EXPECT_EQ(shown.pixelColor(at), QColor(Qt::black)) << x;
    }
}

TEST_F(WaveformViewTest, ZoomKeepsThePartAtTheSameTimes)
{
    load(120);
    view->setTimeTF(PartFrame { 100.0, 200.0 });
    view->setTimeLineXPos(150.0);
    view->setWaveformWidth(0.5);
    EXPECT_EQ(view->part(), (PartFrame { 1000.0, 2000.0 }));
    EXPECT_DOUBLE_EQ(view->timeLineX(), 1500.0);
    EXPECT_EQ(view->width(), 12000);
    EXPECT_EQ(start.text(), u"00:00:10"_s);
    view->setWaveformWidth(0.000001); // ignored
    EXPECT_EQ(view->width(), 12000);
}

TEST_F(WaveformViewTest, BarMovesInsideTheFileAndTellsTheEditor)
{
    load(120);
    DragView* bar = view->lineView();
    QTest::mousePress(bar, Qt::LeftButton, {}, QPoint(200, 60));
    QTest::mouseMove(bar, QPoint(1200, 60));
    EXPECT_EQ(view->part(), (PartFrame { 800.0, 400.0 })); // its end at the file's end
    QTest::mouseRelease(bar, Qt::LeftButton, {}, QPoint(1200, 60));
    EXPECT_TRUE(recorder.names().contains(u"ChoosePartChanged"_s));
    EXPECT_FALSE(recorder.names().contains(u"repeatePreview"_s));
    // A single click while previewing restarts the preview.
    view->setIsPreview(true);
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(50, 60));
    EXPECT_EQ(recorder.names().back(), u"repeatePreview"_s);
}

TEST_F(WaveformViewTest, BarGridSitsOverTheRulerGrid)
{
    load(120);
    view->setTimeTF(PartFrame { 215.0, 400.0 });
    view->lineView()->prepareDrawPoints();
    const std::vector<int> lines = view->lineView()->gridLines();
    ASSERT_FALSE(lines.empty());
    for (int x : lines) {
        const int waveformX = x + 215;
        EXPECT_EQ(waveformX % 30, 0) << waveformX; // every 3 s at 10 pixels a second
    }
    // A part reaching the file's end draws only the points that exist.
    view->setTimeTF(PartFrame { 1150.0, 50.0 });
    view->lineView()->prepareDrawPoints();
    EXPECT_LE(
        view->lineView()->dragWavePointStartPos() + static_cast<int>(view->lineView()->dragPoints().size()), 120 * 200);
}

TEST_F(WaveformViewTest, ScrollerClicksAreAnnounced)
{
    load(120);
    recorder.posted.clear();
    QScrollBar* scroller = view->waveformScrollView()->horizontalScrollBar();
    scroller->triggerAction(QAbstractSlider::SliderPageStepAdd);
    ASSERT_FALSE(recorder.posted.empty());
    EXPECT_EQ(recorder.posted.back().name, u"Ozk_WaveformScrollerClickNotification"_s);
    EXPECT_EQ(recorder.posted.back().object, scroller);
}

TEST_F(WaveformViewTest, DropsAcceptTheViewsFileEndings)
{
    auto drop = [this](const QString& name) {
        QMimeData data;
        data.setUrls({ QUrl::fromLocalFile(u"/music/"_s + name) });
        QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view, &enter);
        if (!enter.isAccepted())
            return false;
        QDropEvent dropped(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(view, &dropped);
        return true;
    };
    recorder.posted.clear();
    EXPECT_TRUE(drop(u"ring.m4r"_s));
    EXPECT_TRUE(drop(u"clip.FLV"_s));
    EXPECT_FALSE(drop(u"notes.txt"_s));
    ASSERT_EQ(recorder.names(), QStringList(2, u"LoadChildItemInAudioEditView"_s));
    EXPECT_EQ(recorder.posted[0].userInfo.value(u"FilePath"_s), u"/music/ring.m4r"_s);
}

} // namespace
