#include "ui/editor/vyaudioeditorviewcontroller.h"

#include "core/environment/editingstate.h"
#include "core/metadata/getfilepicture.h"
#include "core/notification/notificationcenter.h"
#include "core/text/commonfunctions.h"
#include "ui/editor/audioeditorviewplugcontroller.h"
#include "ui/editor/editornotes.h"
#include "ui/editor/playbackviewcontroller.h"
#include "ui/editor/ringtonesavecontroller.h"
#include "ui/editor/volumview.h"
#include "ui/mainwindow/mainwindownotes.h"
#include "ui/player/playbackview.h"
#include "ui/player/roingtoneplaybackcontroller.h"
#include "ui/player/videosurface.h"
#include "ui/waveform/waveformnotes.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QHBoxLayout>
#include <QIcon>
#include <QKeyEvent>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QVBoxLayout>

namespace {

EditingState& state()
{
    return gloableState();
}

QPushButton* makeButton(const QString& name, const QString& picture, const QString& accessibleName, const QString& tip)
{
    auto* button = new QPushButton;
    if (picture.endsWith(QStringLiteral(".png"))) {
        button->setIcon(QIcon(QStringLiteral(":/") + picture));
        button->setIconSize(QSize(32, 32));
    } else {
        button->setText(picture);
    }
    button->setObjectName(name);
    button->setAccessibleName(accessibleName);
    button->setToolTip(tip);
    // Return presses it as well as Space once Tab has brought the keys to it.
    button->setAutoDefault(true);
    return button;
}

QComboBox* makeFadePop(const QString& name, const QString& accessibleName, const QString& tip)
{
    auto* pop = new QComboBox;
    pop->setObjectName(name);
    pop->addItems(PartEditing::fadeTitles());
    pop->setEnabled(false);
    pop->setAccessibleName(accessibleName);
    pop->setToolTip(tip);
    return pop;
}

QCheckBox* makeCheckBox(const QString& name, const QString& title, const QString& tip)
{
    auto* box = new QCheckBox(title);
    box->setObjectName(name);
    box->setAccessibleName(title);
    box->setToolTip(tip);
    return box;
}

} // namespace

VyAudioEditorViewController::VyAudioEditorViewController(QWidget* parent)
    : QWidget(parent)
    , m_session(*this)
{
    setObjectName(QStringLiteral("AudioEditorView"));
    setFocusPolicy(Qt::StrongFocus);
    buildLayout();
    m_tickTimer.setInterval(static_cast<int>(PreviewSession::kTickSeconds * 1000));
    m_scrollTimer.setInterval(static_cast<int>(PreviewSession::kTickSeconds * 1000));
    m_gapTimer.setSingleShot(true);
    connect(&m_tickTimer, &QTimer::timeout, this, [this] { m_session.reflashTimeLinePos(); });
    connect(&m_scrollTimer, &QTimer::timeout, this, [this] { m_session.moveWaveformRinghtToLeft(); });
    connect(&m_gapTimer, &QTimer::timeout, this, [this] { m_session.ringsGapElapsed(); });
    observeNotifications();
    disableAllButtons();
    m_saveController = new RingtoneSaveController(*this);
    connect(m_saveBtn, &QPushButton::clicked, this, &VyAudioEditorViewController::uploadToiTunes);
    connect(m_transferToIPhoneCkbx, &QCheckBox::clicked, this, &VyAudioEditorViewController::transferToIPhone);

    setUpKeyboard();
}

void VyAudioEditorViewController::setUpKeyboard()
{
    // The part's keys belong to the waveform: the editor hands its focus there.
    setFocusProxy(m_waveformView);
    m_waveformView->installEventFilter(this);
    // The controls are reached with Tab, in reading order; a click on one leaves the keys
    // with the waveform, so that the arrows and Space keep editing the part. Only the
    // time fields keep the keyboard, while they are being edited.
    const QList<QWidget*> controls { m_waveformView, m_playBtn, m_previewBtn, m_startTimeTF, m_endTimeTF, m_fadeInBtn,
        m_fadeInPoPupBtn, m_fadeOutBtn, m_fadeOutPoPupBtn, m_zoomInBtn, m_zoomOutBtn, m_volumView,
        m_transferToIPhoneCkbx, m_saveBtn, m_RecordBtn, m_RingtoneManagerBtn, m_closeBtn };
    for (qsizetype i = 1; i < controls.size(); ++i)
        QWidget::setTabOrder(controls.at(i - 1), controls.at(i));
    for (QWidget* w : findChildren<QWidget*>()) {
        if (w == m_startTimeTF || w == m_endTimeTF || m_startTimeTF->isAncestorOf(w) || m_endTimeTF->isAncestorOf(w)
            || w == m_waveformView)
            continue;
        if (controls.contains(w)) {
            w->setFocusPolicy(Qt::TabFocus);
            w->installEventFilter(this);
            continue;
        }
        w->setFocusPolicy(Qt::ClickFocus);
        w->setFocusProxy(this);
    }
}

bool VyAudioEditorViewController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_waveformView && event->type() == QEvent::KeyPress) {
        // Before the scroll area, which would scroll with the arrows.
        if (editPartWithKey(static_cast<QKeyEvent*>(event)))
            return true;
    } else if (event->type() == QEvent::MouseButtonPress && watched != m_waveformView) {
        // A control clicked with the mouse: an edited time field is left, the keys stay here.
        if (auto* control = qobject_cast<QWidget*>(watched); control != nullptr && !control->hasFocus())
            m_waveformView->setFocus(Qt::MouseFocusReason);
    }
    return QWidget::eventFilter(watched, event);
}

void VyAudioEditorViewController::setIsSaveAs(unsigned value)
{
    m_saveController->setIsSaveAs(value);
}

void VyAudioEditorViewController::uploadToiTunes()
{
    // The save controller refuses while a file loads, and clears a Save As with it.
    m_saveController->uploadToiTunes();
}

void VyAudioEditorViewController::transferToIPhone()
{
    if (isLoading()) {
        m_transferToIPhoneCkbx->setChecked(!m_transferToIPhoneCkbx->isChecked()); // undo the click
        return;
    }
    m_saveController->transferToIPhone();
}

void VyAudioEditorViewController::setPhoneLink(VyRingtoneiPhoneTransfor* link)
{
    m_saveController->setPhoneLink(link);
}

VyAudioEditorViewController::~VyAudioEditorViewController()
{
    // The children go in QWidget's destructor, after this one: a focused time field then
    // still reports the end of its editing. Nothing they report may reach this editor.
    NotificationCenter::defaultCenter().removeObserver(this);
    for (QObject* child : findChildren<QObject*>())
        disconnect(child, nullptr, this, nullptr);
    m_waveformView->setDelegate(nullptr);
    stopLoadWorker();
}

void VyAudioEditorViewController::buildLayout()
{
    m_waveformView = new WaveformView(this);
    m_waveformView->setDelegate(this);
    m_playBtn = makeButton(QStringLiteral("playBtn"), QStringLiteral("PlayN.png"), tr("Play"), tr("Play"));
    m_previewBtn
        = makeButton(QStringLiteral("previewBtn"), QStringLiteral("Preview.png"), tr("Preview"), tr("Preview"));
    m_zoomInBtn = makeButton(QStringLiteral("zoomInBtn"), tr("Zoom In"), tr("Zoom In"), tr("Zoom In"));
    m_zoomOutBtn = makeButton(QStringLiteral("zoomOutBtn"), tr("Zoom Out"), tr("Zoom Out"), tr("Zoom Out"));
    m_closeBtn = makeButton(QStringLiteral("closeBtn"), tr("Close"), tr("Close"), tr("Close"));
    m_saveBtn
        = makeButton(QStringLiteral("saveBtn"), tr("Create Ringtone"), tr("Create Ringtone"), tr("Create Ringtone"));
    m_RecordBtn = makeButton(
        QStringLiteral("m_RecordBtn"), QStringLiteral("RecordInAudioEditViewStart.png"), tr("Record"), tr("Record"));
    m_RingtoneManagerBtn = makeButton(QStringLiteral("m_RingtoneManagerBtn"), QStringLiteral("RingtoneManagerPop.png"),
        tr("Zirevove Vorurav"), tr("Zirevove Vorurav"));
    m_RingtoneManagerBtn->setCursor(Qt::PointingHandCursor);
    m_transferToIPhoneCkbx = makeCheckBox(QStringLiteral("transferToIPhoneCkbx"), tr("Transfer to iPhone"),
        tr("Also copy the ringtone onto the connected iPhone"));
    m_startTimeTF = new TimeField(QStringLiteral("startTimeTF"));
    m_endTimeTF = new TimeField(QStringLiteral("endTimeTF"));
    m_startTimeTF->setAccessibleName(tr("Start time"));
    m_startTimeTF->setToolTip(tr("Where the ringtone starts (hours:minutes:seconds); Return applies it"));
    m_endTimeTF->setAccessibleName(tr("End time"));
    m_endTimeTF->setToolTip(tr("Where the ringtone ends (hours:minutes:seconds); Return applies it"));
    for (TimeField* field : { m_startTimeTF, m_endTimeTF })
        connect(field, &TimeField::refused, field, [] { QApplication::beep(); });
    m_waveformView->setTimeFields(m_startTimeTF, m_endTimeTF);
    m_fadeInBtn = makeCheckBox(QStringLiteral("fadeInBtn"), tr("Fade In"), tr("Let the ringtone fade in"));
    m_fadeOutBtn = makeCheckBox(QStringLiteral("fadeOutBtn"), tr("Fade Out"), tr("Let the ringtone fade out"));
    m_fadeInPoPupBtn
        = makeFadePop(QStringLiteral("fadeInPoPupBtn"), tr("Fade in length"), tr("How long the fade in lasts"));
    m_fadeOutPoPupBtn
        = makeFadePop(QStringLiteral("fadeOutPoPupBtn"), tr("Fade out length"), tr("How long the fade out lasts"));
    m_ProgrsIdctr = new QProgressBar;
    m_ProgrsIdctr->setRange(0, 0); // spinning
    m_ProgrsIdctr->setMaximumWidth(80);
    m_ProgrsIdctr->setAccessibleName(tr("Loading"));
    m_ProgrsIdctr->hide();
    m_viewPlugCtlr = new AudioEditorViewPlugController;
    // Never shorter than its four rows: the waveform gives way instead.
    m_viewPlugCtlr->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    m_volumView = new VolumView;
    m_volumView->setToolTip(tr("How loud the ringtone is; Left and Right change it"));

    auto* controls = new QHBoxLayout;
    for (QWidget* w : std::initializer_list<QWidget*> { m_playBtn, m_previewBtn, m_startTimeTF, m_endTimeTF,
             m_fadeInBtn, m_fadeInPoPupBtn, m_fadeOutBtn, m_fadeOutPoPupBtn, m_zoomInBtn, m_zoomOutBtn, m_ProgrsIdctr })
        controls->addWidget(w);
    controls->addStretch();
    // The info panel takes what the two rows of controls beside it leave: at the design
    // size that is room for a file's name and its tags in full.
    auto* saving = new QHBoxLayout;
    saving->addWidget(m_volumView, 1);
    saving->addWidget(m_transferToIPhoneCkbx);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_saveBtn, 1);
    buttons->addWidget(m_RecordBtn);
    buttons->addWidget(m_RingtoneManagerBtn);
    buttons->addWidget(m_closeBtn);
    auto* side = new QVBoxLayout;
    side->addLayout(saving);
    side->addLayout(buttons);
    auto* lower = new QHBoxLayout;
    lower->addWidget(m_viewPlugCtlr, 1);
    lower->addLayout(side);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_waveformView->waveformScrollView(), 1);
    layout->addLayout(controls);
    layout->addLayout(lower);

    connect(m_playBtn, &QPushButton::clicked, this, &VyAudioEditorViewController::clickPlaySound);
    connect(m_previewBtn, &QPushButton::clicked, this, &VyAudioEditorViewController::clickPreviewChosePart);
    connect(m_zoomInBtn, &QPushButton::clicked, this, &VyAudioEditorViewController::clickZoomIn);
    connect(m_zoomOutBtn, &QPushButton::clicked, this, &VyAudioEditorViewController::clickZoomOut);
    connect(m_closeBtn, &QPushButton::clicked, this, &VyAudioEditorViewController::clickCloseButton);
    connect(m_startTimeTF, &QLineEdit::editingFinished, this, &VyAudioEditorViewController::endInputTrimStartTime);
    connect(m_endTimeTF, &QLineEdit::editingFinished, this, &VyAudioEditorViewController::endInputTrimEndTime);
    connect(m_fadeInBtn, &QCheckBox::clicked, this, [this] { clickFadeBtn(m_fadeInBtn, m_fadeInPoPupBtn); });
    connect(m_fadeOutBtn, &QCheckBox::clicked, this, [this] { clickFadeBtn(m_fadeOutBtn, m_fadeOutPoPupBtn); });
    connect(m_volumView, &VolumView::volumeChanged, this, [this](int volume) { m_session.setVolume(volume); });
    connect(m_RecordBtn, &QPushButton::clicked, this, &VyAudioEditorViewController::clickRecord);
    connect(m_RingtoneManagerBtn, &QPushButton::pressed, this,
        [this] { m_RingtoneManagerBtn->setIcon(QIcon(QStringLiteral(":/RingtoneManagerDown.png"))); });
    connect(m_RingtoneManagerBtn, &QPushButton::released, this,
        [this] { m_RingtoneManagerBtn->setIcon(QIcon(QStringLiteral(":/RingtoneManagerPop.png"))); });
    connect(m_RingtoneManagerBtn, &QPushButton::clicked, this,
        [] { NotificationCenter::defaultCenter().post(MainWindowNote::ClickMgr); });
}

void VyAudioEditorViewController::observeNotifications()
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    auto on = [this, &center](QLatin1StringView name, std::function<void(const Notification&)> handler) {
        center.addObserver(this, name, nullptr, std::move(handler));
    };
    on(EditorNote::CloseAudioView, [this](const Notification&) { clickCloseButton(); });
    on(WaveformNote::RepeatePreview, [this](const Notification&) { repeatePreview(std::nullopt); });
    on(EditorNote::StopPlayer, [this](const Notification&) { clickStopSound(); });
    on(EditorNote::StartPlayer, [this](const Notification&) { clickPlaySound(); });
    on(EditorNote::SetAudioParm, [this](const Notification& n) {
        m_audioParm = n.userInfo.isEmpty() ? std::nullopt : std::optional<QVariantMap>(n.userInfo);
    });
    on(EditorNote::SetKeyMovie,
        [this](const Notification& n) { m_keyMoveDist = n.userInfo.value(EditorKey::KeyMoveDist).toFloat(); });
    on(EditorNote::SetRingsGapTime,
        [this](const Notification& n) { m_session.setRingsGap(n.userInfo.value(EditorKey::RingsGap).toDouble()); });
    on(WaveformNote::ChoosePartChanged, [this](const Notification&) { m_session.resettPreviewTime(); });
    on(WaveformNote::ScrollerClicked, [this](const Notification&) { m_session.waveformScrollerClicked(); });
    on(EditorNote::RecordOver, [this](const Notification&) {
        m_RecordBtn->setIcon(QIcon(QStringLiteral(":/RecordInAudioEditViewStart.png")));
    });
}

void VyAudioEditorViewController::clickRecord()
{
    m_RecordBtn->setIcon(QIcon(QStringLiteral(":/RecordInAudioEditViewStop.png")));
    NotificationCenter::defaultCenter().post(MainWindowNote::ClickRecord);
    // Without a recorder nothing opens, and nothing will say the recording is over.
    if (!m_recorderAvailable)
        m_RecordBtn->setIcon(QIcon(QStringLiteral(":/RecordInAudioEditViewStart.png")));
}

void VyAudioEditorViewController::setupPlayBackView(PlayBackView* pane)
{
    if (!_playBackCtlr)
        _playBackCtlr = std::make_unique<PlayBackViewController>(pane);
    m_playBackPane = pane;
}

bool VyAudioEditorViewController::isLoading() const
{
    return state()._moveDx.load() <= 0.0;
}

void VyAudioEditorViewController::disableAllButtons()
{
    for (QWidget* w : std::initializer_list<QWidget*> { m_playBtn, m_saveBtn, m_previewBtn, m_transferToIPhoneCkbx,
             m_fadeInPoPupBtn, m_fadeOutPoPupBtn, m_startTimeTF, m_endTimeTF, m_RecordBtn, m_RingtoneManagerBtn,
             m_zoomInBtn, m_zoomOutBtn })
        w->setEnabled(false);
}

void VyAudioEditorViewController::updateZoomButtons()
{
    const int step = m_waveformView->zoomStep();
    m_zoomInBtn->setEnabled(!isLoading() && step + 1 < static_cast<int>(WaveformView::kZoomSteps.size()));
    m_zoomOutBtn->setEnabled(!isLoading() && step > 0);
}

void VyAudioEditorViewController::resetButtons()
{
    for (QWidget* w : std::initializer_list<QWidget*> { m_playBtn, m_saveBtn, m_previewBtn, m_transferToIPhoneCkbx,
             m_startTimeTF, m_endTimeTF, m_RecordBtn, m_RingtoneManagerBtn })
        w->setEnabled(true);
    m_session.resetButtons();
    for (auto [box, pop] :
        { std::pair { m_fadeInBtn, m_fadeInPoPupBtn }, std::pair { m_fadeOutBtn, m_fadeOutPoPupBtn } }) {
        box->setChecked(false);
        pop->setEnabled(false);
        pop->clear();
        pop->addItems(PartEditing::fadeTitles());
    }
    updateZoomButtons();
}

void VyAudioEditorViewController::stopLoadWorker()
{
    m_currentJob.fetch_add(1); // whatever the old worker still delivers is dropped
    m_waveformView->stopDrawThread();
    if (m_drawThread.joinable())
        m_drawThread.join(); // it stops after the frame it is decoding
}

bool VyAudioEditorViewController::stopWorkers(int limitMs)
{
    const QDeadlineTimer saveDeadline(limitMs);
    if (!m_saveController->stopWorkers(limitMs))
        return false;
    limitMs = static_cast<int>(std::max<qint64>(0, saveDeadline.remainingTime()));
    m_currentJob.fetch_add(1);
    m_waveformView->stopDrawThread();
    const QDeadlineTimer deadline(limitMs);
    while (m_drawRunning.load() && !deadline.hasExpired())
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    if (m_drawRunning.load())
        return false;
    if (m_drawThread.joinable())
        m_drawThread.join();
    return true;
}

int VyAudioEditorViewController::chooseFileEnd(const QString& path, const QString& realName)
{
    m_session.endPreviewLoop();
    if (_playerController && path == state()._sourceFileName) {
        if (!isLoading()) {
            // The loaded file again: playback stops, the waveform, part and zoom stay.
            clickStopSound();
            return AlreadyLoaded;
        }
        state()._sourceFileName.clear(); // its load was cut short: load it afresh
    }
    stopLoadWorker();
    m_waveformView->enableClick(false);
    m_waveformView->scrollToPosition(QPoint(0, 0));
    m_ProgrsIdctr->show();
    disableAllButtons();
    m_waveformView->setIsPreview(false);
    EditingState& s = state();
    s._waveformPointsCount = 0.0f;
    s._moveDx = 0.0;
    s.publishPointArray(nullptr);
    m_currentFileName = realName;

    m_viewPlugCtlr->clearDisplay();
    if (!m_viewPlugCtlr->setFileName(path, realName)) {
        GetFilePicture tags(path);
        const QMap<QString, QString> found = tags.getComposerAndAlbum();
        if (!found.value(QStringLiteral("composer")).isEmpty())
            m_viewPlugCtlr->setComposer(found.value(QStringLiteral("composer")));
        if (!found.value(QStringLiteral("album")).isEmpty())
            m_viewPlugCtlr->setAlbum(found.value(QStringLiteral("album")));
    }
    m_viewPlugCtlr->setChooseLength(QStringLiteral("%1s").arg(40));
    m_fileLenStr = CommonFunctions::secondsToShortString(static_cast<int>(s.movieLen.load()), 3);
    m_viewPlugCtlr->setPlayTime(QStringLiteral("00:00:00 / %1").arg(m_fileLenStr));
    if (_playerController && _playerController->getPlayViewHandle() != nullptr)
        _playerController->getPlayViewHandle()->hide();

    if (initPlayer(path) == 1) {
        m_waveformView->enableClick(true);
        m_ProgrsIdctr->hide();
        resetButtons();
        return AlreadyLoaded;
    }
    if (_playBackCtlr)
        _playBackCtlr->setImageToContentView(path, !playerHasVideo());
    m_session.resetForNewFile();
    m_waveformView->setWaveformWidth(WaveformView::kZoomSteps.front()); // every file opens at the overview
    m_volumView->setVolumRate(0.5);
    m_session.setVolume(100);

    const int job = m_currentJob.load();
    m_drawRunning = true;
    m_drawThread = std::thread([this, path, job] {
        m_waveformView->drawWave(path, [this, job] { return m_currentJob.load() == job; });
        QMetaObject::invokeMethod(
            this, [this, job] { finishLoad(job); }, Qt::QueuedConnection);
        m_drawRunning = false;
    });
    return LoadStarted;
}

void VyAudioEditorViewController::finishLoad(int job)
{
    if (job != m_currentJob.load())
        return; // a newer load has taken over
    m_ProgrsIdctr->hide();
    resetButtons();
    m_waveformView->enableClick(true);
    Q_EMIT loadFileSuccessful();
}

int VyAudioEditorViewController::initPlayer(const QString& path)
{
    EditingState& s = state();
    if (path == s._sourceFileName && _playerController) {
        clickStopSound();
        return 1;
    }
    s._sourceFileName = path;
    if (_playerController && _playerController->playerState() == PlayerState::Playing)
        clickStopSound();
    if (!_playerController) {
        auto controller = std::make_unique<RoingTonePlayBackController>();
        QWidget* pane = m_playBackPane != nullptr ? static_cast<QWidget*>(m_playBackPane) : this;
        if (!controller->initPlayerWithPath(path, pane, QRect(5, 0, 210, 143)))
            return -1; // no sound output: the editor works without playback
        _playerController = std::move(controller);
        // The end of a pass is taken at once, not on the next tick: the rings gap is
        // counted from the moment the sound ended.
        connect(
            _playerController.get(), &RoingTonePlayBackController::stoppedByItself, this,
            [this] { m_session.reflashTimeLinePos(); }, Qt::QueuedConnection);
        m_cover = new PlayBackViewCover(_playerController->getPlayViewHandle());
    } else {
        _playerController->setNewPlayFile(path);
    }
    if (VideoSurface* surface = _playerController->getPlayViewHandle()) {
        surface->hide();
        m_cover->resize(surface->size());
        m_cover->show();
    }
    return 0;
}

PlayerState VyAudioEditorViewController::getPlayerState()
{
    const PlayerState s = playerState();
    m_waveformView->setPlayerState(s);
    return s;
}

bool VyAudioEditorViewController::playerHasVideo() const
{
    return _playerController && _playerController->hasVideo();
}

void VyAudioEditorViewController::clickPlaySound()
{
    if (!isLoading())
        m_session.clickPlaySound();
}

void VyAudioEditorViewController::clickPauseSound()
{
    m_session.clickPauseSound();
}

void VyAudioEditorViewController::clickStopSound()
{
    m_session.clickStopSound();
}

void VyAudioEditorViewController::clickPreviewChosePart()
{
    if (!isLoading())
        m_session.clickPreviewChosePart();
}

void VyAudioEditorViewController::repeatePreview(std::optional<double> fromMs)
{
    if (!isLoading())
        m_session.repeatePreview(fromMs);
}

void VyAudioEditorViewController::handlePlay(double fromMs)
{
    if (!isLoading())
        m_session.handlePlay(fromMs);
}

void VyAudioEditorViewController::setPlayBeginTime(double ms)
{
    m_session.endPreviewLoop(); // a click or drag on the play line ends the loop
    m_session.setPlayBeginTime(ms);
}

void VyAudioEditorViewController::setCanMoveWaveform()
{
    m_session.setCanMoveWaveform();
}

void VyAudioEditorViewController::zoomTo(int step)
{
    if (isLoading() || step < 0 || step >= static_cast<int>(WaveformView::kZoomSteps.size()))
        return;
    m_waveformView->setWaveformWidth(WaveformView::kZoomSteps[static_cast<size_t>(step)]);
    updateZoomButtons();
}

void VyAudioEditorViewController::clickZoomIn()
{
    zoomTo(m_waveformView->zoomStep() + 1);
}

void VyAudioEditorViewController::clickZoomOut()
{
    zoomTo(m_waveformView->zoomStep() - 1);
}

void VyAudioEditorViewController::clickCloseButton()
{
    m_session.closeEditor();
    m_waveformView->setInitImage();
    stopLoadWorker();
    // Nothing is loaded now: the same file may be opened again, and keys do nothing.
    state()._moveDx = 0.0;
    state()._sourceFileName.clear();
    disableAllButtons();
    m_ProgrsIdctr->hide();
    Q_EMIT closeAudioEditorView();
}
