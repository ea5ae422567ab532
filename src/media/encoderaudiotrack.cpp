#include "media/encoderaudiotrack.h"

#include "media/encoderpackets.h"
#include "media/medialog.h"

#include <algorithm>
#include <cstdlib>
#include <string>

namespace encoding {

namespace {

constexpr int kMinRate = 8000;
constexpr int kMaxRate = 48000;
constexpr int kMaxBitRate = 320000;
constexpr int kDefaultBitRate = 128000;

int nearestRate(const AVCodec* codec, int wanted)
{
    if (codec->supported_samplerates == nullptr)
        return wanted;
    int best = codec->supported_samplerates[0];
    for (const int* r = codec->supported_samplerates; *r != 0; ++r) {
        if (*r <= kMaxRate && std::abs(*r - wanted) < std::abs(best - wanted))
            best = *r;
    }
    return best;
}

} // namespace

void normalise(AudioParam& p, const VyAudioInfo& source, const AVCodec* codec)
{
    auto note = [](const std::string& what) { medialog::info("encoder: " + what); };
    if (p.nChannels <= 0)
        p.nChannels = source.channels;
    if (p.nChannels > 2) {
        note("mixing " + std::to_string(p.nChannels) + " channels down to stereo");
        p.nChannels = 2;
    }
    if (p.nSampleRate <= 0)
        p.nSampleRate = source.sampleRate;
    const int rate = nearestRate(codec, std::clamp(p.nSampleRate, kMinRate, kMaxRate));
    if (rate != p.nSampleRate) {
        note("resampling to " + std::to_string(rate) + " Hz instead of " + std::to_string(p.nSampleRate));
        p.nSampleRate = rate;
    }
    if (codec->id == AV_CODEC_ID_PCM_S16LE)
        return;
    if (p.nBitrate <= 0 || p.nBitrate > kMaxBitRate) {
        const int bitRate = p.nBitrate <= 0 ? kDefaultBitRate : kMaxBitRate;
        note("bit rate " + std::to_string(bitRate) + " instead of " + std::to_string(p.nBitrate));
        p.nBitrate = bitRate;
    }
}

AudioTrack::~AudioTrack()
{
    if (m_converted != nullptr)
        av_freep(&m_converted[0]);
    av_freep(&m_converted);
}

double AudioTrack::queuedSeconds() const
{
    return static_cast<double>(m_queued) / m_codec->sample_rate;
}

bool AudioTrack::open(
    AVFormatContext* output, const AudioParam& param, const VyAudioInfo& source, AVCodecID id, double length)
{
    const AVCodec* codec = avcodec_find_encoder(id);
    if (codec == nullptr) {
        medialog::error(std::string("encoder: no encoder for ") + avcodec_get_name(id));
        return false;
    }
    AudioParam p = param;
    normalise(p, source, codec);
    m_codec.reset(avcodec_alloc_context3(codec));
    av_channel_layout_default(&m_codec->ch_layout, p.nChannels);
    m_codec->sample_rate = p.nSampleRate;
    m_codec->sample_fmt = codec->sample_fmts != nullptr ? codec->sample_fmts[0] : AV_SAMPLE_FMT_S16;
    m_codec->bit_rate = id == AV_CODEC_ID_PCM_S16LE ? 0 : p.nBitrate;
    m_codec->time_base = AVRational { 1, p.nSampleRate };
    if (output->oformat->flags & AVFMT_GLOBALHEADER)
        m_codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (int err = avcodec_open2(m_codec.get(), codec, nullptr); err < 0) {
        medialog::error("encoder: cannot open the audio encoder: " + ff::errorString(err));
        return false;
    }
    if (m_codec->frame_size > 0)
        m_frameSize = m_codec->frame_size;
    m_stream = avformat_new_stream(output, nullptr);
    if (m_stream == nullptr || avcodec_parameters_from_context(m_stream->codecpar, m_codec.get()) < 0)
        return false;
    m_stream->time_base = m_codec->time_base;

    AVChannelLayout inLayout;
    av_channel_layout_default(&inLayout, source.channels);
    SwrContext* raw = nullptr;
    if (swr_alloc_set_opts2(&raw, &m_codec->ch_layout, m_codec->sample_fmt, m_codec->sample_rate, &inLayout,
            AV_SAMPLE_FMT_S16, source.sampleRate, 0, nullptr)
            < 0
        || swr_init(raw) < 0) {
        swr_free(&raw);
        return false;
    }
    m_swr.reset(raw);
    m_fifo.reset(av_audio_fifo_alloc(m_codec->sample_fmt, p.nChannels, m_frameSize * 4));
    m_target = llround(length * p.nSampleRate);
    return m_fifo != nullptr && m_frame != nullptr && m_packet != nullptr;
}

bool AudioTrack::queue(uint8_t** data, int count)
{
    const int64_t room = m_target - m_queued;
    const int take = static_cast<int>(std::min<int64_t>(count, room));
    if (take > 0) {
        if (av_audio_fifo_write(m_fifo.get(), reinterpret_cast<void**>(data), take) < take)
            return false;
        m_queued += take;
    }
    if (m_queued >= m_target)
        m_inputDone = true; // the part is complete: the rest of the source is not needed
    return true;
}

bool AudioTrack::push(const MEDIA_FRAME* frame)
{
    if (m_inputDone)
        return true;
    const int inCount = frame != nullptr ? frame->audio.dataSize / (frame->audio.channels * 2) : 0;
    const int capacity = swr_get_out_samples(m_swr.get(), inCount) + 32;
    if (capacity > m_convertedCapacity) {
        if (m_converted != nullptr)
            av_freep(&m_converted[0]);
        av_freep(&m_converted);
        if (av_samples_alloc_array_and_samples(
                &m_converted, nullptr, m_codec->ch_layout.nb_channels, capacity, m_codec->sample_fmt, 0)
            < 0)
            return false;
        m_convertedCapacity = capacity;
    }
    const uint8_t* in[1] = { frame != nullptr ? frame->audio.data : nullptr };
    const int converted = swr_convert(m_swr.get(), m_converted, capacity, frame != nullptr ? in : nullptr, inCount);
    if (converted < 0 || !queue(m_converted, converted))
        return false;
    if (frame == nullptr)
        m_inputDone = true; // the source ended before the part did
    return true;
}

bool AudioTrack::encode(AVFormatContext* output, const AVFrame* frame)
{
    return encodeInto(output, m_stream, m_codec.get(), m_packet.get(), frame);
}

bool AudioTrack::drain(AVFormatContext* output, bool final)
{
    while (av_audio_fifo_size(m_fifo.get()) >= m_frameSize || (final && av_audio_fifo_size(m_fifo.get()) > 0)) {
        const int count = std::min(m_frameSize, av_audio_fifo_size(m_fifo.get()));
        av_frame_unref(m_frame.get());
        m_frame->nb_samples = count;
        m_frame->format = m_codec->sample_fmt;
        m_frame->sample_rate = m_codec->sample_rate;
        if (av_channel_layout_copy(&m_frame->ch_layout, &m_codec->ch_layout) < 0
            || av_frame_get_buffer(m_frame.get(), 0) < 0
            || av_audio_fifo_read(m_fifo.get(), reinterpret_cast<void**>(m_frame->data), count) < count)
            return false;
        m_frame->pts = m_written;
        m_written += count;
        if (!encode(output, m_frame.get()))
            return false;
    }
    return !final || encode(output, nullptr);
}

} // namespace encoding
