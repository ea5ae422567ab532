#include "audio/soundplayer.h"

#include "core/environment/logging.h"
#include "media/utfconvert.h"

#include <QDir>
#include <QFile>
#include <QTemporaryFile>

SoundPlayer::SoundPlayer(QObject* parent)
    : QObject(parent)
{
}

SoundPlayer::~SoundPlayer()
{
    close();
    VPDestroy(m_player);
}

void SoundPlayer::close()
{
    if (m_player != nullptr) {
        m_stopping = true;
        VPStop(m_player);
        VPSetDecoder(m_player, static_cast<VideoProcessor>(nullptr), static_cast<AudioProcessor>(nullptr));
        m_stopping = false;
    }
    PCAudioDestroy(m_audio);
    ADecDestroy(m_decoder);
    m_audio = nullptr;
    m_decoder = nullptr;
    m_copy.reset();
}

bool SoundPlayer::open(const QString& path, Source source)
{
    close();
    QString readFrom = path;
    if (source == Source::ByCopy) {
        m_copy = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/sonabel-sound-XXXXXX"));
        QFile original(path);
        if (!original.open(QIODevice::ReadOnly) || !m_copy->open() || m_copy->write(original.readAll()) < 0
            || !m_copy->flush()) {
            qCWarning(lcApp) << "cannot copy the sound" << path;
            m_copy.reset();
            return false;
        }
        readFrom = m_copy->fileName();
    }
    m_decoder = ADecCreate(WidePath(QFile::encodeName(readFrom).toStdString()), 0, 0, 0);
    m_audio = PCAudioCreate(m_decoder, 0, 0, 0, 0);
    if (m_audio == nullptr) {
        close();
        return false;
    }
    if (m_player == nullptr) {
        m_player = VPCreate();
        if (m_player == nullptr)
            return false;
        VPSetCallBackPtr(m_player, &SoundPlayer::playerCallback, this);
    }
    VPSetDecoder(m_player, static_cast<VideoProcessor>(nullptr), m_audio);
    setVolume(m_volume);
    return true;
}

int SoundPlayer::playerCallback(void* user, uint32_t message, uint32_t state, uint32_t)
{
    // On the player's engine thread: hand over to the main thread.
    if (message == kPlayerStateMessage && state == kPlayerStopped)
        QMetaObject::invokeMethod(static_cast<SoundPlayer*>(user), &SoundPlayer::handleStopped, Qt::QueuedConnection);
    return 0;
}

void SoundPlayer::handleStopped()
{
    // Only an end reached by playing counts; the position then reads the end.
    if (m_stopping || m_player == nullptr || VPIsActivate(m_player) != 0 || VPGetPlayedTime(m_player) <= 0.0)
        return;
    if (m_loops) {
        VPSeek(m_player, 0.0, 1);
        VPPlay(m_player);
        return;
    }
    Q_EMIT finished();
}

bool SoundPlayer::play()
{
    if (!canPlay())
        return false;
    if (VPIsActivate(m_player) == 2)
        return VPResume(m_player) == 0;
    return VPPlay(m_player) == 0;
}

void SoundPlayer::pause()
{
    VPPause(m_player);
}

void SoundPlayer::resume()
{
    VPResume(m_player);
}

void SoundPlayer::stop()
{
    m_stopping = true;
    VPStop(m_player);
    m_stopping = false;
}

bool SoundPlayer::isPlaying() const
{
    return m_player != nullptr && VPIsActivate(m_player) == 1;
}

double SoundPlayer::currentTime() const
{
    return VPGetPlayedTime(m_player);
}

void SoundPlayer::setCurrentTime(double seconds)
{
    VPSeek(m_player, seconds, 1);
}

double SoundPlayer::duration() const
{
    return VPGetMovieLength(m_player);
}

void SoundPlayer::setVolume(double volume)
{
    m_volume = std::clamp(volume, 0.0, 2.0);
    VPSetVolume(m_player, static_cast<int>(m_volume * 100.0 + 0.5));
}
