#include "core/medialibrary/vylistmenuassitant.h"

#include "core/environment/appplaces.h"
#include "core/library/librarybridge.h"

#include <QDir>
#include <QFileInfo>

namespace VyListMenuAssitant {

QString getMusicFolder()
{
    return AppPlaces::musicFolder();
}

QString getRecorderFolder()
{
    return AppPlaces::recorderFolder();
}

QString getGBFolder()
{
    return AppPlaces::grooveBoxFolder();
}

void createMyMusicFolder()
{
    QDir().mkpath(getMusicFolder());
    QDir().mkpath(getRecorderFolder());
}

QStringList getRingtonePath()
{
    QStringList folders;
    for (const QString& folder : { LibraryBridge::musicRingtoneFolder(), LibraryBridge::mediaRingtoneFolder() })
        if (QFileInfo(folder).isDir())
            folders << folder;
    if (folders.isEmpty()) {
        const QString made = LibraryBridge::ringtoneFolder(true);
        if (!made.isEmpty())
            folders << made;
    }
    return folders;
}

} // namespace VyListMenuAssitant
