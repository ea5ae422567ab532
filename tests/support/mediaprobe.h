#pragma once
// What a written media file holds, read back with the program's own probe: its container,
// its streams and, for the MPEG-4 family, its major brand.

#include "media/vyrtmediafiledecoder.h"
#include "support/qtfixtures.h"

#include <string>

struct Probe {
    std::string format;
    int videoStreams = 0;
    int audioStreams = 0;
    VyStreamInfo audio; // the first of each kind
    VyStreamInfo video;
};

inline Probe probe(const std::string& path)
{
    const MediaFileInfoPtr info = VyRTMediaFileDecoder::getMediaFileInfo(path);
    if (!info)
        return {};
    Probe p { info->formatName, info->programs[0].videoStreamCount, info->programs[0].audioStreamCount, {}, {} };
    for (const VyStreamInfo& s : info->streams) {
        if (s.kind == VyStreamInfo::Kind::Audio && p.audio.codecName.empty())
            p.audio = s;
        if (s.kind == VyStreamInfo::Kind::Video && p.video.codecName.empty())
            p.video = s;
    }
    return p;
}

// The major brand of an MPEG-4 family file: "M4A " for a ringtone, "qt  " for a MOV.
inline std::string majorBrand(const std::string& path)
{
    const QByteArray head = readBytes(q(path)).left(12);
    return head.size() == 12 && head.mid(4, 4) == "ftyp" ? head.mid(8, 4).toStdString() : std::string();
}
