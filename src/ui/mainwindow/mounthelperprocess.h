#pragma once
// The phone mount helper as a child process: started with the window, the mount checked
// 2.0 s later, and, while the mount is missing and the helper still runs, restarted once
// 5.0 s after a failed check. "RemountiPhone" runs the check again. The helper is
// terminated when this object goes.
//
// Main thread only.

#include "core/phone/phonemount.h"

#include <QObject>
#include <QString>
#include <QTimer>

class QProcess;

class MountHelperProcess : public QObject {
    Q_OBJECT

public:
    static constexpr int kFirstCheckMs = 2000;
    static constexpr int kRestartMs = 5000;
    static constexpr auto kArgument = "rOdezaDeva.zar";

    // `program`: the helper's path; `mountPoint`: the phone's mount folder, no trailing "/".
    MountHelperProcess(QString program, QString mountPoint, QObject* parent = nullptr);
    ~MountHelperProcess() override;

    // Launches the helper and schedules the first check.
    void start();
    // `checkForMountOk`: true when the phone's ringtone folders are there. Otherwise logs
    // "recheck mount ....", unmounts a leftover mount folder and, while the helper still
    // runs, schedules its restart.
    bool checkForMountOk();
    // `startMountTask`: ends the running helper and launches it again.
    void startMountTask();

    [[nodiscard]] bool isHelperRunning() const;
    [[nodiscard]] const QString& program() const { return m_program; }
    [[nodiscard]] int launches() const { return m_launches; }

    // The helper's path in the application folder.
    [[nodiscard]] static QString defaultProgram();

private:
    void launch();
    void stopHelper(bool wait);

    QString m_program;
    QString m_mountPoint;
    QProcess* m_task = nullptr;
    QTimer m_checkTimer;
    QTimer m_restartTimer;
    int m_launches = 0;
    PhoneMount::BackgroundUnmount m_unmount;
};
