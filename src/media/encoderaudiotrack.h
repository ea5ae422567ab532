#pragma once
// One audio stream of an encoder's output: converts the source's PCM to the codec's
// format, cuts it into codec frames, encodes and writes them, and counts samples so
// the stream holds exactly the length asked for.

#include "media/encoderlib.h"
#include "media/ffmpeg.h"

#include <memory>

namespace encoding {

struct FifoDeleter {
    void operator()(AVAudioFifo* f) const { av_audio_fifo_free(f); }
};

class AudioTrack {
public:
    AudioTrack() = default;
    ~AudioTrack();
    AudioTrack(const AudioTrack&) = delete;
    AudioTrack& operator=(const AudioTrack&) = delete;

    // Adds the stream to `output` for `length` seconds of `source` in the format of
    // `param`, brought to what the codec and a phone can take.
    bool open(AVFormatContext* output, const AudioParam& param, const VyAudioInfo& source, AVCodecID id, double length);
    // Takes one source frame; null says the source has ended.
    bool push(const MEDIA_FRAME* frame);
    // Encodes the whole codec frames queued; `final` also the rest, then flushes.
    bool drain(AVFormatContext* output, bool final);

    [[nodiscard]] bool inputDone() const { return m_inputDone; }
    [[nodiscard]] double queuedSeconds() const;

private:
    bool queue(uint8_t** data, int count);
    bool encode(AVFormatContext* output, const AVFrame* frame);

    ff::CodecContextPtr m_codec;
    AVStream* m_stream = nullptr;
    ff::SwrPtr m_swr;
    std::unique_ptr<AVAudioFifo, FifoDeleter> m_fifo;
    ff::FramePtr m_frame { av_frame_alloc() };
    ff::PacketPtr m_packet { av_packet_alloc() };
    uint8_t** m_converted = nullptr;
    int m_convertedCapacity = 0;
    int m_frameSize = 1024;
    int64_t m_target = 0; // samples the stream must hold
    int64_t m_queued = 0; // samples put into the fifo so far
    int64_t m_written = 0; // samples handed to the codec
    bool m_inputDone = false;
};

// Brings `p` to values the codec and a phone can take, filling zeros from `source`;
// logs each change.
void normalise(AudioParam& p, const VyAudioInfo& source, const AVCodec* codec);

} // namespace encoding
