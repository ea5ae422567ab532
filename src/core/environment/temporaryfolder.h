#pragma once
// The per-run temporary folder: "VyRingToneTemp" with its "UploadToiTunesRingtone",
// "Record" and "TrimFiles" subfolders, inside a private per-user folder (mode 0700,
// owned by us, never a link) so that nobody else can plant files or links in it.

#include <QString>

class TemporaryFolder {
public:
    struct Result {
        QString path; // the temporary folder, empty on failure
        QString error; // what went wrong, for the user
        [[nodiscard]] bool ok() const { return !path.isEmpty(); }
    };

    // Empties and makes anew the temporary folder under `tempRoot` (QDir::tempPath()
    // when empty). Refuses, writing nothing, when the private folder is a link, is not
    // a directory, or belongs to someone else.
    [[nodiscard]] static Result prepare(const QString& tempRoot = {});

    // Deletes the temporary folder with its contents and then the private folder if
    // it is empty, logging as it goes.
    static void remove(const QString& tempFolderPath);

    // Start-up step: prepare() and store the path in the editing state.
    [[nodiscard]] static Result setUp();
};
