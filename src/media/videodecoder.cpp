// The video half of DecoderLib: YUV 4:2:0 pictures, accurate seeks.

#include "media/decoderlib.h"
#include "media/ffmpeg.h"
#include "media/mediainput.h"
#include "media/medialog.h"
#include "media/utfconvert.h"

#include <algorithm>

namespace {

constexpr int kMaxConsecutiveErrors = 64;

bool isYuv420(int format)
{
    return format == AV_PIX_FMT_YUV420P || format == AV_PIX_FMT_YUVJ420P;
}

} // namespace

struct VideoDecoderImpl {
    ff::InputFormatPtr format;
    ff::CodecContextPtr codec;
    AVStream* stream = nullptr;
    ff::PacketPtr packet { av_packet_alloc() };
    ff::FramePtr frame { av_frame_alloc() };
    ff::FramePtr converted; // YUV 4:2:0 copy when the codec gives another format
    ff::SwsPtr sws;
    VyVideoInfo info;
    MEDIA_FRAME out {};
    bool demuxerDone = false;
    bool pending = false;

    bool decodeFrame();
    const MEDIA_FRAME* deliver();
    [[nodiscard]] int64_t frameEnd() const;
};

bool VideoDecoderImpl::decodeFrame()
{
    int errors = 0;
    for (;;) {
        int err = avcodec_receive_frame(codec.get(), frame.get());
        if (err == 0)
            return true;
        if (err == AVERROR_EOF)
            return false;
        if (err != AVERROR(EAGAIN) && ++errors > kMaxConsecutiveErrors)
            return false;
        if (demuxerDone)
            return false;
        err = av_read_frame(format.get(), packet.get());
        if (err < 0) {
            demuxerDone = true;
            avcodec_send_packet(codec.get(), nullptr);
            continue;
        }
        if (packet->stream_index == stream->index) {
            err = avcodec_send_packet(codec.get(), packet.get());
            if (err < 0 && err != AVERROR(EAGAIN) && ++errors > kMaxConsecutiveErrors) {
                av_packet_unref(packet.get());
                return false;
            }
        }
        av_packet_unref(packet.get());
    }
}

int64_t VideoDecoderImpl::frameEnd() const
{
    const int64_t pts = frame->best_effort_timestamp;
    if (pts == AV_NOPTS_VALUE)
        return AV_NOPTS_VALUE;
    return pts + std::max<int64_t>(frame->pkt_duration, 1);
}

const MEDIA_FRAME* VideoDecoderImpl::deliver()
{
    const AVFrame* picture = frame.get();
    if (!isYuv420(frame->format)) {
        if (!converted || converted->width != frame->width || converted->height != frame->height) {
            converted.reset(av_frame_alloc());
            converted->format = AV_PIX_FMT_YUV420P;
            converted->width = frame->width;
            converted->height = frame->height;
            if (av_frame_get_buffer(converted.get(), 0) < 0)
                return nullptr;
        }
        sws.reset(
            sws_getCachedContext(sws.release(), frame->width, frame->height, static_cast<AVPixelFormat>(frame->format),
                frame->width, frame->height, AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr));
        if (!sws)
            return nullptr;
        sws_scale(sws.get(), frame->data, frame->linesize, 0, frame->height, converted->data, converted->linesize);
        picture = converted.get();
    }
    out.kind = kMediaFrameVideo;
    out.video.y = picture->data[0];
    out.video.u = picture->data[1];
    out.video.v = picture->data[2];
    out.video.width = picture->width;
    out.video.height = picture->height;
    out.video.strideY = picture->linesize[0];
    out.video.strideU = picture->linesize[1];
    out.video.strideV = picture->linesize[2];
    const int64_t pts = frame->best_effort_timestamp;
    const int64_t start = mediainput::startTimestamp(stream);
    out.timestampUs = pts == AV_NOPTS_VALUE ? 0 : av_rescale_q(pts - start, stream->time_base, ff::kMicroseconds);
    out.durationUs = av_rescale_q(frame->pkt_duration, stream->time_base, ff::kMicroseconds);
    out.flags = 0;
    return &out;
}

VideoDecoder VDecCreate(const WidePath& path, int threads, int, int)
{
    auto d = std::make_unique<VideoDecoderImpl>();
    d->format = mediainput::open(path, "video decoder");
    if (!d->format)
        return nullptr;
    const int index = mediainput::findStream(d->format.get(), AVMEDIA_TYPE_VIDEO);
    if (index < 0)
        return nullptr; // no picture, or only a cover picture
    d->stream = d->format->streams[index];
    d->codec = mediainput::openDecoder(d->stream, std::max(threads, 1));
    if (!d->codec) {
        medialog::info("video decoder: no decoder for the picture of \"" + path.toUtf8() + "\"");
        return nullptr;
    }
    for (unsigned i = 0; i < d->format->nb_streams; ++i) {
        if (static_cast<int>(i) != index)
            d->format->streams[i]->discard = AVDISCARD_ALL;
    }
    if (!d->packet || !d->frame || !d->decodeFrame()) {
        medialog::info("video decoder: the picture of \"" + path.toUtf8() + "\" does not decode");
        return nullptr;
    }
    d->pending = true;
    const AVCodecParameters* par = d->stream->codecpar;
    d->info.width = d->frame->width;
    d->info.height = d->frame->height;
    d->info.frameRate = av_q2d(av_guess_frame_rate(d->format.get(), d->stream, nullptr));
    d->info.bitRate = static_cast<int32_t>(std::min<int64_t>(par->bit_rate, INT32_MAX));
    d->info.sampleAspectNum = par->sample_aspect_ratio.num;
    d->info.sampleAspectDen = par->sample_aspect_ratio.den;
    d->info.codecId = static_cast<uint32_t>(par->codec_id);
    d->info.pixelFormat = AV_PIX_FMT_YUV420P;
    return d.release();
}

void VDecDestroy(VideoDecoder decoder)
{
    delete decoder;
}

const VyVideoInfo* VDecGetVideoInfo(VideoDecoder decoder)
{
    return decoder != nullptr ? &decoder->info : nullptr;
}

const MEDIA_FRAME* VDecGetVideoFrame(VideoDecoder d)
{
    if (d == nullptr)
        return nullptr;
    if (!d->pending && !d->decodeFrame())
        return nullptr;
    d->pending = false;
    return d->deliver();
}

double VDecVideoSeek(VideoDecoder d, double seconds, int accurate)
{
    if (d == nullptr)
        return 0.0;
    seconds = std::max(0.0, seconds);
    const int64_t target = mediainput::startTimestamp(d->stream)
        + av_rescale_q(llround(seconds * AV_TIME_BASE), ff::kMicroseconds, d->stream->time_base);
    int err = avformat_seek_file(d->format.get(), d->stream->index, INT64_MIN, target, target, 0);
    if (err < 0)
        err = av_seek_frame(d->format.get(), d->stream->index, target, AVSEEK_FLAG_BACKWARD);
    if (err < 0) {
        medialog::info("video decoder: seek failed: " + ff::errorString(err));
        return 0.0;
    }
    avcodec_flush_buffers(d->codec.get());
    d->demuxerDone = false;
    d->pending = false;
    if (!d->decodeFrame())
        return seconds;
    d->pending = true;
    if (accurate != 0) {
        // Decode from the key picture up to the one shown at the target.
        while (d->frameEnd() != AV_NOPTS_VALUE && d->frameEnd() <= target) {
            if (!d->decodeFrame()) {
                d->pending = false;
                break;
            }
        }
    }
    return seconds;
}
