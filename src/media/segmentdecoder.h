#pragma once
// A file's audio decoded in parts side by side, each part giving exactly the samples a
// decode of the whole file from its start gives there (what the audio decoder delivers:
// interleaved signed 16-bit PCM at the first frame's rate and channel count).
//
// The parts are cut at packet boundaries by timestamp: part i of n holds the packets whose
// timestamps lie between its boundary and the next one; the boundaries are spread so that
// the parts cost about the same, later ones being shorter (see below). Every part reads the
// packets from the file's start (reading without decoding is cheap) so that each sees the
// packets, timestamps and side data exactly as a whole-file read does; part 0 decodes
// from the start, any other from a pre-roll of the packets before its first one, whose
// samples are dropped. Only codecs whose state after such a pre-roll is exactly the
// state a decode from the start has are split (see splittable()); MP3's bit reservoir
// and overlap, Vorbis's overlap, and the frame-by-frame codecs (PCM, FLAC, ALAC) are.
// AAC is not: its noise substitution draws from a generator that runs through the whole
// stream, and Opus carries filter state without end.
//
// A part's first sample position comes from its first frame's timestamp; the caller
// checks that every part starts where the one before it ended (AudioPart::endFrame),
// which also catches packets that gave a different number of samples than their
// timestamps say (a damaged file). Any mismatch means: decode the whole file instead.
//
// Threads: open() on any thread; decodePart() for different parts at the same time from
// different threads; one part on one thread.

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

struct AudioSplitSource;

struct AudioPart {
    enum class Status {
        Done, // every frame of the part delivered
        Empty, // no packet lies in the part
        Stopped, // the stop flag was seen
        Inexact, // the samples might differ from a whole-file decode: decode it whole
        Failed, // the file could not be read
    };
    Status status = Status::Failed;
    int64_t firstFrame = 0; // position of the part's first sample frame
    int64_t endFrame = 0; // position after its last
};

class AudioSplitDecoder {
public:
    // `data` holds `frames` interleaved sample frames starting at frame `position` of the
    // whole-file timeline.
    using Sink = std::function<void(const int16_t* data, int frames, int64_t position)>;

    // None when the file has no decodable audio.
    [[nodiscard]] static std::unique_ptr<AudioSplitDecoder> open(const std::string& path);
    ~AudioSplitDecoder();
    AudioSplitDecoder(const AudioSplitDecoder&) = delete;
    AudioSplitDecoder& operator=(const AudioSplitDecoder&) = delete;

    [[nodiscard]] int sampleRate() const;
    [[nodiscard]] int channels() const;
    [[nodiscard]] double duration() const; // seconds, 0 when unknown
    // True when the codec settles exactly after a pre-roll and the timestamps allow cuts.
    [[nodiscard]] bool splittable() const;

    // Decodes part `index` of `count` and hands its samples to `sink` in order. The first
    // part (index 0) also serves a file that is not splittable (with a count of 1). `stop` is polled
    // after every packet.
    AudioPart decodePart(int index, int count, const Sink& sink, const std::atomic<bool>& stop);

private:
    explicit AudioSplitDecoder(std::unique_ptr<AudioSplitSource> source);
    std::unique_ptr<AudioSplitSource> m_source;
};
