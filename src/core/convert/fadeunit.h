#pragma once
// Linear fade-in and fade-out applied in place to a 16-bit PCM WAV file with plain byte-level I/O.
//
// File format expected: a canonical 44-byte RIFF/WAVE header read at fixed offsets (no chunk walking),
// followed by interleaved signed 16-bit little-endian samples up to the end of the file.
//
//   offset  size  field
//        0     4  "RIFF"
//        4     4  RIFF size                  (not used)
//        8     4  "WAVE"
//       12     4  "fmt "
//       16     4  format chunk size          (not used)
//       20     2  format tag
//       22     2  channel count              (not used: every 16-bit sample is scaled on its own)
//       24     4  sample rate                (not used)
//       28     4  byte rate, little-endian   drives every position below
//       32     2  block align                (not used)
//       34     2  bits per sample            (not used)
//       36     4  "data"
//       40     4  data size                  (not used: the samples run to the end of the file)
//
// The header is copied unchanged. A fade window [start, end] in seconds covers the file positions
// fileLength - ms(audioTimeLength - t) * byteRate / 1000 (ms() = whole milliseconds), i.e. counted back
// from the end of the file, clamped to the data. Its gain denominator is
// span = trunc(byteRate * end) - trunc(byteRate * start) bytes; sample i bytes into the window gets
// gain i / span (fade-in) or 1 - i / span (fade-out) in 32-bit float, truncated toward zero. Bytes
// outside the windows are copied unchanged. Positions are not aligned to samples or frames: pick
// times that land on whole frames.
//
// Stateless and blocking; calls on different files may run on any threads at once.

class QString;

class FadeUnit {
public:
    // Values of fadeFlage.
    static constexpr int kNoFade = 0;
    static constexpr int kFadeIn = 1;
    static constexpr int kFadeOut = 2;
    static constexpr int kFadeInAndOut = 3;

    // Fades `path` in place: the result goes to "<path>.fade.tmp" and is renamed over the source, so
    // the source stays untouched whenever false is returned. Times are in seconds; audioTimeLength is
    // the duration of the samples in the file. Writes progress lines to standard output. On failure
    // `error` (when given) receives the reason.
    [[nodiscard]] static bool fadeProcess(const QString& path, int fadeFlage, double fadeInStartTime,
        double fadeInEndTime, double fadeOutStartTime, double fadeOutEndTime, double audioTimeLength, QString* error);

    // The signed 16-bit value of a little-endian sample: second byte signed, first byte unsigned.
    [[nodiscard]] static int getIntFromByte(unsigned char first, unsigned char second);
};
