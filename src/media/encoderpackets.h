#pragma once
// Shared by the encoders: the output file and one frame through the codec into it.

#include "media/ffmpeg.h"
#include "media/temporaryname.h"

#include <cstdio>
#include <memory>
#include <random>
#include <string>

namespace encoding {

struct OutputDeleter {
    void operator()(AVFormatContext* c) const
    {
        if (c != nullptr && c->pb != nullptr && !(c->oformat->flags & AVFMT_NOFILE))
            avio_closep(&c->pb);
        avformat_free_context(c);
    }
};
using OutputPtr = std::unique_ptr<AVFormatContext, OutputDeleter>;

// A name beside `path` for the file while it is being written.
inline std::string temporaryNameFor(const std::string& path)
{
    return temporaryname::beside(path);
}

// Sends `frame` (null: flush) to `codec` and writes every packet it gives into `stream`
// of `output`. False on a codec or write error.
inline bool encodeInto(
    AVFormatContext* output, AVStream* stream, AVCodecContext* codec, AVPacket* packet, const AVFrame* frame)
{
    int err = avcodec_send_frame(codec, frame);
    if (err < 0)
        return false;
    while ((err = avcodec_receive_packet(codec, packet)) == 0) {
        // The video encoder leaves durations out; without one the container counts the
        // last picture as lasting nothing, and the stream comes out a frame short.
        if (packet->duration == 0 && codec->codec_type == AVMEDIA_TYPE_VIDEO)
            packet->duration = 1; // one frame: the codec's time base is the frame time
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        if (av_interleaved_write_frame(output, packet) < 0)
            return false;
    }
    return err == AVERROR(EAGAIN) || err == AVERROR_EOF;
}

} // namespace encoding
