// DecMgrInit/DecMgrUninit and the file probe VyGetMediaFileInfo.

#include "media/decoderlib.h"
#include "media/ffmpeg.h"
#include "media/mediainput.h"
#include "media/medialog.h"
#include "media/utfconvert.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <memory>

namespace {

VyStreamInfo describe(const AVFormatContext* format, const AVStream* stream)
{
    const AVCodecParameters* par = stream->codecpar;
    VyStreamInfo info;
    info.index = stream->index;
    info.codecName = avcodec_get_name(par->codec_id);
    info.duration = mediainput::streamDuration(format, stream);
    info.bitRate = static_cast<int32_t>(std::min<int64_t>(par->bit_rate, INT32_MAX));
    switch (par->codec_type) {
    case AVMEDIA_TYPE_AUDIO:
        info.kind = VyStreamInfo::Kind::Audio;
        info.sampleRate = par->sample_rate;
        info.channels = par->ch_layout.nb_channels;
        break;
    case AVMEDIA_TYPE_VIDEO:
        info.kind
            = mediainput::isAttachedPicture(stream) ? VyStreamInfo::Kind::AttachedPicture : VyStreamInfo::Kind::Video;
        info.width = par->width;
        info.height = par->height;
        break;
    case AVMEDIA_TYPE_SUBTITLE: info.kind = VyStreamInfo::Kind::Subtitle; break;
    default: break;
    }
    return info;
}

// A stream whose format FFmpeg could not work out (what it "finds" in random bytes)
// is no stream at all.
bool isKnown(const AVStream* stream)
{
    const AVCodecParameters* par = stream->codecpar;
    if (par->codec_id == AV_CODEC_ID_NONE)
        return false;
    switch (par->codec_type) {
    case AVMEDIA_TYPE_AUDIO: return par->sample_rate > 0 && par->ch_layout.nb_channels > 0;
    case AVMEDIA_TYPE_VIDEO: return par->width > 0 && par->height > 0;
    default: return true;
    }
}

ProgramInfo program(const std::vector<VyStreamInfo>& streams, const std::vector<unsigned>& members)
{
    ProgramInfo p;
    for (unsigned member : members) {
        const auto found = std::find_if(streams.begin(), streams.end(),
            [member](const VyStreamInfo& s) { return s.index == static_cast<int>(member); });
        if (found == streams.end())
            continue;
        const VyStreamInfo& s = *found;
        if (s.kind == VyStreamInfo::Kind::Audio) {
            ++p.audioStreamCount;
            if (p.audioStream == nullptr)
                p.audioStream = &s;
        } else if (s.kind == VyStreamInfo::Kind::Video) {
            ++p.videoStreamCount;
        } else {
            continue;
        }
        if (p.firstStream == nullptr)
            p.firstStream = &s;
    }
    return p;
}

} // namespace

void DecMgrInit()
{
    // FFmpeg's own complaints about damaged input go to our log at debug level: the
    // callers report what matters to the user.
    av_log_set_level(AV_LOG_ERROR);
    av_log_set_callback([](void*, int level, const char* format, va_list args) {
        if (level > av_log_get_level())
            return;
        char line[1024];
        std::vsnprintf(line, sizeof line, format, args);
        std::string_view text(line);
        while (!text.empty() && text.back() == '\n')
            text.remove_suffix(1);
        medialog::debug(std::string("ffmpeg: ") + std::string(text));
    });
}

void DecMgrUninit()
{
}

MEDIA_FILE_INFO* VyGetMediaFileInfo(const WidePath& path, int)
{
    ff::InputFormatPtr format = mediainput::open(path, "probe");
    if (!format)
        return nullptr;
    auto info = std::make_unique<MEDIA_FILE_INFO>();
    info->formatName = format->iformat->name;
    info->streams.reserve(format->nb_streams);
    double longest = 0.0;
    for (unsigned i = 0; i < format->nb_streams; ++i) {
        if (!isKnown(format->streams[i]))
            continue;
        info->streams.push_back(describe(format.get(), format->streams[i]));
        longest = std::max(longest, info->streams.back().duration);
    }
    if (info->streams.empty()) {
        medialog::info("probe: \"" + path.toUtf8() + "\" holds no streams");
        return nullptr;
    }
    info->duration = format->duration != AV_NOPTS_VALUE && format->duration > 0
        ? static_cast<double>(format->duration) / AV_TIME_BASE
        : longest;

    // Files without programs (all but broadcast streams) are one program of every stream.
    std::vector<std::vector<unsigned>> groups;
    for (unsigned p = 0; p < format->nb_programs; ++p) {
        const AVProgram* prog = format->programs[p];
        if (prog->nb_stream_indexes > 0)
            groups.emplace_back(prog->stream_index, prog->stream_index + prog->nb_stream_indexes);
    }
    if (groups.empty()) {
        groups.emplace_back(format->nb_streams);
        for (unsigned i = 0; i < format->nb_streams; ++i)
            groups.back()[i] = i;
    }
    for (const auto& members : groups)
        info->programList.push_back(program(info->streams, members));
    info->programCount = static_cast<int32_t>(info->programList.size());
    info->programs = info->programList.data();
    return info.release();
}

void VyReleaseMediaFileInfo(MEDIA_FILE_INFO* info)
{
    delete info;
}
