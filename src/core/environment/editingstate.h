#pragma once
// The process-wide editing state shared by the editor, the waveform view and the
// main window, and GloableVar, which resets it.
//
// Threads: the waveform worker writes the point count, the scales and the point
// array while the main thread reads them, so those are atomics or published under a
// lock. `_tempFolderPath` is written only at start-up before any worker exists (a
// thread start is the happens-before edge) and read anywhere; `_sourceFileName` is
// main-thread only.

#include <QString>

#include <atomic>
#include <memory>
#include <mutex>
#include <vector>

struct WaveformPoint {
    float x = 0.0f;
    float y = 0.0f;
};
using WaveformPoints = std::vector<WaveformPoint>;

class EditingState {
public:
    static constexpr int pointCountPerSecond = 200; // waveform points per second of audio

    QString _tempFolderPath;
    QString _sourceFileName;
    std::atomic<float> _waveformPointsCount { 0.0f };
    std::atomic<double> _pointClearance { 0.0 }; // view units between two adjacent points
    std::atomic<double> _moveDx { 0.0 }; // view units per millisecond of audio
    std::atomic<double> movieLen { 0.0 }; // seconds, of the file accepted last

    // The waveform points of the loaded file, published whole: a reader gets either
    // the old array or the new one, never a half-written one.
    void publishPointArray(std::shared_ptr<const WaveformPoints> points);
    [[nodiscard]] std::shared_ptr<const WaveformPoints> _cgPointArray() const;

private:
    mutable std::mutex m_pointsMutex;
    std::shared_ptr<const WaveformPoints> m_points;
};

// The one editing state of the process.
EditingState& gloableState();

class GloableVar {
public:
    // Clears the point count, the temporary folder and source file names, the scale,
    // the point array and the point clearance, in this order. Main thread, with no
    // waveform worker running.
    static void resetGloableVariable();
};
