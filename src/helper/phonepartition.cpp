#include "helper/phonepartition.h"

#include "core/environment/logging.h"
#include "core/files/atomicfile.h"
#include "core/plist/plistptr.h"

#include <QDir>
#include <QFileInfo>

namespace PhonePartition {

bool prepare(const QString& root, bool withDatabase)
{
    QDir dir(root);
    const bool folders
        = dir.mkpath(QStringLiteral("iTunes_Control/Ringtones")) && dir.mkpath(QStringLiteral("iTunes_Control/iTunes"));
    if (!folders) {
        qCWarning(lcPhone).noquote() << "Cannot make the ringtone folders under" << root;
        return false;
    }
    const QString database = dir.filePath(QStringLiteral("iTunes_Control/iTunes/Ringtones.plist"));
    if (withDatabase && !QFileInfo::exists(database)) {
        PlistPtr empty(plist_new_dict());
        plist_dict_set_item(empty.get(), "Ringtones", plist_new_dict());
        return AtomicFile::writeData(database, plistio::toBinary(empty.get()), AtomicFile::Existing::Keep);
    }
    return true;
}

} // namespace PhonePartition
