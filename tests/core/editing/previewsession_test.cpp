#include "core/editing/previewsession.h"

#include <QRectF>
#include <QString>
#include <QVariantMap>

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

namespace {

// The waveform at 10 pixels per second (kMoveDx pixels per millisecond); the chosen part is
// 20 s to 30 s of a 60 s file.
constexpr double kMoveDx = 0.01;
const QRectF kTenToThirtySeconds(100.0, 0.0, 200.0, 100.0);

// Records what the session asks of the editor and plays the part of a player whose clock the
// test advances by hand, in whole milliseconds.
class TestHost : public PreviewSession::Host {
public:
    // The player's state and clock, where it stops by itself and where the last play() started.
    PlayerState state = PlayerState::Stopped;
    int clockMs = 0, soundEndMs = 60000, clockAtPlay = -1;
    int fileEndMs = 60000; // where the file's sound runs out
    double silenceBefore = 0.0; // the silence asked for before the last start
    PartFrame chosen { 200.0, 100.0 };
    PreviewSession::FadeChoice fades;
    bool video = false;
    QRectF visible { 150.0, 0.0, 200.0, 100.0 };

    std::vector<std::string> log; // every call that changes something, in order
    QVariantMap lastFades;
    double lineX = -1.0;
    bool preview = false, tickRunning = false, scrollRunning = false;
    std::string playImage, previewImage, playTime;
    std::optional<double> gap;

    void advance(int ms)
    {
        if (state != PlayerState::Playing)
            return;
        clockMs = std::min(clockMs + ms, soundEndMs);
        if (clockMs >= soundEndMs)
            state = PlayerState::Stopped; // the clock stays at the end
    }
    [[nodiscard]] int count(const std::string& entry) const { return int(std::count(log.begin(), log.end(), entry)); }
    [[nodiscard]] double fade(const char* key) const { return lastFades.value(QString::fromLatin1(key)).toDouble(); }

    PlayerState playerState() const override { return state; }
    void play() override
    {
        state = mark("play", PlayerState::Playing);
        clockAtPlay = clockMs;
    }
    void pause() override { state = mark("pause", PlayerState::Paused); }
    void stop() override
    {
        state = mark("stop", PlayerState::Stopped);
        clockMs = 0;
    }
    void seekPlayer(double seconds) override { clockMs = int(markValue("seek", seconds) * 1000.0 + 0.5); }
    // Like the real player, it stops by itself at the end it is given.
    void setPlayEnd(double, double end, double afterSilence) override
    {
        soundEndMs = end >= 0.0 ? std::min(int(end * 1000.0 + 0.5), fileEndMs) : fileEndMs;
        silenceBefore = afterSilence;
    }
    void setVolume(int percent) override { markValue("volume", percent); }
    void setFadeEnable(const QVariantMap& fadeMap) override { lastFades = mark("fades", fadeMap); }
    double getPlayedTime() const override { return clockMs / 1000.0; }
    bool hasVideo() const override { return video; }

    PartFrame part() const override { return chosen; }
    double moveDx() const override { return kMoveDx; }
    double movieLen() const override { return 60.0; }
    PreviewSession::FadeChoice fadeChoice() const override { return fades; }

    void setTimeLineXPos(double x) override { lineX = markValue("line", x); }
    void setIsPreview(bool flag) override { preview = markValue("preview", flag ? 1 : 0) != 0.0; }
    void setStartX(double x) override { markValue("startX", x); }
    void showVideo() override { note("video"); }
    void setPlayButtonImage(const QString& image) override { playImage = markText("playImage", image); }
    void setPreviewButtonImage(const QString& image) override { previewImage = markText("previewImage", image); }
    void enableStartButton() override { note("startButton"); }
    void setPlayTime(const QString& text) override { playTime = markText("time", text); }
    void redrawWaveform() override { note("redraw"); }
    QRectF visibleRect() const override { return visible; }
    void scrollTo(double x) override { visible.moveLeft(markValue("scrollTo", x)); }
    void postStopPlay() override { note("StopPlay"); }

    void startTickTimer() override { tickRunning = mark("tick start", true); }
    void stopTickTimer() override { tickRunning = mark("tick stop", false); }
    void scheduleGap(double seconds) override { gap = markValue("gap", seconds); }
    void cancelGap() override { gap = mark("gap cancel", std::nullopt); }
    void startScrollTimer() override { scrollRunning = mark("scroll start", true); }
    void stopScrollTimer() override { scrollRunning = mark("scroll stop", false); }

private:
    void note(const std::string& what) { log.push_back(what); }
    // These log their entry and hand the value on, so a call that is logged and stored fits one line.
    template <typename T> T mark(const std::string& what, T value)
    {
        log.push_back(what);
        return value;
    }
    double markValue(const std::string& what, double v)
    {
        return mark(what + " " + QString::number(v).toStdString(), v);
    }
    std::string markText(const std::string& what, const QString& text)
    {
        return mark(what + " " + text.toStdString(), text.toStdString());
    }
};

// An editor with its session.
struct World {
    TestHost host;
    PreviewSession session { host };

    // One 0.1 s step: the player's clock runs, then the timers that run fire.
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
    // A preview of the part that has just played to its end and waits in the 2 s gap.
    void previewToGap()
    {
        session.setRingsGap(2.0);
        session.clickPreviewChosePart();
        runFor(10000);
        ASSERT_TRUE(host.gap.has_value());
    }
};

class SessionTest : public testing::Test, public World { };
using PreviewSessionLoop = SessionTest;
using PreviewSessionResume = SessionTest;
using PreviewSessionWholeFile = SessionTest;
class PreviewSessionScroll : public SessionTest {
protected:
    void SetUp() override { host.visible = kTenToThirtySeconds; }
};

TEST_F(PreviewSessionLoop, PartRepeatsAfterTheGapUntilPreviewIsPressed)
{
    session.setRingsGap(2.0);
    session.clickPreviewChosePart();
    EXPECT_EQ(host.previewImage, "PreviewPause.png");
    EXPECT_TRUE(host.preview);
    EXPECT_EQ(host.clockAtPlay, 20000);
    runFor(9900);
    EXPECT_NEAR(host.lineX, 299.0, 1e-9);
    EXPECT_FALSE(host.gap.has_value());
    tick(); // 30 s: the end of the part
    EXPECT_EQ(host.previewImage, "Preview.png");
    EXPECT_EQ(host.state, PlayerState::Paused);
    EXPECT_EQ(host.clockMs, 20000);
    EXPECT_NEAR(host.lineX, 200.0, 1e-9);
    EXPECT_TRUE(host.preview) << "the gap belongs to the preview";
    ASSERT_TRUE(host.gap.has_value());
    EXPECT_DOUBLE_EQ(*host.gap, 1.8) << "handed over early; the player makes the 2 s of silence";
    runFor(2000); // nothing restarts by itself and the line waits at the start
    EXPECT_EQ(host.state, PlayerState::Paused);
    EXPECT_NEAR(host.lineX, 200.0, 1e-9);

    fireGap();
    EXPECT_EQ(host.state, PlayerState::Playing);
    EXPECT_EQ(host.clockAtPlay, 20000);
    EXPECT_DOUBLE_EQ(host.silenceBefore, 2.0);
    runFor(10000);
    fireGap();
    runFor(3000);

    session.clickPreviewChosePart();
    EXPECT_EQ(host.previewImage, "Preview.png");
    EXPECT_FALSE(host.preview);
    session.clickPreviewChosePart();
    EXPECT_DOUBLE_EQ(host.silenceBefore, 0.0) << "a pass the user starts plays at once";
    session.clickPreviewChosePart();
    runFor(20000);
    EXPECT_EQ(host.clockMs, 23000);
    EXPECT_FALSE(host.gap.has_value());
    EXPECT_FALSE(host.tickRunning);
}

TEST_F(PreviewSessionLoop, StopDuringGapEndsLoopAndStaleGapDoesNothing)
{
    previewToGap();
    session.clickStopSound();
    EXPECT_EQ(host.count("gap cancel"), 1);
    EXPECT_FALSE(host.preview);
    EXPECT_EQ(host.state, PlayerState::Stopped);
    EXPECT_DOUBLE_EQ(host.lineX, 0.0);

    host.log.clear();
    session.ringsGapElapsed(); // the timer had already fired
    session.repeatePreview(); // and the view still sends "repeatePreview"
    runFor(5000);
    EXPECT_EQ(host.count("play"), 0);
    EXPECT_EQ(host.clockMs, 0) << "no seek";
    EXPECT_EQ(host.state, PlayerState::Stopped);
    EXPECT_FALSE(host.tickRunning);
}

TEST_F(PreviewSessionLoop, PreviewEditOrSpaceDuringGapStartsOnePassAtOnceAndTheGapTimerAddsNone)
{
    const std::pair<const char*, std::function<void(PreviewSession&)>> restarts[] = {
        { "preview button", [](PreviewSession& s) { s.clickPreviewChosePart(); } },
        { "part edited while previewing", [](PreviewSession& s) { s.repeatePreview(); } },
        { "space", [](PreviewSession& s) { s.spaceKey(); } },
    };
    for (const auto& [what, restart] : restarts) {
        SCOPED_TRACE(what);
        World w;
        w.previewToGap();
        const int plays = w.host.count("play");
        restart(w.session);
        EXPECT_EQ(w.host.count("gap cancel"), 1);
        EXPECT_EQ(w.session.previewBtnSt(), PreviewButtonState::Previewing);
        EXPECT_EQ(w.host.state, PlayerState::Playing);
        w.runFor(3000);
        w.session.ringsGapElapsed(); // fired before it could be cancelled
        EXPECT_EQ(w.host.clockMs, 23000) << "the running pass must not jump back to the part's start";
        EXPECT_EQ(w.host.count("play"), plays + 1);
    }
}

TEST_F(PreviewSessionLoop, LoopEndedDuringPassStopsAfterIt)
{
    session.clickPreviewChosePart();
    runFor(5000);
    session.endPreviewLoop(); // e.g. a save or another window opening
    runFor(5000);
    EXPECT_FALSE(host.gap.has_value());
    EXPECT_FALSE(host.preview);
    EXPECT_EQ(host.state, PlayerState::Paused);
    runFor(1000);
    EXPECT_FALSE(host.tickRunning);
    session.repeatePreview();
    EXPECT_EQ(host.state, PlayerState::Paused);
}

TEST_F(PreviewSessionLoop, PlayerStoppingByItselfEndsThePass)
{
    host.chosen = PartFrame { 500.0, 100.0 }; // 50 s to the file's end
    host.fileEndMs = 59700; // the sound runs out a little early
    session.clickPreviewChosePart();
    runFor(9700);
    ASSERT_TRUE(host.gap.has_value());
    EXPECT_EQ(host.clockMs, 50000);
    fireGap();
    EXPECT_EQ(host.state, PlayerState::Playing);
    EXPECT_EQ(host.clockAtPlay, 50000);
}

TEST_F(PreviewSessionLoop, AutoScrollIsOffAfterTheFirstPass)
{
    host.visible = QRectF(0.0, 0.0, 200.0, 100.0); // 0 s to 20 s: the part lies right of it
    previewToGap();
    EXPECT_GT(host.count("scroll start"), 0);
    fireGap();
    const QRectF visible = host.visible;
    runFor(5000);
    EXPECT_FALSE(host.scrollRunning);
    EXPECT_EQ(host.visible, visible);
}

TEST_F(PreviewSessionResume, PausedPreviewResumesThereUnlessMovedOrPausedOutsideThePart)
{
    session.clickPreviewChosePart();
    runFor(3200);
    session.clickPreviewChosePart();
    EXPECT_NEAR(session.previewStopTime(), 23.2, 1e-9);
    session.clickPreviewChosePart();
    EXPECT_EQ(host.clockAtPlay, 23200);
    EXPECT_NEAR(host.fade("FadeInStartTime"), 23.2, 1e-9);

    session.clickPreviewChosePart();
    session.resettPreviewTime(); // "ChoosePartChanged"
    session.clickPreviewChosePart();
    EXPECT_EQ(host.clockAtPlay, 20000);
    EXPECT_NEAR(host.fade("FadeInStartTime"), 20.0, 1e-9);

    session.handlePlay(40000.0);
    runFor(1000);
    session.clickPlaySound(); // pause at 41 s, outside the part
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
    EXPECT_EQ(host.playImage, "PlayN.png");
    EXPECT_DOUBLE_EQ(session.playBeginPos(), 4.0);
    EXPECT_EQ(host.clockMs, 20000);
    EXPECT_GE(host.count("video"), 2);

    runFor(1500);
    session.clickPlaySound(); // play the whole file again from where it was left
    EXPECT_DOUBLE_EQ(session.previewStopTime(), 21.5);
    EXPECT_EQ(session.previewBtnSt(), PreviewButtonState::Idle);
    EXPECT_EQ(session.playBtnSt(), PlayButtonState::Playing);
    EXPECT_FALSE(host.preview);
    EXPECT_EQ(host.clockMs, 4000);
    EXPECT_DOUBLE_EQ(host.fade("FadeInLength"), 0.0);
    EXPECT_DOUBLE_EQ(host.fade("FadeOutLength"), 0.0);
}

TEST_F(PreviewSessionResume, TickedFadesGoToTheNextPass)
{
    host.fades = { true, 2.0, false, 3.0 };
    session.clickPreviewChosePart();
    EXPECT_DOUBLE_EQ(host.fade("FadeInLength"), 2.0);
    EXPECT_DOUBLE_EQ(host.fade("FadeOutLength"), 0.0);
    EXPECT_DOUBLE_EQ(host.fade("FadeOutStartTime"), 30.0);

    host.fades = { false, 2.0, true, 3.0 };
    session.repeatePreview(); // the next pass takes the new choice
    EXPECT_DOUBLE_EQ(host.fade("FadeInLength"), 0.0);
    EXPECT_DOUBLE_EQ(host.fade("FadeOutLength"), 3.0);
    EXPECT_DOUBLE_EQ(host.fade("FadeOutStartTime"), 27.0);
}

TEST_F(PreviewSessionWholeFile, EndOfFileOrPlayerStoppingEarlyRestoresButtonAndLineAndPostsStopPlay)
{
    for (const int soundEndMs : { 60000, 59500 }) {
        SCOPED_TRACE(soundEndMs);
        World w;
        w.host.fileEndMs = soundEndMs;
        w.session.handlePlay(55000.0);
        EXPECT_EQ(w.host.playImage, "Pause.png");
        EXPECT_DOUBLE_EQ(w.host.lineX, 550.0);
        w.runFor(soundEndMs - 55000 - 100);
        EXPECT_EQ(w.session.playBtnSt(), PlayButtonState::Playing);
        w.tick();
        EXPECT_EQ(w.host.playImage, "PlayN.png");
        EXPECT_DOUBLE_EQ(w.host.lineX, 0.0);
        EXPECT_DOUBLE_EQ(w.session.playBeginPos(), 0.0);
        EXPECT_EQ(w.host.playTime, "00:00:00 / 00:01:00");
        EXPECT_EQ(w.host.count("StopPlay"), 1);
        w.runFor(1000);
        EXPECT_FALSE(w.host.tickRunning);
        EXPECT_EQ(w.host.count("StopPlay"), 1);
    }
}

TEST_F(PreviewSessionWholeFile, FirstStartSeeksBeforeItPlaysAndButtonsReset)
{
    session.resetForNewFile();
    EXPECT_FALSE(session.hasPlayed());
    host.log.clear();
    session.handlePlay(12000.0);
    EXPECT_EQ(host.clockAtPlay, 12000) << "the player's clock was at 0";
    EXPECT_EQ(host.count("volume 100"), 1);
    EXPECT_TRUE(session.hasPlayed());
    EXPECT_EQ(session.seekToTimePos(), 12.0);

    session.resetButtons();
    EXPECT_EQ(session.playBtnSt(), PlayButtonState::Fresh);
    EXPECT_EQ(host.playImage, "PlayN.png");
    EXPECT_EQ(session.previewBtnSt(), PreviewButtonState::Idle);
    EXPECT_EQ(host.previewImage, "Preview.png");
}

TEST_F(PreviewSessionWholeFile, SpacePausesThenResumeStopBeyondTheEndAndSpaceTogglesThePreview)
{
    session.handlePlay();
    runFor(4000);
    session.spaceKey(); // pauses whole-file play as the play button does
    EXPECT_EQ(session.playBtnSt(), PlayButtonState::Idle);
    EXPECT_EQ(host.state, PlayerState::Paused);
    runFor(1000);
    EXPECT_FALSE(host.tickRunning);
    EXPECT_NEAR(host.lineX, 40.0, 1e-9) << "a paused line stays where it is";

    session.clickPlaySound();
    EXPECT_EQ(session.playBtnSt(), PlayButtonState::Playing);
    EXPECT_EQ(host.clockAtPlay, 4000);

    host.log.clear();
    session.handlePlay(61000.0);
    EXPECT_TRUE(host.log.empty()) << "a start beyond the end is ignored";

    session.clickStopSound();
    EXPECT_EQ(host.state, PlayerState::Stopped);
    EXPECT_EQ(host.count("startX 0"), 1);
    EXPECT_DOUBLE_EQ(host.lineX, 0.0);
    EXPECT_DOUBLE_EQ(session.playBeginPos(), 0.0);
    EXPECT_EQ(session.playBtnSt(), PlayButtonState::Idle);

    session.setPlayBeginTime(7500.0);
    EXPECT_DOUBLE_EQ(session.playBeginPos(), 7.5);
    EXPECT_EQ(host.playTime, "00:00:07 / 00:01:00");

    session.spaceKey(); // no whole-file play: space toggles the preview
    EXPECT_EQ(session.previewBtnSt(), PreviewButtonState::Previewing);
    EXPECT_EQ(host.state, PlayerState::Playing);
    session.spaceKey();
    EXPECT_EQ(session.previewBtnSt(), PreviewButtonState::Idle);
    EXPECT_EQ(host.state, PlayerState::Paused);
}

TEST_F(PreviewSessionScroll, MethodFollowsWhereTheLineIs)
{
    // Whole-file play from `start` with 10 s to 30 s visible, then one tick: a scroll method
    // is chosen and takes its first step; near the middle the view just moves with the sound.
    const std::tuple<double, int, double, double> cases[] = {
        { 20.0, 0, 0.0, 101.0 }, // the middle: no method
        { 25.0, 1, 10.0 + (251.0 - 200.0), 106.1 }, // right of the middle, visible
        { 15.0, 2, 1.0 - (151.0 - 200.0), 95.0 }, // left of the middle, visible
        { 5.0, 4, 1.0 - (51.0 - 200.0), 85.0 }, // beyond the left edge
        { 40.0, 3, 10.0 + (401.0 - 200.0), 121.1 }, // beyond the right edge
    };
    for (const auto& [start, method, speed, leftAfterStep] : cases) {
        SCOPED_TRACE(start);
        World w;
        w.host.visible = kTenToThirtySeconds;
        w.session.handlePlay(start * 1000.0);
        w.tick();
        EXPECT_EQ(w.session.waveformMoveMethod(), method);
        EXPECT_NEAR(w.session.waveformSpeed(), speed, 1e-9);
        EXPECT_EQ(w.host.scrollRunning, method != 0);
        EXPECT_NEAR(w.host.visible.x(), leftAfterStep, 1e-9);
    }
}

TEST_F(PreviewSessionScroll, ScrollerClickStopsAutoScrollAndAnActiveMethodStepsUntilCentred)
{
    session.handlePlay(25000.0);
    tick();
    ASSERT_TRUE(host.scrollRunning);
    session.waveformScrollerClicked();
    const double x = host.visible.x();
    runFor(1000);
    EXPECT_FALSE(host.scrollRunning);
    EXPECT_DOUBLE_EQ(host.visible.x(), x);

    session.setCanMoveWaveform();
    session.reflashTimeLinePos(); // 26.1 s: method 1 again, at 6.49 pixels a step
    session.reflashTimeLinePos(); // still method 1: its timer carries on
    EXPECT_EQ(host.count("scroll start"), 2);
    for (int steps = 0; host.scrollRunning && steps < 100; ++steps)
        session.moveWaveformRinghtToLeft();
    EXPECT_FALSE(host.scrollRunning);
    EXPECT_LT(std::abs(261.0 - host.visible.center().x()), 6.49);
}

TEST_F(PreviewSessionWholeFile, WithoutAPlayerNothingHappens)
{
    host.state = PlayerState::None;
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
    EXPECT_TRUE(host.log.empty()) << host.log.front(); // every state change reaches the host
}

} // namespace
