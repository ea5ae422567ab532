#pragma once
// Copying one ringtone between the computer's ringtone folder and the phone, for the
// manager's moves and drops. Blocking (file copies onto and off the phone): run on a worker;
// safe from any thread.

#include "core/ringtones/ringtoneinfo.h"

#include <QString>
#include <QStringList>

#include <optional>

class VyRingtoneiPhoneTransfor;

namespace RingtoneCopy {

struct Result {
    std::optional<RingtoneInfo> copy; // the new record, where the copy landed
    bool sourceMissing = false; // no file at the record's path
    QString error;
};

// Copies a computer ringtone onto the phone and registers it. A success only when the file
// is complete on the phone and its entry is in the database: a file without an entry never
// shows on the phone.
[[nodiscard]] Result toPhone(VyRingtoneiPhoneTransfor& link, const RingtoneInfo& ringtone);

// Copies a phone ringtone into `folder` as its name + ".m4r", or "name n.ext" numbered past
// `takenNames` (the names the computer list shows) and past files already in the folder.
[[nodiscard]] Result toComputer(
    VyRingtoneiPhoneTransfor& link, const RingtoneInfo& ringtone, const QString& folder, const QStringList& takenNames);

} // namespace RingtoneCopy
