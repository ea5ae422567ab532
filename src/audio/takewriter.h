#pragma once
// A take's worker: drains the recorder's ring into the stream encoder until it is told
// to stop, then completes the file (or, when abandoned, removes it).
//
// The ring's reader is the worker's from start() until the thread has been joined (by
// wait() or the destructor); `onEnded` runs on the worker thread as its last act.

#include "audio/spscring.h"
#include "media/pcmstreamencoder.h"

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <thread>

class TakeWriter {
public:
    enum class Outcome { Running, Complete, Failed, Abandoned };

    TakeWriter() = default;
    ~TakeWriter();
    TakeWriter(const TakeWriter&) = delete;
    TakeWriter& operator=(const TakeWriter&) = delete;

    // Creates the file; false (see error()) when it cannot be.
    bool open(const std::string& path, int sampleRate, int channels, bool isFloat);
    void start(SpscRing::Reader& ring, std::function<void()> onEnded);
    // Drains what is left, then completes the file.
    void stop() { m_thread.request_stop(); }
    // Stops and removes the file.
    void abandon();
    // Joins the worker; the outcome and error are final afterwards.
    void wait();

    [[nodiscard]] Outcome outcome() const { return m_outcome.load(std::memory_order_acquire); }
    [[nodiscard]] const std::string& error() const { return m_encoder.error(); }
    [[nodiscard]] int64_t frames() const { return m_encoder.framesWritten(); }
    [[nodiscard]] int sampleRate() const { return m_sampleRate; }

private:
    void run(const std::stop_token& stop, SpscRing::Reader& ring);
    // Encodes the whole frames in m_bytes; false on an encoder error.
    bool encodeBuffered();

    PcmStreamEncoder m_encoder;
    int m_sampleRate = 0;
    int m_channels = 0;
    bool m_float = false;
    std::vector<char> m_bytes;
    size_t m_buffered = 0;
    std::vector<int16_t> m_samples;
    std::function<void()> m_onEnded;
    std::atomic<bool> m_abandon { false };
    std::atomic<Outcome> m_outcome { Outcome::Running };
    std::jthread m_thread;
};
