// The audio half of DecoderLib: interleaved 16-bit PCM, sample-accurate seeks.

#include "media/decoderlib.h"
#include "media/ffmpeg.h"
#include "media/mediainput.h"
#include "media/medialog.h"
#include "media/utfconvert.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Decoding restarts this far before a seek target, so that codecs which carry state
// from frame to frame (MP3's bit reservoir, AAC's overlap) deliver clean samples at it.
constexpr double kSeekPrerollSeconds = 0.2;
// Consecutive packets a decoder may refuse before the rest of the file counts as unreadable.
constexpr int kMaxConsecutiveErrors = 64;

} // namespace

struct AudioDecoderImpl {
    ff::InputFormatPtr format;
    ff::CodecContextPtr codec;
    AVStream* stream = nullptr;
    ff::PacketPtr packet {av_packet_alloc()};
    ff::FramePtr frame {av_frame_alloc()};
    ff::SwrPtr swr;              // null when the codec already gives interleaved S16
    AVSampleFormat swrFormat = AV_SAMPLE_FMT_NONE;
    std::vector<uint8_t> buffer; // converted samples of the frame handed out last
    VyAudioInfo info;
    MEDIA_FRAME out {};

    int64_t nextSample = 0;   // timeline position of the next decoded sample
    int64_t discardUntil = 0; // samples before this are dropped (set by a seek)
    bool rebase = false;      // take nextSample from the next frame's timestamp
    bool demuxerDone = false;
    bool pending = false;     // `frame` holds a decoded frame not yet handed out

    bool decodeFrame();
    bool convertFrame();
    const MEDIA_FRAME* next();
};

bool AudioDecoderImpl::decodeFrame()
{
    int errors = 0;
    for (;;) {
        int err = avcodec_receive_frame(codec.get(), frame.get());
        if (err == 0)
            return true;
        if (err == AVERROR_EOF)
            return false;
        if (err != AVERROR(EAGAIN)) {
            if (++errors > kMaxConsecutiveErrors)
                return false;
        }
        if (demuxerDone)
            return false;
        err = av_read_frame(format.get(), packet.get());
        if (err < 0) {
            demuxerDone = true;
            avcodec_send_packet(codec.get(), nullptr); // drain what the decoder holds
            continue;
        }
        if (packet->stream_index == stream->index) {
            err = avcodec_send_packet(codec.get(), packet.get());
            if (err < 0 && err != AVERROR(EAGAIN) && ++errors > kMaxConsecutiveErrors) {
                av_packet_unref(packet.get());
                medialog::info("audio decoder: giving up after repeated errors: " + ff::errorString(err));
                return false;
            }
            if (err == 0)
                errors = 0;
        }
        av_packet_unref(packet.get());
    }
}

// Turns `frame` into interleaved S16 in `out`, dropping samples before discardUntil.
// False when the whole frame lies before it.
bool AudioDecoderImpl::convertFrame()
{
    const int rate = info.sampleRate;
    if (rebase) {
        const int64_t pts = frame->best_effort_timestamp;
        if (pts != AV_NOPTS_VALUE)
            nextSample = av_rescale_q(pts - mediainput::startTimestamp(stream), stream->time_base, AVRational {1, rate});
        else
            nextSample = discardUntil;
        rebase = false;
    }
    const int64_t frameStart = nextSample;
    const int count = frame->nb_samples;
    nextSample += count;
    const int skip = static_cast<int>(std::clamp<int64_t>(discardUntil - frameStart, 0, count));
    if (skip == count)
        return false;

    const int channels = info.channels;
    const int keep = count - skip;
    const int bytesPerFrame = channels * 2;
    uint8_t* data = nullptr;
    const auto format = static_cast<AVSampleFormat>(frame->format);
    if (format == AV_SAMPLE_FMT_S16 && frame->ch_layout.nb_channels == channels) {
        data = frame->data[0] + static_cast<ptrdiff_t>(skip) * bytesPerFrame; // already what we deliver
    } else {
        if (!swr || swrFormat != format) {
            SwrContext* raw = nullptr;
            AVChannelLayout outLayout;
            av_channel_layout_default(&outLayout, channels);
            if (swr_alloc_set_opts2(&raw, &outLayout, AV_SAMPLE_FMT_S16, rate, &frame->ch_layout, format,
                                    frame->sample_rate, 0, nullptr) < 0
                || swr_init(raw) < 0) {
                swr_free(&raw);
                medialog::warning("audio decoder: cannot convert the sample format");
                return false;
            }
            swr.reset(raw);
            swrFormat = format;
        }
        buffer.resize(static_cast<size_t>(count) * bytesPerFrame);
        uint8_t* outPlanes[1] = {buffer.data()};
        const int converted = swr_convert(swr.get(), outPlanes, count, const_cast<const uint8_t**>(frame->extended_data),
                                          count);
        if (converted < count)
            return false;
        data = buffer.data() + static_cast<ptrdiff_t>(skip) * bytesPerFrame;
    }

    out.kind = kMediaFrameAudio;
    out.audio.sampleRate = rate;
    out.audio.channels = channels;
    out.audio.bitsPerSample = 16;
    out.audio.data = data;
    out.audio.dataSize = keep * bytesPerFrame;
    out.audio.sampleCount = keep;
    out.timestampUs = av_rescale(frameStart + skip, AV_TIME_BASE, rate);
    out.durationUs = av_rescale(keep, AV_TIME_BASE, rate);
    out.flags = 0;
    return true;
}

const MEDIA_FRAME* AudioDecoderImpl::next()
{
    for (;;) {
        if (!pending && !decodeFrame())
            return nullptr;
        pending = false;
        if (convertFrame())
            return &out;
    }
}

AudioDecoder ADecCreate(const WidePath& path, int, int, int)
{
    auto d = std::make_unique<AudioDecoderImpl>();
    d->format = mediainput::open(path, "audio decoder");
    if (!d->format)
        return nullptr;
    const int index = mediainput::findStream(d->format.get(), AVMEDIA_TYPE_AUDIO);
    if (index < 0)
        return nullptr;
    d->stream = d->format->streams[index];
    d->codec = mediainput::openDecoder(d->stream, 1);
    if (!d->codec || d->codec->sample_rate <= 0 || d->codec->ch_layout.nb_channels <= 0) {
        medialog::info("audio decoder: no decoder for the audio of \"" + path.toUtf8() + "\"");
        return nullptr;
    }
    // Only the audio stream is read: skip the demuxing work for the others.
    for (unsigned i = 0; i < d->format->nb_streams; ++i) {
        if (static_cast<int>(i) != index)
            d->format->streams[i]->discard = AVDISCARD_ALL;
    }
    const AVCodecParameters* par = d->stream->codecpar;
    d->info.sampleRate = d->codec->sample_rate;
    d->info.channels = d->codec->ch_layout.nb_channels;
    d->info.bitsPerSample = 16;
    d->info.bitRate = static_cast<int32_t>(std::min<int64_t>(
        par->bit_rate > 0 ? par->bit_rate : d->format->bit_rate, INT32_MAX));
    d->info.duration = mediainput::streamDuration(d->format.get(), d->stream);
    d->info.codecId = static_cast<uint32_t>(par->codec_id);

    // A file whose audio does not decode at all has no decodable audio: find out now.
    if (!d->packet || !d->frame || !d->decodeFrame()) {
        medialog::info("audio decoder: the audio of \"" + path.toUtf8() + "\" does not decode");
        return nullptr;
    }
    // Streams whose format changes mid-way are delivered in the format they start with.
    d->info.sampleRate = d->frame->sample_rate > 0 ? d->frame->sample_rate : d->info.sampleRate;
    d->info.channels = d->frame->ch_layout.nb_channels > 0 ? d->frame->ch_layout.nb_channels : d->info.channels;
    d->pending = true;
    return d.release();
}

void ADecDestroy(AudioDecoder decoder)
{
    delete decoder;
}

const VyAudioInfo* ADecGetAudioInfo(AudioDecoder decoder)
{
    return decoder != nullptr ? &decoder->info : nullptr;
}

const MEDIA_FRAME* ADecGetNextAudioFrame(AudioDecoder decoder)
{
    return decoder != nullptr ? decoder->next() : nullptr;
}

double ADecAudioSeek(AudioDecoder d, double seconds)
{
    if (d == nullptr)
        return 0.0;
    seconds = std::max(0.0, seconds);
    const int64_t target = llround(seconds * d->info.sampleRate);
    const AVRational tb = d->stream->time_base;
    const int64_t start = mediainput::startTimestamp(d->stream);
    const double preroll = seconds > 0.0 ? kSeekPrerollSeconds : 0.0;
    const int64_t seekTs = start + av_rescale_q(std::max<int64_t>(0, target - llround(preroll * d->info.sampleRate)),
                                                AVRational {1, d->info.sampleRate}, tb);
    int err = avformat_seek_file(d->format.get(), d->stream->index, INT64_MIN, seekTs, seekTs, 0);
    if (err < 0)
        err = av_seek_frame(d->format.get(), d->stream->index, seekTs, AVSEEK_FLAG_BACKWARD);
    if (err < 0) {
        medialog::info("audio decoder: seek failed: " + ff::errorString(err));
        return 0.0;
    }
    avcodec_flush_buffers(d->codec.get());
    d->pending = false;
    d->demuxerDone = false;
    d->rebase = true;
    d->discardUntil = target;
    return static_cast<double>(target) / d->info.sampleRate;
}
