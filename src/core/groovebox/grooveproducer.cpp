#include "core/groovebox/grooveproducer.h"

#include "core/environment/logging.h"
#include "core/groovebox/gbpatternfile.h"
#include "core/groovebox/midiloader.h"

#include <QFile>
#include <QMetaObject>
#include <QProcess>

#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>
#include <variant>

namespace {

constexpr int kGbUtilTimeoutMs = 30000;

struct ProduceJob {
    int number;
    GBPattern pattern;
};
struct RenderJob {
    int number;
    QString wavPath;
};
struct CleanJob { };
using Job = std::variant<ProduceJob, RenderJob, CleanJob>;

// Runs GBUtil on the pattern file; the reason when it fails.
std::optional<QString> runGbUtil(const GrooveProducer::Places& places)
{
    QProcess process;
    process.setProcessChannelMode(QProcess::MergedChannels);
    process.start(places.gbUtil, { places.patternFile, places.midiFile });
    if (!process.waitForStarted())
        return QStringLiteral("cannot start %1: %2").arg(places.gbUtil, process.errorString());
    if (!process.waitForFinished(kGbUtilTimeoutMs)) {
        process.kill();
        process.waitForFinished();
        return QStringLiteral("%1 did not finish").arg(places.gbUtil);
    }
    if (process.exitStatus() != QProcess::NormalExit || process.exitCode() != 0)
        return QString::fromLocal8Bit(process.readAll()).trimmed();
    return std::nullopt;
}

} // namespace

struct GrooveProducer::Worker {
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<Job> queue; // guarded by mutex
    bool running = false; // guarded by mutex
    bool stopping = false; // guarded by mutex
    int lastNumber = 0; // main thread only
    std::jthread thread;
};

GrooveProducer::GrooveProducer(Places places, QObject* parent)
    : QObject(parent)
    , m_places(std::move(places))
    , d(std::make_unique<Worker>())
{
    d->thread = std::jthread([this] {
        for (;;) {
            Job job;
            {
                std::unique_lock lock(d->mutex);
                d->wake.wait(lock, [this] { return d->stopping || !d->queue.empty(); });
                if (d->stopping)
                    return;
                job = std::move(d->queue.front());
                d->queue.pop_front();
                d->running = true;
            }
            if (auto* produce = std::get_if<ProduceJob>(&job)) {
                QString why;
                bool ok = GBPatternFile::writePatternFile(produce->pattern, m_places.patternFile, &why);
                if (ok) {
                    QFile::remove(m_places.midiFile); // GBUtil writes it anew, or nothing is there
                    const std::optional<QString> failed = runGbUtil(m_places);
                    ok = !failed;
                    why = failed.value_or(QString());
                }
                if (ok) {
                    const MidiRenderResult result
                        = midiLoader(m_places.midiFile, m_places.soundFont, m_places.previewWav);
                    ok = result.ok;
                    why = result.error;
                }
                if (!ok)
                    qCWarning(lcMedia).noquote() << "The Groove Box pattern was not turned into sound:" << why;
                QMetaObject::invokeMethod(
                    this, [this, n = produce->number, ok, why] { Q_EMIT produced(n, ok, why); }, Qt::QueuedConnection);
            } else if (auto* render = std::get_if<RenderJob>(&job)) {
                const MidiRenderResult result = QFile::exists(m_places.midiFile)
                    ? midiLoader(m_places.midiFile, m_places.soundFont, render->wavPath)
                    : MidiRenderResult { false, QStringLiteral("no pattern has been turned into sound"), 0.0 };
                QMetaObject::invokeMethod(
                    this,
                    [this, n = render->number, ok = result.ok, why = result.error, path = render->wavPath] {
                        Q_EMIT rendered(n, ok, why, path);
                    },
                    Qt::QueuedConnection);
            } else {
                for (const QString& path : { m_places.patternFile, m_places.midiFile, m_places.previewWav })
                    QFile::remove(path);
            }
            const std::lock_guard lock(d->mutex);
            d->running = false;
        }
    });
}

GrooveProducer::~GrooveProducer()
{
    {
        const std::lock_guard lock(d->mutex);
        d->queue.clear();
        d->stopping = true;
    }
    d->wake.notify_one();
    d->thread.join();
}

int GrooveProducer::produce(const GBPattern& pattern)
{
    const int number = ++d->lastNumber;
    const std::lock_guard lock(d->mutex);
    // Only the newest pattern is worth producing.
    std::erase_if(d->queue, [](const Job& job) { return std::holds_alternative<ProduceJob>(job); });
    d->queue.push_back(ProduceJob { number, pattern });
    d->wake.notify_one();
    return number;
}

int GrooveProducer::renderTo(const QString& wavPath)
{
    const int number = ++d->lastNumber;
    const std::lock_guard lock(d->mutex);
    d->queue.push_back(RenderJob { number, wavPath });
    d->wake.notify_one();
    return number;
}

void GrooveProducer::cleanTmpFile()
{
    const std::lock_guard lock(d->mutex);
    std::erase_if(d->queue, [](const Job& job) { return std::holds_alternative<ProduceJob>(job); });
    d->queue.push_back(CleanJob {});
    d->wake.notify_one();
}

bool GrooveProducer::busy() const
{
    const std::lock_guard lock(d->mutex);
    return d->running || !d->queue.empty();
}
