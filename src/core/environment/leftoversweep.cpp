#include "core/environment/leftoversweep.h"

#include "core/environment/appplaces.h"
#include "core/files/temporarynames.h"
#include "core/library/librarybridge.h"

namespace LeftoverSweep {

QStringList launchFolders()
{
    return { LibraryBridge::mediaRingtoneFolder(), LibraryBridge::musicRingtoneFolder(), AppPlaces::musicFolder(),
        AppPlaces::recorderFolder(), AppPlaces::grooveBoxFolder() };
}

QStringList atLaunch()
{
    QStringList removed;
    for (const QString& folder : launchFolders())
        removed += TemporaryNames::sweep(folder);
    return removed;
}

} // namespace LeftoverSweep
