#pragma once
// Where the program keeps its files on this system.

#include <QString>

namespace AppPlaces {

inline constexpr auto kTemporaryFolderName = "VyRingToneTemp";
inline constexpr auto kMountFolderName = ".SonabelMedia";

// The per-user private folder that holds the temporary folder: TMPDIR (or /tmp) +
// "/corvane-sonabel-<uid>". `tempRoot` empty means QDir::tempPath().
[[nodiscard]] QString privateTemporaryBase(const QString& tempRoot = {});

// Subfolders of the temporary folder.
[[nodiscard]] QString uploadFolder(const QString& tempFolder);
[[nodiscard]] QString recordFolder(const QString& tempFolder);
[[nodiscard]] QString trimFolder(const QString& tempFolder);

// home + "/Music/Ringtone", its "Recorder" and "GrooveBox" folders and the sound font.
[[nodiscard]] QString musicFolder();
[[nodiscard]] QString recorderFolder();
[[nodiscard]] QString grooveBoxFolder();
[[nodiscard]] QString soundFontPath();

// The phone's mount point, without a trailing separator: SONABEL_MOUNT_POINT when set,
// else /Volumes/.SonabelMedia where /Volumes exists, else $XDG_RUNTIME_DIR/.SonabelMedia.
[[nodiscard]] QString mountPoint();
// The same with the trailing separator, as the phone link is given it.
[[nodiscard]] QString mountPointWithSeparator();

// The executable's folder (the current folder when there is no application object).
[[nodiscard]] QString applicationFolder();

} // namespace AppPlaces
