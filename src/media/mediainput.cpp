#include "media/mediainput.h"

#include "media/medialog.h"
#include "media/utfconvert.h"

namespace mediainput {

ff::InputFormatPtr open(const WidePath& path, std::string_view who)
{
    const std::string utf8 = path.toUtf8();
    if (!path.isComplete()) {
        medialog::warning(std::string(who)
            + ": refusing a path that could not be converted whole (too long or not "
              "valid UTF-8), it starts \""
            + utf8 + "\"");
        return nullptr;
    }
    AVFormatContext* raw = nullptr;
    int err = avformat_open_input(&raw, utf8.c_str(), nullptr, nullptr);
    if (err < 0) {
        medialog::info(std::string(who) + ": cannot open \"" + utf8 + "\": " + ff::errorString(err));
        return nullptr;
    }
    ff::InputFormatPtr format(raw);
    err = avformat_find_stream_info(format.get(), nullptr);
    if (err < 0) {
        medialog::info(std::string(who) + ": cannot read the streams of \"" + utf8 + "\": " + ff::errorString(err));
        return nullptr;
    }
    return format;
}

bool isAttachedPicture(const AVStream* stream)
{
    return (stream->disposition & AV_DISPOSITION_ATTACHED_PIC) != 0;
}

int findStream(AVFormatContext* format, AVMediaType type)
{
    int best = av_find_best_stream(format, type, -1, -1, nullptr, 0);
    if (best >= 0 && !isAttachedPicture(format->streams[best]))
        return best;
    // The best one was a cover picture: take the first real stream of the kind.
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        const AVStream* s = format->streams[i];
        if (s->codecpar->codec_type == type && !isAttachedPicture(s))
            return static_cast<int>(i);
    }
    return -1;
}

ff::CodecContextPtr openDecoder(const AVStream* stream, int threads)
{
    const AVCodec* codec = avcodec_find_decoder(stream->codecpar->codec_id);
    if (codec == nullptr)
        return nullptr;
    ff::CodecContextPtr context(avcodec_alloc_context3(codec));
    if (!context || avcodec_parameters_to_context(context.get(), stream->codecpar) < 0)
        return nullptr;
    context->pkt_timebase = stream->time_base;
    context->thread_count = threads;
    if (avcodec_open2(context.get(), codec, nullptr) < 0)
        return nullptr;
    return context;
}

AudioInput openAudio(AVFormatContext* format)
{
    const int index = findStream(format, AVMEDIA_TYPE_AUDIO);
    if (index < 0)
        return {};
    AudioInput input { format->streams[index], openDecoder(format->streams[index], 1) };
    if (!input.codec || input.codec->sample_rate <= 0 || input.codec->ch_layout.nb_channels <= 0)
        return {};
    // Only the audio stream is read: skip the demuxing work for the others.
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        if (static_cast<int>(i) != index)
            format->streams[i]->discard = AVDISCARD_ALL;
    }
    return input;
}

int64_t startTimestamp(const AVStream* stream)
{
    return stream->start_time == AV_NOPTS_VALUE ? 0 : stream->start_time;
}

double streamDuration(const AVFormatContext* format, const AVStream* stream)
{
    if (stream->duration != AV_NOPTS_VALUE && stream->duration > 0)
        return static_cast<double>(stream->duration) * av_q2d(stream->time_base);
    if (format->duration != AV_NOPTS_VALUE && format->duration > 0)
        return static_cast<double>(format->duration) / AV_TIME_BASE;
    return 0.0;
}

} // namespace mediainput
