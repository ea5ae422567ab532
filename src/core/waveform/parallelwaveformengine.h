#pragma once
// The waveform points of a file computed on all cores: the same points, bit for bit, as
// WaveformDataEngine's one-thread pass (see there for the point rule).
//
// The file's audio is cut into one part per thread at packet boundaries (AudioSplitDecoder);
// each thread decodes its part and reduces it to per-slice peaks at their place on the
// timeline; the parts are joined in order and only then turned into points, in one
// sequential pass, because a point skipped at mid-height shifts the x of every later one.
// When the parts do not join exactly (a codec that does not settle after a pre-roll, a
// damaged file) the one-thread engine does the whole file instead.
//
// While the parts are decoded, finished stretches of points are handed to a progress sink
// so that a view can draw them at once: part 0 first delivers the points of the first
// screen (firstScreenPoints), then ever longer stretches; the other parts deliver theirs
// as they finish them, so the picture fills in with gaps.
//
// Threads: one engine serves one load at a time, on the caller's thread, which also runs
// the progress sink; the parts run on threads of their own, which the call joins before it
// returns. setStopGetData() may be called from any thread; every part polls it after each
// packet, and a stopped call delivers nothing more.

#include "core/waveform/sampleblock.h"
#include "core/waveform/waveformdataengine.h"

#include <QString>

#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

struct WaveformProgress {
    int64_t firstPoint = 0; // the first point's index, counting from the file's start
    std::vector<float> heights; // y of that point and the ones after it
    int64_t expectedPoints = 0; // the whole file's, from its stated duration; 0 when unknown
};

class ParallelWaveformEngine {
public:
    using ProgressSink = std::function<void(const WaveformProgress&)>;

    // Up to `threads` parts side by side (0: one per core), none shorter than
    // `minimumPartSeconds` (0: a length where splitting pays).
    explicit ParallelWaveformEngine(int threads = 0, double minimumPartSeconds = 0.0);

    // As WaveformDataEngine::getWaveformPointsFromFile, reporting progress to `progress`
    // (when set) on the calling thread.
    [[nodiscard]] std::optional<SampleBlock> getWaveformPointsFromFile(const QString& path, float viewHeight,
        float rulerHeight, const ProgressSink& progress = {}, int64_t firstScreenPoints = 0);

    void setStopGetData();
    [[nodiscard]] bool stopRequested() const { return m_stop.load(std::memory_order_relaxed); }

    // Parts the last call decoded side by side; 0 when the one-thread engine did the work.
    [[nodiscard]] int partsDecoded() const { return m_partsDecoded; }
    [[nodiscard]] static int defaultThreads();

private:
    struct Run;
    std::optional<SampleBlock> fallBack(const QString& path, float viewHeight, float rulerHeight);

    int m_threads;
    double m_minimumPartSeconds;
    int m_partsDecoded = 0;
    std::atomic<bool> m_stop { false };
    WaveformDataEngine m_single; // the point conversion, and the engine for files that do not split
};
