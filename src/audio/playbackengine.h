#pragma once
// The player behind PlayerLib's calls. See playerlib.h for the thread contract.

#include "audio/playerlib.h"
#include "audio/ringdevice.h"
#include "audio/spscring.h"

#include <QElapsedTimer>
#include <QThread>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class QAudioSink;
class QTimer;

struct PlayerImpl {
    static PlayerImpl* create();
    ~PlayerImpl();
    PlayerImpl(const PlayerImpl&) = delete;
    PlayerImpl& operator=(const PlayerImpl&) = delete;

    void setSources(VideoProcessor video, AudioProcessor audio, VideoDecoder rawVideo, AudioDecoder rawAudio);
    void setCallback(PlayerCallback callback, void* user);
    int play();
    int pause();
    int resume();
    int stop();
    int seek(double seconds);
    void setRange(double start, double end);
    void setRestGap(double seconds);
    void setRestAfterEnd(bool rest);
    void setVolume(int percent) { m_volume.store(std::clamp(percent, 0, 200), std::memory_order_relaxed); }
    [[nodiscard]] int state() const { return m_state.load(std::memory_order_acquire); }
    [[nodiscard]] double playedTime() const;
    [[nodiscard]] double length() const;
    [[nodiscard]] PlayerFrameRelay* frameRelay() { return &m_relay; }
    [[nodiscard]] int underruns() const { return m_device.underruns.load(std::memory_order_relaxed); }

private:
    PlayerImpl();
    void runOnEngine(const std::function<void()>& work);

    // On the engine thread.
    void startSegment(double from, double to, bool notify);
    // The piece has been handed to the device: playing ends, the stream rests on silence.
    void finishSegment();
    void stopPlaying(bool atEnd);
    void stopWorkers();
    void tick();
    bool ensureSink();
    void report(uint32_t state);

    // On the decode thread (and the engine thread while priming, before it starts).
    bool decodeOne();
    bool feedPending();
    void decodeLoop();
    // On the video thread.
    void videoLoop(double to);

    static constexpr double kRingSeconds = 0.5;
    static constexpr double kPrimeSeconds = 0.12;
    // How long a finished stream rests on silence, ready to go on at once, before the
    // sound output is given up.
    static constexpr int kRestMs = 15000;

    QThread m_engineThread;
    QObject* m_host = nullptr; // lives on the engine thread
    QAudioSink* m_sink = nullptr; // engine thread only
    QTimer* m_tick = nullptr; // engine thread only
    bool m_resting = false; // engine thread only: the sink runs on silence
    QElapsedTimer m_restingFor; // engine thread only
    // Engine thread only, in microseconds of the stream since the sink started: where this
    // piece's first sample and the last piece's end lie in it.
    int64_t m_processedBaseUs = 0;
    int64_t m_pieceEndUs = 0;
    SpscRing m_ring; // reset on the engine thread only while neither side runs
    SpscRing::Writer m_ringWriter; // the decode side's, see below
    RingDevice m_device; // holds the ring's reader
    PlayerFrameRelay m_relay;

    std::mutex m_operations; // one VP call at a time
    std::mutex m_handoff; // see runOnEngine
    mutable std::mutex m_mutex; // the fields below up to the atomics
    AudioProcessor m_audio = nullptr;
    VideoProcessor m_video = nullptr;
    AudioProcessor m_ownAudio = nullptr; // wrappers the player made over raw decoders
    VideoProcessor m_ownVideo = nullptr;
    int m_rate = 0;
    int m_channels = 0;
    double m_base = 0.0; // where the current segment started
    double m_segmentEnd = -1.0; // where it stops; -1: the end of the file
    double m_position = 0.0; // the position while stopped
    double m_rangeStart = -1.0;
    double m_rangeEnd = -1.0;
    double m_restGap = 0.0; // silence before the next piece on a resting stream
    bool m_restAfterEnd = false; // a piece that ends leaves the stream resting on silence
    PlayerCallback m_callback = nullptr;
    void* m_callbackUser = nullptr;

    std::atomic<int> m_state { 0 };
    std::atomic<int> m_volume { 100 };
    std::atomic<int64_t> m_processedUs { 0 }; // the sink's clock for this segment
    std::atomic<int64_t> m_writtenBytes { 0 }; // bytes of this segment put into the ring
    int m_loggedUnderruns = 0; // engine thread only

    // Decode side: touched by one thread at a time (engine while priming, then decoder).
    std::vector<char> m_pending;
    size_t m_pendingOffset = 0;
    std::thread m_decoder;
    std::thread m_videoThread;
    std::atomic<bool> m_stopWorkers { false };
    std::mutex m_wakeMutex;
    std::condition_variable m_wake;
};
