#pragma once
// What the editor answers on the notification centre, and the keys of their user info.

#include <QLatin1StringView>

namespace EditorNote {
inline constexpr QLatin1StringView CloseAudioView { "CloseAudioView" };
inline constexpr QLatin1StringView StartPlayer { "StartPlayer" };
inline constexpr QLatin1StringView StopPlayer { "StopPlayer" };
inline constexpr QLatin1StringView SetAudioParm {
    "SetAudioParm"
}; // ConvertKey SampleRate, Channels, BitRate; empty: as the source
inline constexpr QLatin1StringView SetKeyMovie { "SetKeyMovie" }; // KeyMoveDist
inline constexpr QLatin1StringView SetRingsGapTime { "SetRingsGapTime" }; // RingsGap
inline constexpr QLatin1StringView RecordOver { "Ozk_RecordOverNotification" };
} // namespace EditorNote

namespace EditorKey {
inline constexpr QLatin1StringView KeyMoveDist { "KeyMoveDist" };
inline constexpr QLatin1StringView RingsGap { "RingsGap" };
} // namespace EditorKey
