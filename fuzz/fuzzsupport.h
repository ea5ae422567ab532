#pragma once
// What every fuzz target shares: quiet logs, a private scratch folder for the readers that
// take a path, and a check that stops the run with a
// message libFuzzer records as a crash.

#include <QByteArray>
#include <QString>

#include <cstddef>
#include <cstdint>

namespace fuzz {

// Drops Qt's and the media layer's log lines: the readers log every broken input, and
// libFuzzer's own output is what the runs are read by.
void quietLogs();

// A folder of this process's own, removed at exit.
[[nodiscard]] const QString& scratchFolder();
// Writes `data` to `name` in the scratch folder and returns its path.
QString writeScratch(const QString& name, const uint8_t* data, size_t size);
// Empties the scratch folder (what a reader moved aside or wrote beside its file).
void clearScratch();

// Stops the process with `what` when `condition` is false; a broken promise of the code
// under test shows as a crash with its input saved.
void check(bool condition, const char* what);

} // namespace fuzz
