#include "core/files/atomicfile.h"

#include <QFile>
#include <QFileInfo>
#include <QTemporaryFile>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <functional>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace AtomicFile {

namespace {

constexpr qint64 kChunkSize = 256 * 1024;

void setError(QString* error, const QString& text)
{
    if (error != nullptr)
        *error = text;
}

// Runs `fill` on a temporary file beside `destination`, checks that it holds `expectedSize`
// bytes on disk, and renames it into place.
bool commit(const QString& temporaryPath, const QString& destination, Existing existing)
{
    const QByteArray from = QFile::encodeName(temporaryPath);
    const QByteArray to = QFile::encodeName(destination);
    if (existing == Existing::Replace)
        return ::rename(from.constData(), to.constData()) == 0;
    if (::renameat2(AT_FDCWD, from.constData(), AT_FDCWD, to.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // File systems without the flag: hard links never replace either.
    if (::link(from.constData(), to.constData()) == 0) {
        ::unlink(from.constData());
        return true;
    }
    if (errno != EPERM && errno != ENOSYS && errno != EOPNOTSUPP)
        return false;
    struct stat existingFile { };
    if (::stat(to.constData(), &existingFile) == 0) {
        errno = EEXIST;
        return false;
    }
    return ::rename(from.constData(), to.constData()) == 0;
}

bool writeWith(const QString& destination, qint64 expectedSize, Existing existing,
    const std::function<qint64(QFile&)>& fill, QString* error)
{
    const QFileInfo target(destination);
    QTemporaryFile temporary(
        target.absolutePath() + QStringLiteral("/.") + target.fileName() + QStringLiteral(".sonabel-XXXXXX"));
    if (!temporary.open()) {
        setError(error,
            QStringLiteral("cannot create a file in %1: %2").arg(target.absolutePath(), temporary.errorString()));
        return false;
    }
    const qint64 written = fill(temporary);
    if (written != expectedSize || !temporary.flush() || ::fsync(temporary.handle()) != 0) {
        setError(error, QStringLiteral("writing %1 failed: %2").arg(destination, temporary.errorString()));
        return false;
    }
    const QString temporaryPath = temporary.fileName();
    temporary.close();
    if (existing == Existing::Keep && QFileInfo::exists(destination)) {
        setError(error, QStringLiteral("%1 already exists").arg(destination));
        return false;
    }
    // The size the file system reports, not what we believe we wrote.
    if (QFileInfo(temporaryPath).size() != expectedSize) {
        setError(error, QStringLiteral("%1 was stored incompletely").arg(destination));
        return false;
    }
    QFile::setPermissions(temporaryPath,
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (!commit(temporaryPath, destination, existing)) {
        setError(error, QStringLiteral("cannot put %1 in place: %2").arg(destination, qt_error_string(errno)));
        return false;
    }
    temporary.setAutoRemove(false);
    return true;
}

} // namespace

qint64 streamCopy(QFile& source, QIODevice& destination)
{
    QByteArray chunk(kChunkSize, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const qint64 got = source.read(chunk.data(), kChunkSize);
        if (got < 0)
            return -1;
        if (got == 0)
            return total;
        if (destination.write(chunk.constData(), got) != got)
            return -1;
        total += got;
    }
}

bool writeData(const QString& destination, const QByteArray& data, Existing existing, QString* error)
{
    return writeWith(
        destination, data.size(), existing, [&data](QFile& file) { return file.write(data); }, error);
}

bool writeCopy(const QString& source, const QString& destination, Existing existing, QString* error)
{
    QFile input(source);
    if (!input.open(QIODevice::ReadOnly)) {
        setError(error, QStringLiteral("cannot read %1: %2").arg(source, input.errorString()));
        return false;
    }
    const qint64 size = input.size();
    if (size <= 0) {
        setError(error, QStringLiteral("%1 is empty").arg(source));
        return false;
    }
    return writeWith(
        destination, size, existing, [&input](QFile& file) { return streamCopy(input, file); }, error);
}

} // namespace AtomicFile
