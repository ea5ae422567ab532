#pragma once
// Cutting a section of a media file into a new file of its own, for the editor to load:
// the section re-encoded into a MOV file (picture when the source has one, AAC sound)
// under a fresh name in the private trim folder, so a cut never replaces a file the
// editor may hold.
//
// Threads: cut() blocks for the whole encode; call it on a worker thread with values
// read on the main thread. nextCutPath() may be called from any thread.

#include <QString>

namespace TrimCut {

// Sections shorter than this are not cut.
inline constexpr double kShortestCut = 0.1;

struct Result {
    enum class Outcome { Cut, TooShort, Failed };
    Outcome outcome = Outcome::Failed;
    QString path; // the new file, for Cut
};

// The private temporary folder's trim folder (empty before that folder is set up). Read
// it on the main thread, where the temporary folder is set up, and hand it to the worker.
[[nodiscard]] QString defaultFolder();

// A name not taken yet in `folder` (made when missing): "Trim 1.mov", "Trim 2.mov", ...
[[nodiscard]] QString nextCutPath(const QString& folder);

// Cuts `length` seconds from `begin` of `source` into nextCutPath(folder); the folder is
// the private temporary folder's trim folder when empty.
[[nodiscard]] Result cut(const QString& source, double begin, double length, const QString& folder = {});

} // namespace TrimCut
