#pragma once
// Rendering the Groove Box's MIDI file to a WAV file through a sound font, faster than
// real time and without a sound device.

#include <QString>

struct MidiRenderResult {
    bool ok = false;
    QString error; // why the render failed, for the log or a message
    double seconds = 0.0; // length of the written sound
};

// Renders `midiPath` with `soundFontPath` into a 44100 Hz 16-bit stereo WAV at `wavPath`.
// Only whole seconds of the MIDI file are kept: the render stops at the first block of
// about 0.23 s that reaches the file's last whole second, so a 5.7 s file gives 5.0 to
// 5.23 s and a file under a second gives one block. Markers "loopstart" and "loopend"
// (any case) make the song jump back to "loopstart", or to its beginning, on reaching
// "loopend"; the end of the song jumps back the same way. The WAV appears under its name
// only when complete; on failure nothing is left. Progress goes to the log.
MidiRenderResult midiLoader(const QString& midiPath, const QString& soundFontPath, const QString& wavPath);
