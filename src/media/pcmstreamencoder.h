#pragma once
// A live stream of PCM into an AAC track of a QuickTime (.mov) file, for sound whose
// length is not known when the file is started (a microphone take).
//
// The file is written under a temporary name beside the path and renamed into place by
// finish(); an encoder destroyed or abandoned before that leaves nothing behind.
//
// Threads: one thread at a time drives an encoder; framesWritten() may be read from any.

#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

class PcmStreamEncoder {
public:
    PcmStreamEncoder();
    ~PcmStreamEncoder();
    PcmStreamEncoder(const PcmStreamEncoder&) = delete;
    PcmStreamEncoder& operator=(const PcmStreamEncoder&) = delete;

    // Starts the file for interleaved signed 16-bit samples at `sampleRate` Hz in
    // `channels` channels. False (with error() saying why) when it cannot be started.
    bool open(const std::string& path, int sampleRate, int channels, int bitRate = 128000);
    // Encodes `frames` frames of interleaved samples.
    bool write(const int16_t* samples, int frames);
    // Encodes what is left, completes the file and renames it into place.
    bool finish();
    // Removes the partial file.
    void abandon();

    [[nodiscard]] int64_t framesWritten() const { return m_frames.load(std::memory_order_relaxed); }
    [[nodiscard]] const std::string& error() const { return m_error; }

private:
    struct Impl;
    std::unique_ptr<Impl> d;
    std::atomic<int64_t> m_frames { 0 };
    std::string m_error;
};
