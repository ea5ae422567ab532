#pragma once
// The choices of the preferences window, in the order the pop-ups list them. The
// keep-source step selects items 2, 1 and 3 of the format lists: those are our
// defaults, 44100 Hz, stereo and 128 kbps.

#include <QString>

#include <span>

struct PreferenceChoice {
    QString title;
    double value;
};

namespace PreferenceTables {

[[nodiscard]] std::span<const PreferenceChoice> sampleRateDict(); // Hz
[[nodiscard]] std::span<const PreferenceChoice> channelseDict(); // channels
[[nodiscard]] std::span<const PreferenceChoice> bitRateDict(); // bits per second
[[nodiscard]] std::span<const PreferenceChoice> keyMoveDict(); // seconds
[[nodiscard]] std::span<const PreferenceChoice> ringsGapDict(); // seconds

inline constexpr int kKeepSourceSampleRateIndex = 2;
inline constexpr int kKeepSourceChannelIndex = 1;
inline constexpr int kKeepSourceBitRateIndex = 3;

} // namespace PreferenceTables
