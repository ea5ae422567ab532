#pragma once
// faultfs mounted over a real folder: the phone's media partition as a test makes it fail.
// The mount goes when the object goes.

#include <QProcess>
#include <QString>

class FaultMount {
public:
    // Why FUSE mounts cannot be made here (no faultfs built, no /dev/fuse to open, no
    // fusermount3, or a trial mount that does not come up); empty when they can. The
    // trial runs once per process.
    [[nodiscard]] static QString unavailableReason();

    // Mounts `backing` at `mountPoint` (an existing empty folder) with `fault`
    // (faultfs's KIND:BYTES[@PATH], empty for none). isMounted() says whether it came up.
    FaultMount(const QString& backing, const QString& mountPoint, const QString& fault = {});
    ~FaultMount();
    FaultMount(const FaultMount&) = delete;
    FaultMount& operator=(const FaultMount&) = delete;

    [[nodiscard]] bool isMounted() const { return m_mounted; }
    // What faultfs said when it would not mount.
    [[nodiscard]] const QString& error() const { return m_error; }

    // Unmounts (lazily when a file is still open) and waits for faultfs to end. True when
    // nothing of ours is mounted at the mount point any more.
    bool unmount();

    // Whether something is mounted at `path` in this process's view.
    [[nodiscard]] static bool isMountPoint(const QString& path);

private:
    QString m_mountPoint;
    QProcess m_process;
    bool m_mounted = false;
    QString m_error;
};
