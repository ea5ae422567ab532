#pragma once
// Plays a sound file the simple way (the launch sound, the recorder's and the Groove
// Box's previews, the ringtone manager's playback), on the same engine as the editor.
//
// Main thread: every call, and the finished() signal.

#include "audio/playerlib.h"

#include <QObject>
#include <QString>

#include <memory>

class QTemporaryFile;

class SoundPlayer : public QObject {
    Q_OBJECT

public:
    enum class Source {
        ByReference, // reads the file where it is
        ByCopy, // takes a private copy first: the file may change or go afterwards
    };

    explicit SoundPlayer(QObject* parent = nullptr);
    ~SoundPlayer() override;

    // False when the file's sound cannot be read or there is no sound output.
    bool open(const QString& path, Source source = Source::ByReference);
    [[nodiscard]] bool canPlay() const { return m_player != nullptr && m_audio != nullptr; }

    bool play();
    void pause();
    void resume();
    void stop();
    [[nodiscard]] bool isPlaying() const;
    [[nodiscard]] double currentTime() const;
    void setCurrentTime(double seconds);
    [[nodiscard]] double duration() const;
    void setLoops(bool loops) { m_loops = loops; }
    [[nodiscard]] bool loops() const { return m_loops; }
    // 0.0-2.0, 1.0 as recorded.
    void setVolume(double volume);
    [[nodiscard]] double volume() const { return m_volume; }

Q_SIGNALS:
    // Played to its end (not stopped); with loops on, playing starts over instead.
    void finished();

private:
    static int playerCallback(void* user, uint32_t message, uint32_t state, uint32_t);
    void handleStopped();
    void close();

    Player m_player = nullptr;
    AudioDecoder m_decoder = nullptr;
    AudioProcessor m_audio = nullptr;
    std::unique_ptr<QTemporaryFile> m_copy;
    bool m_loops = false;
    bool m_stopping = false;
    double m_volume = 1.0;
};
