#pragma once
// The picture stream of a cut: MPEG-4 Visual video at the source's size and rate, one
// picture per frame time, for `length` seconds (the last picture may reach up to a frame
// past it).

#include "media/encoderlib.h"
#include "media/ffmpeg.h"

namespace encoding {

class VideoTrack {
public:
    bool open(AVFormatContext* output, const VyVideoInfo& source, double length);
    // Encodes one picture shown from `seconds` after the start of the output.
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
    int64_t m_endPts = 0; // the first frame time past the length
};

} // namespace encoding
