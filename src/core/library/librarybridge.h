#pragma once
// The desktop's ringtone library: an iTunes-style folder tree under ~/Music/iTunes whose
// "Ringtones" folder holds the ringtones. Adding a ringtone copies it there under its
// title; nothing is ever written over an existing ringtone.

#include <QString>

namespace LibraryBridge {

// home + "/Music/iTunes".
[[nodiscard]] QString libraryFolder();
// The two places a ringtone folder may be: "iTunes Music/Ringtones" and
// "iTunes Media/Ringtones" under the library folder, in that order.
[[nodiscard]] QString musicRingtoneFolder();
[[nodiscard]] QString mediaRingtoneFolder();

// The ringtone folder files are added to: an existing "iTunes Media/Ringtones", else an
// existing "iTunes Music/Ringtones", else the Ringtones folder of whichever of "iTunes Media"
// or "iTunes Music" exists, else "iTunes Media/Ringtones". With `create` the folder is made
// (with its parents) when missing; empty when that fails.
[[nodiscard]] QString ringtoneFolder(bool create);

// A title made safe as a file name: "/" removed, "." and ".." and an empty title refused.
[[nodiscard]] QString fileNameForTitle(const QString& title);

// Copies `path` into the ringtone folder as title + the file's extension, through a
// temporary name. The added file's path, or empty (with `error`) when the folder cannot be
// made, the source cannot be read, the title is unusable or a ringtone of that name exists.
QString addFile(const QString& path, const QString& title, QString* error = nullptr);

} // namespace LibraryBridge
