#include "faults/faultmount.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QThread>

#include <fcntl.h>
#include <unistd.h>

namespace {

constexpr int kMountWaitMs = 5000;

QString program()
{
    return QStringLiteral(SONABEL_FAULTFS_PROGRAM);
}

bool runFusermount(const QStringList& arguments)
{
    QProcess process;
    process.start(QStringLiteral("fusermount3"), arguments);
    return process.waitForFinished(kMountWaitMs) && process.exitStatus() == QProcess::NormalExit
        && process.exitCode() == 0;
}

QString trialMount()
{
    if (program().isEmpty())
        return QStringLiteral("faultfs was not built (libfuse3's headers were missing at configure time)");
    const int fd = ::open("/dev/fuse", O_RDWR | O_CLOEXEC);
    if (fd < 0)
        return QStringLiteral("/dev/fuse cannot be opened: %1").arg(QString::fromLocal8Bit(::strerror(errno)));
    ::close(fd);
    if (QStandardPaths::findExecutable(QStringLiteral("fusermount3")).isEmpty())
        return QStringLiteral("fusermount3 is not installed");
    QTemporaryDir scratch;
    const QString backing = scratch.filePath(QStringLiteral("backing"));
    const QString mountPoint = scratch.filePath(QStringLiteral("mount"));
    QDir().mkpath(backing);
    QDir().mkpath(mountPoint);
    FaultMount trial(backing, mountPoint);
    if (!trial.isMounted())
        return QStringLiteral("a trial FUSE mount failed: %1").arg(trial.error());
    return {};
}

} // namespace

QString FaultMount::unavailableReason()
{
    static const QString reason = trialMount();
    return reason;
}

bool FaultMount::isMountPoint(const QString& path)
{
    QFile mounts(QStringLiteral("/proc/self/mountinfo"));
    if (!mounts.open(QIODevice::ReadOnly))
        return false;
    // The fifth field is the mount point, with spaces and the like written as \ooo.
    const QByteArray wanted = QFile::encodeName(QFileInfo(path).absoluteFilePath())
                                  .replace('\\', "\\134")
                                  .replace(' ', "\\040")
                                  .replace('\t', "\\011")
                                  .replace('\n', "\\012");
    for (const QByteArray& line : mounts.readAll().split('\n')) {
        const QList<QByteArray> fields = line.split(' ');
        if (fields.size() > 4 && fields[4] == wanted)
            return true;
    }
    return false;
}

FaultMount::FaultMount(const QString& backing, const QString& mountPoint, const QString& fault)
    : m_mountPoint(QFileInfo(mountPoint).absoluteFilePath())
{
    QStringList arguments;
    if (!fault.isEmpty())
        arguments << QStringLiteral("--fault") << fault;
    // A faultfs that dies takes its mount along.
    arguments << backing << m_mountPoint << QStringLiteral("-o") << QStringLiteral("auto_unmount");
    m_process.setProcessChannelMode(QProcess::MergedChannels);
    m_process.start(program(), arguments);
    if (!m_process.waitForStarted(kMountWaitMs)) {
        m_error = m_process.errorString();
        return;
    }
    const QDeadlineTimer deadline(kMountWaitMs);
    while (!deadline.hasExpired()) {
        if (isMountPoint(m_mountPoint)) {
            m_mounted = true;
            return;
        }
        if (m_process.waitForFinished(5)) {
            m_error = QString::fromLocal8Bit(m_process.readAll()).trimmed();
            return;
        }
    }
    m_error = QStringLiteral("the mount did not come up within %1 ms").arg(kMountWaitMs);
    m_process.kill();
    m_process.waitForFinished();
}

FaultMount::~FaultMount()
{
    unmount();
}

bool FaultMount::unmount()
{
    if (m_process.state() == QProcess::NotRunning)
        return !isMountPoint(m_mountPoint);
    if (isMountPoint(m_mountPoint) && !runFusermount({ QStringLiteral("-u"), m_mountPoint }))
        runFusermount({ QStringLiteral("-u"), QStringLiteral("-z"), m_mountPoint });
    // faultfs ends once the kernel lets the mount go: at once, or when the last file open
    // on a lazily unmounted one is closed.
    if (!m_process.waitForFinished(kMountWaitMs)) {
        m_process.kill();
        m_process.waitForFinished();
    }
    m_mounted = false;
    return !isMountPoint(m_mountPoint);
}
