#pragma once
// The folders the application expects on the phone's media partition.

#include <QString>

namespace PhonePartition {

// Makes "iTunes_Control/Ringtones" and "iTunes_Control/iTunes" under `root`; with
// `withDatabase`, also an empty ringtone database when there is none. False when a folder
// cannot be made.
bool prepare(const QString& root, bool withDatabase);

} // namespace PhonePartition
