// The audio half of DecoderLib: interleaved 16-bit PCM, sample-accurate seeks.

#include "media/decoderlib.h"
#include "media/ffmpeg.h"
#include "media/mediainput.h"
#include "media/medialog.h"
#include "media/s16converter.h"
#include "media/utfconvert.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// Decoding restarts at least this far before a seek target, so that codecs which carry
// state from frame to frame (MP3's bit reservoir, AAC's overlap, Opus's prediction)
// deliver settled samples at it.
constexpr double kSeekPrerollSeconds = 0.2;
// ... and at least this many of the codec's frames before it.
constexpr int kSeekPrerollFrames = 4;
// Consecutive packets a decoder may refuse before the rest of the file counts as unreadable.
constexpr int kMaxConsecutiveErrors = 64;

} // namespace

struct AudioDecoderImpl {
    explicit AudioDecoderImpl(const WidePath& p)
        : path(p)
    {
    }

    WidePath path;
    ff::InputFormatPtr format;
    ff::CodecContextPtr codec;
    AVStream* stream = nullptr;
    ff::PacketPtr packet { av_packet_alloc() };
    ff::FramePtr frame { av_frame_alloc() };
    S16Converter converter; // holds the converted samples of the frame handed out last
    VyAudioInfo info;
    MEDIA_FRAME out {};

    // Sample 0 of our timeline is the first sample a decode from the file's start gives
    // (after the encoder's delay is skipped); `origin` is its timestamp in the stream's
    // time base.
    int64_t origin = 0;
    int64_t nextSample = 0; // timeline position of the next decoded sample
    int64_t discardUntil = 0; // samples before this are dropped (set by a seek)
    bool rebase = false; // take nextSample from the next frame's timestamp
    bool demuxerDone = false;
    bool pending = false; // `frame` holds a decoded frame not yet handed out
    bool fresh = false; // opened and nothing handed out yet: decoding starts at sample 0

    bool openInput();
    bool restartAtFileStart();
    bool decodeFrame();
    bool convertFrame();
    const MEDIA_FRAME* next();
    [[nodiscard]] int64_t prerollSamples() const;
};

// Opens the file and its audio decoder afresh and decodes the first frame, so that what
// follows is exactly a decode of the whole file from its start. The stream's encoder
// delay is skipped the way the demuxer and the codec declare it.
bool AudioDecoderImpl::openInput()
{
    codec.reset();
    converter.reset();
    format = mediainput::open(path, "audio decoder");
    if (!format)
        return false;
    mediainput::AudioInput audio = mediainput::openAudio(format.get());
    stream = audio.stream;
    codec = std::move(audio.codec);
    if (stream == nullptr) {
        medialog::info("audio decoder: no usable audio in \"" + path.toUtf8() + "\"");
        return false;
    }
    demuxerDone = false;
    pending = false;
    if (!packet || !frame || !decodeFrame())
        return false;
    origin = frame->best_effort_timestamp != AV_NOPTS_VALUE ? frame->best_effort_timestamp
                                                            : mediainput::startTimestamp(stream);
    nextSample = 0;
    discardUntil = 0;
    rebase = false;
    pending = true;
    fresh = true;
    return true;
}

// A seek whose pre-roll would reach back to the file's start: decode from the start,
// as a whole-file decode does (demuxers apply the encoder delay only there).
bool AudioDecoderImpl::restartAtFileStart()
{
    if (fresh)
        return true;
    if (openInput())
        return true;
    medialog::info("audio decoder: cannot reopen \"" + path.toUtf8() + "\"");
    format.reset();
    codec.reset();
    return false;
}

int64_t AudioDecoderImpl::prerollSamples() const
{
    const int rate = info.sampleRate;
    int64_t samples = llround(kSeekPrerollSeconds * rate);
    if (codec->frame_size > 0)
        samples = std::max<int64_t>(samples, int64_t { kSeekPrerollFrames } * codec->frame_size);
    const AVCodecParameters* par = stream->codecpar;
    if (par->seek_preroll > 0 && par->sample_rate > 0)
        samples = std::max<int64_t>(samples, 2 * av_rescale(par->seek_preroll, rate, par->sample_rate));
    return samples;
}

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
            nextSample = av_rescale_q(pts - origin, stream->time_base, AVRational { 1, rate });
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
    uint8_t* converted = converter.convert(frame.get(), rate, channels);
    if (converted == nullptr) {
        medialog::warning("audio decoder: cannot convert the sample format");
        return false;
    }
    uint8_t* data = converted + static_cast<ptrdiff_t>(skip) * bytesPerFrame;

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
    if (!format)
        return nullptr; // a restart failed: the file is gone or changed
    for (;;) {
        if (!pending && !decodeFrame())
            return nullptr;
        pending = false;
        if (convertFrame()) {
            fresh = false;
            return &out;
        }
    }
}

AudioDecoder ADecCreate(const WidePath& path, int, int, int)
{
    auto d = std::make_unique<AudioDecoderImpl>(path);
    if (!d->openInput()) {
        if (d->codec) // a file whose audio does not decode at all has no decodable audio
            medialog::info("audio decoder: the audio of \"" + path.toUtf8() + "\" does not decode");
        return nullptr;
    }
    const AVCodecParameters* par = d->stream->codecpar;
    // Streams whose format changes mid-way are delivered in the format they start with.
    d->info.sampleRate = d->frame->sample_rate > 0 ? d->frame->sample_rate : d->codec->sample_rate;
    d->info.channels
        = d->frame->ch_layout.nb_channels > 0 ? d->frame->ch_layout.nb_channels : d->codec->ch_layout.nb_channels;
    d->info.bitsPerSample = 16;
    d->info.bitRate
        = static_cast<int32_t>(std::min<int64_t>(par->bit_rate > 0 ? par->bit_rate : d->format->bit_rate, INT32_MAX));
    d->info.duration = mediainput::streamDuration(d->format.get(), d->stream);
    d->info.codecId = static_cast<uint32_t>(par->codec_id);
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
    const int rate = d->info.sampleRate;
    const int64_t target = llround(seconds * rate);
    const int64_t from = d->format ? target - d->prerollSamples() : 0;
    if (from <= 0) {
        if (!d->restartAtFileStart())
            return 0.0;
        d->discardUntil = target;
        return static_cast<double>(target) / rate;
    }
    const int64_t seekTs = d->origin + av_rescale_q(from, AVRational { 1, rate }, d->stream->time_base);
    int err = avformat_seek_file(d->format.get(), d->stream->index, INT64_MIN, seekTs, seekTs, 0);
    if (err < 0)
        err = av_seek_frame(d->format.get(), d->stream->index, seekTs, AVSEEK_FLAG_BACKWARD);
    if (err < 0) {
        medialog::info("audio decoder: seek failed: " + ff::errorString(err));
        return 0.0;
    }
    // A new codec rather than a flushed one: whatever a codec carries from earlier
    // packets (AAC's noise generator, for one) then depends only on where decoding
    // starts, so a seek to the same place always gives the same samples.
    ff::CodecContextPtr codec = mediainput::openDecoder(d->stream, 1);
    if (codec)
        d->codec = std::move(codec);
    else
        avcodec_flush_buffers(d->codec.get());
    d->converter.reset();
    d->pending = false;
    d->demuxerDone = false;
    d->fresh = false;
    d->rebase = true;
    d->discardUntil = target;
    return static_cast<double>(target) / rate;
}
