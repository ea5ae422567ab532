#pragma once
// Listens to what the sound server plays: the tests' default input is a remap of the
// null sink's monitor, so this hears the player. 44.1 kHz stereo 16-bit.

#include <QByteArray>
#include <QObject>

#include <functional>
#include <memory>

class QAudioSource;
class QBuffer;

class MonitorCapture {
public:
    MonitorCapture();
    ~MonitorCapture();

    [[nodiscard]] bool isListening() const;
    // Processes events until `done` holds or `timeoutMs` passes; true when it held.
    static bool waitFor(const std::function<bool()>& done, int timeoutMs);

    void clear();
    [[nodiscard]] QByteArray captured() const;
    // RMS of the left channel of everything captured so far (or of a slice).
    [[nodiscard]] double rms() const;
    [[nodiscard]] static double rms(const QByteArray& pcm, qsizetype fromFrame, qsizetype frames);
    // Seconds of sound captured.
    [[nodiscard]] double seconds() const;

private:
    std::unique_ptr<QBuffer> m_buffer;
    std::unique_ptr<QAudioSource> m_source;
};
