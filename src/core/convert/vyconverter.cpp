#include "core/convert/vyconverter.h"

#include "core/environment/logging.h"
#include "media/utfconvert.h"
#include "media/vyrtmediafiledecoder.h"

#include <QFile>
#include <QString>

#include <algorithm>
#include <climits>
#include <cmath>

namespace {

constexpr uint32_t kWaitForever = 0xFFFFFFFF;

std::string nativePath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

// The volume is the editor's integer percentage: a fraction is cut off, toward zero.
int truncatedVolume(double volume)
{
    if (!std::isfinite(volume))
        return 0;
    return static_cast<int>(std::trunc(std::clamp(volume, double(INT_MIN), double(INT_MAX))));
}

} // namespace

VyConverter::~VyConverter()
{
    if (_hEncoder != nullptr)
        EncDestroy(_hEncoder);
}

void VyConverter::setAudioParm(std::optional<QVariantMap> audioParm)
{
    this->audioParm = std::move(audioParm);
}

void VyConverter::releaseEncoder()
{
    if (_hEncoder != nullptr)
        EncDestroy(_hEncoder);
    _hEncoder = nullptr;
}

bool VyConverter::converte(const QString& source, const QString& formatName, const QString& outputPath,
    const QVariantMap& saveAttribute, const QVariantMap& fadeInOutEffect)
{
    InitEncParam(&_enc);
    if (audioParm) {
        _enc.audio.nSampleRate = audioParm->value(ConvertKey::SampleRate).toInt();
        _enc.audio.nChannels = audioParm->value(ConvertKey::Channels).toInt();
        _enc.audio.nBitrate = audioParm->value(ConvertKey::BitRate).toInt();
    } else {
        // Keeping the source's format needs its audio stream: a file that cannot be
        // probed, or has no program or no audio stream, fails here before anything is
        // written rather than being read through a missing record.
        const MediaFileInfoPtr info = VyRTMediaFileDecoder::getMediaFileInfo(nativePath(source));
        const VyStreamInfo* stream = nullptr;
        if (info && info->programCount > 0 && info->programs != nullptr && info->programs[0].audioStreamCount > 0)
            stream = info->programs[0].audioStream;
        if (stream == nullptr) {
            qCWarning(lcApp).noquote()
                << QStringLiteral("cannot convert %1: no audio stream to take the format from").arg(source);
            return false;
        }
        _enc.audio.nSampleRate = stream->sampleRate;
        _enc.audio.nChannels = stream->channels;
        _enc.audio.nBitrate = stream->bitRate;
    }
    _enc.audio.nBitsPerSample = 16;
    _enc.bVideoDisable = 1;
    _enc.bAudioDisable = 0;
    if (formatName == u"M4R") {
        _enc.dwFourCC = fourCC("M4A ");
        _enc.audio.dwFourCC = fourCC("AAC ");
    } else if (formatName == u"WAVE") {
        _enc.dwFourCC = fourCC("WAV ");
        _enc.audio.dwFourCC = fourCC("PCM ");
    } else {
        _enc.dwFourCC = fourCC("PM3 ");
        _enc.audio.dwFourCC = fourCC("PM3 ");
    }
    return converteFile(source, outputPath, saveAttribute, fadeInOutEffect);
}

bool VyConverter::converteFile(const QString& source, const QString& outputPath, const QVariantMap& saveAttribute,
    const QVariantMap& fadeInOutEffect)
{
    const double volume = saveAttribute.value(ConvertKey::ConverteOutputVolume).toDouble();
    const double start = saveAttribute.value(ConvertKey::ConverteStartTime).toDouble();
    const double length = saveAttribute.value(ConvertKey::ConverteLength).toDouble();
    const double fadeInLength = fadeInOutEffect.value(ConvertKey::FadeInLength).toDouble();
    const double fadeOutLength = fadeInOutEffect.value(ConvertKey::FadeOutLength).toDouble();
    const double fadeInStart = fadeInOutEffect.value(ConvertKey::FadeInStartTime).toDouble();
    const double fadeOutStart = fadeInOutEffect.value(ConvertKey::FadeOutStartTime).toDouble();

    AudioDecoder decoder = ADecCreate(WidePath(nativePath(source)), 0, 0, 0);
    // A missing decoder or processor fails the conversion here instead of being handed
    // on to the encoder.
    AudioProcessor processor = decoder != nullptr
        ? PCAudioCreate(decoder, _enc.audio.nSampleRate, _enc.audio.nChannels, _enc.audio.nBitsPerSample, 0)
        : nullptr;
    bool succeeded = false;
    if (processor == nullptr) {
        qCWarning(lcApp).noquote() << QStringLiteral("cannot convert %1: no audio to deliver as %2 Hz, %3 channels")
                                          .arg(source)
                                          .arg(_enc.audio.nSampleRate)
                                          .arg(_enc.audio.nChannels);
    } else {
        PCSetVolum(processor, truncatedVolume(volume));
        if (fadeInLength != 0.0 || fadeOutLength != 0.0)
            PCSetFadeInOutTime(processor, fadeInStart, fadeInLength, fadeOutStart, fadeOutLength);
        _hEncoder = EncCreate(nullptr, processor);
        if (_hEncoder != nullptr) {
            EncSetOutputFile(_hEncoder, WidePath(nativePath(outputPath)));
            EncSetEncodeParam(_hEncoder, &_enc);
            const int started = EncStart(_hEncoder, start, length, 0, 0, 0);
            // A start alone is no success: the write can still fail, and only EncWait
            // tells whether the output is complete and in place.
            const int finished = EncWait(_hEncoder, kWaitForever);
            succeeded = started == 0 && finished == 0;
            if (!succeeded)
                qCWarning(lcApp).noquote() << QStringLiteral("conversion of %1 into %2 failed (start %3, end %4)")
                                                  .arg(source, outputPath)
                                                  .arg(started)
                                                  .arg(finished);
        } else {
            qCWarning(lcApp).noquote() << QStringLiteral("cannot convert %1: no encoder").arg(source);
        }
    }
    if (processor != nullptr)
        PCAudioDestroy(processor);
    if (decoder != nullptr)
        ADecDestroy(decoder);
    releaseEncoder();
    return succeeded;
}

namespace {
constexpr int kCutDecodeThreads = 2;
}

unsigned VyConverter::cutFile(const QString& source, const QString& dest, double startTime, double length)
{
    InitEncParam(&_enc);
    _enc.dwFourCC = fourCC("MOV ");
    _enc.video.dwFourCC = fourCC("Xvid");
    _enc.audio.dwFourCC = fourCC("AAC ");

    const WidePath sourcePath(nativePath(source));
    AudioDecoder audioDecoder = ADecCreate(sourcePath, 0, 0, 0);
    // The picture decodes on threads of its own while the encoder works: the cut is a
    // whole-file pass where decoding and encoding take about the same time.
    VideoDecoder videoDecoder = VDecCreate(sourcePath, kCutDecodeThreads, 0, 0);
    // An audio-only file has no video decoder and is cut without a picture; a picture
    // that exists but cannot be processed, or sound that cannot, fails the cut instead.
    VideoProcessor videoProcessor = videoDecoder != nullptr ? PCVideoCreate(videoDecoder, 0, 0.0) : nullptr;
    AudioProcessor audioProcessor = audioDecoder != nullptr ? PCAudioCreate(audioDecoder, 44100, 2, 16, 0) : nullptr;
    bool succeeded = false;
    if (audioProcessor == nullptr || (videoDecoder != nullptr && videoProcessor == nullptr)) {
        qCWarning(lcApp).noquote() << QStringLiteral("cannot cut %1: its %2 cannot be decoded")
                                          .arg(source,
                                              audioProcessor == nullptr ? QStringLiteral("sound")
                                                                        : QStringLiteral("picture"));
    } else {
        _hEncoder = EncCreate(videoProcessor, audioProcessor);
        if (_hEncoder != nullptr) {
            EncSetOutputFile(_hEncoder, WidePath(nativePath(dest)));
            if (!audioParm) {
                if (const VyAudioInfo* info = ADecGetAudioInfo(audioDecoder)) {
                    _enc.audio.nSampleRate = info->sampleRate;
                    _enc.audio.nChannels = info->channels;
                    _enc.audio.nBitrate = info->bitRate;
                }
            }
            EncSetEncodeParam(_hEncoder, &_enc);
            const int started = EncStart(_hEncoder, startTime, length, 0, 0, 0);
            const int finished = EncWait(_hEncoder, kWaitForever);
            succeeded = started == 0 && finished == 0;
            if (!succeeded)
                qCWarning(lcApp).noquote() << QStringLiteral("cutting %1 into %2 failed (start %3, end %4)")
                                                  .arg(source, dest)
                                                  .arg(started)
                                                  .arg(finished);
        } else {
            qCWarning(lcApp).noquote() << QStringLiteral("cannot cut %1: no encoder").arg(source);
        }
    }
    if (audioProcessor != nullptr)
        PCAudioDestroy(audioProcessor);
    if (audioDecoder != nullptr)
        ADecDestroy(audioDecoder);
    if (videoProcessor != nullptr)
        PCVideoDestroy(videoProcessor);
    if (videoDecoder != nullptr)
        VDecDestroy(videoDecoder);
    releaseEncoder();
    return succeeded ? 1U : 0U;
}
