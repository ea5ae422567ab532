#include "core/editing/previewsession.h"

#include <QRectF>
#include <QString>
#include <QVariantMap>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <optional>
#include <string>
#include <vector>

namespace {

// The waveform at 10 pixels per second; the chosen part is 20 s to 30 s of a 60 s file.
constexpr double kMoveDx = 0.01;
constexpr double kPixelsPerSecond = 10.0;

// Records what the session asks of the editor and plays the part of a player whose
// clock the test advances by hand. The clock counts whole milliseconds, so a hundred
// ticks of 0.1 s make exactly 10 s.
class TestHost : public PreviewSession::Host {
public:
    // The simulated player.
    int state = PreviewSession::kPlayerStopped;
    int clockMs = 0;
    int soundEndMs = 60000; // where the player stops by itself
    int clockAtPlay = -1; // where the last play() started from

    // Editing state.
    double movie = 60.0;
    PartFrame chosen { 200.0, 100.0 };
    PreviewSession::FadeChoice fades;
    bool video = false;
    QRectF visible { 150.0, 0.0, 200.0, 100.0 };

    // What the session did: every call that changes something, in order.
    std::vector<std::string> log;
    QVariantMap lastFades;
    double lineX = -1.0;
    bool preview = false;
    std::string playImage;
    std::string previewImage;
    std::string playTime;
    int stopPlayPosts = 0;
    bool tickRunning = false;
    bool scrollRunning = false;
    int scrollStarts = 0;
    std::optional<double> gap;
    int gapCancels = 0;

    void advance(int ms)
    {
        if (state != PreviewSession::kPlayerPlaying)
            return;
        clockMs = std::min(clockMs + ms, soundEndMs);
        if (clockMs >= soundEndMs)
            state = PreviewSession::kPlayerStopped; // the clock stays at the end
    }

    [[nodiscard]] int count(const std::string& entry) const { return int(std::count(log.begin(), log.end(), entry)); }
    [[nodiscard]] std::ptrdiff_t indexOf(const std::string& entry) const
    {
        return std::find(log.begin(), log.end(), entry) - log.begin();
    }
    [[nodiscard]] double fade(const char* key) const { return lastFades.value(QString::fromLatin1(key)).toDouble(); }

    int playerState() const override { return state; }
    void play() override
    {
        note("play");
        state = PreviewSession::kPlayerPlaying;
        clockAtPlay = clockMs;
    }
    void pause() override
    {
        note("pause");
        state = PreviewSession::kPlayerPaused;
    }
    void stop() override
    {
        note("stop");
        state = PreviewSession::kPlayerStopped;
        clockMs = 0;
    }
    void seekPlayer(double seconds) override
    {
        note("seek", seconds);
        clockMs = int(seconds * 1000.0 + 0.5);
    }
    void setVolume(int percent) override { note("volume", percent); }
    void setFadeEnable(const QVariantMap& fadeMap) override
    {
        note("fades");
        lastFades = fadeMap;
    }
    double getPlayedTime() const override { return clockMs / 1000.0; }
    bool hasVideo() const override { return video; }

    PartFrame part() const override { return chosen; }
    double moveDx() const override { return kMoveDx; }
    double movieLen() const override { return movie; }
    PreviewSession::FadeChoice fadeChoice() const override { return fades; }

    void setTimeLineXPos(double x) override
    {
        note("line", x);
        lineX = x;
    }
    void setIsPreview(bool flag) override
    {
        note("preview", flag ? 1 : 0);
        preview = flag;
    }
    void setStartX(double x) override { note("startX", x); }
    void showVideo() override { note("video"); }
    void setPlayButtonImage(const QString& image) override
    {
        playImage = image.toStdString();
        note("playImage " + playImage);
    }
    void setPreviewButtonImage(const QString& image) override
    {
        previewImage = image.toStdString();
        note("previewImage " + previewImage);
    }
    void enableStartButton() override { note("startButton"); }
    void setPlayTime(const QString& text) override
    {
        playTime = text.toStdString();
        note("time " + playTime);
    }
    void redrawWaveform() override { note("redraw"); }
    QRectF visibleRect() const override { return visible; }
    void scrollTo(double x) override
    {
        note("scrollTo", x);
        visible.moveLeft(x);
    }
    void postStopPlay() override
    {
        note("StopPlay");
        ++stopPlayPosts;
    }

    void startTickTimer() override
    {
        note("tick start");
        tickRunning = true;
    }
    void stopTickTimer() override
    {
        note("tick stop");
        tickRunning = false;
    }
    void scheduleGap(double seconds) override
    {
        note("gap", seconds);
        gap = seconds;
    }
    void cancelGap() override
    {
        note("gap cancel");
        gap.reset();
        ++gapCancels;
    }
    void startScrollTimer() override
    {
        note("scroll start");
        scrollRunning = true;
        ++scrollStarts;
    }
    void stopScrollTimer() override
    {
        note("scroll stop");
        scrollRunning = false;
    }

private:
    void note(const std::string& what) { log.push_back(what); }
    void note(const std::string& what, double value)
    {
        log.push_back(what + " " + QString::number(value).toStdString());
    }
};

class SessionTest : public testing::Test {
protected:
    // One 0.1 s step of the world: the player's clock runs, then the timers that run fire.
    void tick()
    {
        host.advance(100);
        if (host.tickRunning)
            session.reflashTimeLinePos();
        if (host.scrollRunning)
            session.moveWaveformRinghtToLeft();
    }
    void runFor(int ms)
    {
        for (int i = 0; i < ms / 100; ++i)
            tick();
    }
    void fireGap()
    {
        ASSERT_TRUE(host.gap.has_value());
        host.gap.reset();
        session.ringsGapElapsed();
    }
    // A preview of the part that has just played to its end and waits in the gap.
    void previewToGap()
    {
        session.setRingsGap(2.0);
        session.clickPreviewChosePart();
        runFor(10000);
        ASSERT_TRUE(host.gap.has_value());
    }

    TestHost host;
    PreviewSession session { host };
};

class PreviewSessionLoop : public SessionTest { };
class PreviewSessionResume : public SessionTest { };
class PreviewSessionFades : public SessionTest { };
class PreviewSessionWholeFile : public SessionTest { };
class PreviewSessionScroll : public SessionTest { };
class PreviewSessionSpace : public SessionTest { };
class PreviewSessionNoPlayer : public SessionTest { };

TEST_F(PreviewSessionLoop, PartRepeatsAfterTheGapUntilPreviewIsPressed)
{
    session.setRingsGap(2.0);
    session.clickPreviewChosePart();
    EXPECT_EQ(session.previewBtnSt(), PreviewSession::kPreviewing);
    EXPECT_EQ(host.previewImage, "PreviewPause.png");
    EXPECT_TRUE(host.preview);
    EXPECT_EQ(host.state, PreviewSession::kPlayerPlaying);
    EXPECT_EQ(host.clockAtPlay, 20000);
    EXPECT_TRUE(host.tickRunning);

    runFor(9900);
    EXPECT_EQ(session.previewBtnSt(), PreviewSession::kPreviewing);
    EXPECT_NEAR(host.lineX, 29.9 * kPixelsPerSecond, 1e-9);
    EXPECT_FALSE(host.gap.has_value());

    tick(); // 30 s: the end of the part
    EXPECT_EQ(session.repeatePreviewTimes(), 1);
    EXPECT_EQ(session.previewBtnSt(), PreviewSession::kPreviewIdle);
    EXPECT_EQ(host.previewImage, "Preview.png");
    EXPECT_EQ(host.state, PreviewSession::kPlayerPaused);
    EXPECT_EQ(host.clockMs, 20000);
    EXPECT_NEAR(host.lineX, 200.0, 1e-9);
    EXPECT_TRUE(host.preview) << "the gap belongs to the preview";
    ASSERT_TRUE(host.gap.has_value());
    EXPECT_DOUBLE_EQ(*host.gap, 2.0);

    // Two seconds of silence: nothing restarts by itself and the line waits at the start.
    runFor(2000);
    EXPECT_EQ(host.state, PreviewSession::kPlayerPaused);
    EXPECT_EQ(host.clockMs, 20000);
    EXPECT_NEAR(host.lineX, 200.0, 1e-9);

    fireGap();
    EXPECT_EQ(session.previewBtnSt(), PreviewSession::kPreviewing);
    EXPECT_EQ(host.state, PreviewSession::kPlayerPlaying);
    EXPECT_EQ(host.clockAtPlay, 20000);

    runFor(10000);
    EXPECT_EQ(session.repeatePreviewTimes(), 2);
    fireGap();
    runFor(3000);

    session.clickPreviewChosePart();
    EXPECT_EQ(session.previewBtnSt(), PreviewSession::kPreviewIdle);
    EXPECT_FALSE(session.isPreview());
    EXPECT_FALSE(host.preview);
    EXPECT_EQ(host.state, PreviewSession::kPlayerPaused);
    EXPECT_DOUBLE_EQ(session.previewStopTime(), 23.0);
    runFor(20000);
    EXPECT_EQ(host.clockMs, 23000);
    EXPECT_FALSE(host.gap.has_value());
    EXPECT_FALSE(host.tickRunning);
}

TEST_F(PreviewSessionLoop, StopDuringGapEndsLoopAndStaleGapDoesNothing)
{
    previewToGap();
    session.clickStopSound();
    EXPECT_EQ(host.gapCancels, 1);
    EXPECT_FALSE(session.gapPending());
    EXPECT_FALSE(host.preview);
    EXPECT_EQ(host.state, PreviewSession::kPlayerStopped);
    EXPECT_EQ(session.playBtnSt(), PreviewSession::kPlayIdle);
    EXPECT_EQ(session.previewBtnSt(), PreviewSession::kPreviewIdle);
    EXPECT_DOUBLE_EQ(host.lineX, 0.0);

    const int plays = host.count("play");
    const auto seeks = std::count_if(
        host.log.begin(), host.log.end(), [](const std::string& entry) { return entry.rfind("seek", 0) == 0; });
    // The timer had already fired, and the view still sends "repeatePreview".
    session.ringsGapElapsed();
    session.repeatePreview();
    runFor(5000);
    EXPECT_EQ(host.count("play"), plays);
    EXPECT_EQ(std::count_if(host.log.begin(), host.log.end(),
                  [](const std::string& entry) { return entry.rfind("seek", 0) == 0; }),
        seeks);
    EXPECT_EQ(host.state, PreviewSession::kPlayerStopped);
    EXPECT_FALSE(host.tickRunning);
}

TEST_F(PreviewSessionLoop, PreviewDuringGapStartsPassAtOnceAndTheGapTimerAddsNone)
{
    previewToGap();
    const int plays = host.count("play");
    session.clickPreviewChosePart();
    EXPECT_EQ(host.gapCancels, 1);
    EXPECT_EQ(session.previewBtnSt(), PreviewSession::kPreviewing);
    EXPECT_EQ(host.state, PreviewSession::kPlayerPlaying);
    EXPECT_EQ(host.count("play"), plays + 1);

    runFor(3000);
    session.ringsGapElapsed(); // fired before it could be cancelled
    EXPECT_EQ(host.clockMs, 23000) << "the running pass must not jump back to the part's start";
    EXPECT_EQ(host.count("play"), plays + 1);
}

TEST_F(PreviewSessionLoop, EditsDuringGapRestartOnceWithoutTheGapTimer)
{
    previewToGap();
    // A part edit while previewing restarts the preview; the pending gap is superseded.
    session.repeatePreview();
    EXPECT_EQ(host.gapCancels, 1);
    EXPECT_EQ(host.state, PreviewSession::kPlayerPlaying);
    runFor(1000);
    session.ringsGapElapsed();
    EXPECT_EQ(host.clockMs, 21000);
}

TEST_F(PreviewSessionLoop, LoopEndedDuringPassStopsAfterIt)
{
    session.setRingsGap(2.0);
    session.clickPreviewChosePart();
    runFor(5000);
    session.endPreviewLoop(); // e.g. a save or another window opening
    runFor(5000);
    EXPECT_FALSE(host.gap.has_value());
    EXPECT_EQ(session.previewBtnSt(), PreviewSession::kPreviewIdle);
    EXPECT_FALSE(host.preview);
    EXPECT_EQ(host.state, PreviewSession::kPlayerPaused);
    runFor(1000);
    EXPECT_FALSE(host.tickRunning);
    session.repeatePreview();
    EXPECT_EQ(host.state, PreviewSession::kPlayerPaused);
}

TEST_F(PreviewSessionLoop, PlayerStoppingByItselfEndsThePass)
{
    host.chosen = PartFrame { 500.0, 100.0 }; // 50 s to the file's end
    host.soundEndMs = 59700; // the sound runs out a little early
    session.setRingsGap(2.0);
    session.clickPreviewChosePart();
    runFor(9700);
    ASSERT_TRUE(host.gap.has_value());
    EXPECT_EQ(session.previewBtnSt(), PreviewSession::kPreviewIdle);
    EXPECT_EQ(host.clockMs, 50000);
    fireGap();
    EXPECT_EQ(host.state, PreviewSession::kPlayerPlaying);
    EXPECT_EQ(host.clockAtPlay, 50000);
}

TEST_F(PreviewSessionLoop, AutoScrollIsOffAfterTheFirstPass)
{
    host.visible = QRectF(0.0, 0.0, 200.0, 100.0); // 0 s to 20 s: the part lies right of it
    session.setRingsGap(2.0);
    session.clickPreviewChosePart();
    runFor(1000);
    EXPECT_GT(host.scrollStarts, 0);
    runFor(9000);
    fireGap();
    const auto scrolledBefore = host.log.size();
    runFor(5000);
    EXPECT_FALSE(session.shouldMoveWaveform());
    EXPECT_FALSE(host.scrollRunning);
    const bool scrolledAgain = std::any_of(host.log.begin() + std::ptrdiff_t(scrolledBefore), host.log.end(),
        [](const std::string& entry) { return entry.rfind("scrollTo", 0) == 0; });
    EXPECT_FALSE(scrolledAgain);
}

TEST_F(PreviewSessionResume, PausedPreviewResumesThereWithTheFadeInThere)
{
    session.clickPreviewChosePart();
    runFor(3200);
    session.clickPreviewChosePart();
    EXPECT_NEAR(session.previewStopTime(), 23.2, 1e-9);
    session.clickPreviewChosePart();
    EXPECT_EQ(host.clockAtPlay, 23200);
    EXPECT_NEAR(host.fade("FadeInStartTime"), 23.2, 1e-9);
    EXPECT_NEAR(host.fade("FadeOutStartTime"), 30.0, 1e-9);
}

TEST_F(PreviewSessionResume, MovedPartPreviewsFromItsStart)
{
    session.clickPreviewChosePart();
    runFor(3200);
    session.clickPreviewChosePart();
    session.resettPreviewTime(); // "ChoosePartChanged"
    session.clickPreviewChosePart();
    EXPECT_EQ(host.clockAtPlay, 20000);
    EXPECT_NEAR(host.fade("FadeInStartTime"), 20.0, 1e-9);
}

TEST_F(PreviewSessionResume, PauseOutsideThePartPreviewsFromItsStart)
{
    session.handlePlay(40000.0);
    runFor(1000);
    session.clickPlaySound(); // pause at 41 s
    EXPECT_DOUBLE_EQ(session.previewStopTime(), 41.0);
    session.clickPreviewChosePart();
    EXPECT_EQ(host.clockAtPlay, 20000);
}

TEST_F(PreviewSessionResume, WholeFilePlayAndPreviewTakeOverFromEachOther)
{
    host.video = true;
    session.handlePlay();
    runFor(4000);
    session.clickPreviewChosePart();
    EXPECT_EQ(session.playBtnSt(), PreviewSession::kPlayIdle);
    EXPECT_EQ(host.playImage, "PlayN.png");
    EXPECT_DOUBLE_EQ(session.playBeginPos(), 4.0);
    EXPECT_EQ(host.clockMs, 20000);
    EXPECT_GE(host.count("video"), 2);

    runFor(1500);
    session.clickPlaySound(); // play the whole file again from where it was left
    EXPECT_DOUBLE_EQ(session.previewStopTime(), 21.5);
    EXPECT_EQ(session.previewBtnSt(), PreviewSession::kPreviewIdle);
    EXPECT_EQ(session.playBtnSt(), PreviewSession::kPlaying);
    EXPECT_FALSE(host.preview);
    EXPECT_EQ(host.clockMs, 4000);
    EXPECT_DOUBLE_EQ(host.fade("FadeInLength"), 0.0);
    EXPECT_DOUBLE_EQ(host.fade("FadeOutLength"), 0.0);
}

TEST_F(PreviewSessionFades, TickedFadesGoToThePlayer)
{
    host.fades = { true, 2.0, false, 3.0 };
    session.clickPreviewChosePart();
    EXPECT_DOUBLE_EQ(host.fade("FadeInStartTime"), 20.0);
    EXPECT_DOUBLE_EQ(host.fade("FadeInLength"), 2.0);
    EXPECT_DOUBLE_EQ(host.fade("FadeOutLength"), 0.0);
    EXPECT_DOUBLE_EQ(host.fade("FadeOutStartTime"), 30.0);

    session.clickPreviewChosePart();
    host.fades = { false, 2.0, true, 3.0 };
    session.resettPreviewTime();
    session.clickPreviewChosePart();
    EXPECT_DOUBLE_EQ(host.fade("FadeInLength"), 0.0);
    EXPECT_DOUBLE_EQ(host.fade("FadeOutLength"), 3.0) << "the player adds its own second";
    EXPECT_DOUBLE_EQ(host.fade("FadeOutStartTime"), 27.0);
}

TEST_F(PreviewSessionWholeFile, EndOfFileRestoresButtonAndLineAndPostsStopPlay)
{
    session.handlePlay(55000.0);
    EXPECT_EQ(session.playBtnSt(), PreviewSession::kPlaying);
    EXPECT_EQ(host.playImage, "Pause.png");
    EXPECT_DOUBLE_EQ(host.lineX, 550.0);
    runFor(4900);
    EXPECT_EQ(host.stopPlayPosts, 0);
    tick();
    EXPECT_EQ(session.playBtnSt(), PreviewSession::kPlayIdle);
    EXPECT_EQ(host.playImage, "PlayN.png");
    EXPECT_DOUBLE_EQ(host.lineX, 0.0);
    EXPECT_DOUBLE_EQ(session.playBeginPos(), 0.0);
    EXPECT_EQ(host.playTime, "00:00:00 / 00:01:00");
    EXPECT_EQ(host.stopPlayPosts, 1);
    runFor(1000);
    EXPECT_FALSE(host.tickRunning);
    EXPECT_EQ(host.stopPlayPosts, 1);
}

TEST_F(PreviewSessionWholeFile, PlayerStoppingEarlyEndsPlayTheSameWay)
{
    host.soundEndMs = 59500;
    session.handlePlay(55000.0);
    runFor(4400);
    EXPECT_EQ(session.playBtnSt(), PreviewSession::kPlaying);
    tick();
    EXPECT_EQ(session.playBtnSt(), PreviewSession::kPlayIdle);
    EXPECT_EQ(host.playImage, "PlayN.png");
    EXPECT_DOUBLE_EQ(host.lineX, 0.0);
    EXPECT_EQ(host.stopPlayPosts, 1);
}

TEST_F(PreviewSessionWholeFile, FirstStartSeeksBeforeItPlays)
{
    session.resetForNewFile();
    EXPECT_FALSE(session.hasPlayed());
    host.log.clear();
    session.handlePlay(12000.0);
    EXPECT_LT(host.indexOf("seek 12"), host.indexOf("play"));
    EXPECT_EQ(host.clockAtPlay, 12000);
    EXPECT_EQ(host.count("volume 100"), 1);
    EXPECT_TRUE(session.hasPlayed());
    EXPECT_EQ(session.seekToTimePos(), 12.0);
}

TEST_F(PreviewSessionWholeFile, PauseResumeStopAndBeyondTheEnd)
{
    session.handlePlay();
    runFor(4000);
    session.clickPlaySound();
    EXPECT_EQ(session.playBtnSt(), PreviewSession::kPlayIdle);
    EXPECT_EQ(host.state, PreviewSession::kPlayerPaused);
    EXPECT_DOUBLE_EQ(session.playBeginPos(), 4.0);
    runFor(1000);
    EXPECT_FALSE(host.tickRunning);
    EXPECT_NEAR(host.lineX, 40.0, 1e-9) << "a paused line stays where it is";

    session.clickPlaySound();
    EXPECT_EQ(session.playBtnSt(), PreviewSession::kPlaying);
    EXPECT_EQ(host.clockAtPlay, 4000);

    host.log.clear();
    session.handlePlay(61000.0);
    EXPECT_TRUE(host.log.empty()) << "a start beyond the end is ignored";

    session.clickStopSound();
    EXPECT_EQ(host.state, PreviewSession::kPlayerStopped);
    EXPECT_EQ(host.count("startX 0"), 1);
    EXPECT_DOUBLE_EQ(host.lineX, 0.0);
    EXPECT_DOUBLE_EQ(session.playBeginPos(), 0.0);
    EXPECT_EQ(session.playBtnSt(), PreviewSession::kPlayIdle);

    session.setPlayBeginTime(7500.0);
    EXPECT_DOUBLE_EQ(session.playBeginPos(), 7.5);
    EXPECT_EQ(host.playTime, "00:00:07 / 00:01:00");
}

TEST_F(PreviewSessionWholeFile, ButtonsResetAndTimeText)
{
    session.handlePlay();
    session.resetButtons();
    EXPECT_EQ(session.playBtnSt(), PreviewSession::kPlayFresh);
    EXPECT_EQ(host.playImage, "PlayN.png");
    EXPECT_EQ(session.previewBtnSt(), PreviewSession::kPreviewIdle);
    EXPECT_EQ(host.previewImage, "Preview.png");
    EXPECT_EQ(PreviewSession::playTimeText(75.9, 183.0).toStdString(), "00:01:15 / 00:03:03");
}

// Whole-file play started at `startSeconds` and one tick later, with 10 s to 30 s visible.
struct ScrollCase {
    double startSeconds;
    int method;
    double speed;
};

TEST_F(PreviewSessionScroll, MethodFollowsWhereTheLineIs)
{
    const ScrollCase cases[] = {
        { 25.0, 1, 10.0 + (251.0 - 200.0) }, // right of the middle, visible
        { 15.0, 2, 1.0 - (151.0 - 200.0) }, // left of the middle, visible
        { 5.0, 4, 1.0 - (51.0 - 200.0) }, // beyond the left edge
        { 40.0, 3, 10.0 + (401.0 - 200.0) }, // beyond the right edge
    };
    for (const ScrollCase& c : cases) {
        TestHost caseHost;
        caseHost.visible = QRectF(100.0, 0.0, 200.0, 100.0);
        PreviewSession caseSession(caseHost);
        caseSession.handlePlay(c.startSeconds * 1000.0);
        caseHost.advance(100);
        caseSession.reflashTimeLinePos();
        EXPECT_EQ(caseSession.waveformMoveMethod(), c.method) << c.startSeconds;
        EXPECT_NEAR(caseSession.waveformSpeed(), c.speed, 1e-9) << c.startSeconds;
        EXPECT_TRUE(caseHost.scrollRunning) << c.startSeconds;
    }
}

TEST_F(PreviewSessionScroll, NearTheMiddleTheViewMovesWithTheSound)
{
    host.visible = QRectF(100.0, 0.0, 200.0, 100.0);
    session.handlePlay(20000.0);
    tick();
    EXPECT_NEAR(host.visible.x(), 101.0, 1e-9);
    tick();
    EXPECT_NEAR(host.visible.x(), 102.0, 1e-9);
    EXPECT_EQ(host.scrollStarts, 0);
}

TEST_F(PreviewSessionScroll, StepsUntilCentredAndAnActiveMethodIsNotRestarted)
{
    host.visible = QRectF(100.0, 0.0, 200.0, 100.0);
    session.handlePlay(25000.0);
    host.advance(100);
    session.reflashTimeLinePos();
    ASSERT_EQ(session.waveformMoveMethod(), 1);
    session.reflashTimeLinePos(); // still method 1: its timer carries on
    EXPECT_EQ(host.scrollStarts, 1);

    session.moveWaveformRinghtToLeft();
    EXPECT_NEAR(host.visible.x(), 106.1, 1e-9);
    int steps = 1;
    while (host.scrollRunning && steps < 100) {
        session.moveWaveformRinghtToLeft();
        ++steps;
    }
    EXPECT_FALSE(host.scrollRunning);
    EXPECT_LT(std::abs(251.0 - host.visible.center().x()), 6.1);

    // Left of the middle the view moves left.
    TestHost leftHost;
    leftHost.visible = QRectF(100.0, 0.0, 200.0, 100.0);
    PreviewSession left(leftHost);
    left.handlePlay(15000.0);
    leftHost.advance(100);
    left.reflashTimeLinePos();
    left.moveWaveformRinghtToLeft();
    EXPECT_NEAR(leftHost.visible.x(), 95.0, 1e-9);
}

TEST_F(PreviewSessionScroll, ScrollerClickStopsAutoScroll)
{
    host.visible = QRectF(100.0, 0.0, 200.0, 100.0);
    session.handlePlay(25000.0);
    tick();
    ASSERT_TRUE(host.scrollRunning);
    session.waveformScrollerClicked();
    const double x = host.visible.x();
    runFor(1000);
    EXPECT_FALSE(host.scrollRunning);
    EXPECT_DOUBLE_EQ(host.visible.x(), x);
    session.setCanMoveWaveform();
    tick();
    EXPECT_TRUE(host.scrollRunning);
}

TEST_F(PreviewSessionSpace, PausesWholeFilePlayOtherwiseTogglesPreview)
{
    session.handlePlay();
    runFor(1000);
    session.spaceKey();
    EXPECT_EQ(session.playBtnSt(), PreviewSession::kPlayIdle);
    EXPECT_EQ(session.previewBtnSt(), PreviewSession::kPreviewIdle);
    EXPECT_EQ(host.state, PreviewSession::kPlayerPaused);

    session.spaceKey();
    EXPECT_EQ(session.previewBtnSt(), PreviewSession::kPreviewing);
    EXPECT_EQ(host.state, PreviewSession::kPlayerPlaying);
    session.spaceKey();
    EXPECT_EQ(session.previewBtnSt(), PreviewSession::kPreviewIdle);
    EXPECT_EQ(host.state, PreviewSession::kPlayerPaused);
}

TEST_F(PreviewSessionSpace, InTheGapStartsTheNextPass)
{
    previewToGap();
    session.spaceKey();
    EXPECT_EQ(session.previewBtnSt(), PreviewSession::kPreviewing);
    EXPECT_FALSE(session.gapPending());
    EXPECT_EQ(host.gapCancels, 1);
}

TEST_F(PreviewSessionNoPlayer, NothingHappens)
{
    host.state = PreviewSession::kNoPlayer;
    session.clickPlaySound();
    session.clickPauseSound();
    session.clickStopSound();
    session.clickPreviewChosePart();
    session.spaceKey();
    session.handlePlay(1000.0);
    session.repeatePreview(21000.0);
    session.repeatePreview();
    session.setPlayBeginTime(5000.0);
    session.setVolume(50);
    session.reflashTimeLinePos();
    session.moveWaveformRinghtToLeft();
    session.ringsGapElapsed();
    session.closeEditor();
    EXPECT_TRUE(host.log.empty()) << host.log.front();
    EXPECT_EQ(session.playBtnSt(), PreviewSession::kPlayFresh);
    EXPECT_EQ(session.previewBtnSt(), PreviewSession::kPreviewIdle);
    EXPECT_FALSE(session.isPreview());
}

} // namespace
