#include "audio/micphonerecorder.h"

#include "audio/capturedevice.h"
#include "audio/spscring.h"
#include "audio/takewriter.h"
#include "core/environment/logging.h"

#include <QAudioFormat>
#include <QAudioSource>
#include <QDir>
#include <QFileInfo>
#include <QMediaDevices>
#include <QTimer>
#include <QUrl>

#include <algorithm>
#include <cmath>

namespace {

// Four seconds of 48 kHz stereo float: far more than the worker ever lets pile up.
constexpr size_t kRingBytes = 48000 * 2 * 4 * 4;
constexpr double kSilenceDb = -160.0;
constexpr int kPresenceCheckMs = 500;

// The device's own format brought to what we record: 16-bit or float, mono or stereo,
// 44.1 or 48 kHz.
QAudioFormat captureFormat(const QAudioDevice& device)
{
    QAudioFormat format = device.preferredFormat();
    if (format.sampleFormat() != QAudioFormat::Float)
        format.setSampleFormat(QAudioFormat::Int16);
    format.setChannelCount(std::clamp(format.channelCount(), 1, 2));
    if (format.sampleRate() != 44100 && format.sampleRate() != 48000) {
        const bool has48 = device.minimumSampleRate() <= 48000 && device.maximumSampleRate() >= 48000;
        format.setSampleRate(has48 ? 48000 : 44100);
    }
    if (!device.isFormatSupported(format)) {
        format.setSampleFormat(QAudioFormat::Int16);
        format.setChannelCount(2);
    }
    return format;
}

QString lengthText(int64_t frames, int rate)
{
    const int64_t hundredths = rate > 0 ? frames * 100 / rate : 0;
    const int64_t seconds = hundredths / 100;
    return QStringLiteral("%1:%2:%3.%4")
        .arg(seconds / 3600, 2, 10, QLatin1Char('0'))
        .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
        .arg(seconds % 60, 2, 10, QLatin1Char('0'))
        .arg(hundredths % 100, 2, 10, QLatin1Char('0'));
}

} // namespace

struct MicPhoneRecorder::Impl {
    MicPhoneRecorder* q = nullptr;
    QString tempFolder;
    std::optional<QList<QAudioDevice>> devices;
    std::optional<QAudioDevice> selected;

    SpscRing ring { kRingBytes };
    // The main thread's, except while a take's worker holds it (start to join).
    SpscRing::Reader reader = ring.reader();
    std::unique_ptr<CaptureDevice> capture;
    std::unique_ptr<QAudioSource> source;
    QAudioFormat format;

    QMediaDevices watcher; // tells when inputs come and go
    // Not every backend says when an input goes (the stream may be moved silently to
    // another): while the input is open its presence is checked too.
    QTimer presence;
    std::unique_ptr<TakeWriter> take; // the running or last take
    QString takePath;
    bool recording = false;
    bool takeHandedOver = true; // the last take's outcome has been dealt with

    [[nodiscard]] QString nextTakePath() const;
    // `fromItsSignal`: called while the source emits, so it is deleted once that returns.
    void closeInput(bool fromItsSignal = false);
    void finishTake();
    // Ends a running take without a file: its input is gone.
    void failTake(const QString& detail);
};

QString MicPhoneRecorder::Impl::nextTakePath() const
{
    const QString folder = tempFolder + QStringLiteral("/Record");
    QDir().mkpath(folder);
    qsizetype n = QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot).size();
    QString path = folder + QStringLiteral("/temp%1.mov").arg(n);
    while (QFileInfo::exists(path)) {
        qCInfo(lcMedia).noquote()
            << QStringLiteral("Must change file due to error %1").arg(path + QStringLiteral(" exists"));
        path = folder + QStringLiteral("/temp%1.mov").arg(++n);
    }
    return path;
}

void MicPhoneRecorder::Impl::closeInput(bool fromItsSignal)
{
    if (!source) {
        capture.reset();
        return;
    }
    presence.stop();
    QObject::disconnect(source.get(), nullptr, nullptr, nullptr);
    source->stop();
    if (fromItsSignal) {
        // The stopped source writes no more; its device goes with it, after it.
        capture.release()->setParent(source.get());
        source.release()->deleteLater();
        return;
    }
    source.reset();
    capture.reset();
}

// Joins the last take's worker and hands its file over (or reports its failure), once.
void MicPhoneRecorder::Impl::finishTake()
{
    if (!take || takeHandedOver)
        return;
    if (recording) { // the worker gave up on its own (encoder or disk)
        recording = false;
        capture->capturing.store(false, std::memory_order_release);
        take->stop();
    }
    take->wait();
    takeHandedOver = true;
    const int64_t dropped = capture ? capture->dropped.load(std::memory_order_relaxed) : 0;
    if (dropped > 0)
        qCWarning(lcMedia) << "the take lost" << dropped << "bytes: the encoder fell behind";
    switch (take->outcome()) {
    case TakeWriter::Outcome::Complete: {
        qCInfo(lcMedia).noquote() << QStringLiteral("Recorded:\n%1 Bytes\n%2 Duration")
                                         .arg(QFileInfo(takePath).size())
                                         .arg(lengthText(take->frames(), take->sampleRate()));
        Q_EMIT q->playFile(QVariantMap {
            { QStringLiteral("FilePath"), QUrl::fromLocalFile(takePath) },
            { QStringLiteral("LetPlay"), false },
        });
        break;
    }
    case TakeWriter::Outcome::Failed: {
        const QString detail = QString::fromStdString(take->error());
        qCInfo(lcMedia).noquote()
            << QStringLiteral("Will finish recording to %1 due to error %2").arg(takePath, detail);
        Q_EMIT q->errorOccurred(MicPhoneRecorder::tr("The recording could not be saved."), detail);
        break;
    }
    case TakeWriter::Outcome::Abandoned:
    case TakeWriter::Outcome::Running: break;
    }
}

void MicPhoneRecorder::Impl::failTake(const QString& detail)
{
    if (!recording)
        return;
    qCInfo(lcMedia).noquote() << QStringLiteral("Will finish recording to %1 due to error %2").arg(takePath, detail);
    recording = false;
    capture->capturing.store(false, std::memory_order_release);
    take->abandon();
    finishTake();
}

MicPhoneRecorder::MicPhoneRecorder(const QString& tempFolderPath, QObject* parent)
    : QObject(parent)
    , d(std::make_unique<Impl>())
{
    d->q = this;
    d->tempFolder = tempFolderPath;
    connect(&d->watcher, &QMediaDevices::audioInputsChanged, this, &MicPhoneRecorder::refreshDevices);
    d->presence.setInterval(kPresenceCheckMs);
    connect(&d->presence, &QTimer::timeout, this, [this] {
        const QList<QAudioDevice> inputs = QMediaDevices::audioInputs();
        if (d->selected && !inputs.contains(*d->selected))
            refreshDevices();
    });
    refreshDevices();
    const QAudioDevice preferred = QMediaDevices::defaultAudioInput();
    if (!preferred.isNull())
        d->selected = preferred;
    else if (!d->devices->isEmpty())
        d->selected = d->devices->first();
    startRunning();
}

MicPhoneRecorder::~MicPhoneRecorder()
{
    setRecording(false);
    d->finishTake();
    d->closeInput();
}

int MicPhoneRecorder::chkHasMic()
{
    const QAudioDevice preferred = QMediaDevices::defaultAudioInput();
    if (preferred.isNull())
        return -1;
    const QList<QAudioDevice> inputs = audioDevices();
    const auto at = std::find_if(
        inputs.begin(), inputs.end(), [&](const QAudioDevice& device) { return device.id() == preferred.id(); });
    return at == inputs.end() ? -1 : static_cast<int>(at - inputs.begin());
}

QList<QAudioDevice> MicPhoneRecorder::audioDevices()
{
    if (!d->devices)
        refreshDevices();
    return *d->devices;
}

void MicPhoneRecorder::refreshDevices()
{
    d->devices = QMediaDevices::audioInputs();
    if (d->selected && std::none_of(d->devices->begin(), d->devices->end(), [&](const QAudioDevice& device) {
            return device.id() == d->selected->id();
        })) {
        // The server may move the stream elsewhere: a take must not go on unheard-of input.
        const QString detail = d->selected->description() + QStringLiteral(" was removed");
        const bool hadTake = d->recording;
        d->failTake(detail);
        setSelectedAudioDevice(std::nullopt);
        if (hadTake)
            Q_EMIT errorOccurred(tr("The recording device stopped."), detail);
    }
}

std::optional<QAudioDevice> MicPhoneRecorder::selectedAudioDevice() const
{
    return d->selected;
}

void MicPhoneRecorder::setSelectedAudioDevice(const std::optional<QAudioDevice>& device)
{
    setRecording(false); // a take belongs to its device
    d->closeInput();
    d->selected = device;
    if (device)
        startRunning();
}

bool MicPhoneRecorder::hasRecordingDevice() const
{
    return d->source != nullptr;
}

bool MicPhoneRecorder::isRecording() const
{
    return d->recording;
}

void MicPhoneRecorder::startRunning()
{
    if (d->source || !d->selected)
        return;
    const QAudioDevice device = *d->selected;
    d->format = captureFormat(device);
    d->capture = std::make_unique<CaptureDevice>(d->ring.writer(), d->format.sampleFormat() == QAudioFormat::Float,
        d->format.channelCount(), d->format.sampleRate());
    d->capture->open(QIODevice::WriteOnly);
    d->source = std::make_unique<QAudioSource>(device, d->format);
    d->source->start(d->capture.get());
    if (d->source->error() != QAudio::NoError || d->source->state() == QAudio::StoppedState) {
        const QString detail = QStringLiteral("%1 (error %2)").arg(device.description()).arg(d->source->error());
        d->closeInput();
        qCWarning(lcMedia).noquote() << "cannot open the sound input" << detail;
        Q_EMIT errorOccurred(tr("The recording device cannot be opened."), detail);
        return;
    }
    connect(d->source.get(), &QAudioSource::stateChanged, this, [this](QAudio::State state) {
        if (state != QAudio::StoppedState || !d->source || d->source->error() == QAudio::NoError)
            return;
        // The device went away (or the sound server did) under a running stream.
        const QString detail = QStringLiteral("%1 (error %2)")
                                   .arg(d->selected ? d->selected->description() : QString())
                                   .arg(d->source->error());
        d->failTake(detail);
        d->closeInput(true);
        Q_EMIT errorOccurred(tr("The recording device stopped."), detail);
    });
    d->presence.start();
}

void MicPhoneRecorder::stopSession()
{
    setRecording(false);
    d->closeInput();
}

bool MicPhoneRecorder::isRunning() const
{
    return d->source && d->source->state() != QAudio::StoppedState;
}

void MicPhoneRecorder::setRecording(bool recording)
{
    if (recording == d->recording)
        return;
    if (!recording) {
        d->recording = false;
        d->capture->capturing.store(false, std::memory_order_release);
        d->take->stop(); // the worker completes the file and calls finishTake back
        return;
    }
    d->finishTake(); // the last take is handed over before the next one starts
    startRunning();
    if (!d->source) {
        Q_EMIT errorOccurred(tr("No recording device."), tr("Connect a microphone and try again."));
        return;
    }
    const QString path = d->nextTakePath();
    qCInfo(lcMedia).noquote() << QStringLiteral("Will start recording to %1").arg(path);
    auto take = std::make_unique<TakeWriter>();
    if (!take->open(QFile::encodeName(path).toStdString(), d->format.sampleRate(), d->format.channelCount(),
            d->format.sampleFormat() == QAudioFormat::Float)) {
        const QString detail = QString::fromStdString(take->error());
        qCInfo(lcMedia).noquote() << QStringLiteral("Will finish recording to %1 due to error %2").arg(path, detail);
        Q_EMIT errorOccurred(tr("The recording cannot be started."), detail);
        return;
    }
    // Whatever the ring still holds was captured between takes.
    char stale[4096];
    while (d->reader.read(stale, sizeof stale) > 0) { }
    d->capture->dropped.store(0, std::memory_order_relaxed);
    d->take = std::move(take);
    d->takePath = path;
    d->takeHandedOver = false;
    d->recording = true;
    d->capture->capturing.store(true, std::memory_order_release);
    d->take->start(d->reader, [this] {
        QMetaObject::invokeMethod(
            this, [this] { d->finishTake(); }, Qt::QueuedConnection);
    });
    qCInfo(lcMedia).noquote() << QStringLiteral("Did start recording to %1").arg(path);
}

double MicPhoneRecorder::getAudioLevels() const
{
    if (!d->capture || !isRunning())
        return 0.0;
    double sumDb = 0.0;
    const int channels = d->capture->channels();
    for (int c = 0; c < channels; ++c) {
        const double power = d->capture->meanSquare(c);
        sumDb += power > 0.0 ? std::max(kSilenceDb, 10.0 * std::log10(power)) : kSilenceDb;
    }
    return 20.0 * std::pow(10.0, 0.05 * (sumDb / channels));
}

QString MicPhoneRecorder::getLength() const
{
    return d->take ? lengthText(d->take->frames(), d->take->sampleRate()) : lengthText(0, 0);
}
