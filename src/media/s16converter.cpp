#include "media/s16converter.h"

uint8_t* S16Converter::convert(AVFrame* frame, int rate, int channels)
{
    const auto format = static_cast<AVSampleFormat>(frame->format);
    if (format == AV_SAMPLE_FMT_S16 && frame->ch_layout.nb_channels == channels)
        return frame->data[0];
    if (!m_swr || m_format != format) {
        SwrContext* raw = nullptr;
        AVChannelLayout outLayout;
        av_channel_layout_default(&outLayout, channels);
        if (swr_alloc_set_opts2(
                &raw, &outLayout, AV_SAMPLE_FMT_S16, rate, &frame->ch_layout, format, frame->sample_rate, 0, nullptr)
                < 0
            || swr_init(raw) < 0) {
            swr_free(&raw);
            return nullptr;
        }
        m_swr.reset(raw);
        m_format = format;
    }
    const int count = frame->nb_samples;
    m_buffer.resize(static_cast<size_t>(count) * channels * 2);
    uint8_t* outPlanes[1] = { m_buffer.data() };
    if (swr_convert(m_swr.get(), outPlanes, count, const_cast<const uint8_t**>(frame->extended_data), count) < count)
        return nullptr;
    return m_buffer.data();
}

void S16Converter::reset()
{
    m_swr.reset();
    m_format = AV_SAMPLE_FMT_NONE;
}
