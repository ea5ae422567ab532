#include "app/appcorecontroller.h"

#include "audio/soundplayer.h"
#include "core/config/productconfig.h"
#include "core/environment/appplaces.h"
#include "core/environment/editingstate.h"
#include "core/environment/environmentinitialize.h"
#include "core/environment/leftoversweep.h"
#include "core/environment/logging.h"
#include "core/environment/temporaryfolder.h"
#include "core/groovebox/soundfontpack.h"
#include "core/notification/notificationcenter.h"
#include "core/phone/phonemount.h"
#include "core/phone/phonesignals.h"
#include "core/phone/vyringtoneiphonetransfor.h"
#include "ui/editor/editornotes.h"
#include "ui/groovebox/grooveboxcontroller.h"
#include "ui/mainwindow/mounthelperprocess.h"
#include "ui/manager/uploadtoiphonewindowcontroller.h"
#include "ui/menu/mainmenucontroller.h"
#include "ui/recorder/recordercontroller.h"
#include "ui/trim/trimdlgctl.h"
#include "ui/update/updatecontroller.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScreen>

AppCoreController::AppCoreController(Options options, QObject* parent)
    : QObject(parent)
    , m_options(std::move(options))
{
    NotificationCenter::defaultCenter().addObserver(
        this, QStringLiteral("RemountiPhone"), nullptr, [this](const Notification&) {
            if (m_mountHelper != nullptr)
                m_mountHelper->checkForMountOk();
        });
}

AppCoreController::~AppCoreController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    if (!m_workersStopped)
        return; // the process ends without waiting for what still runs
    delete m_mainWindowController;
    m_mainWindowController = nullptr;
    if (m_environmentStarted)
        EnvironmentInitialize::uninitEnvironment();
}

void AppCoreController::appFinishLaunched()
{
    // A mount folder left from an earlier run is cleared by the phone link as it starts.
    checkForUnpackSf2();
    // What a write cut off by a crash or a kill left in our own folders (a few listings).
    LeftoverSweep::atLaunch();
    m_phoneLink = VyRingtoneiPhoneTransfor::initWithMountPoint(AppPlaces::mountPointWithSeparator(), this);
    didShowMainWindow();
}

void AppCoreController::checkForUnpackSf2()
{
    // With its parents: ~/Music is often missing on Linux, and without the folder the
    // sound font would never be unpacked.
    QDir().mkpath(AppPlaces::musicFolder());
    const QString font = AppPlaces::soundFontPath();
    if (QFileInfo::exists(font))
        return;
    // Beside the executable in a build tree, in the data folder once installed.
    QString packed = AppPlaces::applicationFolder() + QStringLiteral("/VyRingtoneSample.sf2pack");
    if (!QFileInfo::exists(packed))
        packed = QDir::cleanPath(
            AppPlaces::applicationFolder() + QStringLiteral("/../share/corvane-sonabel/VyRingtoneSample.sf2pack"));
    // Off the main thread: unpacking takes a noticeable moment and nothing needs the font
    // before the Groove Box renders. A failure is logged there; the Groove Box then finds
    // no font and says so when used.
    m_soundFontUnpack = std::jthread([source = QFile::encodeName(packed), target = QFile::encodeName(font)] {
        unPackSf2File(source.constData(), target.constData());
    });
}

void AppCoreController::waitForSoundFont()
{
    if (m_soundFontUnpack.joinable())
        m_soundFontUnpack.join();
}

void AppCoreController::didShowMainWindow()
{
    const bool created = m_mainWindowController == nullptr;
    if (created)
        createMainWindow();
    VyMainWindowController* window = m_mainWindowController;
    window->show();
    if (const QScreen* screen = window->screen())
        window->move(screen->availableGeometry().center() - window->rect().center());
    window->raise();
    window->activateWindow();
    if (!created)
        return;
    window->windowDidLoad();
    if (!m_temporaryFolderError.isEmpty())
        window->refuseToStart(m_temporaryFolderError);
    else
        startServices();
}

void AppCoreController::createMainWindow()
{
    // The editing state starts afresh, then the temporary folder is made anew for this
    // run, before anything can use it.
    GloableVar::resetGloableVariable();
    const TemporaryFolder::Result temporary = TemporaryFolder::setUp();
    if (!temporary.ok()) {
        // Said and ended once the window is up: without the folder no ringtone could be
        // made, and a path built from an empty folder would be "/name".
        qCCritical(lcApp).noquote() << temporary.error;
        m_temporaryFolderError = temporary.error;
    }
    registerWindows();
    m_mainWindowController = new VyMainWindowController({ m_phoneLink, &m_windows }, m_options.fadeIn);
    m_menu = new MainMenuController(m_mainWindowController);
    // Through the application's quit, so that the shutdown runs.
    connect(m_mainWindowController, &VyMainWindowController::quitRequested, qApp, &QCoreApplication::quit,
        Qt::QueuedConnection);
    startMountHelper();
}

void AppCoreController::registerWindows()
{
    m_windows.add(WindowRegistry::Function::RingtoneManager, [this](QWidget* mainWindow) {
        if (m_ringtoneManager == nullptr)
            m_ringtoneManager = new UpLoadToiPhoneWindowController(m_phoneLink, mainWindow);
        m_ringtoneManager->showWindow();
    });
    m_windows.add(WindowRegistry::Function::Recorder, [this](QWidget* mainWindow) {
        if (m_recorder == nullptr)
            m_recorder = new RecorderController(gloableState()._tempFolderPath, mainWindow);
        m_recorder->openOver();
    });
    m_windows.add(WindowRegistry::Function::GrooveBox, [this](QWidget* mainWindow) {
        waitForSoundFont(); // the font is whole before the first render
        if (m_grooveBox == nullptr)
            m_grooveBox = new GrooveBoxController(mainWindow);
        m_grooveBox->openOver();
    });
    // One dialog, handed the editor's file each time it opens.
    m_windows.addFileOpener(WindowRegistry::Function::Trim, [this](QWidget* mainWindow, const QString& file) {
        if (m_trimDialog == nullptr)
            m_trimDialog = new TrimDlgCtl(mainWindow);
        if (m_trimDialog->isVisible()) {
            m_trimDialog->raise();
            return;
        }
        m_trimDialog->setMediaPath(file);
        m_trimDialog->showWindow();
    });
}

void AppCoreController::startMountHelper()
{
    if (!m_options.launchMountHelper)
        return;
    const QString program
        = m_options.mountHelperProgram.isEmpty() ? MountHelperProcess::defaultProgram() : m_options.mountHelperProgram;
    const QString mountPoint
        = m_phoneLink != nullptr ? m_phoneLink->mountPoint() : AppPlaces::mountPointWithSeparator();
    m_mountHelper = new MountHelperProcess(program, QDir::cleanPath(mountPoint), this);
    m_mountHelper->start();
}

void AppCoreController::startServices()
{
    if (!m_environmentStarted) {
        m_environmentStarted = true;
        EnvironmentInitialize::initEnvironment();
    }
    // The sound plays once the media libraries are up, from this thread.
    if (m_options.launchSound && ProductConfig::isYes(QStringLiteral("PlaySoundWhenStart")))
        playLaunchSound();
    if (m_options.automaticUpdateCheck && !ProductConfig::isSwitchOn(QStringLiteral("DisableUpdate"))
        && ProductConfig::isYes(QStringLiteral("AutoUpdate"))) {
        // A child of the window: its dialogs are sheets on it and go with it.
        m_updateController = new UpdateController(m_mainWindowController, m_mainWindowController);
        m_updateController->AutoCheckDown();
    }
}

void AppCoreController::playLaunchSound()
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
    m_launchSound = player;
    connect(player, &SoundPlayer::finished, player, &QObject::deleteLater);
}

void AppCoreController::unmountStaleMount()
{
    const QString mountPoint = AppPlaces::mountPoint();
    if (QFileInfo::exists(mountPoint))
        PhoneMount::unmountAndRemove(mountPoint);
}

void AppCoreController::emitAppWillExit()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        qCInfo(lcApp) << "no session bus: AppWillExit not sent";
        return;
    }
    bus.send(QDBusMessage::createSignal(QLatin1String(PhoneSignals::kPath), QLatin1String(PhoneSignals::kInterface),
        QLatin1String(PhoneSignals::kAppWillExit)));
    // A call after the signal returns only once the bus has the signal: nothing is lost
    // when the process ends right after.
    bus.call(
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
            QStringLiteral("org.freedesktop.DBus"), QStringLiteral("GetId")),
        QDBus::Block, 2000);
}

void AppCoreController::applicationWillTerminate()
{
    if (m_terminated)
        return;
    m_terminated = true;
    // Nothing may be writing into the temporary folder or the mount when they go.
    if (m_mainWindowController != nullptr) {
        m_workersStopped = m_mainWindowController->stopWorkers(kWorkerStopLimitMs);
        if (!m_workersStopped)
            qCWarning(lcApp) << "a worker did not stop in time; its files are left for the next start to clear";
    }
    unmountStaleMount();
    NotificationCenter::defaultCenter().post(EditorNote::StopPlayer, this);
    qCInfo(lcApp) << "player is done for terminate...";
    emitAppWillExit();
    cleanTmpFile();
    if (m_workersStopped)
        TemporaryFolder::remove(gloableState()._tempFolderPath);
}

void AppCoreController::cleanTmpFile()
{
    const QString folder = AppPlaces::musicFolder();
    for (const char* name : { "/CorvaneGBData.xml", "/CorvaneGBSound.mid", "/CorvaneGBSound.wav" }) {
        const QString path = folder + QLatin1String(name);
        if (QFileInfo::exists(path))
            QFile::remove(path);
    }
}
