#pragma once
// The picture stream of a cut: MPEG-4 Visual video at the source's size and rate.

#include "media/encoderlib.h"
#include "media/ffmpeg.h"

namespace encoding {

class VideoTrack {
public:
    bool open(AVFormatContext* output, const VyVideoInfo& source);
    // Encodes one picture shown at `seconds` from the start of the output.
    bool push(AVFormatContext* output, const MEDIA_FRAME* frame, double seconds);
    bool flush(AVFormatContext* output);

private:
    bool encode(AVFormatContext* output, const AVFrame* frame);

    ff::CodecContextPtr m_codec;
    AVStream* m_stream = nullptr;
    ff::FramePtr m_frame { av_frame_alloc() };
    ff::PacketPtr m_packet { av_packet_alloc() };
    ff::SwsPtr m_sws;
    int64_t m_lastPts = -1;
};

} // namespace encoding
