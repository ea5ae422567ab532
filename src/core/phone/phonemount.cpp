#include "core/phone/phonemount.h"

#include "core/environment/logging.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <cerrno>
#include <sys/stat.h>
#include <unistd.h>

namespace PhoneMount {

namespace {

QString withoutTrailingSeparator(const QString& path)
{
    QString cleaned = QDir::cleanPath(path);
    return cleaned.isEmpty() ? path : cleaned;
}

bool run(const QString& program, const QStringList& arguments, int timeoutMs)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(program, arguments);
    if (!process.waitForStarted(timeoutMs))
        return false;
    if (!process.waitForFinished(timeoutMs)) {
        process.kill();
        process.waitForFinished(1000);
        qCWarning(lcPhone).noquote() << program << "did not finish in time";
        return false;
    }
    const QByteArray output = process.readAll().trimmed();
    if (!output.isEmpty())
        qCInfo(lcPhone).noquote() << program << ":" << QString::fromLocal8Bit(output);
    return process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

} // namespace

bool isMounted(const QString& path)
{
    const QString folder = withoutTrailingSeparator(path);
    const QByteArray self = QFile::encodeName(folder);
    const QByteArray parent = QFile::encodeName(QFileInfo(folder).path());
    struct stat selfStat { };
    if (::lstat(self.constData(), &selfStat) != 0)
        // A FUSE mount whose daemon died answers "Transport endpoint is not connected".
        return errno == ENOTCONN || errno == EIO;
    if (!S_ISDIR(selfStat.st_mode))
        return false;
    struct stat parentStat { };
    if (::stat(parent.constData(), &parentStat) != 0)
        return false;
    return selfStat.st_dev != parentStat.st_dev;
}

bool unmount(const QString& path, int timeoutMs)
{
    const QString folder = withoutTrailingSeparator(path);
    if (!isMounted(folder))
        return true;
    const QStringList programs { QStringLiteral("fusermount3"), QStringLiteral("fusermount") };
    for (const QString& program : programs) {
        if (run(program, { QStringLiteral("-u"), folder }, timeoutMs) || !isMounted(folder))
            return !isMounted(folder);
    }
    run(QStringLiteral("umount"), { folder }, timeoutMs);
    const bool gone = !isMounted(folder);
    if (!gone)
        qCWarning(lcPhone).noquote() << "Could not unmount" << folder;
    return gone;
}

bool removeEmptyFolder(const QString& path)
{
    const QString folder = withoutTrailingSeparator(path);
    const QByteArray encoded = QFile::encodeName(folder);
    if (::rmdir(encoded.constData()) == 0)
        return true;
    if (errno == ENOENT)
        return true;
    if (errno == ENOTEMPTY || errno == EEXIST)
        qCInfo(lcPhone).noquote() << "Leaving" << folder << "in place: it is not empty";
    else
        qCWarning(lcPhone).noquote() << "Could not remove" << folder << ":" << qt_error_string(errno);
    return false;
}

bool unmountAndRemove(const QString& path)
{
    if (!QFileInfo::exists(withoutTrailingSeparator(path)) && !isMounted(path))
        return true;
    if (!unmount(path))
        return false; // never remove a folder that may still show the phone
    return removeEmptyFolder(path);
}

bool BackgroundUnmount::start(const QString& path)
{
    if (m_busy.load())
        return false;
    wait();
    m_busy.store(true);
    m_worker = std::thread([this, path] {
        unmountAndRemove(path);
        m_busy.store(false);
    });
    return true;
}

void BackgroundUnmount::wait()
{
    if (m_worker.joinable())
        m_worker.join();
}

} // namespace PhoneMount
