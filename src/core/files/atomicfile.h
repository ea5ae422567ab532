#pragma once
// Writing files that a user, a library or the phone relies on: the new content goes to a
// hidden temporary name of ours (TemporaryNames) in the destination's folder, is flushed,
// is read back and checked against what was meant to be written (a FUSE link to a phone has
// been seen to leave copies cut short at close while still reporting their full size), and
// only then is it renamed into place. A write that fails at any point leaves the destination
// as it was and removes the temporary file when it can.

#include <QByteArray>
#include <QString>

class QFile;
class QIODevice;

namespace AtomicFile {

// What to do when the destination exists: replace it, or keep it and fail.
enum class Existing { Replace, Keep };

// Streams `source` into `destination` (opened and truncated by the caller's choice) in
// chunks. The number of bytes copied, or -1 on a read or write error.
qint64 streamCopy(QFile& source, QIODevice& destination);

bool writeData(const QString& destination, const QByteArray& data, Existing existing = Existing::Replace,
    QString* error = nullptr);
// Refuses an empty or unreadable source before anything is created.
bool writeCopy(
    const QString& source, const QString& destination, Existing existing = Existing::Replace, QString* error = nullptr);

} // namespace AtomicFile
