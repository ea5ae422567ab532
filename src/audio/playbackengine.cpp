#include "audio/playbackengine.h"

#include "core/environment/logging.h"
#include "media/yuvconvert.h"

#include <QAudioDevice>
#include <QAudioFormat>
#include <QAudioSink>
#include <QCoreApplication>
#include <QMediaDevices>
#include <QMetaObject>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstring>

using namespace std::chrono_literals;

PlayerImpl* PlayerImpl::create()
{
    if (QCoreApplication::instance() == nullptr || QMediaDevices::defaultAudioOutput().isNull()) {
        qCWarning(lcApp) << "no sound output: playing is not available";
        return nullptr;
    }
    return new PlayerImpl;
}

PlayerImpl::PlayerImpl()
    : m_ring(static_cast<size_t>(192000 * 8 * kRingSeconds)) // up to 192 kHz, 8 bytes a frame
    , m_ringWriter(m_ring.writer())
    , m_device(m_ring.reader())
{
    m_engineThread.setObjectName(QStringLiteral("player engine"));
    m_engineThread.start();
    m_host = new QObject;
    m_host->moveToThread(&m_engineThread);
    m_device.moveToThread(&m_engineThread);
    runOnEngine([this] {
        m_tick = new QTimer;
        m_tick->setInterval(10);
        QObject::connect(m_tick, &QTimer::timeout, m_host, [this] { tick(); });
    });
}

PlayerImpl::~PlayerImpl()
{
    runOnEngine([this] {
        stopPlaying(false);
        delete m_sink;
        delete m_tick;
        m_device.close();
    });
    m_engineThread.quit();
    m_engineThread.wait();
    delete m_host;
    PCAudioDestroy(m_ownAudio);
    PCVideoDestroy(m_ownVideo);
}

void PlayerImpl::runOnEngine(const std::function<void()>& work)
{
    if (QThread::currentThread() == &m_engineThread) {
        work();
        return;
    }
    // Qt's blocking hand-over orders the two threads, but with locks a race detector
    // cannot see; passing through our own mutex on both sides makes the order visible.
    {
        const std::lock_guard handoff(m_handoff);
    }
    QMetaObject::invokeMethod(
        m_host,
        [this, &work] {
            {
                const std::lock_guard handoff(m_handoff);
            }
            work();
            {
                const std::lock_guard handoff(m_handoff);
            }
        },
        Qt::BlockingQueuedConnection);
    {
        const std::lock_guard handoff(m_handoff);
    }
}

void PlayerImpl::setSources(VideoProcessor video, AudioProcessor audio, VideoDecoder rawVideo, AudioDecoder rawAudio)
{
    const std::lock_guard operations(m_operations);
    runOnEngine([&] {
        stopPlaying(false);
        const std::lock_guard lock(m_mutex);
        PCAudioDestroy(m_ownAudio);
        PCVideoDestroy(m_ownVideo);
        m_ownAudio = rawAudio != nullptr ? PCAudioCreate(rawAudio, 0, 0, 0, 0) : nullptr;
        m_ownVideo = rawVideo != nullptr ? PCVideoCreate(rawVideo, 0, -1.0) : nullptr;
        m_audio = m_ownAudio != nullptr ? m_ownAudio : audio;
        m_video = m_ownVideo != nullptr ? m_ownVideo : video;
        const VyAudioInfo* info = PCAudioGetInfo(m_audio);
        m_rate = info != nullptr ? info->sampleRate : 0;
        m_channels = info != nullptr ? info->channels : 0;
        m_position = 0.0;
    });
}

void PlayerImpl::setCallback(PlayerCallback callback, void* user)
{
    const std::lock_guard lock(m_mutex);
    m_callback = callback;
    m_callbackUser = user;
}

void PlayerImpl::setRange(double start, double end)
{
    const std::lock_guard lock(m_mutex);
    m_rangeStart = start;
    m_rangeEnd = end;
}

void PlayerImpl::setRestGap(double seconds)
{
    const std::lock_guard lock(m_mutex);
    m_restGap = std::max(0.0, seconds);
}

void PlayerImpl::setRestAfterEnd(bool rest)
{
    const std::lock_guard lock(m_mutex);
    m_restAfterEnd = rest;
}

int PlayerImpl::play()
{
    const std::lock_guard operations(m_operations);
    int result = 0;
    runOnEngine([&] {
        if (state() == 1)
            return;
        if (state() == 2) {
            m_sink->resume();
            m_state.store(1, std::memory_order_release);
            return;
        }
        double from = 0.0;
        double to = -1.0;
        {
            const std::lock_guard lock(m_mutex);
            if (m_audio == nullptr) {
                result = -1;
                return;
            }
            from = m_rangeStart >= 0.0 ? m_rangeStart : m_position;
            to = m_rangeStart >= 0.0 ? m_rangeEnd : -1.0;
        }
        startSegment(from, to, true);
        result = state() == 1 ? 0 : -1;
    });
    return result;
}

int PlayerImpl::pause()
{
    const std::lock_guard operations(m_operations);
    runOnEngine([this] {
        if (state() == 1 && m_sink != nullptr) {
            m_sink->suspend();
            m_state.store(2, std::memory_order_release);
        }
    });
    return 0;
}

int PlayerImpl::resume()
{
    const std::lock_guard operations(m_operations);
    runOnEngine([this] {
        if (state() == 2 && m_sink != nullptr) {
            m_sink->resume();
            m_state.store(1, std::memory_order_release);
        }
    });
    return 0;
}

int PlayerImpl::stop()
{
    const std::lock_guard operations(m_operations);
    runOnEngine([this] { stopPlaying(false); });
    return 0;
}

int PlayerImpl::seek(double seconds)
{
    const std::lock_guard operations(m_operations);
    seconds = std::max(0.0, seconds);
    runOnEngine([&] {
        const int was = state();
        if (was == 0) {
            const std::lock_guard lock(m_mutex);
            m_position = seconds;
            return;
        }
        double to = -1.0;
        {
            const std::lock_guard lock(m_mutex);
            to = m_rangeStart >= 0.0 ? m_rangeEnd : -1.0;
        }
        startSegment(seconds, to, false);
        if (was == 2 && m_sink != nullptr) {
            m_sink->suspend();
            m_state.store(2, std::memory_order_release);
        }
    });
    return 0;
}

double PlayerImpl::playedTime() const
{
    const std::lock_guard lock(m_mutex);
    if (state() == 0)
        return m_position;
    const int64_t bytesPerSecond = static_cast<int64_t>(m_rate) * m_channels * 2;
    const int64_t writtenUs = bytesPerSecond > 0 ? m_writtenBytes.load() * 1000000 / bytesPerSecond : 0;
    const int64_t heardUs = std::min(m_processedUs.load(std::memory_order_relaxed), writtenUs);
    return m_base + static_cast<double>(heardUs) / 1e6;
}

double PlayerImpl::length() const
{
    const std::lock_guard lock(m_mutex);
    const VyAudioInfo* info = PCAudioGetInfo(m_audio);
    return info != nullptr ? info->duration : 0.0;
}

bool PlayerImpl::ensureSink()
{
    QAudioFormat format;
    format.setSampleRate(m_rate);
    format.setChannelCount(m_channels);
    format.setSampleFormat(QAudioFormat::Int16);
    // A fresh sink for every segment: a stopped sink restarted on PulseAudio can stall
    // after one period and never pull again.
    delete m_sink;
    m_sink = nullptr;
    const QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull() || m_rate <= 0 || m_channels <= 0)
        return false;
    m_sink = new QAudioSink(device, format);
    const int bytesPerSecond = m_rate * m_channels * 2;
    m_sink->setBufferSize(bytesPerSecond / 10); // 100 ms in the device's hands
    QObject::connect(m_sink, &QAudioSink::stateChanged, m_host, [this](QAudio::State s) {
        if (s == QAudio::StoppedState && m_sink->error() != QAudio::NoError && state() != 0) {
            qCWarning(lcApp) << "the sound output stopped:" << m_sink->error();
            stopPlaying(false);
        }
    });
    return true;
}

void PlayerImpl::startSegment(double from, double to, bool notify)
{
    stopWorkers();
    // A stream resting on silence goes on with the new piece: no new stream, so no
    // start-up delay. Its device reads no ring while it rests, and the ring is empty.
    const bool goOn = m_resting && state() == 0 && m_sink != nullptr && m_sink->error() == QAudio::NoError
        && m_sink->state() != QAudio::StoppedState;
    m_resting = false;
    if (!goOn) {
        if (m_sink != nullptr)
            m_sink->stop();
        if (!ensureSink()) {
            qCWarning(lcApp) << "no sound output to play on";
            return;
        }
        m_ring.reset();
        m_device.silent.store(false, std::memory_order_release);
    }
    m_device.endWritten.store(false, std::memory_order_release);
    m_pending.clear();
    m_pendingOffset = 0;
    {
        const std::lock_guard lock(m_mutex);
        PCAudioSeek(m_audio, from);
        m_base = from;
        m_segmentEnd = to;
        m_writtenBytes.store(0);
        m_processedUs.store(0);
    }
    double restGap = 0.0;
    {
        const std::lock_guard lock(m_mutex);
        std::swap(restGap, m_restGap); // for this start only
    }
    // On a resting stream the silence since the last piece is topped up to the rest gap
    // asked for, counted in samples: the pause is heard as long as it was meant to be,
    // whatever the timers between the two pieces took.
    const int64_t bytesPerFrame = static_cast<int64_t>(m_channels) * 2;
    int64_t padFrames = 0;
    const auto handedOutUs = [this, bytesPerFrame] {
        return m_device.handedOut.load(std::memory_order_relaxed) / bytesPerFrame * 1000000 / m_rate;
    };
    if (goOn && m_rate > 0) {
        // Measured where the stream stands, not where it is heard: what follows is queued
        // behind the silence already taken, and is heard that much later too.
        const int64_t silentUs = handedOutUs() - m_pieceEndUs;
        const int64_t missingUs = static_cast<int64_t>(restGap * 1e6) - silentUs;
        padFrames = std::clamp<int64_t>(
            missingUs * m_rate / 1000000, 0, static_cast<int64_t>(m_ringWriter.capacity() / 2) / bytesPerFrame);
        m_pending.assign(static_cast<size_t>(padFrames * bytesPerFrame), 0);
        m_ringWriter.write(m_pending.data(), m_pending.size());
        m_pending.clear();
    }
    // Prime the ring so the sink starts on sound, not on an empty buffer.
    const auto prime = static_cast<size_t>(m_rate * m_channels * 2 * kPrimeSeconds) + m_ringWriter.available();
    while (m_ringWriter.available() < prime && feedPending()) { }
    // The clock counts from the first byte of this piece; on a resting stream that comes
    // after what has been played so far (silence) and the top-up, and the ring is opened
    // to the device now.
    m_processedBaseUs = goOn && m_rate > 0 ? handedOutUs() + padFrames * 1000000 / m_rate : 0;
    if (goOn)
        m_device.silent.store(false, std::memory_order_release);
    m_stopWorkers.store(false, std::memory_order_release);
    m_decoder = std::thread([this] { decodeLoop(); });
    if (m_video != nullptr) {
        PCVideoSeek(m_video, from);
        m_videoThread = std::thread([this, to] { videoLoop(to); });
    }
    if (!goOn) {
        // Unbuffered: nothing is read ahead, so what the sink takes is what it plays next.
        if (!m_device.isOpen())
            m_device.open(QIODevice::ReadOnly | QIODevice::Unbuffered);
        m_device.handedOut.store(0, std::memory_order_relaxed);
        m_sink->start(&m_device);
    }
    m_state.store(1, std::memory_order_release);
    m_tick->start();
    if (notify)
        report(kPlayerPlaying);
}

void PlayerImpl::stopWorkers()
{
    m_stopWorkers.store(true, std::memory_order_release);
    m_wake.notify_all();
    if (m_decoder.joinable())
        m_decoder.join();
    if (m_videoThread.joinable())
        m_videoThread.join();
}

void PlayerImpl::finishSegment()
{
    stopWorkers();
    m_device.silent.store(true, std::memory_order_release);
    m_resting = true;
    m_restingFor.start();
    {
        const std::lock_guard lock(m_mutex);
        const int64_t bytesPerSecond = static_cast<int64_t>(m_rate) * m_channels * 2;
        m_pieceEndUs = m_processedBaseUs + (bytesPerSecond > 0 ? m_writtenBytes.load() * 1000000 / bytesPerSecond : 0);
        m_position = m_base + (bytesPerSecond > 0 ? static_cast<double>(m_writtenBytes.load()) / bytesPerSecond : 0);
    }
    m_state.store(0, std::memory_order_release);
    Q_EMIT m_relay.cleared();
    report(kPlayerStopped);
}

void PlayerImpl::stopPlaying(bool atEnd)
{
    const int was = state();
    m_resting = false;
    stopWorkers();
    if (m_sink != nullptr)
        m_sink->stop();
    if (m_tick != nullptr)
        m_tick->stop();
    m_ring.reset();
    {
        const std::lock_guard lock(m_mutex);
        if (atEnd) {
            const int64_t bytesPerSecond = static_cast<int64_t>(m_rate) * m_channels * 2;
            m_position
                = m_base + (bytesPerSecond > 0 ? static_cast<double>(m_writtenBytes.load()) / bytesPerSecond : 0);
        } else {
            m_position = 0.0;
        }
    }
    m_state.store(0, std::memory_order_release);
    Q_EMIT m_relay.cleared();
    if (was != 0)
        report(kPlayerStopped);
}

void PlayerImpl::tick()
{
    if (m_sink == nullptr)
        return;
    if (state() == 0) {
        if (m_resting && m_restingFor.hasExpired(kRestMs))
            stopPlaying(true); // nothing followed: the sound output is let go
        return;
    }
    // Below zero while a top-up of silence plays before the piece.
    m_processedUs.store(std::max<int64_t>(0, m_sink->processedUSecs() - m_processedBaseUs), std::memory_order_relaxed);
    const int underruns = m_device.underruns.load(std::memory_order_relaxed);
    if (underruns != m_loggedUnderruns) {
        qCDebug(lcApp) << "sound output underruns:" << underruns;
        m_loggedUnderruns = underruns;
    }
    if (!m_device.endWritten.load(std::memory_order_acquire) || m_ringWriter.available() > 0)
        return;
    const int64_t bytesPerSecond = static_cast<int64_t>(m_rate) * m_channels * 2;
    const int64_t writtenUs = m_writtenBytes.load() * 1000000 / bytesPerSecond;
    bool rest = false;
    {
        const std::lock_guard lock(m_mutex);
        rest = m_restAfterEnd;
    }
    if (m_processedUs.load() >= writtenUs && rest)
        finishSegment();
    else if (m_processedUs.load() >= writtenUs || m_sink->state() == QAudio::IdleState)
        stopPlaying(true);
}

void PlayerImpl::report(uint32_t playerState)
{
    PlayerCallback callback = nullptr;
    void* user = nullptr;
    {
        const std::lock_guard lock(m_mutex);
        callback = m_callback;
        user = m_callbackUser;
    }
    if (callback != nullptr)
        callback(user, kPlayerStateMessage, playerState, 0);
}

bool PlayerImpl::decodeOne()
{
    const MEDIA_FRAME* frame = PCAudioGetNextFrame(m_audio);
    if (frame == nullptr || frame->audio.dataSize <= 0)
        return false;
    const int bytesPerFrame = frame->audio.channels * 2;
    int bytes = frame->audio.dataSize;
    double to = -1.0;
    {
        const std::lock_guard lock(m_mutex);
        to = m_segmentEnd;
    }
    if (to >= 0.0) {
        const double start = frame->timestampUs / 1e6;
        if (start >= to)
            return false;
        const auto keep = static_cast<int64_t>((to - start) * frame->audio.sampleRate) * bytesPerFrame;
        bytes = static_cast<int>(std::min<int64_t>(bytes, keep));
        if (bytes <= 0)
            return false;
    }
    m_pending.assign(frame->audio.data, frame->audio.data + bytes);
    m_pendingOffset = 0;
    const int volume = m_volume.load(std::memory_order_relaxed);
    if (volume != 100) {
        auto* samples = reinterpret_cast<int16_t*>(m_pending.data());
        for (size_t i = 0; i < m_pending.size() / 2; ++i)
            samples[i] = static_cast<int16_t>(std::clamp(samples[i] * volume / 100, -32768, 32767));
    }
    return true;
}

// Moves pending samples into the ring, decoding more when none are pending. False at
// the end of the part.
bool PlayerImpl::feedPending()
{
    if (m_pendingOffset >= m_pending.size() && !decodeOne()) {
        m_device.endWritten.store(true, std::memory_order_release);
        return false;
    }
    const size_t n = m_ringWriter.write(m_pending.data() + m_pendingOffset, m_pending.size() - m_pendingOffset);
    m_pendingOffset += n;
    m_writtenBytes.fetch_add(static_cast<int64_t>(n));
    return n > 0 || m_ringWriter.space() == 0;
}

void PlayerImpl::decodeLoop()
{
    while (!m_stopWorkers.load(std::memory_order_acquire)) {
        if (m_ringWriter.space() < 4096) {
            std::unique_lock lock(m_wakeMutex);
            m_wake.wait_for(lock, 5ms, [this] { return m_stopWorkers.load(std::memory_order_acquire); });
            continue;
        }
        if (!feedPending())
            return;
    }
}

void PlayerImpl::videoLoop(double to)
{
    while (!m_stopWorkers.load(std::memory_order_acquire)) {
        const MEDIA_FRAME* frame = PCVideoGetNextFrame(m_video);
        if (frame == nullptr)
            return;
        const double at = frame->timestampUs / 1e6;
        if (to >= 0.0 && at >= to)
            return;
        const VideoImage& v = frame->video;
        QImage picture(v.width, v.height, QImage::Format_RGB32);
        if (picture.bytesPerLine() != v.width * 4
            || !Yuv420_2_rgb32(v.width, v.height, picture.bits(), v.y, v.u, v.v, v.strideY, v.strideU, v.strideV))
            continue;
        // Shown when the sound reaches it.
        while (!m_stopWorkers.load(std::memory_order_acquire) && playedTime() + 0.005 < at) {
            std::unique_lock lock(m_wakeMutex);
            m_wake.wait_for(lock, 5ms, [this] { return m_stopWorkers.load(std::memory_order_acquire); });
        }
        if (!m_stopWorkers.load(std::memory_order_acquire))
            Q_EMIT m_relay.frameReady(picture);
    }
}
