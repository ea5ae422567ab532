#pragma once
// The trim dialog's notifications and the keys of the slider bar's user info.

#include <QLatin1StringView>

namespace TrimNote {
// Object: the slider bar; user info: the keys below.
inline constexpr QLatin1StringView ChangeValue { "trimSliderBar_change_value" };
// Object: the slider bar; no user info.
inline constexpr QLatin1StringView StartDraggingSliderKnob { "TRIMSLIDERBAR_START_DRAGGING_SLIDERKNOB" };
inline constexpr QLatin1StringView EndDraggingSliderKnob { "TRIMSLIDERBAR_END_DRAGGING_SLIDERKNOB" };
// Object: the dialog; no user info. Queued from the player's thread.
inline constexpr QLatin1StringView PlayerPlaying { "PLAYER_PLAYING" };
inline constexpr QLatin1StringView PlayerStopped { "PLAYER_STOPPED" };
} // namespace TrimNote

namespace TrimKey {
inline constexpr QLatin1StringView Value { "value" };
inline constexpr QLatin1StringView TrimStartValue { "trimStartValue" };
inline constexpr QLatin1StringView TrimEndValue { "trimEndValue" };
inline constexpr QLatin1StringView ChangeTag { "changeTag" };
inline constexpr QLatin1StringView IsDraging { "isDraging" };
} // namespace TrimKey

// Which knob a change moved.
enum class TrimChange : int { Play = 1, TrimStart = 2, TrimEnd = 3 };
