#include "core/library/librarybridge.h"

#include "core/environment/logging.h"
#include "core/files/atomicfile.h"

#include <QDir>
#include <QFileInfo>

namespace LibraryBridge {

QString libraryFolder()
{
    return QDir::homePath() + QStringLiteral("/Music/iTunes");
}
QString musicRingtoneFolder()
{
    return libraryFolder() + QStringLiteral("/iTunes Music/Ringtones");
}
QString mediaRingtoneFolder()
{
    return libraryFolder() + QStringLiteral("/iTunes Media/Ringtones");
}

QString ringtoneFolder(bool create)
{
    QString folder;
    if (QFileInfo(mediaRingtoneFolder()).isDir())
        return mediaRingtoneFolder();
    if (QFileInfo(musicRingtoneFolder()).isDir())
        return musicRingtoneFolder();
    if (QFileInfo(libraryFolder() + QStringLiteral("/iTunes Media")).isDir())
        folder = mediaRingtoneFolder();
    else if (QFileInfo(libraryFolder() + QStringLiteral("/iTunes Music")).isDir())
        folder = musicRingtoneFolder();
    else
        folder = mediaRingtoneFolder();
    if (!create)
        return folder;
    if (!QDir().mkpath(folder)) {
        qCWarning(lcFiles).noquote() << "Cannot make the ringtone folder" << folder;
        return {};
    }
    return folder;
}

QString fileNameForTitle(const QString& title)
{
    QString name = title;
    name.remove(u'/');
    name.remove(QChar(0));
    if (name.isEmpty() || name == u"." || name == u"..")
        return {};
    return name;
}

QString addFile(const QString& path, const QString& title, QString* error)
{
    const QString name = fileNameForTitle(title);
    if (name.isEmpty()) {
        if (error != nullptr)
            *error = QStringLiteral("\"%1\" cannot name a file").arg(title);
        return {};
    }
    const QString folder = ringtoneFolder(true);
    if (folder.isEmpty()) {
        if (error != nullptr)
            *error = QStringLiteral("the ringtone folder cannot be made");
        return {};
    }
    const QString suffix = QFileInfo(path).suffix();
    const QString destination = folder + u'/' + name + (suffix.isEmpty() ? QString() : u'.' + suffix);
    QString why;
    if (!AtomicFile::writeCopy(path, destination, AtomicFile::Existing::Keep, &why)) {
        qCWarning(lcFiles).noquote() << "Adding" << path << "to the ringtone library failed:" << why;
        if (error != nullptr)
            *error = why;
        return {};
    }
    qCInfo(lcFiles).noquote() << "Added" << destination << "to the ringtone library";
    return destination;
}

} // namespace LibraryBridge
