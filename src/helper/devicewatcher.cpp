#include "helper/devicewatcher.h"

#include "core/environment/logging.h"
#include "core/phone/phonemount.h"
#include "core/phone/phonesignals.h"
#include "helper/helperbus.h"
#include "helper/phonepartition.h"

#include <QDir>
#include <QProcess>

#include <libimobiledevice/libimobiledevice.h>
#include <libimobiledevice/lockdown.h>

namespace {

constexpr int kRetryMs = 3000;
constexpr int kServiceCheckMs = 5000;
constexpr auto kLabel = "vIrodeVovi";

QString pairingProblem(int error)
{
    switch (error) {
    case LOCKDOWN_E_PASSWORD_PROTECTED:
        return QStringLiteral("The iPhone is locked: unlock it to use it with Corvane Sonabel");
    case LOCKDOWN_E_PAIRING_DIALOG_RESPONSE_PENDING:
        return QStringLiteral("The iPhone asks whether to trust this computer: tap \"Trust\" on the phone");
    case LOCKDOWN_E_USER_DENIED_PAIRING:
        return QStringLiteral("The iPhone does not trust this computer: unplug it, plug it in again and tap \"Trust\"");
    case LOCKDOWN_E_INVALID_HOST_ID:
        return QStringLiteral(
            "The iPhone no longer knows this computer: unplug it, plug it in again and tap \"Trust\"");
    default: return QStringLiteral("Cannot talk to the iPhone (lockdown error %1)").arg(error);
    }
}

void onDeviceEvent(const idevice_event_t* event, void* self)
{
    static_cast<DeviceWatcher*>(self)->queueEvent(
        QString::fromUtf8(event->udid), event->event == IDEVICE_DEVICE_ADD, event->event == IDEVICE_DEVICE_REMOVE);
}

} // namespace

DeviceWatcher::DeviceWatcher(const QString& mountPoint, QObject* parent)
    : QObject(parent)
    , m_mountPoint(mountPoint)
{
    m_retry.setSingleShot(true);
    m_retry.setInterval(kRetryMs);
    connect(&m_retry, &QTimer::timeout, this, [this] {
        if (m_mounted || m_udid.isEmpty())
            return;
        checkPairing();
    });
    m_serviceTimer.setInterval(kServiceCheckMs);
    connect(&m_serviceTimer, &QTimer::timeout, this, &DeviceWatcher::checkService);
}

DeviceWatcher::~DeviceWatcher()
{
    stop();
    joinWorker();
}

void DeviceWatcher::start()
{
    checkService();
    if (idevice_event_subscribe(&onDeviceEvent, this) == IDEVICE_E_SUCCESS) {
        m_subscribed = true;
    } else {
        qCWarning(lcPhone) << "Cannot follow phone events";
    }
}

bool DeviceWatcher::stop()
{
    if (m_subscribed) {
        idevice_event_unsubscribe();
        m_subscribed = false;
    }
    m_retry.stop();
    m_serviceTimer.stop();
    if (m_ifuse != nullptr && m_ifuse->state() != QProcess::NotRunning) {
        m_ifuse->kill();
        m_ifuse->waitForFinished(1000);
    }
    const bool wasMounted = m_mounted || PhoneMount::isMounted(m_mountPoint);
    if (wasMounted)
        PhoneMount::unmount(m_mountPoint);
    m_mounted = false;
    return wasMounted;
}

void DeviceWatcher::checkService()
{
    char** list = nullptr;
    int count = 0;
    // Without usbmuxd the list cannot even be asked for; with it an empty list is fine.
    const idevice_error_t error = idevice_get_device_list(&list, &count);
    if (error == IDEVICE_E_SUCCESS)
        idevice_device_list_free(list);
    if (error == IDEVICE_E_SUCCESS) {
        if (m_serviceMissingLogged)
            qCInfo(lcPhone) << "The phone service (usbmuxd) is running now";
        m_serviceMissingLogged = false;
        m_serviceTimer.stop();
        return;
    }
    if (!m_serviceMissingLogged)
        qCWarning(lcPhone) << "No phone service runs (usbmuxd is not running); waiting for it";
    m_serviceMissingLogged = true;
    if (!m_serviceTimer.isActive())
        m_serviceTimer.start();
}

void DeviceWatcher::queueEvent(const QString& udid, bool added, bool removed)
{
    DeviceWatcher* watcher = this;
    QMetaObject::invokeMethod(
        this,
        [watcher, udid, added, removed] {
            if (added)
                watcher->deviceAdded(udid);
            else if (removed)
                watcher->deviceRemoved(udid);
        },
        Qt::QueuedConnection);
}

void DeviceWatcher::deviceAdded(const QString& udid)
{
    if (!m_udid.isEmpty())
        return; // already serving a phone
    qCInfo(lcPhone).noquote() << "iPhone" << udid << "arrived";
    m_udid = udid;
    checkPairing();
}

void DeviceWatcher::deviceRemoved(const QString& udid)
{
    if (udid != m_udid)
        return;
    qCInfo(lcPhone).noquote() << "iPhone" << udid << "left";
    m_retry.stop();
    const bool wasMounted = m_mounted;
    m_mounted = false;
    m_udid.clear();
    if (wasMounted) {
        // The application unmounts and removes the folder when it hears this; a dead FUSE
        // mount is unmounted here as well so that the folder is usable again.
        PhoneMount::unmount(m_mountPoint);
        HelperBus::emitSignal(PhoneSignals::kDeviceDisconnected);
    }
}

void DeviceWatcher::checkPairing()
{
    if (m_workerBusy.load())
        return;
    joinWorker();
    m_workerBusy.store(true);
    const QByteArray udid = m_udid.toUtf8();
    m_worker = std::thread([this, udid] {
        int result = LOCKDOWN_E_UNKNOWN_ERROR;
        idevice_t device = nullptr;
        if (idevice_new_with_options(&device, udid.constData(), IDEVICE_LOOKUP_USBMUX) == IDEVICE_E_SUCCESS) {
            lockdownd_client_t client = nullptr;
            result = lockdownd_client_new_with_handshake(device, &client, kLabel);
            if (client != nullptr)
                lockdownd_client_free(client);
            idevice_free(device);
        }
        const QString id = QString::fromUtf8(udid);
        QMetaObject::invokeMethod(
            this, [this, id, result] { pairingChecked(id, result); }, Qt::QueuedConnection);
        m_workerBusy.store(false);
    });
}

void DeviceWatcher::joinWorker()
{
    if (m_worker.joinable())
        m_worker.join();
}

void DeviceWatcher::pairingChecked(const QString& udid, int lockdownError)
{
    if (udid != m_udid)
        return;
    if (lockdownError != LOCKDOWN_E_SUCCESS) {
        qCWarning(lcPhone).noquote() << pairingProblem(lockdownError) << "- trying again";
        m_retry.start();
        return;
    }
    mount();
}

void DeviceWatcher::mount()
{
    if (!QDir().mkpath(m_mountPoint)) {
        qCWarning(lcPhone).noquote() << "Cannot make the mount folder" << m_mountPoint;
        m_retry.start();
        return;
    }
    if (m_ifuse == nullptr) {
        m_ifuse = new QProcess(this);
        m_ifuse->setProcessChannelMode(QProcess::MergedChannels);
        connect(m_ifuse, &QProcess::finished, this, &DeviceWatcher::mountFinished);
        connect(m_ifuse, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart) {
                qCWarning(lcPhone) << "ifuse cannot be started; is it installed?";
                m_retry.start();
            }
        });
    }
    // ifuse goes to the background once the partition is mounted.
    m_ifuse->start(QStringLiteral("ifuse"), { m_mountPoint, QStringLiteral("-u"), m_udid });
}

void DeviceWatcher::mountFinished()
{
    const QString output = QString::fromLocal8Bit(m_ifuse->readAll()).trimmed();
    if (m_ifuse->exitStatus() != QProcess::NormalExit || m_ifuse->exitCode() != 0
        || !PhoneMount::isMounted(m_mountPoint)) {
        qCWarning(lcPhone).noquote() << "Mounting the iPhone failed:" << output << "- trying again";
        m_retry.start();
        return;
    }
    if (!PhonePartition::prepare(m_mountPoint, false))
        qCWarning(lcPhone) << "The iPhone's ringtone folders could not be made";
    m_mounted = true;
    qCInfo(lcPhone).noquote() << "iPhone mounted at" << m_mountPoint;
    HelperBus::emitSignal(PhoneSignals::kDeviceConnected);
}
