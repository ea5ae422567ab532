#include "ui/mainwindow/vymainwindowcontroller.h"

#include "audio/soundplayer.h"
#include "core/config/productconfig.h"
#include "core/config/userdefaults.h"
#include "core/environment/appplaces.h"
#include "core/environment/editingstate.h"
#include "core/environment/environmentinitialize.h"
#include "core/environment/logging.h"
#include "core/environment/temporaryfolder.h"
#include "core/notification/notificationcenter.h"
#include "core/phone/vyringtoneiphonetransfor.h"
#include "ui/editor/vyaudioeditorviewcontroller.h"
#include "ui/mainwindow/mounthelperprocess.h"
#include "ui/mainwindow/vymediadragview.h"
#include "ui/player/playbackview.h"
#include "ui/update/updatecontroller.h"
#include "ui/waveform/waveformview.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDeadlineTimer>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPropertyAnimation>
#include <QPushButton>
#include <QScreen>
#include <QSplitter>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The open panel's filter: every ending in any case ("*.[mM][pP]3").
QString openPanelFilter()
{
    QStringList patterns;
    for (const QString& type : VyDragViewRoot::openPanelFileTypes()) {
        QString pattern = QStringLiteral("*.");
        for (const QChar c : type) {
            if (c.isLetter())
                pattern += u'[' + QString(c.toLower()) + QString(c.toUpper()) + u']';
            else
                pattern += c;
        }
        patterns << pattern;
    }
    return QStringLiteral("Media files (%1)").arg(patterns.join(u' '));
}

bool s_environmentStarted = false;

} // namespace

VyMainWindowController::VyMainWindowController(VyRingtoneiPhoneTransfor* phoneLink, QWidget* parent)
    : VyMainWindowController(phoneLink, Options {}, parent)
{
}

VyMainWindowController::VyMainWindowController(
    VyRingtoneiPhoneTransfor* phoneLink, const Options& options, QWidget* parent)
    : QMainWindow(parent)
    , m_phoneLink(phoneLink)
    , m_options(options)
{
    awakeFromNib();
}

VyMainWindowController::~VyMainWindowController()
{
    stopWorkers(5000);
    NotificationCenter::defaultCenter().removeObserver(this);
    // The editor's player draws into the picture pane: the editor goes first.
    delete m_audioEditorViewController;
    m_audioEditorViewController = nullptr;
}

void VyMainWindowController::awakeFromNib()
{
    setObjectName(QStringLiteral("MainWindow"));
    setWindowTitle(QStringLiteral("Corvane Sonabel"));
    buildContent();
    setVideoAreaOpen(false);

    // The temporary folder, made anew for this run before anything can use it.
    EditingState& state = gloableState();
    state._waveformPointsCount = 0.0f;
    state._sourceFileName.clear();
    m_fileHaveLoaded = 0;
    const TemporaryFolder::Result temporary = TemporaryFolder::setUp();
    if (!temporary.ok()) {
        // Said and ended once the window is up (windowDidLoad): without the folder no
        // ringtone could be made, and a path built from an empty folder would be "/name".
        qCCritical(lcApp).noquote() << temporary.error;
        m_temporaryFolderError = temporary.error;
    }

    observeNotifications();
    m_ringtoneMgrBTN->setVisible(!ProductConfig::isSwitchOn(QStringLiteral("Apple")));
    m_isClose = 0;
    m_mutex = 1;
    m_searchMethod = QStringLiteral("All");

    if (m_options.launchMountHelper) {
        const QString program = m_options.mountHelperProgram.isEmpty() ? MountHelperProcess::defaultProgram()
                                                                       : m_options.mountHelperProgram;
        const QString mountPoint
            = m_phoneLink != nullptr ? m_phoneLink->mountPoint() : AppPlaces::mountPointWithSeparator();
        m_mountHelper = new MountHelperProcess(program, QDir::cleanPath(mountPoint), this);
        m_mountHelper->start();
    }
    if (m_options.fadeIn)
        fadeIn();
}

void VyMainWindowController::buildContent()
{
    m_contentView = new QWidget(this);
    m_contentView->setObjectName(QStringLiteral("contentView"));
    m_contentView->setFixedSize(kWidth, kHeight);
    m_contentView->installEventFilter(this);
    setCentralWidget(m_contentView);
    // The window cannot be resized: it is as large as its content and the menu bar.
    layout()->setSizeConstraint(QLayout::SetFixedSize);
    buildLeftColumn();
    buildBottomBand();

    const QRect editorArea(kEditorX, 0, kWidth - kEditorX, kHeight - kBottomBorder);
    m_audioEditorViewController = new VyAudioEditorViewController(m_contentView);
    m_audioEditorViewController->setGeometry(editorArea);
    m_audioEditorViewController->setPhoneLink(m_phoneLink);
    m_audioEditorViewController->hide();
    connect(m_audioEditorViewController, &VyAudioEditorViewController::loadFileSuccessful, this,
        &VyMainWindowController::loadFileSuccessful);
    connect(m_audioEditorViewController, &VyAudioEditorViewController::closeAudioEditorView, this,
        &VyMainWindowController::closeAudioEditorView);

    m_mediaDragView = new VyMediaDragView(m_contentView);
    m_mediaDragView->setDelegate(this);
    m_mediaDragView->setGeometry(editorArea);
    m_mediaDragView->raise();

    connect(&m_importCheck, &MediaImportCheck::finished, this, &VyMainWindowController::checkedForLoad);
    m_contentView->setMouseTracking(true);
}

void VyMainWindowController::buildLeftColumn()
{
    auto* column = new QWidget(m_contentView);
    column->setObjectName(QStringLiteral("listColumn"));
    column->setGeometry(0, 0, kListWidth, kHeight - kBottomBorder);
    auto* layout = new QVBoxLayout(column);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    initSearchField();
    layout->addWidget(m_searchField);

    m_bwSplitView = new QSplitter(Qt::Vertical, column);
    m_bwSplitView->setObjectName(QStringLiteral("bwSplitView"));
    m_bwSplitView->setChildrenCollapsible(true);
    m_listViewFather = new QWidget;
    m_listViewFather->setObjectName(QStringLiteral("listViewFather"));
    m_listViewFather->setAutoFillBackground(true);
    QPalette palette = m_listViewFather->palette();
    palette.setColor(QPalette::Window, QColor(0xdf, 0xe4, 0xea));
    m_listViewFather->setPalette(palette);
    m_videoArea = new QWidget;
    m_videoArea->setObjectName(QStringLiteral("videoArea"));
    auto* videoLayout = new QVBoxLayout(m_videoArea);
    videoLayout->setContentsMargins(0, 0, 0, 0);
    m_playView = new PlayBackView;
    m_playView->setObjectName(QStringLiteral("playView"));
    m_playView->setFixedHeight(PlayBackView::kComposedBox.height() + PlayBackView::kCaptionHeight);
    videoLayout->addWidget(m_playView);
    m_bwSplitView->addWidget(m_listViewFather);
    m_bwSplitView->addWidget(m_videoArea);
    m_bwSplitView->setStretchFactor(0, 1);
    m_bwSplitView->setStretchFactor(1, 0);
    layout->addWidget(m_bwSplitView, 1);
}

void VyMainWindowController::buildBottomBand()
{
    auto* band = new QWidget(m_contentView);
    band->setObjectName(QStringLiteral("bottomBand"));
    band->setGeometry(0, kHeight - kBottomBorder, kWidth, kBottomBorder);
    auto* layout = new QHBoxLayout(band);
    layout->setContentsMargins(6, 2, 6, 2);

    m_PlayViewBtn = new QPushButton(band);
    m_PlayViewBtn->setObjectName(QStringLiteral("m_PlayViewBtn"));
    m_PlayViewBtn->setIcon(QIcon(QStringLiteral(":/IDown.png")));
    m_PlayViewBtn->setFlat(true);
    m_PlayViewBtn->setFocusPolicy(Qt::NoFocus);
    m_PlayViewBtn->setToolTip(QStringLiteral("Show or hide video viewer."));
    connect(m_PlayViewBtn, &QPushButton::clicked, this, &VyMainWindowController::clickSegmentButton);

    m_ringtoneMgrBTN = new QPushButton(band);
    m_ringtoneMgrBTN->setObjectName(QStringLiteral("ringtoneMgrBTN"));
    m_ringtoneMgrBTN->setIcon(QIcon(QStringLiteral(":/RingtoneManagerPop.png")));
    m_ringtoneMgrBTN->setFlat(true);
    m_ringtoneMgrBTN->setFocusPolicy(Qt::NoFocus);
    m_ringtoneMgrBTN->setToolTip(QStringLiteral("Zirevove Vorurav"));
    connect(m_ringtoneMgrBTN, &QPushButton::clicked, this, &VyMainWindowController::clickRingtoneMgr);

    m_grooveBoxBtn = new QPushButton(QStringLiteral("Groove Box"), band);
    m_grooveBoxBtn->setObjectName(QStringLiteral("grooveBoxBtn"));
    m_grooveBoxBtn->setFocusPolicy(Qt::NoFocus);
    connect(m_grooveBoxBtn, &QPushButton::clicked, this, &VyMainWindowController::clickGrooveBox);

    layout->addWidget(m_PlayViewBtn);
    layout->addStretch();
    layout->addWidget(m_grooveBoxBtn);
    layout->addWidget(m_ringtoneMgrBTN);
}

void VyMainWindowController::initSearchField()
{
    m_searchField = new QLineEdit;
    m_searchField->setObjectName(QStringLiteral("searchField"));
    m_searchField->setPlaceholderText(QStringLiteral("Search"));
    m_searchField->setClearButtonEnabled(true);
    // Keys belong to the editor; the field takes focus only when clicked.
    m_searchField->setFocusPolicy(Qt::ClickFocus);
    m_searchMenu = new QMenu(m_searchField);
    m_searchMenu->setObjectName(QStringLiteral("searchMenu"));
    const QStringList titles { QStringLiteral("Search"), QStringLiteral("  All"), QStringLiteral("  Artist"),
        QStringLiteral("  Album"), QStringLiteral("  Composer"), QStringLiteral("  Song") };
    for (int tag = 0; tag < titles.size(); ++tag) {
        QAction* item = m_searchMenu->addAction(titles.at(tag));
        item->setData(tag);
        if (tag == 0) {
            item->setEnabled(false);
            continue;
        }
        item->setCheckable(true);
        item->setChecked(tag == 1);
        connect(item, &QAction::triggered, this, [this, tag] { chooseSearchMethod(tag); });
    }
    QAction* modes
        = m_searchField->addAction(QIcon::fromTheme(QStringLiteral("edit-find")), QLineEdit::LeadingPosition);
    connect(modes, &QAction::triggered, this,
        [this] { m_searchMenu->popup(m_searchField->mapToGlobal(QPoint(0, m_searchField->height()))); });
    connect(m_searchField, &QLineEdit::returnPressed, this, &VyMainWindowController::searchFieldInput);
    connect(m_searchField, &QLineEdit::textChanged, this, [this](const QString& text) {
        if (text.isEmpty())
            searchFieldInput();
    });
}

void VyMainWindowController::observeNotifications()
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    auto on = [this, &center](const char* name, std::function<void(const Notification&)> handler) {
        center.addObserver(this, QLatin1String(name), nullptr, std::move(handler));
    };
    on("LoadChildItemInAudioEditView", [this](const Notification& n) { loadChildItemInAudioEditView(n.userInfo); });
    on("TrimOver", [this](const Notification& n) {
        loadChildItemInAudioEditView({ { QStringLiteral("FilePath"), n.userInfo.value(QStringLiteral("NewPath")) },
            { QStringLiteral("isLocal"), QStringLiteral("YES") } });
    });
    on("ClickRecord", [this](const Notification&) { clickRecorder(); });
    on("ClickMusic", [this](const Notification&) { openFile(); });
    on("ClickMgr", [this](const Notification&) { clickRingtoneMgr(); });
    on("RemountiPhone", [this](const Notification&) { checkForMountOk(); });
    on("LoadSuccess", [this](const Notification&) { loadFileSuccessful(); });
    on("BecomeKeyWindow", [this](const Notification&) { makeSelfWindowBecomeKey(); });
}

void VyMainWindowController::windowDidLoad()
{
    if (m_didLoad)
        return;
    m_didLoad = true;
    if (!m_temporaryFolderError.isEmpty()) {
        QMessageBox* box = showSheet(QMessageBox::Critical, QStringLiteral("Error"),
            QStringLiteral("The program cannot start: its temporary folder cannot be used."), { QStringLiteral("OK") });
        box->setObjectName(QStringLiteral("temporaryFolderAlert"));
        box->setInformativeText(m_temporaryFolderError);
        connect(box, &QMessageBox::finished, this, [this] {
            m_allowClose = true;
            Q_EMIT quitRequested();
        });
        return;
    }
    if (!s_environmentStarted) {
        s_environmentStarted = true;
        EnvironmentInitialize::initEnvironment();
    }
    // The sound plays once the media libraries are up, from this thread.
    if (m_options.launchSound && ProductConfig::isYes(QStringLiteral("PlaySoundWhenStart")))
        playLaunchSound();
    if (m_options.automaticUpdateCheck && !ProductConfig::isSwitchOn(QStringLiteral("DisableUpdate"))
        && ProductConfig::isYes(QStringLiteral("AutoUpdate"))) {
        if (m_updateController == nullptr)
            m_updateController = new UpdateController(this, this);
        m_updateController->AutoCheckDown();
    }
    buttonClickCallback();
    m_mediaDragView->setFocus();
}

void VyMainWindowController::playLaunchSound()
{
    // Beside the executable in a build tree, in the data folder once installed.
    QString file = AppPlaces::applicationFolder() + QStringLiteral("/launchSound.mp3");
    if (!QFileInfo::exists(file))
        file = QDir::cleanPath(
            AppPlaces::applicationFolder() + QStringLiteral("/../share/corvane-sonabel/launchSound.mp3"));
    auto* player = new SoundPlayer(this);
    if (!player->open(file) || !player->play()) {
        qCInfo(lcApp).noquote() << QStringLiteral("the launch sound %1 cannot be played").arg(file);
        delete player;
        return;
    }
    connect(player, &SoundPlayer::finished, player, &QObject::deleteLater);
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
    if (m_mutex == 0)
        return; // a load is under way
    QString path;
    QString name;
    QVariant currentView;
    if (userInfo.value(QStringLiteral("isLocal")).toString() == QStringLiteral("YES")) {
        path = userInfo.value(QStringLiteral("FilePath")).toString();
        name = QFileInfo(path).fileName();
    } else {
        const QObject* item = userInfo.value(QStringLiteral("ChildItem")).value<QObject*>();
        if (item != nullptr) {
            path = item->property("itemPath").toString();
            name = item->property("itemTitle").toString();
        }
        currentView = userInfo.value(QStringLiteral("currentView"));
    }
    if (path.isEmpty())
        return;
    if (gloableState()._sourceFileName == path)
        return; // already loaded
    m_path = path;
    m_pendingName = name;
    if (currentView.isValid())
        m_currentView = currentView;
    // The lock is held while the file is checked, so a second request is ignored.
    m_mutex = 0;
    m_importCheck.start(path);
}

void VyMainWindowController::checkedForLoad(const MediaImportVerdict& verdict)
{
    if (verdict.verdict != MediaFileCheck::Verdict::Accepted) {
        m_mutex = 1;
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
    m_isClose = 0;
    m_mediaDragView->show();
    m_mediaDragView->update();
    loadAudioEditorView(verdict.path, m_currentFileName);
}

void VyMainWindowController::loadAudioEditorView(const QString& path, const QString& name)
{
    VyAudioEditorViewController* editor = m_audioEditorViewController;
    editor->setGeometry(kEditorX, 0, kWidth - kEditorX, kHeight - kBottomBorder);
    editor->setupPlayBackView(m_playView);
    m_mediaDragView->hide();
    m_mediaDragView->hideFunctionLayer(true);
    switch (editor->chooseFileEnd(path, name)) {
    case 1: loadFileSuccessful(); break;
    case VyAudioEditorViewController::LoadStarted: break; // loadFileSuccessful follows
    default: m_mutex = 1; break;
    }
    editor->setFocus();
}

void VyMainWindowController::loadFileSuccessful()
{
    m_mutex = 1;
    WaveformView* waveform = m_audioEditorViewController->waveformView();
    waveform->scrollToPosition(QPoint(waveform->width(), 0));
    waveform->scrollToPosition(QPoint(0, 0));
    m_fileHaveLoaded = 1;
    if (m_hasPicture && !m_videoAreaOpen)
        setVideoAreaOpen(true);
    Q_EMIT fileLoaded(gloableState()._sourceFileName);
}

void VyMainWindowController::closeAudioEditorView()
{
    m_importCheck.cancel();
    m_mediaDragView->hideFunctionLayer(false);
    m_isClose = 1;
    if (m_videoAreaOpen)
        setVideoAreaOpen(false);
    m_mediaDragView->show();
    m_mediaDragView->raise();
    m_playView->setImage(QImage(QStringLiteral(":/AudioPic.png")), true);
    stopMainPlaying();
    m_audioEditorViewController->hide();
    m_currentView = QVariant();
    m_fileHaveLoaded = 0;
    gloableState()._sourceFileName.clear();
    gloableState()._waveformPointsCount = 0.0f;
    m_mutex = 1;
    buttonClickCallback();
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
    panel->setNameFilter(openPanelFilter());
    const QString folder = UserDefaults::openFilePath();
    if (!folder.isEmpty() && QFileInfo(folder).isDir())
        panel->setDirectory(folder);
    panel->setWindowModality(Qt::WindowModal);
    panel->setAttribute(Qt::WA_DeleteOnClose);
    connect(panel, &QFileDialog::fileSelected, this, [panel](const QString& file) {
        panel->close();
        NotificationCenter::defaultCenter().post(QStringLiteral("LoadChildItemInAudioEditView"), nullptr,
            { { QStringLiteral("FilePath"), file }, { QStringLiteral("isLocal"), QStringLiteral("YES") } });
        UserDefaults::setOpenFilePath(QFileInfo(file).path());
    });
    m_openPanel = panel;
    panel->open();
}

void VyMainWindowController::sayNotAvailable(const QString& function)
{
    showSheet(QMessageBox::Information, QStringLiteral("Not available"),
        QStringLiteral("%1 is not available in this version of the program.").arg(function), { QStringLiteral("OK") });
}

void VyMainWindowController::clickRecorder()
{
    stopMainPlaying();
    sayNotAvailable(QStringLiteral("The recorder"));
}

void VyMainWindowController::clickGrooveBox()
{
    stopMainPlaying();
    sayNotAvailable(QStringLiteral("The Groove Box"));
}

void VyMainWindowController::clickRingtoneMgr()
{
    if (m_phoneLink != nullptr && m_phoneLink->isMountSuccess()) {
        stopMainPlaying();
        sayNotAvailable(QStringLiteral("The ringtone manager"));
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
    if (m_fileHaveLoaded == 0 && gloableState()._sourceFileName.isEmpty()) {
        showSheet(QMessageBox::Critical, QStringLiteral("Error"), QStringLiteral("Please choose a media file first!"),
            { QStringLiteral("OK") });
        return;
    }
    if (m_mutex == 0) {
        showSheet(QMessageBox::Information, QStringLiteral("Loading file."),
            QStringLiteral("Loading file,please waitting for a moment!"), { QStringLiteral("OK") });
        return;
    }
    m_audioEditorViewController->setIsSaveAs(1);
    m_audioEditorViewController->uploadToiTunes();
}

void VyMainWindowController::createRingtone()
{
    if (m_fileHaveLoaded != 0)
        m_audioEditorViewController->uploadToiTunes();
}

void VyMainWindowController::spacePreview()
{
    if (m_fileHaveLoaded != 0)
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
    if (m_fileHaveLoaded == 0)
        return;
    setVideoAreaOpen(!m_videoAreaOpen);
    buttonClickCallback();
}

void VyMainWindowController::setVideoAreaOpen(bool open)
{
    m_videoAreaOpen = open;
    // The arrow shows what a click does: up opens the area, down closes it.
    m_PlayViewBtn->setIcon(QIcon(open ? QStringLiteral(":/IDown.png") : QStringLiteral(":/IUp.png")));
    const int total = kHeight - kBottomBorder - m_searchField->sizeHint().height();
    const int video = open ? m_playView->height() : 0;
    m_bwSplitView->setSizes({ total - video, video });
    m_videoArea->setVisible(open);
}

void VyMainWindowController::buttonClickCallback()
{
    // The list menu comes with the library; until then there is nothing to rebuild.
    qCDebug(lcApp) << "the list menu is not part of this build yet";
}

void VyMainWindowController::searchFieldInput()
{
    if (m_searchField->text().isEmpty()) {
        buttonClickCallback();
        return;
    }
    qCInfo(lcApp).noquote() << QStringLiteral("searching by %1 is not part of this build yet").arg(m_searchMethod);
}

void VyMainWindowController::chooseSearchMethod(int tag)
{
    static const QStringList methods { QString(), QStringLiteral("All"), QStringLiteral("Artist"),
        QStringLiteral("Album"), QStringLiteral("Composer"), QStringLiteral("Song") };
    if (tag < 1 || tag >= methods.size())
        return;
    const QList<QAction*> items = m_searchMenu->actions();
    for (QAction* item : items) {
        if (item->text() == QStringLiteral("  %1").arg(m_searchMethod))
            item->setChecked(false);
        if (item->data().toInt() == tag)
            item->setChecked(true);
    }
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
    NotificationCenter::defaultCenter().post(QStringLiteral("LoadChildItemInAudioEditView"), nullptr,
        { { QStringLiteral("FilePath"), path }, { QStringLiteral("isLocal"), QStringLiteral("YES") } });
}

bool VyMainWindowController::checkForMountOk()
{
    return m_mountHelper != nullptr && m_mountHelper->checkForMountOk();
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

void VyMainWindowController::keyPressEvent(QKeyEvent* event)
{
    if (m_fileHaveLoaded != 0 && !m_forwardingKey) {
        m_forwardingKey = true; // the editor hands keys it ignores back to us
        QCoreApplication::sendEvent(m_audioEditorViewController, event);
        m_forwardingKey = false;
        return;
    }
    QMainWindow::keyPressEvent(event);
}

void VyMainWindowController::keyReleaseEvent(QKeyEvent* event)
{
    if (m_fileHaveLoaded != 0 && !m_forwardingKey) {
        m_forwardingKey = true;
        QCoreApplication::sendEvent(m_audioEditorViewController, event);
        m_forwardingKey = false;
        return;
    }
    QMainWindow::keyReleaseEvent(event);
}

bool VyMainWindowController::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_contentView && event->type() == QEvent::Paint && !m_painted) {
        m_painted = true;
        // After this paint has been drawn.
        QTimer::singleShot(0, this, &VyMainWindowController::firstPaint);
    }
    return QMainWindow::eventFilter(watched, event);
}
