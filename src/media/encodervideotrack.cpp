#include "media/encodervideotrack.h"

#include "media/encoderpackets.h"
#include "media/medialog.h"

#include <cmath>

namespace encoding {

namespace {

// A picture takes the first frame time at or after its own start: a section that begins
// inside a picture shows it first, and every later time shows the picture the source
// shows then. The slack absorbs rounding in the microsecond timestamps.
int64_t frameTimeAtOrAfter(double seconds, AVRational timeBase)
{
    constexpr double kSlack = 1e-3; // of a frame
    return static_cast<int64_t>(std::ceil(seconds / av_q2d(timeBase) - kSlack));
}

} // namespace

bool VideoTrack::open(AVFormatContext* output, const VyVideoInfo& source, double length)
{
    const AVCodec* codec = avcodec_find_encoder(AV_CODEC_ID_MPEG4);
    if (codec == nullptr || source.width <= 0 || source.height <= 0)
        return false;
    m_codec.reset(avcodec_alloc_context3(codec));
    // 4:2:0 needs even sizes.
    m_codec->width = source.width & ~1;
    m_codec->height = source.height & ~1;
    m_codec->pix_fmt = AV_PIX_FMT_YUV420P;
    const AVRational rate = av_d2q(source.frameRate > 0.0 ? source.frameRate : 25.0, 1001000);
    m_codec->time_base = av_inv_q(rate);
    m_codec->framerate = rate;
    m_codec->flags |= AV_CODEC_FLAG_QSCALE;
    m_codec->global_quality = FF_QP2LAMBDA * 3;
    m_codec->thread_count = 1;
    if (output->oformat->flags & AVFMT_GLOBALHEADER)
        m_codec->flags |= AV_CODEC_FLAG_GLOBAL_HEADER;
    if (int err = avcodec_open2(m_codec.get(), codec, nullptr); err < 0) {
        medialog::error("encoder: cannot open the video encoder: " + ff::errorString(err));
        return false;
    }
    m_stream = avformat_new_stream(output, nullptr);
    if (m_stream == nullptr || avcodec_parameters_from_context(m_stream->codecpar, m_codec.get()) < 0)
        return false;
    m_stream->time_base = m_codec->time_base;
    m_endPts = frameTimeAtOrAfter(length, m_codec->time_base);
    m_frame->format = AV_PIX_FMT_YUV420P;
    m_frame->width = m_codec->width;
    m_frame->height = m_codec->height;
    return av_frame_get_buffer(m_frame.get(), 0) >= 0;
}

bool VideoTrack::push(AVFormatContext* output, const MEDIA_FRAME* frame, double seconds)
{
    const int64_t pts = frameTimeAtOrAfter(seconds, m_codec->time_base);
    if (pts >= m_endPts)
        return true; // shown only after the section's end
    if (pts <= m_lastPts)
        return true; // two pictures for one frame time: keep the first
    if (av_frame_make_writable(m_frame.get()) < 0)
        return false;
    const VideoImage& image = frame->video;
    m_sws.reset(sws_getCachedContext(m_sws.release(), image.width, image.height, AV_PIX_FMT_YUV420P, m_codec->width,
        m_codec->height, AV_PIX_FMT_YUV420P, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!m_sws)
        return false;
    const uint8_t* const planes[4] = { image.y, image.u, image.v, nullptr };
    const int strides[4] = { image.strideY, image.strideU, image.strideV, 0 };
    sws_scale(m_sws.get(), planes, strides, 0, image.height, m_frame->data, m_frame->linesize);
    m_frame->pts = pts;
    m_lastPts = pts;
    return encode(output, m_frame.get());
}

bool VideoTrack::flush(AVFormatContext* output)
{
    return encode(output, nullptr);
}

bool VideoTrack::encode(AVFormatContext* output, const AVFrame* frame)
{
    return encodeInto(output, m_stream, m_codec.get(), m_packet.get(), frame);
}

} // namespace encoding
