#pragma once
// The file endings the program takes, in one place: what the open panel offers, what a
// drop and the library's folder walk take, and which of them hold a picture.
// Upper case; compare without regard to case.

#include <QStringList>

namespace MediaFileTypes {

// The 20 endings the open panel offers.
[[nodiscard]] const QStringList& openPanelFileTypes();
// The open panel's endings and "FLV": what a drop and the folder walk take.
[[nodiscard]] const QStringList& dropFileTypes();
// Whether a file of this ending (any case) is a video.
[[nodiscard]] bool isVideoType(const QString& ending);

} // namespace MediaFileTypes
