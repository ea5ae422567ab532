#pragma once
// The program's folders under the user's music folder, and where the desktop library
// keeps its ringtones.

#include <QString>
#include <QStringList>

namespace VyListMenuAssitant {

[[nodiscard]] QString getMusicFolder(); // home + "/Music/Ringtone"
[[nodiscard]] QString getRecorderFolder(); // music folder + "/Recorder"
[[nodiscard]] QString getGBFolder(); // music folder + "/GrooveBox"
// Makes the music folder and the Recorder folder where missing (not the Groove Box's).
void createMyMusicFolder();
// The ringtone library's existing ringtone folders; when there is none, the one made for
// it (empty when that fails).
[[nodiscard]] QStringList getRingtonePath();

} // namespace VyListMenuAssitant
