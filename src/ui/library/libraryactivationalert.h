#pragma once
// The alert shown when the desktop's ringtone library has no ringtone folder and none can
// be made: the lists that show the library cannot work, so the program ends.

#include "core/library/checkitunesringtonefoldertool.h"

#include <functional>

class QWidget;

namespace LibraryActivationAlert {

// A failure handler for CheckiTunesRingtoneFolderTool: shows the alert over `parent` and,
// once it is closed, calls `quit` (QCoreApplication::quit when none is given).
[[nodiscard]] CheckiTunesRingtoneFolderTool::ActivationFailure handler(
    QWidget* parent, std::function<void()> quit = {});

} // namespace LibraryActivationAlert
