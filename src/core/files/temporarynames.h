#pragma once
// The hidden names our writers use while a file is being written (see media/temporaryname.h)
// and the removal of those a killed or cut-off writer left behind.

#include <QString>
#include <QStringList>

namespace TemporaryNames {

// ".sonabel-tmp-": what every temporary name of ours starts with.
[[nodiscard]] QString prefix();

// Whether a bare file name is one of our temporary names.
[[nodiscard]] bool isOurs(const QString& fileName);

// Removes the regular files directly in `folder` (not in its subfolders; never links or
// folders) whose names are ours. The removed paths, each logged; a missing folder is no error.
QStringList sweep(const QString& folder);

} // namespace TemporaryNames
