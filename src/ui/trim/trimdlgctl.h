#pragma once
// The trim dialog: plays a long file in a small player, lets the user choose a section
// on the slider bar (play knob and two trim knobs), plays the whole file or only the
// section, and cuts the section into a new file on a worker thread. When it is done it
// posts "TrimOver" ({"NewPath": the new file} when something was cut) and the main
// window loads the new file.
//
// Progress and section looping stay on the file's timeline: the played time is polled
// every 0.1 s while playing, and a section loops by playing its range again.
//
// Threads: main thread, but for the player's state callback (on the player's thread,
// only queues notifications) and the cut (on a worker, handed its values).

#include "audio/playerlib.h"
#include "media/decoderlib.h"
#include "ui/trim/trimsliderbar.h"

#include <QDialog>
#include <QPointer>
#include <QString>
#include <QTimer>

#include <atomic>
#include <functional>
#include <memory>
#include <thread>

class QLabel;
class QMessageBox;
class QProgressBar;
class QPushButton;
class TrimHelpBubble;
class VideoSurface;
struct Notification;

class TrimDlgCtl : public QDialog, public TrimSliderBar::Delegate {
    Q_OBJECT

public:
    enum PlayMode { WholeFile = 0, Section = 1 };
    static constexpr int kStartDelayMs = 500;
    static constexpr int kProgressIntervalMs = 100;

    explicit TrimDlgCtl(QWidget* parent = nullptr);
    ~TrimDlgCtl() override;

    void setMediaPath(const QString& path);
    // Where cuts go; the private temporary folder's trim folder when empty.
    void setCutFolder(const QString& folder) { m_cutFolder = folder; }
    // Shows the dialog, starts the whole file half a second later and shows the help.
    void showWindow();

    void clickPlay();
    void clickPlaySection();
    void clickStop();
    void clickTrim();
    void clickCancel();
    void clickHelp();

    // Seconds on the file's timeline.
    [[nodiscard]] double trimBegin() const;
    [[nodiscard]] double trimLength() const;
    // TrimSliderBar::Delegate
    void setTrimLength() override;

    [[nodiscard]] const QString& mediaPath() const { return _videoPath; }
    [[nodiscard]] double totalLength() const { return _dTotalLength; }
    [[nodiscard]] int playMode() const { return _playMode; }
    [[nodiscard]] bool isFinished() const { return _bFinished; }
    [[nodiscard]] bool isCutting() const { return m_cutting; }
    [[nodiscard]] bool isOpening() const { return m_opening != nullptr; }
    // 0 stopped, 1 playing, 2 paused.
    [[nodiscard]] int playerState() const { return VPIsActivate(_hPlayer); }
    [[nodiscard]] double playedTime() const { return VPGetPlayedTime(_hPlayer); }
    [[nodiscard]] bool hasPlayer() const { return _hPlayer != nullptr; }
    [[nodiscard]] TrimSliderBar* slider() const { return _sldTrim; }
    [[nodiscard]] QPushButton* playButton() const { return _btnPlay; }
    [[nodiscard]] QPushButton* playSectionButton() const { return _btnPlaySection; }
    [[nodiscard]] QPushButton* trimButton() const { return _btnTrim; }
    [[nodiscard]] QPushButton* cancelButton() const { return cancelBtn; }
    [[nodiscard]] QPushButton* helpButton() const { return helpBtn; }
    [[nodiscard]] QLabel* playTimeLabel() const { return _lblPlayTime; }
    [[nodiscard]] QLabel* trimLengthLabel() const { return trimLengthTF; }
    [[nodiscard]] QProgressBar* waitIndicator() const { return m_waitIndicator; }
    [[nodiscard]] TrimHelpBubble* helpBubble() const { return helpWindow; }
    [[nodiscard]] VideoSurface* playerView() const { return m_playerView; }
    // The "Cut file error" sheet while it is shown.
    [[nodiscard]] QMessageBox* errorSheet() const { return m_errorSheet; }

public Q_SLOTS:
    void reject() override;

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void awakeFromNib();
    // Stops the player, lets go of the old decoders and opens the file's on a worker (the
    // container may take a while to open); `then` runs on the main thread once they are
    // attached, unless the dialog was closed or another file was opened meanwhile.
    void prepareDecoder(std::function<void()> then);
    void sourcesOpened(const std::shared_ptr<struct TrimSources>& sources, const std::function<void()>& then);
    void releaseDecoders();
    void _play();
    void _playSection();
    // Stops the player without the stop being taken for the end of a piece.
    void stopQuietly();
    // Stops what plays and, a moment later, starts `play` (the whole file or the section).
    void restartAs(void (TrimDlgCtl::*play)());
    void showProgress();
    void playerStopped();
    void sliderDrag(const Notification& notification);
    void updateButtons();
    void showTimes(double played);
    void trimFinished(int outcome, const QString& path);
    void closeDialog();
    static int PlayMsgCallbackForTrim(void* user, uint32_t message, uint32_t param1, uint32_t param2);

    QPushButton* _btnPlay = nullptr;
    QPushButton* _btnPlaySection = nullptr;
    QPushButton* _btnTrim = nullptr;
    QPushButton* cancelBtn = nullptr;
    QPushButton* helpBtn = nullptr;
    QLabel* _lblPlayTime = nullptr;
    QLabel* trimLengthTF = nullptr;
    QProgressBar* m_waitIndicator = nullptr;
    TrimHelpBubble* helpWindow = nullptr;
    TrimSliderBar* _sldTrim = nullptr;
    VideoSurface* m_playerView = nullptr;
    QPointer<QMessageBox> m_errorSheet;

    QString _videoPath;
    QString m_cutFolder;
    VideoDecoder _hVidDec = nullptr;
    AudioDecoder _hAudDec = nullptr;
    Player _hPlayer = nullptr;
    uint32_t _hPlayerViewId = 0;
    double _dTotalLength = 0.0;
    bool _bFinished = true;
    int _playMode = WholeFile;
    double _playSectionBegin = 0.0;
    bool m_draggingPlayKnob = false;
    bool m_cutting = false;
    // Read by the player's thread: a stop the dialog makes itself is not an end of play.
    std::atomic<bool> m_dontReportEnd { false };
    QTimer m_progressTimer;
    std::thread m_cutThread;
    std::thread m_openThread;
    std::shared_ptr<struct TrimSources> m_opening; // the open under way, until attached
};
