#pragma once
// The editor's playback state: whole-file play with a moving play line, and the preview
// of the chosen part, which repeats after the rings gap until the user stops it.
//
// The session owns no widgets, player or timers. It reaches all of them through its
// Host: the player calls, the chosen part and fades, the view effects, and timers as
// requests the host carries out, calling back reflashTimeLinePos() every 0.1 s while the
// tick timer runs, moveWaveformRinghtToLeft() every 0.1 s while the scroll timer runs,
// and ringsGapElapsed() once when a scheduled gap ends.
//
// Times are seconds unless a name says milliseconds. A time t lies at waveform x =
// t * moveDx * 1000.
//
// Threads: main thread only; so are all Host calls.

#include "core/editing/chosenpart.h"
#include "core/editing/playerstate.h"

#include <QRectF>
#include <QString>
#include <QVariantMap>

#include <optional>

class PreviewSession {
public:
    static constexpr double kTickSeconds = 0.1; // both the play-line and the scroll timer

    // The fade check boxes and the lengths chosen in their pop-ups.
    struct FadeChoice {
        bool fadeIn = false;
        double fadeInSeconds = 0.0;
        bool fadeOut = false;
        double fadeOutSeconds = 0.0;
    };

    class Host {
    public:
        virtual ~Host() = default;

        // The player (RoingTonePlayBackController); PlayerState::None without one.
        [[nodiscard]] virtual PlayerState playerState() const = 0;
        virtual void play() = 0;
        virtual void pause() = 0;
        virtual void stop() = 0;
        virtual void seekPlayer(double seconds) = 0;
        // Playing from `start` stops by itself at `end` (end < 0: at the file's end), and
        // is heard `afterSilence` seconds after the sound played before it ended.
        virtual void setPlayEnd(double start, double end, double afterSilence) = 0;
        virtual void setVolume(int percent) = 0;
        virtual void setFadeEnable(const QVariantMap& fades) = 0;
        [[nodiscard]] virtual double getPlayedTime() const = 0;
        [[nodiscard]] virtual bool hasVideo() const = 0;

        // Editing state: the chosen part in waveform pixels, the scale in pixels per
        // millisecond, the file's length.
        [[nodiscard]] virtual PartFrame part() const = 0;
        [[nodiscard]] virtual double moveDx() const = 0;
        [[nodiscard]] virtual double movieLen() const = 0;
        [[nodiscard]] virtual FadeChoice fadeChoice() const = 0;

        // View effects.
        virtual void setTimeLineXPos(double x) = 0;
        virtual void setIsPreview(bool preview) = 0;
        virtual void setStartX(double x) = 0;
        virtual void showVideo() = 0;
        virtual void setPlayButtonImage(const QString& image) = 0;
        virtual void setPreviewButtonImage(const QString& image) = 0;
        virtual void enableStartButton() = 0;
        virtual void setPlayTime(const QString& text) = 0; // "HH:MM:SS / <file length>"
        virtual void redrawWaveform() = 0;
        // The waveform's visible rectangle inside its scroll view, and a horizontal scroll
        // making its left edge `x`.
        [[nodiscard]] virtual QRectF visibleRect() const = 0;
        virtual void scrollTo(double x) = 0;
        virtual void postStopPlay() = 0; // "StopPlay", object the editor

        // Timers. Starting a running timer restarts it.
        virtual void startTickTimer() = 0;
        virtual void stopTickTimer() = 0;
        virtual void scheduleGap(double seconds) = 0;
        virtual void cancelGap() = 0;
        virtual void startScrollTimer() = 0;
        virtual void stopScrollTimer() = 0;
    };

    explicit PreviewSession(Host& host);

    // Buttons and controls.
    void clickPlaySound();
    void clickPauseSound();
    void clickStopSound();
    void clickPreviewChosePart();
    // Space: pauses whole-file play, otherwise starts or stops the preview.
    void spaceKey();

    // Whole-file play from `fromMs`, or from where it was paused.
    void handlePlay(std::optional<double> fromMs = std::nullopt);
    // (Re)starts the preview from `fromMs`, or from the part's start.
    void repeatePreview(std::optional<double> fromMs = std::nullopt);
    void setPlayBeginTime(double ms);
    void handleStopPreview();
    void handlePlayStop();
    // "ChoosePartChanged": a moved part previews from its start.
    void resettPreviewTime() { m_previewStopTime = 0.0; }
    // No more passes of the preview loop; a pending rings gap is cancelled. The editor
    // calls this on close, load, save, Save As, opening another window and clicks or
    // drags on the play line; stop, pause and every start call it themselves.
    void endPreviewLoop();
    // Stops what plays without starting anything: a running pass or whole-file play
    // pauses, a pending rings gap is dropped. Quitting, saving and opening other windows
    // stop the editor this way.
    void stopPlaying();

    // Editor housekeeping.
    void setVolume(int percent);
    void setRingsGap(double seconds) { m_ringsGap = seconds; }
    void setCanMoveWaveform() { m_shouldMoveWaveform = true; }
    void waveformScrollerClicked() { m_shouldMoveWaveform = false; }
    // A new file: forget positions, the loop and the first start; volume back to 100.
    void resetForNewFile();
    // Play and preview buttons back to their fresh states.
    void resetButtons();
    // The editor closes: pause what plays, end the loop, let the play line rest.
    void closeEditor();

    // Timer callbacks.
    void reflashTimeLinePos();
    void moveWaveformRinghtToLeft();
    void ringsGapElapsed();

    // State.
    [[nodiscard]] PlayButtonState playBtnSt() const { return m_playBtnSt; }
    [[nodiscard]] PreviewButtonState previewBtnSt() const { return m_previewBtnSt; }
    [[nodiscard]] double playBeginPos() const { return m_playBeginPos; }
    [[nodiscard]] double previewStopTime() const { return m_previewStopTime; }
    [[nodiscard]] double seekToTimePos() const { return m_seekToTimePos; }
    [[nodiscard]] bool repeatPreviewStop() const { return m_repeatPreviewStop; }
    [[nodiscard]] int repeatePreviewTimes() const { return m_repeatePreviewTimes; }
    [[nodiscard]] double ringsGap() const { return m_ringsGap; }
    [[nodiscard]] int soundVolume() const { return m_soundVolume; }
    [[nodiscard]] bool hasPlayed() const { return m_hasPlayed; }
    [[nodiscard]] bool shouldReflashTimeLine() const { return m_shouldReflashTimeLine; }
    [[nodiscard]] bool shouldMoveWaveform() const { return m_shouldMoveWaveform; }
    [[nodiscard]] bool isPreview() const { return m_isPreview; }
    [[nodiscard]] double timeLineX() const { return m_timeLineX; }
    [[nodiscard]] bool gapPending() const { return m_gapPending; }
    [[nodiscard]] int waveformMoveMethod() const { return m_waveformMoveMethod; }
    [[nodiscard]] double waveformSpeed() const { return m_waveformSpeed; }

    [[nodiscard]] static QString playButtonImage(PlayButtonState playBtnSt);
    [[nodiscard]] static QString previewButtonImage(PreviewButtonState previewBtnSt);
    // "HH:MM:SS / HH:MM:SS": the whole played seconds and the file's length.
    [[nodiscard]] static QString playTimeText(double playedSeconds, double movieLen);

private:
    [[nodiscard]] bool hasPlayer() const;
    [[nodiscard]] double partStart() const;
    [[nodiscard]] double partEnd() const;
    [[nodiscard]] double toX(double seconds) const;
    void changePlayBtnToState(PlayButtonState state);
    void changePreviewBtnToState(PreviewButtonState state);
    void setPreview(bool preview);
    void setTimeLine(double x);
    void showPlayTime(double seconds);
    void showVideoIfAny();
    void applyFades(double begin);
    void startPlayerAt(double seconds, double end, double afterSilence);
    // A pass of the preview from `fromMs` (or the part's start), heard `afterSilence`
    // seconds after the previous pass ended.
    void startPass(std::optional<double> fromMs, double afterSilence);
    void startTimeLine();
    void cancelPendingGap();
    void stopScrolling();
    void endOfPass();
    void autoScroll(double t, double x);

    Host& m_host;
    PlayButtonState m_playBtnSt = PlayButtonState::Fresh;
    PreviewButtonState m_previewBtnSt = PreviewButtonState::Idle;
    double m_playBeginPos = 0.0;
    double m_previewStopTime = 0.0;
    double m_seekToTimePos = 0.0;
    bool m_repeatPreviewStop = true;
    int m_repeatePreviewTimes = 0;
    double m_ringsGap = 0.5;
    int m_soundVolume = 100;
    bool m_hasPlayed = false;
    bool m_shouldReflashTimeLine = false;
    bool m_shouldMoveWaveform = true;
    bool m_isPreview = false;
    double m_timeLineX = 0.0;
    double m_timeLineTimePre = 0.0;
    int m_waveformMoveMethod = 0;
    double m_waveformSpeed = 0.0;
    bool m_lastPass = false; // the loop was ended while a pass plays: no gap after it
    bool m_gapPending = false;
    bool m_tickTimerRunning = false;
    bool m_scrollTimerRunning = false;
};
