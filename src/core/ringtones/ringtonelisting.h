#pragma once
// Reading the manager's two lists: the ringtones in the computer's ringtone folders and
// those on the phone, each with its length from the file's header (no decoding).
//
// Blocking (file system and header reads): call from a worker for long lists; safe from
// any thread.

#include "core/ringtones/ringtoneinfo.h"

#include <QList>
#include <QStringList>

#include <optional>

class VyRingtoneiPhoneTransfor;

namespace RingtoneListing {

// The files in each folder (not recursive; names beginning with "." and anything that is
// not a file skipped; a folder that cannot be listed is skipped), named by the file name
// without its extension, sorted by name as a whole.
[[nodiscard]] QList<RingtoneInfo> listFolders(const QStringList& folders);

// The ringtones in the phone's database, named by each entry's "Name" (a ".m4r" ending
// dropped), with their paths under the link's mount point, sorted by name. Nothing while
// the link is down; an empty list when the database is missing or unreadable.
[[nodiscard]] std::optional<QList<RingtoneInfo>> listPhone(VyRingtoneiPhoneTransfor& link);

} // namespace RingtoneListing
