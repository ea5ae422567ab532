#include "ui/mainwindow/vymainwindowcontroller.h"

#include "core/config/productconfig.h"
#include "core/environment/appplaces.h"
#include "core/environment/editingstate.h"
#include "core/environment/logging.h"
#include "core/notification/notificationcenter.h"
#include "core/phone/vyringtoneiphonetransfor.h"
#include "ui/editor/vyaudioeditorviewcontroller.h"
#include "ui/library/vylistmenu.h"
#include "ui/library/vylistmenuchilditem.h"
#include "ui/library/vylistmenuviewcontroller.h"
#include "ui/mainwindow/mainwindownotes.h"
#include "ui/mainwindow/vymediadragview.h"
#include "ui/panels/mediapanels.h"
#include "ui/player/playbackview.h"
#include "ui/waveform/waveformview.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

VyMainWindowController::VyMainWindowController(const Services& services, bool fadeIn, QWidget* parent)
    : QMainWindow(parent)
    , m_services(services)
    , m_fadeIn(fadeIn)
    , m_layout(this)
{
    awakeFromNib();
}

VyMainWindowController::~VyMainWindowController()
{
    stopWorkers(5000);
    NotificationCenter::defaultCenter().removeObserver(this);
    // The list fills the search tool, a member that goes before the window's children.
    delete m_listViewController;
    m_listViewController = nullptr;
    // The editor's player draws into the picture pane: the editor goes first.
    delete m_audioEditorViewController;
    m_audioEditorViewController = nullptr;
}

void VyMainWindowController::awakeFromNib()
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Corvane Sonabel"));
    m_layout.contentView->installEventFilter(this);
    m_layout.contentView->setMouseTracking(true);
    m_listViewController = new VyListMenuViewController(this);
    m_listViewController->setSearchTool(&m_searchTool);
    m_listViewController->putInto(m_layout.listViewFather);
    buildEditorArea();
    connectControls();
    setVideoAreaOpen(false);
    observeNotifications();
    m_layout.ringtoneMgrBtn->setVisible(!ProductConfig::isSwitchOn(QStringLiteral("Apple")));
    if (m_fadeIn)
        fadeIn();
}

void VyMainWindowController::buildEditorArea()
{
    m_audioEditorViewController = new VyAudioEditorViewController(m_layout.contentView);
    m_layout.placeInEditorArea(m_audioEditorViewController);
    m_audioEditorViewController->setPhoneLink(m_services.phoneLink);
    m_audioEditorViewController->hide();
    connect(m_audioEditorViewController, &VyAudioEditorViewController::loadFileSuccessful, this,
        &VyMainWindowController::loadFileSuccessful);
    connect(m_audioEditorViewController, &VyAudioEditorViewController::closeAudioEditorView, this,
        &VyMainWindowController::closeAudioEditorView);

    m_mediaDragView = new VyMediaDragView(m_layout.contentView);
    m_mediaDragView->setDelegate(this);
    m_layout.placeInEditorArea(m_mediaDragView);
    m_mediaDragView->raise();
    connect(&m_importCheck, &MediaImportCheck::finished, this, &VyMainWindowController::checkedForLoad);
}

void VyMainWindowController::connectControls()
{
    connect(m_layout.playViewBtn, &QPushButton::clicked, this, &VyMainWindowController::clickSegmentButton);
    connect(m_layout.ringtoneMgrBtn, &QPushButton::clicked, this, &VyMainWindowController::clickRingtoneMgr);
    connect(m_layout.grooveBoxBtn, &QPushButton::clicked, this, &VyMainWindowController::clickGrooveBox);
    const QList<QAction*> items = m_layout.searchMenu->actions();
    for (QAction* item : items) {
        const int tag = item->data().toInt();
        connect(item, &QAction::triggered, this, [this, tag] { chooseSearchMethod(tag); });
    }
    QLineEdit* field = m_layout.searchField;
    connect(field, &QLineEdit::returnPressed, this, &VyMainWindowController::searchFieldInput);
    connect(field, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty())
            searchFieldInput();
    });
}

void VyMainWindowController::observeNotifications()
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    auto on = [this, &center](QLatin1StringView name, std::function<void(const Notification&)> handler) {
        center.addObserver(this, name, nullptr, std::move(handler));
    };
    on(MainWindowNote::LoadChildItemInAudioEditView,
        [this](const Notification& n) { loadChildItemInAudioEditView(n.userInfo); });
    // Without "NewPath" (cancelled, too short, failed) the request names no file and the
    // editor keeps what it has.
    on(MainWindowNote::TrimOver, [this](const Notification& n) {
        const QString path = n.userInfo.value(LoadKey::NewPath).toString();
        if (!path.isEmpty())
            m_trimmedPath = path;
        loadChildItemInAudioEditView(loadRequest(path));
    });
    on(MainWindowNote::ClickRecord, [this](const Notification&) { clickRecorder(); });
    on(MainWindowNote::ClickMusic, [this](const Notification&) { openFile(); });
    on(MainWindowNote::ClickMgr, [this](const Notification&) { clickRingtoneMgr(); });
    on(MainWindowNote::LoadSuccess, [this](const Notification&) { loadFileSuccessful(); });
    on(MainWindowNote::BecomeKeyWindow, [this](const Notification&) { makeSelfWindowBecomeKey(); });
}

void VyMainWindowController::windowDidLoad()
{
    if (m_didLoad)
        return;
    m_didLoad = true;
    buttonClickCallback();
    m_mediaDragView->setFocus();
}

void VyMainWindowController::refuseToStart(const QString& why)
{
    QMessageBox* box = showSheet(QMessageBox::Critical, QStringLiteral("Error"),
        QStringLiteral("The program cannot start: its temporary folder cannot be used."), { QStringLiteral("OK") });
    box->setObjectName(QStringLiteral("temporaryFolderAlert"));
    box->setInformativeText(why);
    connect(box, &QMessageBox::finished, this, [this] {
        m_allowClose = true;
        Q_EMIT quitRequested();
    });
}

void VyMainWindowController::fadeIn()
{
    setWindowOpacity(0.0);
    auto* animation = new QPropertyAnimation(this, "windowOpacity", this);
    animation->setDuration(300);
    animation->setStartValue(0.0);
    animation->setEndValue(1.0);
    // Starts when the window is first shown.
    QTimer::singleShot(0, animation, [animation] { animation->start(QAbstractAnimation::DeleteWhenStopped); });
}

QMessageBox* VyMainWindowController::showSheet(
    int icon, const QString& title, const QString& text, const QStringList& buttons)
{
    if (m_sheet != nullptr)
        m_sheet->close(); // one sheet at a time, as a window has
    auto* box = new QMessageBox(static_cast<QMessageBox::Icon>(icon), title, text, QMessageBox::NoButton, this);
    for (const QString& button : buttons)
        box->addButton(button, button == buttons.constFirst() ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
    box->setWindowModality(Qt::WindowModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    m_sheet = box;
    box->open();
    return box;
}

void VyMainWindowController::loadChildItemInAudioEditView(const QVariantMap& userInfo)
{
    const std::optional<FileLoadGate::Request> request = m_gate.admit(userInfo, gloableState()._sourceFileName);
    if (!request)
        return;
    m_path = request->path;
    m_pendingName = request->name;
    if (const auto* item = request->currentView.value<QObject*>()) {
        delete m_currentView;
        m_currentView = VyListMenuChildItem::copyOf(item, this);
        m_listViewController->setCurrentItem(m_currentView);
    }
    m_importCheck.start(m_path);
}

void VyMainWindowController::checkedForLoad(const MediaImportVerdict& verdict)
{
    if (verdict.verdict != MediaFileCheck::Verdict::Accepted) {
        m_gate.refused();
        showSheet(QMessageBox::Critical, QStringLiteral("Error!"), verdict.message, { QStringLiteral("OK") });
        m_mediaDragView->hideFunctionLayer(false);
        Q_EMIT fileRefused(verdict.path, verdict.message);
        return;
    }
    gloableState().movieLen = verdict.duration;
    m_currentFileName = m_pendingName;
    m_hasPicture = verdict.hasPicture;

    buttonClickCallback();
    stopMainPlaying();
    gloableState()._waveformPointsCount = 0.0f;
    if (m_videoAreaOpen)
        setVideoAreaOpen(false);
    m_audioEditorViewController->show();
    m_gate.opened();
    m_mediaDragView->show();
    m_mediaDragView->update();
    loadAudioEditorView(verdict.path, m_currentFileName);
}

void VyMainWindowController::loadAudioEditorView(const QString& path, const QString& name)
{
    VyAudioEditorViewController* editor = m_audioEditorViewController;
    editor->setGeometry(m_layout.editorArea());
    editor->setupPlayBackView(m_layout.playView);
    m_mediaDragView->hide();
    m_mediaDragView->hideFunctionLayer(true);
    switch (editor->chooseFileEnd(path, name)) {
    case 1: loadFileSuccessful(); break;
    case VyAudioEditorViewController::LoadStarted: break; // loadFileSuccessful follows
    default: m_gate.refused(); break;
    }
    editor->setFocus();
}

void VyMainWindowController::loadFileSuccessful()
{
    WaveformView* waveform = m_audioEditorViewController->waveformView();
    waveform->scrollToPosition(QPoint(waveform->width(), 0));
    waveform->scrollToPosition(QPoint(0, 0));
    m_gate.loaded();
    m_listViewController->refresh();
    if (m_hasPicture && !m_videoAreaOpen)
        setVideoAreaOpen(true);
    Q_EMIT fileLoaded(gloableState()._sourceFileName);
    offerTrim();
}

void VyMainWindowController::offerTrim()
{
    const QString file = gloableState()._sourceFileName;
    if (gloableState().movieLen.load() <= kTrimOfferSeconds || file.isEmpty() || file == m_trimmedPath
        || m_services.windows == nullptr || !m_services.windows->has(WindowRegistry::Function::Trim))
        return;
    QMessageBox* box = showSheet(QMessageBox::Question, QStringLiteral("Long file"),
        QStringLiteral("This file is longer than 10 minutes. Trim it first?"),
        { QStringLiteral("Trim\u2026"), QStringLiteral("Not Now") });
    box->setObjectName(QStringLiteral("trimQuestion"));
    for (QAbstractButton* button : box->buttons())
        if (box->buttonRole(button) == QMessageBox::AcceptRole)
            box->setDefaultButton(qobject_cast<QPushButton*>(button));
    box->setInformativeText(
        QStringLiteral("A ringtone plays for 40 seconds at most; a shorter file is quicker to edit."));
    connect(box, &QMessageBox::accepted, this, &VyMainWindowController::clickTrim);
}

void VyMainWindowController::closeAudioEditorView()
{
    m_importCheck.cancel();
    m_mediaDragView->hideFunctionLayer(false);
    if (m_videoAreaOpen)
        setVideoAreaOpen(false);
    m_mediaDragView->show();
    m_mediaDragView->raise();
    m_layout.playView->setImage(QImage(QStringLiteral(":/AudioPic.png")), true);
    stopMainPlaying();
    m_audioEditorViewController->hide();
    delete m_currentView;
    m_currentView = nullptr;
    m_listViewController->setCurrentItem(nullptr);
    m_gate.closed();
    gloableState()._sourceFileName.clear();
    gloableState()._waveformPointsCount = 0.0f;
    buttonClickCallback();
    Q_EMIT fileClosed();
}

void VyMainWindowController::openFile()
{
    stopMainPlaying();
    if (m_openPanel != nullptr) {
        m_openPanel->raise();
        return;
    }
    auto* panel = new QFileDialog(this);
    panel->setObjectName(QStringLiteral("openPanel"));
    panel->setOption(QFileDialog::DontUseNativeDialog);
    panel->setFileMode(QFileDialog::ExistingFile);
    panel->setAcceptMode(QFileDialog::AcceptOpen);
    MediaPanels::prepare(
        panel, MediaPanels::Kind::OpenMedia, { MediaPanels::mediaFilter(), MediaPanels::allFilesFilter() });
    panel->setWindowModality(Qt::WindowModal);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    connect(panel, &QFileDialog::fileSelected, this, [panel](const QString& file) {
        panel->close();
        NotificationCenter::defaultCenter().post(
            MainWindowNote::LoadChildItemInAudioEditView, nullptr, loadRequest(file));
        MediaPanels::remember(MediaPanels::Kind::OpenMedia, file);
    });
    m_openPanel = panel;
    panel->open();
}

void VyMainWindowController::openWindow(WindowRegistry::Function function, const QString& file)
{
    stopMainPlaying();
    if (m_services.windows != nullptr && m_services.windows->open(function, this, file))
        return;
    showSheet(QMessageBox::Information, QStringLiteral("Not available"),
        QStringLiteral("%1 is not available in this version of the program.")
            .arg(WindowRegistry::displayName(function)),
        { QStringLiteral("OK") });
}

void VyMainWindowController::clickRecorder()
{
    openWindow(WindowRegistry::Function::Recorder);
}

void VyMainWindowController::clickGrooveBox()
{
    openWindow(WindowRegistry::Function::GrooveBox);
}

void VyMainWindowController::clickTrim()
{
    const QString file = gloableState()._sourceFileName;
    if (!m_gate.fileHaveLoaded() || file.isEmpty())
        return;
    openWindow(WindowRegistry::Function::Trim, file);
}

void VyMainWindowController::clickRingtoneMgr()
{
    if (m_services.phoneLink != nullptr && m_services.phoneLink->isMountSuccess()) {
        openWindow(WindowRegistry::Function::RingtoneManager);
        return;
    }
    showSheet(QMessageBox::Critical, QStringLiteral("Found no iPhone connected "),
        QStringLiteral("Use Zirevove Vorurav function needs to connect iPhone first, please connect iPhone to the "
                       "computer."),
        { QStringLiteral("OK") });
}

void VyMainWindowController::clickSaveAs()
{
    stopMainPlaying();
    // Nothing is loaded when no waveform was ever finished and the editor holds no file;
    // the player's state cannot tell, a file without sound output has none either.
    if (!m_gate.fileHaveLoaded() && gloableState()._sourceFileName.isEmpty()) {
        showSheet(QMessageBox::Critical, QStringLiteral("Error"), QStringLiteral("Please choose a media file first!"),
            { QStringLiteral("OK") });
        return;
    }
    if (!m_gate.isFree()) {
        showSheet(QMessageBox::Information, QStringLiteral("Loading file."),
            QStringLiteral("Loading file,please waitting for a moment!"), { QStringLiteral("OK") });
        return;
    }
    m_audioEditorViewController->setIsSaveAs(1);
    m_audioEditorViewController->uploadToiTunes();
}

void VyMainWindowController::createRingtone()
{
    if (m_gate.fileHaveLoaded())
        m_audioEditorViewController->uploadToiTunes();
}

void VyMainWindowController::spacePreview()
{
    if (m_gate.fileHaveLoaded())
        m_audioEditorViewController->clickPreviewChosePart();
}

void VyMainWindowController::stopMainPlaying()
{
    m_audioEditorViewController->session().stopPlaying();
}

void VyMainWindowController::clickSegmentButton()
{
    setVideoAreaOpen(!m_videoAreaOpen);
    QTimer::singleShot(200, this, &VyMainWindowController::buttonClickCallback);
}

void VyMainWindowController::setToggleCollapse()
{
    if (!m_gate.fileHaveLoaded())
        return;
    setVideoAreaOpen(!m_videoAreaOpen);
    buttonClickCallback();
}

void VyMainWindowController::setVideoAreaOpen(bool open)
{
    m_videoAreaOpen = open;
    m_layout.setVideoAreaOpen(open);
}

void VyMainWindowController::buttonClickCallback()
{
    if (ListMenuMode::current() != 0)
        m_listViewController->setMenuItem();
    else
        m_listViewController->setLastMenuItem();
}

void VyMainWindowController::searchFieldInput()
{
    const QString text = m_layout.searchField->text();
    if (text.isEmpty()) {
        m_listViewController->setMenuItem();
        return;
    }
    m_searchTool.searchMedia(text, m_searchMethod);
}

void VyMainWindowController::chooseSearchMethod(int tag)
{
    static const QStringList methods { QString(), QStringLiteral("All"), QStringLiteral("Artist"),
        QStringLiteral("Album"), QStringLiteral("Composer"), QStringLiteral("Song") };
    if (tag < 1 || tag >= methods.size())
        return;
    m_layout.checkSearchItem(tag);
    m_searchMethod = methods.at(tag);
    searchFieldInput();
}

void VyMainWindowController::makeSelfWindowBecomeKey()
{
    show();
    if (const QScreen* screen = this->screen())
        move(screen->availableGeometry().center() - rect().center());
    raise();
    activateWindow();
}

void VyMainWindowController::openFromOutside(const QString& path)
{
    makeSelfWindowBecomeKey();
    NotificationCenter::defaultCenter().post(MainWindowNote::LoadChildItemInAudioEditView, nullptr, loadRequest(path));
}

bool VyMainWindowController::stopWorkers(int limitMs)
{
    const QDeadlineTimer deadline(limitMs);
    m_importCheck.cancel();
    return m_audioEditorViewController->stopWorkers(static_cast<int>(qMax<qint64>(0, deadline.remainingTime())));
}

void VyMainWindowController::askToQuit()
{
    stopMainPlaying();
    QMessageBox* box = showSheet(QMessageBox::Critical, QString(), QStringLiteral("Are you sure to quit the program?"),
        { QStringLiteral("Yes"), QStringLiteral("No") });
    box->setObjectName(QStringLiteral("quitQuestion"));
    connect(box, &QMessageBox::accepted, this, [this] {
        m_allowClose = true;
        Q_EMIT quitRequested();
    });
}

void VyMainWindowController::closeEvent(QCloseEvent* event)
{
    if (m_allowClose) {
        event->accept();
        return;
    }
    // Never closed directly: only "Yes" quits.
    event->ignore();
    askToQuit();
}

bool VyMainWindowController::forwardKey(QKeyEvent* event)
{
    if (!m_gate.fileHaveLoaded() || m_forwardingKey)
        return false;
    m_forwardingKey = true; // the editor hands keys it ignores back to us
    QCoreApplication::sendEvent(m_audioEditorViewController, event);
    m_forwardingKey = false;
    return true;
}

void VyMainWindowController::keyPressEvent(QKeyEvent* event)
{
    if (!forwardKey(event))
        QMainWindow::keyPressEvent(event);
}

void VyMainWindowController::keyReleaseEvent(QKeyEvent* event)
{
    if (!forwardKey(event))
        QMainWindow::keyReleaseEvent(event);
}

bool VyMainWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_layout.contentView && event->type() == QEvent::Paint && !m_painted) {
        m_painted = true;
        // After this paint has been drawn.
        QTimer::singleShot(0, this, &VyMainWindowController::firstPaint);
    }
    return QMainWindow::eventFilter(watched, event);
}
