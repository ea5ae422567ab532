#pragma once
// The two remembered folders: where the open panel and the ringtone save panel start.

#include <QString>

namespace UserDefaults {

[[nodiscard]] QString openFilePath();
void setOpenFilePath(const QString& folder);
[[nodiscard]] QString saveAsPath();
void setSaveAsPath(const QString& folder);

} // namespace UserDefaults
