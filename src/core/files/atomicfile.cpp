#include "core/files/atomicfile.h"

#include "media/temporaryname.h"

#include <QCryptographicHash>
#include <QFile>
#include <QFileInfo>
#include <QScopeGuard>

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
constexpr auto kDigest = QCryptographicHash::Sha1;
constexpr int kCreateAttempts = 100;

void setError(QString* error, const QString& text)
{
    if (error != nullptr)
        *error = text;
}

// Renames the finished temporary file onto `destination`; with Existing::Keep never over a
// file already there.
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

// What `path` holds as the file system gives it back to a fresh reader: its digest, or
// empty when it cannot be read or its length is not `expectedSize`.
QByteArray readBackDigest(const QString& path, qint64 expectedSize)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Unbuffered))
        return {};
    QCryptographicHash hash(kDigest);
    QByteArray chunk(kChunkSize, Qt::Uninitialized);
    qint64 total = 0;
    for (;;) {
        const qint64 got = file.read(chunk.data(), kChunkSize);
        if (got < 0)
            return {};
        if (got == 0)
            break;
        hash.addData(QByteArrayView(chunk.constData(), got));
        total += got;
    }
    return total == expectedSize ? hash.result() : QByteArray();
}

// `fill` writes the content and adds it to the digest; it returns the bytes written.
using Fill = std::function<qint64(QFile&, QCryptographicHash&)>;

// Creates a fresh temporary name of ours beside `destination`, never over an existing file.
bool createTemporary(const QString& destination, QFile& file)
{
    const std::string target = QFile::encodeName(destination).toStdString();
    for (int attempt = 0; attempt < kCreateAttempts; ++attempt) {
        file.setFileName(QFile::decodeName(QByteArray::fromStdString(temporaryname::beside(target))));
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly | QIODevice::Unbuffered))
            return true;
        if (file.error() != QFileDevice::OpenError || !file.exists())
            return false;
    }
    return false;
}

bool writeWith(const QString& destination, qint64 expectedSize, Existing existing, const Fill& fill, QString* error)
{
    const QFileInfo target(destination);
    // A plain file, really closed before it is checked and renamed: a phone may cut a file
    // short only as its last handle goes.
    QFile temporary;
    if (!createTemporary(destination, temporary)) {
        setError(error,
            QStringLiteral("cannot create a file in %1: %2").arg(target.absolutePath(), temporary.errorString()));
        return false;
    }
    const QString temporaryPath = temporary.fileName();
    bool placed = false;
    const auto removeUnplaced = qScopeGuard([&] {
        if (!placed)
            QFile::remove(temporaryPath);
    });
    QCryptographicHash digest(kDigest);
    const qint64 written = fill(temporary, digest);
    if (written != expectedSize || !temporary.flush() || ::fsync(temporary.handle()) != 0) {
        // A device that takes part of a write and then refuses the rest (a full one) leaves
        // the file without an error of its own.
        setError(error,
            QStringLiteral("writing %1 failed: %2")
                .arg(destination,
                    temporary.error() != QFileDevice::NoError
                        ? temporary.errorString()
                        : QStringLiteral("the device took only part of it (it may be full)")));
        return false;
    }
    temporary.close();
    if (existing == Existing::Keep && QFileInfo::exists(destination)) {
        setError(error, QStringLiteral("%1 already exists").arg(destination));
        return false;
    }
    // What the file system gives back, not what we believe we wrote: a file cut short as it
    // was closed may still report its full size from the kernel's cache, but reads short.
    if (QFileInfo(temporaryPath).size() != expectedSize
        || readBackDigest(temporaryPath, expectedSize) != digest.result()) {
        setError(error, QStringLiteral("%1 was stored incompletely").arg(destination));
        return false;
    }
    QFile::setPermissions(temporaryPath,
        QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ReadGroup | QFileDevice::ReadOther);
    if (!commit(temporaryPath, destination, existing)) {
        setError(error, QStringLiteral("cannot put %1 in place: %2").arg(destination, qt_error_string(errno)));
        return false;
    }
    placed = true;
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
        destination, data.size(), existing,
        [&data](QFile& file, QCryptographicHash& digest) {
            digest.addData(data);
            return file.write(data);
        },
        error);
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
        destination, size, existing,
        [&input](QFile& file, QCryptographicHash& digest) {
            const qint64 copied = streamCopy(input, file);
            // The source as it was copied, read again from the local disk.
            return copied >= 0 && input.seek(0) && digest.addData(&input) ? copied : -1;
        },
        error);
}

} // namespace AtomicFile
