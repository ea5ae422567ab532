#include "core/trim/trimcut.h"

#include "core/convert/vyconverter.h"
#include "core/environment/appplaces.h"
#include "core/environment/editingstate.h"
#include "core/environment/logging.h"
#include "core/files/temporarynames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <unistd.h>

namespace TrimCut {

namespace {

// Moves a finished cut onto the first free name, retrying when that name is taken in
// the meantime (by a cut running at the same time, say); gives up after this many.
constexpr int kPlacingAttempts = 100;

QString folderFor(const QString& folder)
{
    return folder.isEmpty() ? defaultFolder() : folder;
}

bool isTaken(const QString& path)
{
    const QFileInfo info(path);
    return info.exists() || info.isSymLink(); // a dangling link still holds the name
}

// Renames `from` to `to` unless `to` exists; errno tells why not.
bool renameWithoutReplacing(const QString& from, const QString& to)
{
    const QByteArray source = QFile::encodeName(from);
    const QByteArray target = QFile::encodeName(to);
    if (::renameat2(AT_FDCWD, source.constData(), AT_FDCWD, target.constData(), RENAME_NOREPLACE) == 0)
        return true;
    if (errno != EINVAL && errno != ENOSYS)
        return false;
    // A file system without the no-replace rename: a hard link fails just as surely on
    // a taken name.
    if (::link(source.constData(), target.constData()) != 0)
        return false;
    ::unlink(source.constData());
    return true;
}

} // namespace

QString defaultFolder()
{
    const QString temporaryFolder = gloableState()._tempFolderPath;
    return temporaryFolder.isEmpty() ? QString() : AppPlaces::trimFolder(temporaryFolder);
}

QString nextCutPath(const QString& folder)
{
    const QString where = folderFor(folder);
    if (where.isEmpty())
        return {};
    QDir().mkpath(where);
    const QDir dir(where);
    for (int number = 1;; ++number) {
        const QString path = dir.filePath(QStringLiteral("Trim %1.mov").arg(number));
        if (!isTaken(path))
            return path;
    }
}

Result cut(const QString& source, double begin, double length, const QString& folder)
{
    if (!(length >= kShortestCut)) {
        qCInfo(lcApp) << "trim too short";
        return { Result::Outcome::TooShort, {} };
    }
    const QString where = folderFor(folder);
    if (where.isEmpty() || !QDir().mkpath(where)) {
        qCWarning(lcApp).noquote() << QStringLiteral("cannot cut %1: no folder to cut into (%2)")
                                          .arg(source, where.isEmpty() ? QStringLiteral("none set up") : where);
        return { Result::Outcome::Failed, {} };
    }
    // The encode writes under a hidden name of its own; only a complete cut is then given
    // a "Trim N.mov" name, never one that exists, so no file is ever replaced.
    const QString working = QDir(where).filePath(TemporaryNames::prefix()
        + QStringLiteral("cut-%1.mov").arg(QRandomGenerator::global()->generate64(), 16, 16, QLatin1Char('0')));
    VyConverter converter;
    if (converter.cutFile(source, working, begin, length) != 1U) {
        QFile::remove(working);
        return { Result::Outcome::Failed, {} };
    }
    for (int attempt = 0; attempt < kPlacingAttempts; ++attempt) {
        const QString path = nextCutPath(where);
        if (renameWithoutReplacing(working, path))
            return { Result::Outcome::Cut, path };
        if (errno != EEXIST)
            break;
    }
    qCWarning(lcApp).noquote() << QStringLiteral("cannot name the cut of %1 in %2").arg(source, where);
    QFile::remove(working);
    return { Result::Outcome::Failed, {} };
}

} // namespace TrimCut
