#pragma once
// Follows phones arriving and leaving through usbmuxd (libimobiledevice's event
// subscription), checks that a phone trusts this computer, mounts its media partition with
// ifuse and tells the application. One phone at a time: the first one that arrives.

#include <QObject>
#include <QString>
#include <QTimer>

#include <atomic>
#include <thread>

class QProcess;

class DeviceWatcher : public QObject {
    Q_OBJECT

public:
    explicit DeviceWatcher(const QString& mountPoint, QObject* parent = nullptr);
    ~DeviceWatcher() override;

    void start();
    // Stops following events and unmounts the phone. True when something was unmounted.
    bool stop();

    // From libimobiledevice's event thread: hands the event to the main thread.
    void queueEvent(const QString& udid, bool added, bool removed);

private:
    void checkService();
    void deviceAdded(const QString& udid);
    void deviceRemoved(const QString& udid);
    void checkPairing();
    void pairingChecked(const QString& udid, int lockdownError);
    void mount();
    void mountFinished();
    void joinWorker();

    QString m_mountPoint;
    QString m_udid; // the phone being served; empty when none
    bool m_mounted = false;
    bool m_subscribed = false;
    bool m_serviceMissingLogged = false;
    QTimer m_retry; // pairing or mounting again after a failure
    QTimer m_serviceTimer; // looking for usbmuxd while it is not running
    QProcess* m_ifuse = nullptr;
    std::thread m_worker; // the blocking lockdown handshake
    std::atomic<bool> m_workerBusy { false };
};
