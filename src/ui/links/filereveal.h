#pragma once
// Shows a file in the desktop's file manager, selected in its folder. Asks the file
// manager over the session bus without waiting for it; when no file manager answers, the
// folder is opened instead. With SONABEL_NO_EXTERNAL_OPEN=1 (the tests) nothing is
// started; the path is only logged and remembered.
//
// Main thread only.

#include <QString>

namespace FileReveal {

// False for an empty path.
bool reveal(const QString& path);
// The path revealed last (for tests and diagnostics).
[[nodiscard]] QString lastRevealed();

} // namespace FileReveal
