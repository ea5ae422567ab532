#include "media/vyrtmediafiledecoder.h"

#include "media/utfconvert.h"

#include <utility>

VyRTMediaFileDecoder::VyRTMediaFileDecoder(std::string filePath, int decoderKind)
    : m_filePath(std::move(filePath))
{
    setFilePathForDecoder(m_filePath, decoderKind);
}

VyRTMediaFileDecoder::~VyRTMediaFileDecoder()
{
    destroyDecoders();
}

void VyRTMediaFileDecoder::destroyDecoders()
{
    ADecDestroy(_hAudioDecoder);
    _hAudioDecoder = nullptr;
    VDecDestroy(_hVedioDecoder);
    _hVedioDecoder = nullptr;
}

bool VyRTMediaFileDecoder::setFilePathForDecoder(const std::string& filePath, int decoderKind)
{
    destroyDecoders();
    m_filePath = filePath;
    const WidePath path(filePath);
    _hAudioDecoder = ADecCreate(path, 0, 0, 0);
    if (decoderKind != AudioOnly)
        _hVedioDecoder = VDecCreate(path, 0, 0, 0);
    if (_hAudioDecoder == nullptr)
        return false;
    if (decoderKind == AudioOnly)
        return true;
    return decoderKind == AudioAndVideo && _hVedioDecoder != nullptr;
}

MediaFileInfoPtr VyRTMediaFileDecoder::getMediaFileInfo() const
{
    return getMediaFileInfo(m_filePath);
}

MediaFileInfoPtr VyRTMediaFileDecoder::getMediaFileInfo(const std::string& path)
{
    return MediaFileInfoPtr(VyGetMediaFileInfo(WidePath(path), 0));
}

const VyAudioInfo* VyRTMediaFileDecoder::getAudioInfo() const
{
    return _hAudioDecoder != nullptr ? ADecGetAudioInfo(_hAudioDecoder) : nullptr;
}

const MEDIA_FRAME* VyRTMediaFileDecoder::getNextAudioFrame()
{
    return _hAudioDecoder != nullptr ? ADecGetNextAudioFrame(_hAudioDecoder) : nullptr;
}

const VyVideoInfo* VyRTMediaFileDecoder::getVideoInfo() const
{
    return _hVedioDecoder != nullptr ? VDecGetVideoInfo(_hVedioDecoder) : nullptr;
}

const MEDIA_FRAME* VyRTMediaFileDecoder::getVideoFrame()
{
    return _hVedioDecoder != nullptr ? VDecGetVideoFrame(_hVedioDecoder) : nullptr;
}

double VyRTMediaFileDecoder::audioSeek(double seconds)
{
    return _hAudioDecoder != nullptr ? ADecAudioSeek(_hAudioDecoder, seconds) : 0.0;
}

double VyRTMediaFileDecoder::videoSeek(double seconds)
{
    return _hVedioDecoder != nullptr ? VDecVideoSeek(_hVedioDecoder, seconds, 1) : 0.0;
}
