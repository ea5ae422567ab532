#include "core/mediacheck/mediafilecheck.h"

#include "media/utfconvert.h"
#include "media/vyrtmediafiledecoder.h"

#include <QFile>

namespace {

bool hasDecodablePicture(const std::string& path)
{
    VideoDecoder video = VDecCreate(WidePath(path), 0, 0, 0);
    VDecDestroy(video);
    return video != nullptr;
}

} // namespace

MediaFileCheck MediaFileCheck::check(const QString& path)
{
    MediaFileCheck result;
    const std::string native = QFile::encodeName(path).toStdString();
    const MediaFileInfoPtr info = VyRTMediaFileDecoder::getMediaFileInfo(native);
    const VyRTMediaFileDecoder decoder(native, VyRTMediaFileDecoder::AudioOnly);
    const VyAudioInfo* audio = decoder.getAudioInfo();

    // Decodable means sound or picture decodes; the picture is only tried without sound.
    const bool decodable = audio != nullptr || (info && hasDecodablePicture(native));
    if (!info || !decodable || info->programCount <= 0) {
        result.m_verdict = Verdict::CannotImport;
        return result;
    }
    const ProgramInfo& program = info->programs[0];
    if (program.audioStreamCount == 0 || info->duration < kMinimumDuration || audio == nullptr) {
        result.m_verdict = Verdict::NoAudioTrack;
        return result;
    }
    result.m_verdict = Verdict::Accepted;
    result.m_duration = info->duration;
    result.m_audio = *audio;
    return result;
}

QString MediaFileCheck::message() const
{
    switch (m_verdict) {
    case Verdict::Accepted: return {};
    case Verdict::CannotImport: return QStringLiteral("The file can not be imported!");
    case Verdict::NoAudioTrack: return QStringLiteral("Sorry!This file has no audio track.");
    }
    return {};
}
