#include "media/segmentdecoder.h"

#include "media/ffmpeg.h"
#include "media/mediainput.h"
#include "media/medialog.h"
#include "media/s16converter.h"
#include "media/utfconvert.h"

#include <cmath>
#include <deque>
#include <vector>

namespace {

// Packets decoded and dropped before a part's first one: MP3's bit reservoir reaches back
// up to 511 bytes (six frames at the lowest rates) and its overlap one more granule;
// Vorbis overlaps one packet. At least this many, and at least kPrerollSeconds of them.
constexpr size_t kPrerollPackets = 10;
constexpr double kPrerollSeconds = 0.25;
// Reading packets without decoding them costs about this share of decoding them (MP3:
// 0.16 s of 2.6 s for an hour).
constexpr double kReadShare = 0.06;

// Codecs whose decoder state after the pre-roll above is exactly the state of a decode
// from the file's start, checked sample for sample by the tests.
bool settlesAfterPreroll(AVCodecID id)
{
    if (id >= AV_CODEC_ID_FIRST_AUDIO && id < AV_CODEC_ID_ADPCM_IMA_QT)
        return true; // PCM of every kind: each packet stands alone
    switch (id) {
    case AV_CODEC_ID_MP3:
    case AV_CODEC_ID_VORBIS:
    case AV_CODEC_ID_FLAC:
    case AV_CODEC_ID_ALAC: return true;
    default: return false;
    }
}

} // namespace

// One reading of the file: its demuxer, the audio decoder and the sample conversion.
struct AudioSplitReader {
    ff::InputFormatPtr format;
    ff::CodecContextPtr codec;
    AVStream* stream = nullptr;
    ff::PacketPtr packet { av_packet_alloc() };
    ff::FramePtr frame { av_frame_alloc() };
    S16Converter converter;

    bool open(const WidePath& path)
    {
        format = mediainput::open(path, "split audio decoder");
        if (!format)
            return false;
        mediainput::AudioInput audio = mediainput::openAudio(format.get());
        stream = audio.stream;
        codec = std::move(audio.codec);
        return stream != nullptr && packet && frame;
    }

    // The next packet of the audio stream into `packet`; false at the end or on an error.
    bool readPacket()
    {
        for (;;) {
            if (av_read_frame(format.get(), packet.get()) < 0)
                return false;
            if (packet->stream_index == stream->index)
                return true;
            av_packet_unref(packet.get());
        }
    }

    // Interleaved S16 of `frame` at `rate` Hz in `channels` channels, converted the way the
    // audio decoder converts; null when that would need a conversion that carries state
    // from frame to frame (a change of rate) or fails.
    const int16_t* convert(int rate, int channels)
    {
        if (frame->sample_rate != rate
            && !(frame->format == AV_SAMPLE_FMT_S16 && frame->ch_layout.nb_channels == channels))
            return nullptr;
        return reinterpret_cast<const int16_t*>(converter.convert(frame.get(), rate, channels));
    }
};

struct AudioSplitSource {
    WidePath path;
    AudioSplitReader first; // opened by open(), its first frame decoded: part 0 goes on from it
    bool firstPending = false;
    int rate = 0;
    int channels = 0;
    double duration = 0.0;
    bool splittable = false;
    int64_t origin = 0; // timestamp of sample 0
    int64_t start = 0; // the stream's first timestamp ...
    int64_t span = 0; // ... and its length, in the stream's time base

    explicit AudioSplitSource(const WidePath& p)
        : path(p)
    {
    }

    [[nodiscard]] int64_t boundary(int index, int count) const
    {
        if (index <= 0)
            return INT64_MIN;
        if (index >= count)
            return INT64_MAX;
        // Part i also reads, without decoding, everything before it: later parts are made
        // shorter so that every part costs the same. With r the cost of reading a stretch
        // relative to decoding it, part i starts at (1 - (1 - r)^i) / (1 - (1 - r)^n).
        const double rest = 1.0 - kReadShare;
        const double fraction = (1.0 - std::pow(rest, index)) / (1.0 - std::pow(rest, count));
        return start + static_cast<int64_t>(std::floor(fraction * static_cast<double>(span)));
    }
    [[nodiscard]] int64_t prerollTicks() const
    {
        return av_rescale_q(llround(kPrerollSeconds * 1000.0), AVRational { 1, 1000 }, first.stream->time_base);
    }
};

namespace {

// Feeds packets to a reader's decoder and hands out the frames of one part.
class PartRun {
public:
    PartRun(const AudioSplitSource& source, AudioSplitReader& reader, int64_t from, int64_t to,
        const AudioSplitDecoder::Sink& sink, const std::atomic<bool>& stop)
        : m_source(source)
        , m_reader(reader)
        , m_from(from)
        , m_to(to)
        , m_sink(sink)
        , m_stop(stop)
    {
    }

    // Takes the frame in the reader's `frame`. False when the part is complete or must end.
    bool takeFrame()
    {
        AVFrame* frame = m_reader.frame.get();
        const int64_t pts = frame->best_effort_timestamp;
        if (m_from != INT64_MIN && pts == AV_NOPTS_VALUE)
            return fail(AudioPart::Status::Inexact);
        if (pts != AV_NOPTS_VALUE && pts >= m_to)
            return fail(AudioPart::Status::Done);
        if (m_from != INT64_MIN && pts < m_from)
            return true; // pre-roll
        if (!m_started) {
            m_started = true;
            m_position = m_from == INT64_MIN ? 0
                                             : av_rescale_q(pts - m_source.origin, m_source.first.stream->time_base,
                                                 AVRational { 1, m_source.rate });
            m_result.firstFrame = m_position;
        }
        const int16_t* data = m_reader.convert(m_source.rate, m_source.channels);
        if (data == nullptr)
            return fail(AudioPart::Status::Inexact);
        m_sink(data, frame->nb_samples, m_position);
        m_position += frame->nb_samples;
        return true;
    }

    // Sends `packet` (null: drain) and takes every frame it gives. False when the part ends.
    bool feed(const AVPacket* packet)
    {
        if (m_stop.load(std::memory_order_relaxed))
            return fail(AudioPart::Status::Stopped);
        if (packet != nullptr) {
            // Parts are cut by timestamp: they must rise from packet to packet.
            if (packet->pts == AV_NOPTS_VALUE || packet->pts <= m_lastPts)
                return fail(AudioPart::Status::Inexact);
            m_lastPts = packet->pts;
        }
        m_counts = packet == nullptr || m_from == INT64_MIN || packet->pts >= m_from;
        const int err = avcodec_send_packet(m_reader.codec.get(), packet);
        if (err < 0 && err != AVERROR_EOF && m_counts)
            return fail(AudioPart::Status::Inexact); // a damaged packet: the whole-file decode knows what to do
        return receive();
    }

    // Takes the frames the decoder holds. False when the part ends.
    bool receive()
    {
        for (;;) {
            const int err = avcodec_receive_frame(m_reader.codec.get(), m_reader.frame.get());
            if (err == AVERROR(EAGAIN))
                return true;
            if (err == AVERROR_EOF)
                return finish();
            if (err < 0) {
                if (m_counts)
                    return fail(AudioPart::Status::Inexact);
                continue;
            }
            if (!takeFrame())
                return false;
        }
    }

    bool finish() { return fail(AudioPart::Status::Done); }

    AudioPart result()
    {
        if (!m_ended)
            m_result.status = AudioPart::Status::Done;
        if (m_result.status == AudioPart::Status::Done && !m_started)
            m_result.status = AudioPart::Status::Empty;
        m_result.endFrame = m_started ? m_position : m_result.firstFrame;
        return m_result;
    }

private:
    bool fail(AudioPart::Status status)
    {
        m_ended = true;
        m_result.status = status;
        return false;
    }

    const AudioSplitSource& m_source;
    AudioSplitReader& m_reader;
    int64_t m_from;
    int64_t m_to;
    const AudioSplitDecoder::Sink& m_sink;
    const std::atomic<bool>& m_stop;
    AudioPart m_result;
    int64_t m_position = 0;
    int64_t m_lastPts = INT64_MIN;
    bool m_counts = true; // errors of the packet being decoded matter (it is not pre-roll)
    bool m_started = false;
    bool m_ended = false;
};

} // namespace

AudioSplitDecoder::AudioSplitDecoder(std::unique_ptr<AudioSplitSource> source)
    : m_source(std::move(source))
{
}

AudioSplitDecoder::~AudioSplitDecoder() = default;

std::unique_ptr<AudioSplitDecoder> AudioSplitDecoder::open(const std::string& path)
{
    auto source = std::make_unique<AudioSplitSource>(WidePath(path));
    AudioSplitReader& reader = source->first;
    if (!reader.open(source->path))
        return nullptr;
    // The first frame fixes the format (as for the audio decoder) and sample 0's timestamp.
    int err = 0;
    while ((err = avcodec_receive_frame(reader.codec.get(), reader.frame.get())) != 0) {
        if (err == AVERROR_EOF)
            return nullptr;
        if (!reader.readPacket()) {
            avcodec_send_packet(reader.codec.get(), nullptr);
            continue;
        }
        avcodec_send_packet(reader.codec.get(), reader.packet.get());
        av_packet_unref(reader.packet.get());
    }
    source->firstPending = true;
    const AVStream* stream = reader.stream;
    source->rate = reader.frame->sample_rate > 0 ? reader.frame->sample_rate : reader.codec->sample_rate;
    source->channels = reader.frame->ch_layout.nb_channels > 0 ? reader.frame->ch_layout.nb_channels
                                                               : reader.codec->ch_layout.nb_channels;
    source->duration = mediainput::streamDuration(reader.format.get(), stream);
    source->origin = reader.frame->best_effort_timestamp != AV_NOPTS_VALUE ? reader.frame->best_effort_timestamp
                                                                           : mediainput::startTimestamp(stream);
    source->start = mediainput::startTimestamp(stream);
    source->span = stream->duration != AV_NOPTS_VALUE && stream->duration > 0
        ? stream->duration
        : av_rescale_q(llround(source->duration * 1000.0), AVRational { 1, 1000 }, stream->time_base);
    source->splittable = settlesAfterPreroll(stream->codecpar->codec_id) && source->span > 0
        && reader.frame->best_effort_timestamp != AV_NOPTS_VALUE;
    return std::unique_ptr<AudioSplitDecoder>(new AudioSplitDecoder(std::move(source)));
}

int AudioSplitDecoder::sampleRate() const
{
    return m_source->rate;
}

int AudioSplitDecoder::channels() const
{
    return m_source->channels;
}

double AudioSplitDecoder::duration() const
{
    return m_source->duration;
}

bool AudioSplitDecoder::splittable() const
{
    return m_source->splittable;
}

AudioPart AudioSplitDecoder::decodePart(int index, int count, const Sink& sink, const std::atomic<bool>& stop)
{
    AudioSplitSource& source = *m_source;
    if (count > 1 && !source.splittable)
        return AudioPart { AudioPart::Status::Inexact };
    const int64_t from = source.boundary(index, count);
    const int64_t to = source.boundary(index + 1, count);

    if (index == 0) {
        // Goes on from the frame open() decoded, as a whole-file decode does.
        AudioSplitReader& reader = source.first;
        if (!source.firstPending)
            return AudioPart { AudioPart::Status::Failed };
        source.firstPending = false;
        PartRun run(source, reader, from, to, sink, stop);
        if (!run.takeFrame() || !run.receive())
            return run.result();
        for (;;) {
            if (!reader.readPacket()) {
                run.feed(nullptr);
                return run.result();
            }
            const bool more = run.feed(reader.packet.get());
            av_packet_unref(reader.packet.get());
            if (!more)
                return run.result();
        }
    }

    AudioSplitReader reader;
    if (!reader.open(source.path))
        return AudioPart { AudioPart::Status::Failed };
    // Read up to the part's first packet, keeping the pre-roll before it.
    std::deque<ff::PacketPtr> preroll;
    const int64_t prerollTicks = source.prerollTicks();
    int64_t last = INT64_MIN;
    for (;;) {
        if (stop.load(std::memory_order_relaxed))
            return AudioPart { AudioPart::Status::Stopped };
        if (!reader.readPacket())
            return AudioPart { AudioPart::Status::Empty };
        const int64_t pts = reader.packet->pts;
        if (pts == AV_NOPTS_VALUE || pts <= last)
            return AudioPart { AudioPart::Status::Inexact }; // no order to cut by
        last = pts;
        if (pts >= from)
            break;
        preroll.emplace_back(av_packet_alloc());
        av_packet_move_ref(preroll.back().get(), reader.packet.get());
        while (preroll.size() > kPrerollPackets && pts - preroll[1]->pts >= prerollTicks)
            preroll.pop_front();
    }
    if (last >= to)
        return AudioPart { AudioPart::Status::Empty };
    PartRun run(source, reader, from, to, sink, stop);
    for (const ff::PacketPtr& packet : preroll) {
        if (!run.feed(packet.get()))
            return run.result();
    }
    preroll.clear();
    for (;;) {
        const bool more = run.feed(reader.packet.get());
        av_packet_unref(reader.packet.get());
        if (!more)
            return run.result();
        if (!reader.readPacket()) {
            run.feed(nullptr);
            return run.result();
        }
    }
}
