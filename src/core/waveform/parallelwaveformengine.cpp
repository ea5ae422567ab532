#include "core/waveform/parallelwaveformengine.h"

#include "core/environment/editingstate.h"
#include "core/waveform/slicepeaks.h"
#include "media/segmentdecoder.h"

#include <QFile>

#include <algorithm>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <thread>

namespace {

// The first stretch a part other than the first delivers, in points, doubling with every
// delivery up to the longest: few hand-overs, yet the picture fills in steadily.
constexpr size_t kFirstStretch = 400;
constexpr size_t kLongestStretch = 6000;
// A part shorter than this costs more in opening and pre-roll than it saves.
constexpr double kDefaultMinimumPartSeconds = 8.0;

struct Stretch {
    int64_t firstSlice = 0;
    std::vector<SlicePeak> peaks;
};

} // namespace

// What the parts hand to the calling thread.
struct ParallelWaveformEngine::Run {
    std::mutex mutex;
    std::condition_variable changed;
    std::deque<Stretch> delivered;
    int running = 0;
};

ParallelWaveformEngine::ParallelWaveformEngine(int threads, double minimumPartSeconds)
    : m_threads(threads > 0 ? threads : defaultThreads())
    , m_minimumPartSeconds(minimumPartSeconds > 0.0 ? minimumPartSeconds : kDefaultMinimumPartSeconds)
{
}

int ParallelWaveformEngine::defaultThreads()
{
    return static_cast<int>(std::max(1u, std::thread::hardware_concurrency()));
}

void ParallelWaveformEngine::setStopGetData()
{
    m_stop.store(true, std::memory_order_relaxed);
    m_single.setStopGetData();
}

std::optional<SampleBlock> ParallelWaveformEngine::fallBack(const QString& path, float viewHeight, float rulerHeight)
{
    m_partsDecoded = 0;
    return m_single.getWaveformPointsFromFile(path, viewHeight, rulerHeight);
}

std::optional<SampleBlock> ParallelWaveformEngine::getWaveformPointsFromFile(
    const QString& path, float viewHeight, float rulerHeight, const ProgressSink& progress, int64_t firstScreenPoints)
{
    if (stopRequested())
        return std::nullopt;
    std::unique_ptr<AudioSplitDecoder> decoder = AudioSplitDecoder::open(QFile::encodeName(path).toStdString());
    if (!decoder || decoder->sampleRate() < EditingState::pointCountPerSecond)
        return fallBack(path, viewHeight, rulerHeight); // it says what is wrong
    const int rate = decoder->sampleRate();
    const int channels = decoder->channels();
    const double duration = decoder->duration();
    int count = 1;
    if (decoder->splittable()) {
        const auto longest = static_cast<int>(std::clamp(duration / m_minimumPartSeconds, 1.0, 1024.0));
        count = std::min(m_threads, longest);
    }
    if (!m_single.prepare(16, rate, viewHeight - rulerHeight))
        return fallBack(path, viewHeight, rulerHeight);
    const int64_t expectedPoints = duration > 0.0 && duration < 24 * 3600.0
        ? static_cast<int64_t>(duration * EditingState::pointCountPerSecond) + 1
        : 0;

    Run run;
    run.running = count;
    std::vector<SlicePeaks> reduced(count, SlicePeaks(rate, channels));
    std::vector<AudioPart> parts(count);
    const bool reporting = static_cast<bool>(progress);
    const auto decodePart = [&](int index) {
        SlicePeaks& peaks = reduced[index];
        size_t sent = 0;
        size_t stretch = index == 0 && firstScreenPoints > 0 ? static_cast<size_t>(firstScreenPoints) : kFirstStretch;
        const auto send = [&](size_t upTo) {
            if (upTo <= sent)
                return;
            Stretch s { peaks.firstSlice() + static_cast<int64_t>(sent),
                std::vector<SlicePeak>(peaks.peaks().begin() + static_cast<ptrdiff_t>(sent),
                    peaks.peaks().begin() + static_cast<ptrdiff_t>(upTo)) };
            sent = upTo;
            const std::lock_guard lock(run.mutex);
            run.delivered.push_back(std::move(s));
            run.changed.notify_one();
        };
        parts[index] = decoder->decodePart(
            index, count,
            [&](const int16_t* data, int frames, int64_t position) {
                peaks.add(data, frames, position);
                if (reporting && peaks.settled() >= sent + stretch) {
                    send(peaks.settled());
                    stretch = std::min(stretch * 2, std::max(kLongestStretch, stretch));
                }
            },
            m_stop);
        if (reporting && parts[index].status == AudioPart::Status::Done)
            send(peaks.peaks().size());
        const std::lock_guard lock(run.mutex);
        --run.running;
        run.changed.notify_one();
    };
    const auto deliver = [&](const Stretch& s) {
        if (stopRequested())
            return;
        WaveformProgress step { s.firstSlice, {}, expectedPoints };
        step.heights.reserve(s.peaks.size());
        for (const SlicePeak& p : s.peaks)
            step.heights.push_back(
                m_single.dy() * static_cast<float>(m_single.canReachPeakValue() + (p.size >= 0 ? p.peak : 0)));
        progress(step);
    };
    {
        std::vector<std::jthread> threads;
        threads.reserve(static_cast<size_t>(count));
        for (int i = 0; i < count; ++i)
            threads.emplace_back(decodePart, i);
        // Hand the finished stretches to the sink here, on the caller's thread: the file's
        // start first (what a view shows first), the others as they come.
        std::deque<Stretch> held;
        bool startSent = false;
        for (;;) {
            std::deque<Stretch> ready;
            bool finished = false;
            {
                std::unique_lock lock(run.mutex);
                run.changed.wait(lock, [&run] { return !run.delivered.empty() || run.running == 0; });
                ready.swap(run.delivered);
                finished = run.running == 0;
            }
            for (Stretch& s : ready) {
                if (!startSent && s.firstSlice != 0) {
                    held.push_back(std::move(s));
                    continue;
                }
                startSent = true;
                deliver(s);
                for (const Stretch& h : held)
                    deliver(h);
                held.clear();
            }
            if (finished) {
                for (const Stretch& h : held)
                    deliver(h);
                break;
            }
        }
    }

    // The parts must follow one another without a gap or an overlap.
    int64_t end = 0;
    bool exact = true;
    for (const AudioPart& part : parts) {
        if (part.status == AudioPart::Status::Stopped || stopRequested())
            return std::nullopt;
        if (part.status == AudioPart::Status::Empty)
            continue;
        exact = exact && part.status == AudioPart::Status::Done && part.firstFrame == end;
        end = part.endFrame;
    }
    if (!exact)
        return fallBack(path, viewHeight, rulerHeight);

    std::vector<SlicePeak> all;
    all.reserve(reduced.empty() ? 0 : static_cast<size_t>(reduced.back().firstSlice()) + reduced.back().peaks().size());
    for (SlicePeaks& peaks : reduced) {
        SlicePeaks::join(all, peaks);
        peaks = SlicePeaks(rate, channels); // its memory goes now
    }
    SampleBlock block;
    block.sampleBlk().reserve(all.size());
    for (const SlicePeak& p : all) {
        if (p.size < 0)
            return fallBack(path, viewHeight, rulerHeight); // a slice without a sample: cannot happen when joined
        m_single.appendPeak(p.peak, block);
    }
    block.setCapability(static_cast<double>(block.sampleBlk().size()));
    m_partsDecoded = count;
    return block;
}
