#include "core/editing/previewsession.h"

#include "core/text/commonfunctions.h"

#include <algorithm>

namespace {

// Below this played time after a start the player may still report the old position.
constexpr double kSeekLandedSeconds = 0.5;
// How far past the part's end a player that has not stopped by itself may get before the
// pass is ended anyway.
constexpr double kPassOverrunSeconds = 0.3;
// The gap timer fires this much before the rings gap ends, so the next pass reaches the
// player in time for it to start exactly after the gap.
constexpr double kGapHandOverSeconds = 0.2;
// Within this distance of the middle the view simply follows the sound.
constexpr double kCentreBandSeconds = 0.5;
// Beyond this distance from the middle (but visible) a scroll method is chosen.
constexpr double kOffCentreSeconds = 0.1;

} // namespace

PreviewSession::PreviewSession(Host& host)
    : m_host(host)
{
}

QString PreviewSession::playButtonImage(PlayButtonState playBtnSt)
{
    return playBtnSt == PlayButtonState::Idle ? QStringLiteral("PlayN.png") : QStringLiteral("Pause.png");
}

QString PreviewSession::previewButtonImage(PreviewButtonState previewBtnSt)
{
    return previewBtnSt == PreviewButtonState::Idle ? QStringLiteral("Preview.png")
                                                    : QStringLiteral("PreviewPause.png");
}

QString PreviewSession::playTimeText(double playedSeconds, double movieLen)
{
    const auto whole = [](double seconds) { return static_cast<int>(std::max(0.0, seconds)); };
    return CommonFunctions::secondsToShortString(whole(playedSeconds), 3) + QStringLiteral(" / ")
        + CommonFunctions::secondsToShortString(whole(movieLen), 3);
}

bool PreviewSession::hasPlayer() const
{
    return m_host.playerState() != PlayerState::None;
}

double PreviewSession::partStart() const
{
    const double dx = m_host.moveDx();
    return dx > 0.0 ? m_host.part().x / dx / 1000.0 : 0.0;
}

double PreviewSession::partEnd() const
{
    const double dx = m_host.moveDx();
    return dx > 0.0 ? m_host.part().right() / dx / 1000.0 : 0.0;
}

double PreviewSession::toX(double seconds) const
{
    return m_host.moveDx() * seconds * 1000.0;
}

void PreviewSession::changePlayBtnToState(PlayButtonState state)
{
    m_playBtnSt = state;
    m_host.setPlayButtonImage(playButtonImage(state));
}

void PreviewSession::changePreviewBtnToState(PreviewButtonState state)
{
    m_previewBtnSt = state;
    m_host.setPreviewButtonImage(previewButtonImage(state));
}

void PreviewSession::setPreview(bool preview)
{
    m_isPreview = preview;
    m_host.setIsPreview(preview);
}

void PreviewSession::setTimeLine(double x)
{
    m_timeLineX = x;
    m_host.setTimeLineXPos(x);
}

void PreviewSession::showPlayTime(double seconds)
{
    m_host.setPlayTime(playTimeText(seconds, m_host.movieLen()));
}

void PreviewSession::showVideoIfAny()
{
    if (m_host.hasVideo())
        m_host.showVideo();
}

void PreviewSession::applyFades(double begin)
{
    const FadeChoice fades = m_host.fadeChoice();
    const double in = fades.fadeIn ? fades.fadeInSeconds : 0.0;
    const double out = fades.fadeOut ? fades.fadeOutSeconds : 0.0;
    m_host.setFadeEnable({ { QStringLiteral("FadeInStartTime"), begin }, { QStringLiteral("FadeInLength"), in },
        { QStringLiteral("FadeOutStartTime"), partEnd() - out }, { QStringLiteral("FadeOutLength"), out } });
}

void PreviewSession::startPlayerAt(double seconds, double end, double afterSilence)
{
    m_seekToTimePos = seconds;
    // Otherwise the first tick would take the distance from the previous play as motion.
    m_timeLineTimePre = seconds;
    // Our player seeks before it starts, so even a fresh file's first sound is heard at
    // `seconds`: no muted start, no waiting for its clock to run.
    // The player itself stops at the part's end, to the sample: nothing after it is heard,
    // and the rings gap starts when the sound does.
    m_host.setPlayEnd(seconds, end, afterSilence);
    m_host.seekPlayer(seconds);
    m_host.setVolume(m_soundVolume);
    if (m_host.playerState() != PlayerState::Playing)
        m_host.play();
    m_hasPlayed = true;
}

void PreviewSession::startTimeLine()
{
    m_shouldReflashTimeLine = true;
    if (!m_tickTimerRunning) {
        m_tickTimerRunning = true;
        m_host.startTickTimer();
    }
}

void PreviewSession::cancelPendingGap()
{
    if (!m_gapPending)
        return;
    m_gapPending = false;
    m_host.cancelGap();
}

void PreviewSession::stopScrolling()
{
    if (!m_scrollTimerRunning)
        return;
    m_scrollTimerRunning = false;
    m_host.stopScrollTimer();
}

void PreviewSession::endPreviewLoop()
{
    m_repeatPreviewStop = true;
    m_repeatePreviewTimes = 0;
    if (m_gapPending) {
        // Waiting in the gap: the loop is over, so the view leaves preview mode and the
        // play line rests where the paused player stands.
        cancelPendingGap();
        setPreview(false);
        m_shouldReflashTimeLine = false;
    }
    if (m_previewBtnSt == PreviewButtonState::Previewing)
        m_lastPass = true;
}

void PreviewSession::stopPlaying()
{
    endPreviewLoop();
    if (m_previewBtnSt == PreviewButtonState::Previewing)
        clickPreviewChosePart(); // the running pass stops as its button would stop it
    else if (m_host.playerState() == PlayerState::Playing)
        clickPauseSound();
}

void PreviewSession::clickPlaySound()
{
    if (!hasPlayer())
        return;
    if (m_playBtnSt == PlayButtonState::Idle || m_playBtnSt == PlayButtonState::Fresh) {
        handlePlay();
        return;
    }
    clickPauseSound();
    m_playBeginPos = m_host.getPlayedTime();
}

void PreviewSession::clickPauseSound()
{
    if (!hasPlayer())
        return;
    endPreviewLoop();
    const bool passPlaying = m_previewBtnSt == PreviewButtonState::Previewing;
    changePlayBtnToState(PlayButtonState::Idle);
    m_host.pause();
    m_host.enableStartButton();
    m_shouldReflashTimeLine = false;
    m_playBeginPos = m_host.getPlayedTime();
    m_previewStopTime = m_playBeginPos;
    if (passPlaying) {
        // A paused pass is not previewing any more; the button offers to resume it.
        changePreviewBtnToState(PreviewButtonState::Idle);
        setPreview(false);
    }
}

void PreviewSession::clickStopSound()
{
    if (!hasPlayer())
        return;
    endPreviewLoop();
    if (m_host.playerState() == PlayerState::Stopped)
        return;
    setPreview(false);
    m_host.seekPlayer(0.0);
    m_host.pause();
    m_shouldReflashTimeLine = false;
    m_host.setStartX(0.0);
    m_playBeginPos = 0.0;
    m_previewStopTime = 0.0;
    changePlayBtnToState(PlayButtonState::Idle);
    changePreviewBtnToState(PreviewButtonState::Idle);
    m_host.stop();
    // Rewound: shown at once, also when a pause has already let the tick timer go.
    setTimeLine(0.0);
    showPlayTime(0.0);
    m_host.redrawWaveform();
}

void PreviewSession::spaceKey()
{
    if (!m_isPreview && m_playBtnSt == PlayButtonState::Playing)
        clickPlaySound();
    else
        clickPreviewChosePart();
}

void PreviewSession::handlePlay(std::optional<double> fromMs)
{
    if (!hasPlayer())
        return;
    const double start = fromMs ? *fromMs / 1000.0 : m_playBeginPos;
    // Beyond the end of the file: ignored before anything changes, so a running preview
    // is left as it is.
    if (start > m_host.movieLen())
        return;
    endPreviewLoop();
    showVideoIfAny();
    m_host.setFadeEnable({ { QStringLiteral("FadeInStartTime"), 0.0 }, { QStringLiteral("FadeInLength"), 0.0 },
        { QStringLiteral("FadeOutStartTime"), 0.0 }, { QStringLiteral("FadeOutLength"), 0.0 } });
    if (!fromMs && m_previewBtnSt == PreviewButtonState::Previewing)
        m_previewStopTime = m_host.getPlayedTime();
    changePreviewBtnToState(PreviewButtonState::Idle);
    changePlayBtnToState(PlayButtonState::Playing);
    m_shouldMoveWaveform = true;
    m_shouldReflashTimeLine = false;
    startPlayerAt(start, -1.0, 0.0);
    setTimeLine(toX(start));
    setPreview(false);
    startTimeLine();
}

void PreviewSession::clickPreviewChosePart()
{
    if (!hasPlayer())
        return;
    // Also cancels a pending gap: pressed during the gap, this press is the next pass and
    // the gap timer must not start another.
    endPreviewLoop();
    if (m_previewBtnSt == PreviewButtonState::Previewing) {
        clickPauseSound();
        handleStopPreview();
        m_shouldReflashTimeLine = false;
        m_previewStopTime = m_host.getPlayedTime();
        showPlayTime(0.0);
        return;
    }
    setPreview(true);
    m_shouldMoveWaveform = true;
    if (m_playBtnSt == PlayButtonState::Playing) {
        m_playBeginPos = m_host.getPlayedTime();
        changePlayBtnToState(PlayButtonState::Idle);
    }
    showVideoIfAny();
    changePreviewBtnToState(PreviewButtonState::Previewing);

    double begin = partStart();
    if (m_previewStopTime != 0.0 && begin < m_previewStopTime && m_previewStopTime < partEnd())
        begin = m_previewStopTime;
    applyFades(begin);
    m_lastPass = false;
    m_shouldReflashTimeLine = false;
    startPlayerAt(begin, partEnd(), 0.0);
    startTimeLine();
}

void PreviewSession::repeatePreview(std::optional<double> fromMs)
{
    startPass(fromMs, 0.0);
}

void PreviewSession::startPass(std::optional<double> fromMs, double afterSilence)
{
    if (!hasPlayer())
        return;
    // Without a position the call comes from the loop or from an edit of a previewed
    // part: nothing to do once the user has stopped the loop. A position is the user's
    // double click inside the part, which always previews.
    if (!fromMs && m_repeatPreviewStop && !m_isPreview)
        return;
    // Restarted by hand during the gap: the gap timer must not restart it again.
    cancelPendingGap();
    setPreview(true);
    m_shouldMoveWaveform = true;
    if (m_playBtnSt == PlayButtonState::Playing) {
        m_playBeginPos = m_host.getPlayedTime();
        changePlayBtnToState(PlayButtonState::Idle);
    }
    showVideoIfAny();
    const double begin = fromMs ? *fromMs / 1000.0 : partStart();
    changePreviewBtnToState(PreviewButtonState::Previewing);
    applyFades(begin);
    m_lastPass = false;
    m_shouldReflashTimeLine = false;
    startPlayerAt(begin, partEnd(), afterSilence);
    startTimeLine();
}

void PreviewSession::ringsGapElapsed()
{
    // A gap cancelled after its timer already fired must not restart anything.
    if (!m_gapPending)
        return;
    m_gapPending = false;
    // The player itself makes the silence between the passes exactly the rings gap; the
    // timer only has to hand the pass over in time.
    startPass(std::nullopt, m_ringsGap);
}

void PreviewSession::setPlayBeginTime(double ms)
{
    if (!hasPlayer())
        return;
    m_playBeginPos = ms / 1000.0;
    showPlayTime(m_playBeginPos);
}

void PreviewSession::handleStopPreview()
{
    changePreviewBtnToState(PreviewButtonState::Idle);
    setTimeLine(0.0);
    setPreview(false);
}

void PreviewSession::handlePlayStop()
{
    setPreview(false);
    setTimeLine(0.0);
    m_playBeginPos = 0.0;
    m_host.redrawWaveform();
    changePlayBtnToState(PlayButtonState::Idle);
    m_shouldReflashTimeLine = false;
    m_host.postStopPlay();
}

void PreviewSession::setVolume(int percent)
{
    m_soundVolume = percent;
    if (hasPlayer())
        m_host.setVolume(percent);
}

void PreviewSession::resetForNewFile()
{
    endPreviewLoop();
    m_lastPass = false;
    setPreview(false);
    m_playBeginPos = 0.0;
    m_previewStopTime = 0.0;
    m_hasPlayed = false;
    setVolume(100);
}

void PreviewSession::resetButtons()
{
    // Fresh play button shows the play picture although its state is not 1.
    m_playBtnSt = PlayButtonState::Fresh;
    m_host.setPlayButtonImage(playButtonImage(PlayButtonState::Idle));
    changePreviewBtnToState(PreviewButtonState::Idle);
}

void PreviewSession::closeEditor()
{
    if (m_host.playerState() == PlayerState::Playing)
        clickPauseSound();
    endPreviewLoop();
    m_shouldReflashTimeLine = false;
}

void PreviewSession::reflashTimeLinePos()
{
    const PlayerState state = m_host.playerState();
    if (!m_shouldReflashTimeLine || state == PlayerState::None) {
        if (m_tickTimerRunning) {
            m_tickTimerRunning = false;
            m_host.stopTickTimer();
        }
        // Nothing moves any more, so the scroll timer goes too; a new start picks a method.
        stopScrolling();
        if (state == PlayerState::None)
            return;
        if (state != PlayerState::Paused) {
            setTimeLine(0.0);
            showPlayTime(0.0);
        }
        m_host.redrawWaveform();
        return;
    }

    const double t = m_host.getPlayedTime();
    const double x = toX(t);
    // The player may stop by itself short of the end we wait for (the file ends early, the
    // sound device goes away): that ends the play or the pass just the same.
    const bool passPlaying = m_isPreview && m_previewBtnSt == PreviewButtonState::Previewing;
    const bool filePlaying = !m_isPreview && m_playBtnSt == PlayButtonState::Playing;
    const bool stoppedByItself = state == PlayerState::Stopped && (passPlaying || filePlaying);

    if (!stoppedByItself && t < kSeekLandedSeconds && m_seekToTimePos != 0.0) {
        setTimeLine(toX(m_seekToTimePos));
        return;
    }
    showPlayTime(t);
    if (!m_isPreview) {
        if (t >= m_host.movieLen() || stoppedByItself) {
            handlePlayStop();
            showPlayTime(0.0);
            stopScrolling();
            return;
        }
    } else {
        // Only the first pass scrolls the view; later ones leave it where the user has it.
        if (m_repeatePreviewTimes > 0)
            m_shouldMoveWaveform = false;
        // The player stops by itself at the part's end; its clock reaching the end while it
        // still plays only counts once it is clearly past, so a pass is never restarted
        // while its last samples are being heard.
        if (passPlaying && (stoppedByItself || t >= partEnd() + kPassOverrunSeconds)) {
            endOfPass();
            return;
        }
    }
    setTimeLine(x);
    m_host.redrawWaveform();
    if (m_shouldMoveWaveform)
        autoScroll(t, x);
    m_timeLineTimePre = t;
}

void PreviewSession::endOfPass()
{
    ++m_repeatePreviewTimes;
    handleStopPreview();
    m_repeatPreviewStop = false;
    const double start = partStart();
    m_host.seekPlayer(start);
    m_host.pause();
    // The line waits at the part's start, where the next pass begins; a tick during the
    // gap must not put it back where this pass began.
    m_seekToTimePos = start;
    setTimeLine(toX(start));
    if (m_lastPass) {
        // The loop was ended while this pass played: no gap and no further pass.
        m_lastPass = false;
        m_repeatPreviewStop = true;
        m_shouldReflashTimeLine = false;
        return;
    }
    // The view stays in preview mode during the gap.
    setPreview(true);
    m_gapPending = true;
    m_host.scheduleGap(std::max(0.0, m_ringsGap - kGapHandOverSeconds));
}

void PreviewSession::autoScroll(double t, double x)
{
    const double pixelsPerSecond = 1000.0 * m_host.moveDx();
    if (pixelsPerSecond <= 0.0)
        return;
    const QRectF visible = m_host.visibleRect();
    const double vx = visible.x();
    const double mid = vx + visible.width() / 2.0;
    const double midT = mid / pixelsPerSecond;
    const double leftT = vx / pixelsPerSecond;
    const double rightT = (vx + visible.width()) / pixelsPerSecond;
    const double dx = x - mid;
    const double diff = t - midT;

    if (-kCentreBandSeconds < diff && diff < kCentreBandSeconds) {
        m_host.scrollTo(vx + (t - m_timeLineTimePre) * pixelsPerSecond);
        return;
    }

    // Towards the right the view must outrun the sound, hence the faster base speed.
    const double rightSpeed = pixelsPerSecond + dx;
    const double leftSpeed = 100.0 * m_host.moveDx() - dx;
    const bool inView = leftT < t && t < rightT;
    struct Method {
        int number;
        bool matches;
        double speed;
    };
    const Method methods[] = {
        { 1, diff > kOffCentreSeconds && inView, rightSpeed },
        { 2, diff < -kOffCentreSeconds && inView, leftSpeed },
        { 4, t < leftT, leftSpeed },
        { 3, !(t < leftT) && t > rightT, rightSpeed },
    };
    for (const Method& method : methods) {
        if (!method.matches)
            continue;
        // Already on its way: let the running timer carry on at its speed.
        if (method.number == m_waveformMoveMethod && m_scrollTimerRunning)
            continue;
        m_waveformMoveMethod = method.number;
        m_waveformSpeed = method.speed;
        stopScrolling();
        m_scrollTimerRunning = true;
        m_host.startScrollTimer();
        return;
    }
}

void PreviewSession::moveWaveformRinghtToLeft()
{
    if (!m_shouldReflashTimeLine)
        return;
    if (!m_shouldMoveWaveform) {
        stopScrolling();
        return;
    }
    const double x = toX(m_host.getPlayedTime());
    const QRectF visible = m_host.visibleRect();
    const double mid = visible.x() + visible.width() / 2.0;
    const double step = kTickSeconds * m_waveformSpeed;
    if (mid - step < x && x < mid + step) {
        stopScrolling();
        return;
    }
    const bool towardsRight = m_waveformMoveMethod == 1 || m_waveformMoveMethod == 3;
    m_host.scrollTo(visible.x() + (towardsRight ? step : -step));
}
