#pragma once
// Recording from the microphone: the system's default sound input is opened while the
// recorder is shown, its live level can be read, and a take is written as AAC in a
// QuickTime file at the private temporary folder's "Record/temp<N>.mov" (N = the number of
// entries in that folder when the take starts).
//
// The sound callback only copies the captured PCM into a lock-free ring and updates the
// level; a worker encodes the take; the finished take is handed over with playFile() only
// once the file is complete.
//
// Main thread: every call and every signal.

#include <QAudioDevice>
#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <memory>
#include <optional>

class MicPhoneRecorder : public QObject {
    Q_OBJECT

public:
    // `tempFolderPath`: the private temporary folder (its "Record" folder holds the takes).
    // Chooses the default input and opens it (startRunning).
    explicit MicPhoneRecorder(const QString& tempFolderPath, QObject* parent = nullptr);
    // Ends a running take (it is still finished and handed over) and closes the input.
    ~MicPhoneRecorder() override;

    // The index of the system's default input in audioDevices(); -1 when there is none.
    [[nodiscard]] int chkHasMic();
    // The sound inputs, read on first use.
    [[nodiscard]] QList<QAudioDevice> audioDevices();
    void refreshDevices();
    [[nodiscard]] std::optional<QAudioDevice> selectedAudioDevice() const;
    // Closes the current input and opens `device` (nothing: no input); a device that cannot
    // be opened is reported with errorOccurred() and leaves no input.
    void setSelectedAudioDevice(const std::optional<QAudioDevice>& device);
    [[nodiscard]] bool hasRecordingDevice() const;

    [[nodiscard]] bool isRecording() const;
    // Starts (the input is opened if needed) or stops a take; the same state again does nothing.
    void setRecording(bool recording);

    // Opens the input (levels come back) / closes it (no capture stream stays open).
    void startRunning();
    void stopSession();
    [[nodiscard]] bool isRunning() const;

    // 20 × 10^(0.05 × mean) of the channels' average power in dB over the last 0.1 s:
    // 20 at 0 dB, 2 at −20 dB; 0.0 while the input is closed.
    [[nodiscard]] double getAudioLevels() const;
    // The recorded length of the running (or last) take, "HH:MM:SS.ff".
    [[nodiscard]] QString getLength() const;

Q_SIGNALS:
    // A take is complete: {"FilePath": file QUrl, "LetPlay": false}.
    void playFile(const QVariantMap& take);
    // A device or a take failed: the message and the detail for an alert.
    void errorOccurred(const QString& message, const QString& detail);

private:
    struct Impl;
    std::unique_ptr<Impl> d;
};
