#pragma once
// What the player posts as it starts, pauses and stops; the picture pane follows them.

#include <QLatin1StringView>

namespace PlayerNote {
inline constexpr QLatin1StringView StartPlay { "StartPlay" };
inline constexpr QLatin1StringView PausePlay { "PausePlay" };
inline constexpr QLatin1StringView StopPlay { "StopPlay" };
} // namespace PlayerNote
