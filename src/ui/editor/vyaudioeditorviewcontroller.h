#pragma once
// The editing view: the waveform with the chosen part, the play and preview buttons,
// the start and end fields, the fades, zoom, the info panel and the volume. It loads
// each file the main window hands it (the waveform on a worker thread, one numbered job
// per load), turns typing and keys into changes of the chosen part, and runs playback
// and the repeating preview through a PreviewSession.
//
// Threads: main thread only, except the waveform worker it starts, which reaches the
// widgets through queued calls that check the load is still the current one.

#include "core/editing/partediting.h"
#include "core/editing/previewsession.h"
#include "ui/waveform/waveformview.h"

#include <QLineEdit>
#include <QString>
#include <QTimer>
#include <QVariantMap>
#include <QWidget>

#include <atomic>
#include <memory>
#include <optional>
#include <thread>

class AudioEditorViewPlugController;
class PlayBackView;
class PlayBackViewController;
class PlayBackViewCover;
class QCheckBox;
class QComboBox;
class QMessageBox;
class QProgressBar;
class QPushButton;
class RingtoneSaveController;
class RoingTonePlayBackController;
class VolumView;
class VyRingtoneiPhoneTransfor;

// A start or end field: "HH:MM:SS" within VyMediaTimeFormatter's rules. The colons stay in
// place, so a selected time can simply be typed over; an edit the rules refuse leaves the
// text as it was and is announced by refused() (the editor beeps).
class TimeField : public QLineEdit {
    Q_OBJECT

public:
    explicit TimeField(const QString& name, QWidget* parent = nullptr);

Q_SIGNALS:
    void refused();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

class VyAudioEditorViewController : public QWidget, public PreviewSession::Host, public WaveformViewDelegate {
    Q_OBJECT

public:
    enum LoadResult { AlreadyLoaded = 2, LoadStarted = 3 };
    // With Shift the arrow keys move a tenth of the key step.
    static constexpr float kFineKeyStepFactor = 0.1f;

    explicit VyAudioEditorViewController(QWidget* parent = nullptr);
    ~VyAudioEditorViewController() override;

    // The main window's picture pane, where the player shows pictures.
    void setupPlayBackView(PlayBackView* pane);
    // Loads `path` (already checked by the main window; movieLen set). AlreadyLoaded when
    // it is the loaded file (playback is stopped); otherwise the load runs and
    // loadFileSuccessful() follows.
    int chooseFileEnd(const QString& path, const QString& realName);
    [[nodiscard]] bool isLoading() const;
    // Stops the waveform worker, waiting at most `limitMs` for it. False when it is still
    // running then: the editor must not be destroyed after that (its destructor waits).
    bool stopWorkers(int limitMs);
    // The player's state (-1 without one), also handed to the waveform view.
    PlayerState getPlayerState() override;
    [[nodiscard]] bool playerHasVideo() const;

    void clickPlaySound();
    void clickPauseSound();
    void clickStopSound();
    // Starts, resumes or stops the preview.
    void clickPreviewChosePart();
    // Saving: create ringtone, or Save As after setIsSaveAs(1); the transfer box's action.
    void setIsSaveAs(unsigned value);
    void uploadToiTunes();
    void transferToIPhone();
    // The phone link the transfer box and the save use (none: no phone).
    void setPhoneLink(VyRingtoneiPhoneTransfor* link);
    [[nodiscard]] RingtoneSaveController* saveController() const { return m_saveController; }
    [[nodiscard]] QCheckBox* transferToIPhoneCkbx() const { return m_transferToIPhoneCkbx; }
    [[nodiscard]] QPushButton* saveBtn() const { return m_saveBtn; }
    // One step along WaveformView::kZoomSteps.
    void clickZoomIn();
    void clickZoomOut();
    void clickCloseButton();
    // Whether a recorder answers the Record button. Without one the button keeps its start
    // picture after a click (the main window tells the user the function is not there).
    void setRecorderAvailable(bool available) { m_recorderAvailable = available; }

    [[nodiscard]] WaveformView* waveformView() const { return m_waveformView; }
    [[nodiscard]] PreviewSession& session() { return m_session; }
    [[nodiscard]] QLineEdit* startTimeTF() const { return m_startTimeTF; }
    [[nodiscard]] QLineEdit* endTimeTF() const { return m_endTimeTF; }
    [[nodiscard]] QCheckBox* fadeInBtn() const { return m_fadeInBtn; }
    [[nodiscard]] QComboBox* fadeInPoPupBtn() const { return m_fadeInPoPupBtn; }
    [[nodiscard]] QCheckBox* fadeOutBtn() const { return m_fadeOutBtn; }
    [[nodiscard]] QComboBox* fadeOutPoPupBtn() const { return m_fadeOutPoPupBtn; }
    [[nodiscard]] QPushButton* playBtn() const { return m_playBtn; }
    [[nodiscard]] QPushButton* previewBtn() const { return m_previewBtn; }
    [[nodiscard]] AudioEditorViewPlugController* infoPanel() const { return m_viewPlugCtlr; }
    [[nodiscard]] VolumView* volumView() const { return m_volumView; }
    [[nodiscard]] float keyMoveDist() const { return m_keyMoveDist; }
    [[nodiscard]] const std::optional<QVariantMap>& audioParm() const { return m_audioParm; }
    [[nodiscard]] QString currentFileName() const { return m_currentFileName; }
    // Times the sound output ran dry (0 without a player).
    [[nodiscard]] int underrunCount() const;
    // The open length alert, if any (for the controls that drive the editor).
    [[nodiscard]] QMessageBox* lengthAlert() const { return m_lengthAlert; }

    // PreviewSession::Host
    [[nodiscard]] PlayerState playerState() const override;
    void play() override;
    void pause() override;
    void stop() override;
    void seekPlayer(double seconds) override;
    void setPlayEnd(double start, double end, double afterSilence) override;
    void setVolume(int percent) override; // the player's; the slider goes through the session
    void setFadeEnable(const QVariantMap& fades) override;
    [[nodiscard]] double getPlayedTime() const override;
    [[nodiscard]] bool hasVideo() const override;
    [[nodiscard]] PartFrame part() const override;
    [[nodiscard]] double moveDx() const override;
    [[nodiscard]] double movieLen() const override;
    [[nodiscard]] PreviewSession::FadeChoice fadeChoice() const override;
    void setTimeLineXPos(double x) override;
    void setIsPreview(bool preview) override;
    void setStartX(double) override { }
    void showVideo() override;
    void setPlayButtonImage(const QString& image) override;
    void setPreviewButtonImage(const QString& image) override;
    void enableStartButton() override { }
    void setPlayTime(const QString& text) override;
    void redrawWaveform() override;
    [[nodiscard]] QRectF visibleRect() const override;
    void scrollTo(double x) override;
    void postStopPlay() override;
    void startTickTimer() override { m_tickTimer.start(); }
    void stopTickTimer() override { m_tickTimer.stop(); }
    void scheduleGap(double seconds) override { m_gapTimer.start(static_cast<int>(seconds * 1000.0)); }
    void cancelGap() override { m_gapTimer.stop(); }
    void startScrollTimer() override { m_scrollTimer.start(); }
    void stopScrollTimer() override { m_scrollTimer.stop(); }

    // WaveformViewDelegate
    void repeatePreview(std::optional<double> fromMs) override;
    void handlePlay(double fromMs) override;
    void setPlayBeginTime(double ms) override;
    void setCanMoveWaveform() override;
    void stopPreview() override { m_session.stopPlaying(); }

Q_SIGNALS:
    // The waveform of the file handed over last is ready.
    void loadFileSuccessful();
    // The user closed the editor.
    void closeAudioEditorView();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void buildLayout();
    // Tab order, focus policies, and the waveform's keys.
    void setUpKeyboard();
    // The part's keys (arrows, Space); false for a key they leave alone.
    bool editPartWithKey(QKeyEvent* event);
    void observeNotifications();
    int initPlayer(const QString& path);
    void disableAllButtons();
    void resetButtons();
    void finishLoad(int job);
    void stopLoadWorker();
    [[nodiscard]] PartEditing editing() const;
    void endInputTrimStartTime();
    void endInputTrimEndTime();
    // The typed text in the formatter's committed form, and whether the field still had the
    // keyboard (Return rather than a click elsewhere).
    QString committedTime(QLineEdit* field);
    void giveKeysBack(QLineEdit* field);
    enum class Edge { Start, End };
    // `after` is the part once the alert ends; `edge` the edge the user typed.
    void showLengthAlert(const PartFrame& after, Edge edge);
    void applyPart(const PartFrame& part);
    // A typed part: applied and brought into view.
    void applyTypedPart(const PartFrame& part, Edge edge);
    void clickFadeBtn(QCheckBox* box, QComboBox* pop);
    void clickRecord();
    void updateZoomButtons();
    void zoomTo(int step);

    WaveformView* m_waveformView = nullptr;
    AudioEditorViewPlugController* m_viewPlugCtlr = nullptr;
    VolumView* m_volumView = nullptr;
    QPushButton* m_playBtn = nullptr;
    QPushButton* m_previewBtn = nullptr;
    QPushButton* m_zoomInBtn = nullptr;
    QPushButton* m_zoomOutBtn = nullptr;
    QPushButton* m_closeBtn = nullptr;
    QPushButton* m_saveBtn = nullptr;
    QPushButton* m_RecordBtn = nullptr;
    QPushButton* m_RingtoneManagerBtn = nullptr;
    QCheckBox* m_transferToIPhoneCkbx = nullptr;
    TimeField* m_startTimeTF = nullptr;
    TimeField* m_endTimeTF = nullptr;
    QCheckBox* m_fadeInBtn = nullptr;
    QComboBox* m_fadeInPoPupBtn = nullptr;
    QCheckBox* m_fadeOutBtn = nullptr;
    QComboBox* m_fadeOutPoPupBtn = nullptr;
    QProgressBar* m_ProgrsIdctr = nullptr;
    QMessageBox* m_lengthAlert = nullptr;
    RingtoneSaveController* m_saveController = nullptr;

    std::unique_ptr<RoingTonePlayBackController> _playerController;
    PlayBackView* m_playBackPane = nullptr;
    std::unique_ptr<PlayBackViewController> _playBackCtlr;
    PlayBackViewCover* m_cover = nullptr;
    PreviewSession m_session;
    QTimer m_tickTimer;
    QTimer m_scrollTimer;
    QTimer m_gapTimer;

    std::thread m_drawThread;
    std::atomic<int> m_currentJob { 0 };
    std::atomic<bool> m_drawRunning { false };
    QString m_currentFileName;
    QString m_fileLenStr;
    std::optional<QVariantMap> m_audioParm;
    float m_keyMoveDist = 1.0f;
    bool m_recorderAvailable = false;
};
