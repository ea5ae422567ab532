#include "core/files/temporarynames.h"

#include "core/environment/logging.h"
#include "media/temporaryname.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace TemporaryNames {

QString prefix()
{
    return QString::fromLatin1(temporaryname::kPrefix.data(), static_cast<qsizetype>(temporaryname::kPrefix.size()));
}

bool isOurs(const QString& fileName)
{
    return fileName.size() > prefix().size() && fileName.startsWith(prefix());
}

QStringList sweep(const QString& folder)
{
    QStringList removed;
    if (folder.isEmpty())
        return removed;
    const QFileInfoList files = QDir(folder).entryInfoList(
        { prefix() + u'*' }, QDir::Files | QDir::Hidden | QDir::System | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo& file : files) {
        if (!isOurs(file.fileName()) || file.isSymLink())
            continue;
        if (QFile::remove(file.filePath())) {
            qCInfo(lcFiles).noquote() << "Removed" << file.filePath() << "left by an unfinished write";
            removed.append(file.filePath());
        } else {
            qCWarning(lcFiles).noquote() << "Could not remove the unfinished write" << file.filePath();
        }
    }
    return removed;
}

} // namespace TemporaryNames
