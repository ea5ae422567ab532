#include "core/environment/appplaces.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QStandardPaths>

#include <unistd.h>

namespace AppPlaces {

QString privateTemporaryBase(const QString& tempRoot)
{
    const QString root = tempRoot.isEmpty() ? QDir::tempPath() : tempRoot;
    return root + QStringLiteral("/corvane-sonabel-") + QString::number(::geteuid());
}

QString uploadFolder(const QString& tempFolder)
{
    return tempFolder + QStringLiteral("/UploadToiTunesRingtone");
}
QString recordFolder(const QString& tempFolder)
{
    return tempFolder + QStringLiteral("/Record");
}
QString trimFolder(const QString& tempFolder)
{
    return tempFolder + QStringLiteral("/TrimFiles");
}

QString musicFolder()
{
    return QDir::homePath() + QStringLiteral("/Music/Ringtone");
}
QString recorderFolder()
{
    return musicFolder() + QStringLiteral("/Recorder");
}
QString grooveBoxFolder()
{
    return musicFolder() + QStringLiteral("/GrooveBox");
}
QString soundFontPath()
{
    return musicFolder() + QStringLiteral("/VyRingtoneSample.sf2");
}

QString mountPoint()
{
    const QString configured = qEnvironmentVariable("SONABEL_MOUNT_POINT");
    if (!configured.isEmpty()) {
        QString path = QDir::cleanPath(configured);
        return path;
    }
    if (QFileInfo(QStringLiteral("/Volumes")).isDir())
        return QStringLiteral("/Volumes/") + QLatin1String(kMountFolderName);
    QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (runtime.isEmpty())
        runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    return runtime + u'/' + QLatin1String(kMountFolderName);
}

QString mountPointWithSeparator()
{
    return mountPoint() + u'/';
}

QString applicationFolder()
{
    if (QCoreApplication::instance() != nullptr)
        return QCoreApplication::applicationDirPath();
    return QDir::currentPath();
}

} // namespace AppPlaces
