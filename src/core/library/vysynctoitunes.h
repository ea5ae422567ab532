#pragma once
// Adds ringtones to the desktop's ringtone library (through LibraryBridge) under titles
// numbered past the ringtones already there, and optionally opens the added file.
// Synchronous; safe on a worker thread.

#include <QString>
#include <QStringList>

class VySyncToITunes {
public:
    // Adds `paths[i]` under `titles[i]`; with `isPlay` the first added file is then
    // opened with the desktop's default application (unless SONABEL_NO_EXTERNAL_OPEN=1).
    // The paths of the files added.
    QStringList addFileToiTunesLibrary(const QStringList& paths, const QStringList& titles, bool isPlay);
    QStringList copyingToITunesThreadMainMethod(const QStringList& paths, const QStringList& titles, bool isPlay);

    // Entries of `folder` (walking into sub-folders) whose path relative to it contains
    // `baseName`, case-sensitively.
    [[nodiscard]] static int duplicateCount(const QString& folder, const QString& baseName);
    // The title given to file `index` of a batch when `duplicates` ringtones share its name.
    [[nodiscard]] static QString numberedTitle(const QString& title, int index, int duplicates);
};
