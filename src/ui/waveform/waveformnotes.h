#pragma once
// What the waveform and its selection bar post for the editor.

#include <QLatin1StringView>

namespace WaveformNote {
inline constexpr QLatin1StringView RepeatePreview { "repeatePreview" };
inline constexpr QLatin1StringView ChoosePartChanged { "ChoosePartChanged" };
inline constexpr QLatin1StringView ResizeChooseTimeLen { "ResizeChooseTimeLen" }; // ChooseTimeLen
inline constexpr QLatin1StringView ScrollerClicked { "Ozk_WaveformScrollerClickNotification" };
} // namespace WaveformNote

namespace WaveformKey {
inline constexpr QLatin1StringView ChooseTimeLen { "ChooseTimeLen" }; // e.g. "25s"
} // namespace WaveformKey
