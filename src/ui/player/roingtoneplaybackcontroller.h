#pragma once
// The editor's player: one PlayerLib player for the whole run, its picture surface in
// the picture pane, and the sound and picture sources of the loaded file.
//
// Threads: made, loaded and destroyed on the main thread. play, pause, stop, seek,
// volume, fades, played time and state may also be called from the editor's start
// thread; PlayerLib serialises them.

#include "audio/playerlib.h"
#include "core/editing/playerstate.h"

#include <QObject>
#include <QRect>
#include <QString>
#include <QVariantMap>

#include <atomic>

class QWidget;
class VideoSurface;

class RoingTonePlayBackController : public QObject {
    Q_OBJECT

public:
    explicit RoingTonePlayBackController(QObject* parent = nullptr);
    ~RoingTonePlayBackController() override;

    // True when the file gives a sound or a picture decoder.
    [[nodiscard]] static bool canCreateDecoder(const QString& path);

    // Makes the player (once) and its surface inside `playView` at `viewRect`, then
    // loads `path` when given. False when there is no player (no sound output) or the
    // file's sound cannot be played.
    bool initPlayerWithPath(const QString& path, QWidget* playView, const QRect& viewRect);
    // Stops what plays, releases the old sources and attaches the new file's.
    bool setNewPlayFile(const QString& path);

    void play();
    void pause();
    void stop();
    void seekPlayer(double seconds);
    // Where playing stops by itself: at `end` seconds, or (end < 0) at the file's end.
    // Holds for the next play and for seeks until it is set again. The next start comes
    // `afterSilence` seconds after the end of what played before, when it finds the
    // output still resting after it. Only a piece with an end leaves the output resting.
    void setPlayEnd(double start, double end, double afterSilence = 0.0);
    void setVolume(int percent);
    // Fades for previews, in the keys of the converter's fade dictionary.
    void setFadeEnable(const QVariantMap& fades);
    [[nodiscard]] double getPlayedTime() const;
    [[nodiscard]] double getMovieLength();
    // VPIsActivate's answer, or -1 without a player.
    [[nodiscard]] PlayerState playerState() const;
    [[nodiscard]] bool hasVideo() const { return _videoDecoder != nullptr; }
    [[nodiscard]] VideoSurface* getPlayViewHandle() const;
    // Times the sound output ran dry since the player was made.
    [[nodiscard]] int underruns() const { return VPGetUnderrunCount(_VyRTPlayer); }

Q_SIGNALS:
    // Playing ended by itself (the end it was given, the file's end, a lost device). Emitted
    // from the player's thread: connect queued.
    void stoppedByItself();

private:
    void releaseSources();
    // Called on the player's thread when it starts or stops.
    static int playerMessage(void* user, uint32_t message, uint32_t state, uint32_t);

    Player _VyRTPlayer = nullptr;
    AudioDecoder m_audioFileDecoder = nullptr;
    VideoDecoder m_videoFileDecoder = nullptr;
    AudioProcessor _audioDecoder = nullptr; // the processors the player reads
    VideoProcessor _videoDecoder = nullptr;
    uint32_t playerViewID = 0;
    VideoSurface* m_surface = nullptr; // kept so that any thread may blank it
    std::atomic<bool> m_stopping { false }; // our own stop() is under way
    double movieLen = 0.0;
};
