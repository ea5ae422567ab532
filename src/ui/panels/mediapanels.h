#pragma once
// What the program's file panels share: where each kind of panel starts (the folder the
// user last took a file from with that kind, else the music folder, never the working
// folder), remembering that folder, and a media filter that names what it offers.
//
// Main thread only.

#include <QString>
#include <QStringList>

class QFileDialog;

namespace MediaPanels {

enum class Kind {
    OpenMedia, // the main window's Open File panel
    SaveRingtone, // the Save As panel
    LibraryFile, // the preferences' panel that adds a library file
};

// The remembered folder while it exists, else the user's music folder (XDG), else home.
[[nodiscard]] QString startFolder(Kind kind);
// Remembers the folder of the file `path` for the next panel of `kind`.
void remember(Kind kind, const QString& path);

// "Audio and video files (*.mp3 *.m4a ...)", from the endings the open panel takes.
[[nodiscard]] QString mediaFilter();
// "All files (*)".
[[nodiscard]] QString allFilesFilter();

// Starts `panel` in startFolder(kind) with `filters`, the first one selected.
void prepare(QFileDialog* panel, Kind kind, const QStringList& filters);

} // namespace MediaPanels
