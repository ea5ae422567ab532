#pragma once
// A Groove Box pattern as a standard MIDI file (format 0, one track) for the renderer.
//
// - Percussion channel 10; each step that sounds is one note at its instrument's key.
// - Four steps to a beat: 96 ticks per quarter note, 24 ticks per step; a note lasts
//   20 ticks, so a step played twice in a row is heard twice.
// - Tempo: speed s plays at 60 + 20 * s beats per minute (speed 3 is 120).
// - Velocity 112 on the first step of each beat, 88 on the others.
// - Marker "loopstart" at tick 0 and "loopend" at the end of the 64th step (tick 1536),
//   then the end of the track.

#include "core/groovebox/gbpattern.h"

#include <QByteArray>

namespace PatternMidi {

inline constexpr int kTicksPerQuarter = 96;
inline constexpr int kStepsPerBeat = 4;
inline constexpr int kTicksPerStep = kTicksPerQuarter / kStepsPerBeat;
inline constexpr int kNoteTicks = 20;
inline constexpr int kAccentVelocity = 112;
inline constexpr int kVelocity = 88;

// Beats per minute for a speed.
[[nodiscard]] constexpr int tempoForSpeed(int speed)
{
    return 60 + 20 * speed;
}

} // namespace PatternMidi

[[nodiscard]] QByteArray patternToMidi(const GBPattern& pattern);
