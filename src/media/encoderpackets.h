#pragma once
// Shared by the encoder's streams: one frame through the codec into the output.

#include "media/ffmpeg.h"

namespace encoding {

// Sends `frame` (null: flush) to `codec` and writes every packet it gives into `stream`
// of `output`. False on a codec or write error.
inline bool encodeInto(
    AVFormatContext* output, AVStream* stream, AVCodecContext* codec, AVPacket* packet, const AVFrame* frame)
{
    int err = avcodec_send_frame(codec, frame);
    if (err < 0)
        return false;
    while ((err = avcodec_receive_packet(codec, packet)) == 0) {
        av_packet_rescale_ts(packet, codec->time_base, stream->time_base);
        packet->stream_index = stream->index;
        if (av_interleaved_write_frame(output, packet) < 0)
            return false;
    }
    return err == AVERROR(EAGAIN) || err == AVERROR_EOF;
}

} // namespace encoding
