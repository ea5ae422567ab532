#include "audio/takewriter.h"

#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstring>

namespace {

// The capture stream delivers about every 50 ms: polling at 10 ms keeps the ring short
// without a wake-up from the sound callback (which may not lock).
constexpr auto kPoll = std::chrono::milliseconds(10);
constexpr size_t kChunkBytes = 64 * 1024;

} // namespace

TakeWriter::~TakeWriter()
{
    if (m_thread.joinable()) {
        m_thread.request_stop();
        m_thread.join();
    }
}

bool TakeWriter::open(const std::string& path, int sampleRate, int channels, bool isFloat)
{
    m_sampleRate = sampleRate;
    m_channels = channels;
    m_float = isFloat;
    m_bytes.assign(kChunkBytes, 0);
    m_samples.assign(kChunkBytes / 2, 0);
    return m_encoder.open(path, sampleRate, channels);
}

void TakeWriter::start(SpscRing::Reader& ring, std::function<void()> onEnded)
{
    m_onEnded = std::move(onEnded);
    m_thread = std::jthread([this, &ring](const std::stop_token& stop) { run(stop, ring); });
}

void TakeWriter::abandon()
{
    m_abandon.store(true, std::memory_order_relaxed);
    m_thread.request_stop();
}

void TakeWriter::wait()
{
    if (m_thread.joinable())
        m_thread.join();
}

bool TakeWriter::encodeBuffered()
{
    const size_t frameBytes = static_cast<size_t>(m_channels) * (m_float ? 4 : 2);
    const size_t frames = m_buffered / frameBytes;
    if (frames == 0)
        return true;
    const size_t samples = frames * static_cast<size_t>(m_channels);
    const int16_t* pcm = m_samples.data();
    if (m_float) {
        for (size_t i = 0; i < samples; ++i) {
            float v;
            std::memcpy(&v, m_bytes.data() + i * 4, 4);
            m_samples[i] = static_cast<int16_t>(std::lround(std::clamp(v, -1.0f, 1.0f) * 32767.0f));
        }
    } else {
        std::memcpy(m_samples.data(), m_bytes.data(), samples * 2);
    }
    const bool ok = m_encoder.write(pcm, static_cast<int>(frames));
    const size_t used = frames * frameBytes;
    std::memmove(m_bytes.data(), m_bytes.data() + used, m_buffered - used);
    m_buffered -= used;
    return ok;
}

void TakeWriter::run(const std::stop_token& stop, SpscRing::Reader& ring)
{
    bool ok = true;
    while (ok && !m_abandon.load(std::memory_order_relaxed)) {
        // Read the stop request before draining: what was captured before it is in the
        // ring by then, and the last pass takes it.
        const bool last = stop.stop_requested();
        size_t n = 0;
        while (ok && (n = ring.read(m_bytes.data() + m_buffered, m_bytes.size() - m_buffered)) > 0) {
            m_buffered += n;
            ok = encodeBuffered();
        }
        if (last)
            break;
        std::this_thread::sleep_for(kPoll);
    }
    Outcome outcome = Outcome::Abandoned;
    if (!m_abandon.load(std::memory_order_relaxed)) {
        ok = ok && m_encoder.finish();
        outcome = ok ? Outcome::Complete : Outcome::Failed;
    }
    if (outcome != Outcome::Complete)
        m_encoder.abandon();
    m_outcome.store(outcome, std::memory_order_release);
    if (m_onEnded)
        m_onEnded();
}
