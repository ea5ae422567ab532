#pragma once
// Decoded frames of any sample format as interleaved signed 16-bit samples: the one
// conversion the whole-file decoder and the split decoder share, so that both give the
// very same samples.

#include "media/ffmpeg.h"

#include <cstdint>
#include <vector>

class S16Converter {
public:
    // `frame` as interleaved S16 in `channels` channels at `rate` Hz: the frame's own data
    // when it already is, else converted into a buffer of ours that lives until the next
    // call. Null when the converter cannot be made or the conversion falls short. A rate
    // other than the frame's resamples, which carries state from frame to frame.
    [[nodiscard]] uint8_t* convert(AVFrame* frame, int rate, int channels);
    void reset();

private:
    ff::SwrPtr m_swr; // made for the first frame that needs converting
    AVSampleFormat m_format = AV_SAMPLE_FMT_NONE;
    std::vector<uint8_t> m_buffer;
};
