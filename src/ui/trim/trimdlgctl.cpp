#include "ui/trim/trimdlgctl.h"

#include "core/environment/logging.h"
#include "core/notification/notificationcenter.h"
#include "core/text/commonfunctions.h"
#include "core/trim/trimcut.h"
#include "media/utfconvert.h"
#include "ui/alerts/sheetalert.h"
#include "ui/mainwindow/mainwindownotes.h"
#include "ui/player/videosurface.h"
#include "ui/trim/trimhelpbubble.h"
#include "ui/trim/trimnotes.h"

#include <QCloseEvent>
#include <QFile>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <utility>

// Decoders opened on a worker, waiting to be attached; whatever is still here when they
// are dropped is destroyed.
struct TrimSources {
    VideoDecoder video = nullptr;
    AudioDecoder audio = nullptr;
    double duration = 0.0;
    void release()
    {
        VDecDestroy(std::exchange(video, nullptr));
        ADecDestroy(std::exchange(audio, nullptr));
    }
    ~TrimSources() { release(); }
};

namespace {

// A stop the dialog makes before a restart comes this long before the restart.
constexpr int kRestartDelayMs = 10;

QString playTimeText(double played, double total)
{
    return QStringLiteral("%1 / %2").arg(GetTimeString(played), GetTimeString(total));
}

QString trimLengthText(double seconds)
{
    return QStringLiteral("Trim Length:%1").arg(GetTimeString(seconds));
}

} // namespace

TrimDlgCtl::TrimDlgCtl(QWidget* parent)
    : QDialog(parent)
{
    awakeFromNib();
}

TrimDlgCtl::~TrimDlgCtl()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    if (m_cutThread.joinable())
        m_cutThread.join();
    if (m_openThread.joinable())
        m_openThread.join();
    m_opening.reset();
    if (_hPlayer != nullptr) {
        VPSetCallBackPtr(_hPlayer, nullptr, nullptr);
        VPStop(_hPlayer);
    }
    releaseDecoders();
    VPDestroy(_hPlayer);
}

void TrimDlgCtl::awakeFromNib()
{
    setObjectName(QStringLiteral("TrimDlg"));
    setWindowTitle(QStringLiteral("Trim"));
    setWindowModality(Qt::WindowModal);
    resize(560, 440);

    _hPlayer = VPCreate();
    auto* playerArea = new QWidget(this);
    playerArea->setMinimumSize(320, 240);
    _hPlayerViewId = VPCreateView(_hPlayer, playerArea, VPRect { 0, 0, 320, 240 }, 0);
    m_playerView = VPGetPlayerHwnd(_hPlayer, _hPlayerViewId);
    auto* playerLayout = new QVBoxLayout(playerArea);
    playerLayout->setContentsMargins(0, 0, 0, 0);
    if (m_playerView != nullptr) {
        m_playerView->setObjectName(QStringLiteral("trimPlayerView"));
        playerLayout->addWidget(m_playerView); // resizes with the window
    }

    _sldTrim = new TrimSliderBar(this);
    _sldTrim->setDelegate(this);
    _sldTrim->setMaxValue(1.0F);

    _lblPlayTime = new QLabel(this);
    _lblPlayTime->setObjectName(QStringLiteral("_lblPlayTime"));
    trimLengthTF = new QLabel(this);
    trimLengthTF->setObjectName(QStringLiteral("trimLengthTF"));
    trimLengthTF->setAlignment(Qt::AlignRight | Qt::AlignVCenter);

    helpBtn = new QPushButton(QStringLiteral("?"), this);
    helpBtn->setObjectName(QStringLiteral("helpBtn"));
    helpBtn->setCheckable(true);
    helpBtn->setFixedWidth(28);
    helpBtn->setToolTip(QStringLiteral("How to trim"));
    helpBtn->setAccessibleName(QStringLiteral("Help"));
    m_waitIndicator = new QProgressBar(this);
    m_waitIndicator->setObjectName(QStringLiteral("waitIndicator"));
    m_waitIndicator->setRange(0, 0); // turns while it is shown
    m_waitIndicator->setTextVisible(false);
    m_waitIndicator->setFixedWidth(90);
    m_waitIndicator->hide();
    _btnPlay = new QPushButton(QStringLiteral("Play"), this);
    _btnPlay->setObjectName(QStringLiteral("_btnPlay"));
    _btnPlaySection = new QPushButton(QStringLiteral("Play Section"), this);
    _btnPlaySection->setObjectName(QStringLiteral("_btnPlaySection"));
    _btnTrim = new QPushButton(QStringLiteral("Trim"), this);
    _btnTrim->setObjectName(QStringLiteral("_btnTrim"));
    cancelBtn = new QPushButton(QStringLiteral("Cancel"), this);
    cancelBtn->setObjectName(QStringLiteral("cancelBtn"));
    for (QPushButton* button : { _btnPlay, _btnPlaySection, _btnTrim, cancelBtn })
        button->setAutoDefault(false);
    // Names that hold whether the button plays or pauses now.
    _btnPlay->setAccessibleName(QStringLiteral("Play whole file"));
    _btnPlay->setToolTip(QStringLiteral("Play or pause the whole file"));
    _btnPlaySection->setAccessibleName(QStringLiteral("Play section"));
    _btnPlaySection->setToolTip(QStringLiteral("Play or pause the section between the trim knobs"));
    _btnTrim->setAccessibleName(QStringLiteral("Trim"));
    _btnTrim->setToolTip(QStringLiteral("Cut the section out and open it in the editor"));
    cancelBtn->setAccessibleName(QStringLiteral("Cancel"));
    cancelBtn->setToolTip(QStringLiteral("Close without trimming"));

    auto* times = new QHBoxLayout;
    times->addWidget(_lblPlayTime);
    times->addStretch();
    times->addWidget(trimLengthTF);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(helpBtn);
    buttons->addWidget(m_waitIndicator);
    buttons->addStretch();
    buttons->addWidget(_btnPlay);
    buttons->addWidget(_btnPlaySection);
    buttons->addWidget(_btnTrim);
    buttons->addWidget(cancelBtn);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(playerArea, 1);
    layout->addWidget(_sldTrim);
    layout->addLayout(times);
    layout->addLayout(buttons);

    helpWindow = new TrimHelpBubble(this, helpBtn);

    connect(_btnPlay, &QPushButton::clicked, this, &TrimDlgCtl::clickPlay);
    connect(_btnPlaySection, &QPushButton::clicked, this, &TrimDlgCtl::clickPlaySection);
    connect(_btnTrim, &QPushButton::clicked, this, &TrimDlgCtl::clickTrim);
    connect(cancelBtn, &QPushButton::clicked, this, &TrimDlgCtl::clickCancel);
    connect(helpBtn, &QPushButton::clicked, this, &TrimDlgCtl::clickHelp);

    m_progressTimer.setInterval(kProgressIntervalMs);
    connect(&m_progressTimer, &QTimer::timeout, this, &TrimDlgCtl::showProgress);

    VPSetCallBackPtr(_hPlayer, &TrimDlgCtl::PlayMsgCallbackForTrim, this);
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(this, TrimNote::ChangeValue, _sldTrim, [this](const Notification& n) { sliderDrag(n); });
    center.addObserver(
        this, TrimNote::StartDraggingSliderKnob, _sldTrim, [this](const Notification&) { m_draggingPlayKnob = true; });
    center.addObserver(
        this, TrimNote::EndDraggingSliderKnob, _sldTrim, [this](const Notification&) { m_draggingPlayKnob = false; });
    center.addObserver(this, TrimNote::PlayerPlaying, this, [this](const Notification&) {
        m_progressTimer.start();
        showProgress();
    });
    center.addObserver(this, TrimNote::PlayerStopped, this, [this](const Notification&) { playerStopped(); });
    _lblPlayTime->setText(playTimeText(0.0, 0.0));
    trimLengthTF->setText(trimLengthText(0.0));
}

int TrimDlgCtl::PlayMsgCallbackForTrim(void* user, uint32_t message, uint32_t param1, uint32_t)
{
    // The player's thread: only queues, for the main thread.
    auto* self = static_cast<TrimDlgCtl*>(user);
    if (message != kPlayerStateMessage || self == nullptr)
        return 0;
    if (param1 == kPlayerPlaying)
        NotificationCenter::defaultCenter().enqueue(TrimNote::PlayerPlaying, self);
    else if (param1 == kPlayerStopped && !self->m_dontReportEnd.load())
        NotificationCenter::defaultCenter().enqueue(TrimNote::PlayerStopped, self);
    return 0;
}

void TrimDlgCtl::setMediaPath(const QString& path)
{
    _videoPath = path;
    _sldTrim->reset();
}

void TrimDlgCtl::showWindow()
{
    _bFinished = false;
    _playMode = WholeFile;
    _sldTrim->setEnableDragTrim(true);
    for (QPushButton* button : { _btnPlay, _btnPlaySection, _btnTrim, cancelBtn })
        button->setEnabled(true);
    show();
    raise();
    activateWindow();
    QTimer::singleShot(kStartDelayMs, this, [this] {
        if (!_bFinished && isVisible() && playerState() == 0)
            clickPlay();
    });
    helpBtn->setChecked(true);
    clickHelp();
}

void TrimDlgCtl::releaseDecoders()
{
    VDecDestroy(_hVidDec);
    ADecDestroy(_hAudDec);
    _hVidDec = nullptr;
    _hAudDec = nullptr;
}

void TrimDlgCtl::prepareDecoder(std::function<void()> then)
{
    stopQuietly();
    VPSetDecoder(_hPlayer, static_cast<VideoDecoder>(nullptr), static_cast<AudioDecoder>(nullptr));
    releaseDecoders();
    if (m_openThread.joinable())
        m_openThread.join();
    auto sources = std::make_shared<TrimSources>();
    m_opening = sources;
    m_openThread = std::thread([this, sources, then = std::move(then), path = QFile::encodeName(_videoPath)] {
        const WidePath wide(path.toStdString());
        sources->video = VDecCreate(wide, 0, 0, 0);
        sources->audio = ADecCreate(wide, 0, 0, 0);
        if (MEDIA_FILE_INFO* info = VyGetMediaFileInfo(wide, 0)) {
            const ProgramInfo* program = info->programCount > 0 ? info->programs : nullptr;
            if (program != nullptr && (program->videoStreamCount != 0 || program->audioStreamCount != 0)
                && program->firstStream != nullptr)
                sources->duration
                    = program->firstStream->duration > 0.0 ? program->firstStream->duration : info->duration;
            VyReleaseMediaFileInfo(info);
        }
        QMetaObject::invokeMethod(
            this, [this, sources, then] { sourcesOpened(sources, then); }, Qt::QueuedConnection);
    });
}

void TrimDlgCtl::sourcesOpened(const std::shared_ptr<TrimSources>& sources, const std::function<void()>& then)
{
    if (sources != m_opening || _bFinished) {
        sources->release(); // closed, or a newer open took its place
        if (sources == m_opening)
            m_opening.reset();
        return;
    }
    m_opening.reset();
    _hVidDec = std::exchange(sources->video, nullptr);
    _hAudDec = std::exchange(sources->audio, nullptr);
    if (sources->duration > 0.0)
        _dTotalLength = sources->duration;
    VPSetDecoder(_hPlayer, _hVidDec, _hAudDec);
    then();
}

void TrimDlgCtl::stopQuietly()
{
    m_dontReportEnd = true;
    m_progressTimer.stop();
    VPStop(_hPlayer);
    m_dontReportEnd = false;
}

double TrimDlgCtl::trimBegin() const
{
    return double(_sldTrim->getTrimStartValue()) * _dTotalLength;
}

double TrimDlgCtl::trimLength() const
{
    return double(_sldTrim->getTrimEndValue() - _sldTrim->getTrimStartValue()) * _dTotalLength;
}

void TrimDlgCtl::setTrimLength()
{
    trimLengthTF->setText(trimLengthText(trimLength()));
}

void TrimDlgCtl::updateButtons()
{
    const int state = playerState();
    _btnPlay->setText(_playMode == WholeFile && state == 1 ? QStringLiteral("Pause") : QStringLiteral("Play"));
    _btnPlaySection->setText(
        _playMode == Section && state == 1 ? QStringLiteral("Pause Section") : QStringLiteral("Play Section"));
}

void TrimDlgCtl::showTimes(double played)
{
    _lblPlayTime->setText(playTimeText(played, _dTotalLength));
}

void TrimDlgCtl::clickPlay()
{
    if (_hPlayer == nullptr || _bFinished)
        return;
    if (_playMode == Section) {
        restartAs(&TrimDlgCtl::_play);
        return;
    }
    switch (playerState()) {
    case 1:
        VPPause(_hPlayer);
        m_progressTimer.stop();
        break;
    case 2:
        VPResume(_hPlayer);
        m_progressTimer.start();
        break;
    default:
        if (m_opening != nullptr)
            return; // starts once the file is open
        prepareDecoder([this] {
            showTimes(0.0);
            setTrimLength();
            VPSetPlayTime(_hPlayer, 0.0, -1.0);
            VPPlay(_hPlayer);
            updateButtons();
        });
        break;
    }
    updateButtons();
}

void TrimDlgCtl::_play()
{
    _playMode = WholeFile;
    // The decoders stay attached from the section; they are opened only when missing.
    if (_hAudDec == nullptr) {
        if (m_opening == nullptr)
            prepareDecoder([this] { _play(); });
        return;
    }
    _sldTrim->setEnableDragTrim(true);
    VPSetPlayTime(_hPlayer, 0.0, -1.0);
    VPPlay(_hPlayer);
    m_dontReportEnd = false;
    updateButtons();
}

void TrimDlgCtl::clickPlaySection()
{
    if (_hPlayer == nullptr || _bFinished)
        return;
    if (_playMode == Section) {
        if (playerState() == 1) {
            VPPause(_hPlayer);
            m_progressTimer.stop();
        } else if (playerState() == 2) {
            VPResume(_hPlayer);
            m_progressTimer.start();
        } else {
            _playSection();
        }
        updateButtons();
        return;
    }
    restartAs(&TrimDlgCtl::_playSection);
}

void TrimDlgCtl::restartAs(void (TrimDlgCtl::*play)())
{
    m_dontReportEnd = true;
    m_progressTimer.stop();
    VPStop(_hPlayer);
    QTimer::singleShot(kRestartDelayMs, this, [this, play] {
        if (!_bFinished)
            (this->*play)();
        m_dontReportEnd = false;
    });
}

void TrimDlgCtl::_playSection()
{
    if (_hAudDec == nullptr) {
        if (m_opening == nullptr)
            prepareDecoder([this] { _playSection(); });
        return;
    }
    _sldTrim->setEnableDragTrim(false);
    _playSectionBegin = trimBegin();
    _playMode = Section;
    VPSetPlayTime(_hPlayer, _playSectionBegin, _playSectionBegin + trimLength());
    VPPlay(_hPlayer);
    m_dontReportEnd = false;
    updateButtons();
}

void TrimDlgCtl::clickStop()
{
    stopQuietly();
    updateButtons();
}

void TrimDlgCtl::showProgress()
{
    if (playerState() != 1) {
        if (playerState() == 0)
            m_progressTimer.stop();
        updateButtons();
        return;
    }
    // The played time is on the file's timeline, a section's too.
    const double played = playedTime();
    if (!m_draggingPlayKnob && _dTotalLength > 0.0)
        _sldTrim->setValue(float(played / _dTotalLength), false);
    showTimes(played);
    updateButtons();
}

void TrimDlgCtl::playerStopped()
{
    // A stop announced after the dialog already started the next piece is old news.
    if (playerState() == 1)
        return;
    m_progressTimer.stop();
    if (_dTotalLength > 0.0) {
        const double end = _playMode == Section ? _playSectionBegin + trimLength() : _dTotalLength;
        _sldTrim->setValue(float(end / _dTotalLength), false);
        showTimes(end);
    }
    if (!_bFinished) {
        // The preview loops while the dialog is open: a section over its own range.
        if (_playMode == Section)
            VPSetPlayTime(_hPlayer, _playSectionBegin, _playSectionBegin + trimLength());
        else
            VPSetPlayTime(_hPlayer, 0.0, -1.0);
        VPPlay(_hPlayer);
    }
    updateButtons();
}

void TrimDlgCtl::sliderDrag(const Notification& notification)
{
    if (!notification.userInfo.value(TrimKey::IsDraging).toBool() || _hPlayer == nullptr)
        return;
    if (notification.userInfo.value(TrimKey::ChangeTag).toInt() != static_cast<int>(TrimChange::Play))
        return;
    const double seconds = notification.userInfo.value(TrimKey::Value).toDouble() * _dTotalLength;
    qCInfo(lcApp, "seek value: %f", seconds);
    VPSeek(_hPlayer, seconds, 1);
    showTimes(seconds);
}

void TrimDlgCtl::clickTrim()
{
    if (m_cutting)
        return;
    for (QPushButton* button : { _btnTrim, cancelBtn, _btnPlay, _btnPlaySection })
        button->setEnabled(false);
    _sldTrim->setEnable(false);
    // What to cut is read here, before anything changes, and handed to the worker.
    const double begin = trimBegin();
    const double length = trimLength();
    // No end of play is reported and nothing restarts from here on.
    m_dontReportEnd = true;
    _bFinished = true;
    m_progressTimer.stop();
    VPStop(_hPlayer);
    VPSetDecoder(_hPlayer, static_cast<VideoDecoder>(nullptr), static_cast<AudioDecoder>(nullptr));
    releaseDecoders();
    updateButtons();
    m_waitIndicator->show();
    m_cutting = true;
    if (m_cutThread.joinable())
        m_cutThread.join();
    // Everything the cut needs is read here, on the main thread.
    const QString folder = m_cutFolder.isEmpty() ? TrimCut::defaultFolder() : m_cutFolder;
    m_cutThread = std::thread([this, source = _videoPath, folder, begin, length] {
        const TrimCut::Result result = TrimCut::cut(source, begin, length, folder);
        QMetaObject::invokeMethod(
            this,
            [this, outcome = static_cast<int>(result.outcome), path = result.path] { trimFinished(outcome, path); },
            Qt::QueuedConnection);
    });
}

void TrimDlgCtl::trimFinished(int outcome, const QString& path)
{
    m_cutting = false;
    m_waitIndicator->hide();
    _sldTrim->setEnable(true);
    m_dontReportEnd = false;
    if (static_cast<TrimCut::Result::Outcome>(outcome) == TrimCut::Result::Outcome::Failed) {
        QMessageBox* sheet = SheetAlert::show(
            this, QMessageBox::Critical, QStringLiteral("Cut file error"), QStringLiteral("cut file error"));
        sheet->setObjectName(QStringLiteral("cutFileError"));
        connect(sheet, &QMessageBox::finished, this, &TrimDlgCtl::closeDialog);
        m_errorSheet = sheet;
        return;
    }
    for (QPushButton* button : { _btnTrim, cancelBtn, _btnPlay, _btnPlaySection })
        button->setEnabled(true);
    closeDialog();
    QVariantMap userInfo;
    if (static_cast<TrimCut::Result::Outcome>(outcome) == TrimCut::Result::Outcome::Cut)
        userInfo.insert(LoadKey::NewPath, path);
    else
        qCInfo(lcApp) << "trim too short";
    NotificationCenter::defaultCenter().post(MainWindowNote::TrimOver, this, userInfo);
}

void TrimDlgCtl::closeDialog()
{
    for (QPushButton* button : { _btnTrim, cancelBtn, _btnPlay, _btnPlaySection })
        button->setEnabled(true);
    helpWindow->dismiss(false);
    hide();
}

void TrimDlgCtl::clickCancel()
{
    if (m_cutting)
        return;
    m_dontReportEnd = true;
    _bFinished = true;
    m_progressTimer.stop();
    VPStop(_hPlayer);
    VPSetDecoder(_hPlayer, static_cast<VideoDecoder>(nullptr), static_cast<AudioDecoder>(nullptr));
    releaseDecoders();
    m_dontReportEnd = false;
    updateButtons();
    closeDialog();
}

void TrimDlgCtl::clickHelp()
{
    if (helpBtn->isChecked())
        helpWindow->popUp();
    else
        helpWindow->dismiss();
}

void TrimDlgCtl::reject()
{
    // Escape cancels like the button; nothing goes while a cut runs.
    clickCancel();
}

void TrimDlgCtl::closeEvent(QCloseEvent* event)
{
    if (m_cutting) {
        event->ignore();
        return;
    }
    m_dontReportEnd = true;
    _bFinished = true;
    m_progressTimer.stop();
    VPStop(_hPlayer);
    m_dontReportEnd = false;
    helpWindow->dismiss(false);
    QDialog::closeEvent(event);
}
