#include "ui/player/roingtoneplaybackcontroller.h"

#include "core/notification/notificationcenter.h"
#include "media/utfconvert.h"
#include "ui/player/playernotes.h"
#include "ui/player/videosurface.h"

#include <QFile>

namespace {

std::string nativePath(const QString& path)
{
    return QFile::encodeName(path).toStdString();
}

double number(const QVariantMap& map, const char* key)
{
    return map.value(QLatin1String(key)).toDouble();
}

} // namespace

RoingTonePlayBackController::RoingTonePlayBackController(QObject* parent)
    : QObject(parent)
{
}

RoingTonePlayBackController::~RoingTonePlayBackController()
{
    if (_VyRTPlayer != nullptr) {
        stop();
        VPSetCallBackPtr(_VyRTPlayer, nullptr, nullptr);
        VPSetDecoder(_VyRTPlayer, static_cast<VideoProcessor>(nullptr), static_cast<AudioProcessor>(nullptr));
    }
    releaseSources();
    VPDestroy(_VyRTPlayer);
}

bool RoingTonePlayBackController::canCreateDecoder(const QString& path)
{
    const WidePath wide(nativePath(path));
    AudioDecoder audio = ADecCreate(wide, 0, 0, 0);
    VideoDecoder video = VDecCreate(wide, 0, 0, 0);
    const bool any = audio != nullptr || video != nullptr;
    ADecDestroy(audio);
    VDecDestroy(video);
    return any;
}

bool RoingTonePlayBackController::initPlayerWithPath(const QString& path, QWidget* playView, const QRect& viewRect)
{
    if (_VyRTPlayer == nullptr) {
        _VyRTPlayer = VPCreate();
        if (_VyRTPlayer == nullptr)
            return false;
        const VPRect rect { viewRect.left(), viewRect.top(), viewRect.left() + viewRect.width(),
            viewRect.top() + viewRect.height() };
        VPSetCallBackPtr(_VyRTPlayer, &RoingTonePlayBackController::playerMessage, this);
        playerViewID = VPCreateView(_VyRTPlayer, playView, rect, 0);
        m_surface = VPGetPlayerHwnd(_VyRTPlayer, playerViewID);
        if (m_surface != nullptr)
            m_surface->hide(); // shown by the editor for files with pictures
    }
    return path.isEmpty() || setNewPlayFile(path);
}

bool RoingTonePlayBackController::setNewPlayFile(const QString& path)
{
    if (_VyRTPlayer != nullptr && VPIsActivate(_VyRTPlayer) == 1)
        stop();
    if (_VyRTPlayer != nullptr)
        VPSetDecoder(_VyRTPlayer, static_cast<VideoProcessor>(nullptr), static_cast<AudioProcessor>(nullptr));
    releaseSources();

    const WidePath wide(nativePath(path));
    m_audioFileDecoder = ADecCreate(wide, 0, 0, 0);
    _audioDecoder = PCAudioCreate(m_audioFileDecoder, 0, 0, 0, 0);
    m_videoFileDecoder = VDecCreate(wide, 0, 0, 0);
    _videoDecoder = PCVideoCreate(m_videoFileDecoder, 0, -1.0);
    if (_VyRTPlayer == nullptr || _audioDecoder == nullptr)
        return false;
    VPSetDecoder(_VyRTPlayer, _videoDecoder, _audioDecoder);
    return true;
}

void RoingTonePlayBackController::releaseSources()
{
    // Each processor goes before the decoder under it.
    PCAudioDestroy(_audioDecoder);
    ADecDestroy(m_audioFileDecoder);
    PCVideoDestroy(_videoDecoder);
    VDecDestroy(m_videoFileDecoder);
    _audioDecoder = nullptr;
    m_audioFileDecoder = nullptr;
    _videoDecoder = nullptr;
    m_videoFileDecoder = nullptr;
}

void RoingTonePlayBackController::play()
{
    if (VPIsActivate(_VyRTPlayer) != 1)
        VPResume(_VyRTPlayer);
    VPPlay(_VyRTPlayer);
    NotificationCenter::defaultCenter().post(PlayerNote::StartPlay, this);
}

void RoingTonePlayBackController::pause()
{
    VPPause(_VyRTPlayer);
    NotificationCenter::defaultCenter().post(PlayerNote::PausePlay, this);
}

int RoingTonePlayBackController::playerMessage(void* user, uint32_t message, uint32_t state, uint32_t)
{
    // A stop the controller did not ask for (the end of the file, or the sound device
    // went away) is announced like its own.
    auto* self = static_cast<RoingTonePlayBackController*>(user);
    if (message == kPlayerStateMessage && state == kPlayerStopped && !self->m_stopping.load()) {
        NotificationCenter::defaultCenter().post(PlayerNote::StopPlay, self);
        Q_EMIT self->stoppedByItself();
    }
    return 0;
}

void RoingTonePlayBackController::stop()
{
    m_stopping = true;
    VPStop(_VyRTPlayer);
    m_stopping = false;
    if (m_surface != nullptr)
        QMetaObject::invokeMethod(m_surface, &VideoSurface::fillBlack, Qt::AutoConnection);
    NotificationCenter::defaultCenter().post(PlayerNote::StopPlay, this);
}

void RoingTonePlayBackController::seekPlayer(double seconds)
{
    VPSeek(_VyRTPlayer, seconds, 1);
}

void RoingTonePlayBackController::setPlayEnd(double start, double end, double afterSilence)
{
    VPSetPlayTime(_VyRTPlayer, end >= 0.0 ? start : -1.0, end);
    // A piece with an end of its own is a preview pass, which another follows after the
    // rings gap: its stream stays open in between.
    VPSetRestAfterEnd(_VyRTPlayer, end >= 0.0 ? 1 : 0);
    VPSetRestGap(_VyRTPlayer, afterSilence);
}

void RoingTonePlayBackController::setVolume(int percent)
{
    VPSetVolume(_VyRTPlayer, percent);
}

void RoingTonePlayBackController::setFadeEnable(const QVariantMap& fades)
{
    // Taken as given: the fade-out ends in silence exactly at the part's end, as the saved
    // ringtone does, and a length of 0 (whole-file play) means no fade at all.
    PCSetFadeInOutTime(_audioDecoder, number(fades, "FadeInStartTime"), number(fades, "FadeInLength"),
        number(fades, "FadeOutStartTime"), number(fades, "FadeOutLength"));
}

double RoingTonePlayBackController::getPlayedTime() const
{
    return VPGetPlayedTime(_VyRTPlayer);
}

double RoingTonePlayBackController::getMovieLength()
{
    movieLen = VPGetMovieLength(_VyRTPlayer);
    return movieLen;
}

PlayerState RoingTonePlayBackController::playerState() const
{
    if (_VyRTPlayer == nullptr)
        return PlayerState::None;
    switch (VPIsActivate(_VyRTPlayer)) {
    case 1: return PlayerState::Playing;
    case 2: return PlayerState::Paused;
    default: return PlayerState::Stopped;
    }
}

VideoSurface* RoingTonePlayBackController::getPlayViewHandle() const
{
    return m_surface;
}
