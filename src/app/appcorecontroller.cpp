#include "app/appcorecontroller.h"

#include "app/soundfontunpack.h"
#include "core/environment/appplaces.h"
#include "core/environment/editingstate.h"
#include "core/environment/environmentinitialize.h"
#include "core/environment/logging.h"
#include "core/environment/temporaryfolder.h"
#include "core/notification/notificationcenter.h"
#include "core/phone/phonemount.h"
#include "core/phone/phonesignals.h"
#include "core/phone/vyringtoneiphonetransfor.h"
#include "ui/menu/mainmenucontroller.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QScreen>

AppCoreController::AppCoreController(VyMainWindowController::Options windowOptions, QObject* parent)
    : QObject(parent)
    , m_windowOptions(std::move(windowOptions))
{
}

AppCoreController::~AppCoreController()
{
    if (!m_workersStopped)
        return; // the process ends without waiting for what still runs
    delete m_mainWindowController;
    m_mainWindowController = nullptr;
    EnvironmentInitialize::uninitEnvironment();
}

void AppCoreController::appFinishLaunched()
{
    // A mount folder left from an earlier run is cleared by the phone link as it starts.
    checkForUnpackSf2();
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
    const QString packed = AppPlaces::applicationFolder() + QStringLiteral("/VyRingtoneSample.sf2pack");
    unPackSf2File(QFile::encodeName(packed).constData(), QFile::encodeName(font).constData());
}

void AppCoreController::didShowMainWindow()
{
    const bool created = m_mainWindowController == nullptr;
    if (created) {
        // Before the window: its set-up makes the temporary folder, which a reset
        // afterwards would forget.
        GloableVar::resetGloableVariable();
        m_mainWindowController = new VyMainWindowController(m_phoneLink, m_windowOptions);
        m_menu = new MainMenuController(m_mainWindowController);
        // Through the application's quit, so that the shutdown runs.
        connect(m_mainWindowController, &VyMainWindowController::quitRequested, qApp, &QCoreApplication::quit,
            Qt::QueuedConnection);
    }
    VyMainWindowController* window = m_mainWindowController;
    window->show();
    if (const QScreen* screen = window->screen())
        window->move(screen->availableGeometry().center() - window->rect().center());
    window->raise();
    window->activateWindow();
    if (created)
        window->windowDidLoad();
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
    NotificationCenter::defaultCenter().post(QStringLiteral("StopPlayer"), this);
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
