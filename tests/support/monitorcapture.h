#pragma once
// Listens to what the sound server plays: the tests' default input is a remap of the
// null sink's monitor, so this hears the player. 44.1 kHz stereo 16-bit.

#include <QByteArray>
#include <QObject>

#include <functional>
#include <memory>
#include <vector>

class QAudioSource;
class QBuffer;

class MonitorCapture {
public:
    MonitorCapture();
    ~MonitorCapture();

    [[nodiscard]] bool isListening() const;
    // Processes events until `done` holds or `timeoutMs` passes; true when it held.
    static bool waitFor(const std::function<bool()>& done, int timeoutMs);
    // Processes events for `ms` milliseconds: for checks that something does not happen
    // within that time.
    static void listenFor(int ms);

    void clear();
    [[nodiscard]] QByteArray captured() const;
    // RMS of the left channel of everything captured so far (or of a slice).
    [[nodiscard]] double rms() const;
    [[nodiscard]] static double rms(const QByteArray& pcm, qsizetype fromFrame, qsizetype frames);
    // Seconds of sound captured.
    [[nodiscard]] double seconds() const;

    // The captured stream cut into runs of sound and silence, in milliseconds (a
    // millisecond is sound when its level is above `silenceDb` dBFS); the first run is
    // silence, of 0 ms when the capture starts on sound.
    [[nodiscard]] static std::vector<int> runsMs(const QByteArray& pcm, double silenceDb = -60.0);
    // dBFS of the left channel over `ms` milliseconds from `fromMs`; -120 for silence.
    [[nodiscard]] static double levelDb(const QByteArray& pcm, double fromMs, double ms);
    // Where a fade from or to silence meets it, in milliseconds: the level of the `ms`
    // after (or, for a fade-out, before) `nearMs` extrapolated to zero, so the point is
    // found to well under a millisecond although its first samples are inaudible.
    [[nodiscard]] static double fadeEdgeMs(const QByteArray& pcm, double nearMs, double ms, bool fadeIn);

private:
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QAudioSource> m_source;
};
