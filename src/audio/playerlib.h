#pragma once
// PlayerLib: plays a file's sources through the default sound output (Qt Multimedia on
// PulseAudio or PipeWire) and hands its pictures to a surface in step with the sound.
//
// Threads
// - Every VP call may be made from any thread; calls are serialised inside.
// - The sink lives on an engine thread of the player's own, which also runs the state
//   callback (message 3025: parameter 1 is 1 when playing starts, 2 when it stops).
// - A decode thread fills a lock-free ring; the sink's pull side only copies from it.
// - Pictures are made on a video thread and delivered through PlayerFrameRelay's signal.
// - The sources handed to VPSetDecoder stay the caller's: detach them (VPSetDecoder with
//   nulls, or VPStop) before destroying them.

#include "media/audioprocesslib.h"

#include <QImage>
#include <QObject>

#include <cstdint>

struct PlayerImpl;
using Player = PlayerImpl*;

inline constexpr uint32_t kPlayerStateMessage = 3025;
inline constexpr uint32_t kPlayerPlaying = 1;
inline constexpr uint32_t kPlayerStopped = 2;

using PlayerCallback = int (*)(void* user, uint32_t message, uint32_t param1, uint32_t param2);

// Emits each picture when the sound reaches it, from the video thread: connect with a
// queued connection (the default across threads).
class PlayerFrameRelay : public QObject {
    Q_OBJECT

Q_SIGNALS:
    void frameReady(const QImage& picture);
    void cleared();
};

// Null when there is no sound output (no device, no sound server).
Player VPCreate();
void VPDestroy(Player player);

// Sources from AudioProcessLib, or raw decoders (the player then makes its own
// processors over them). A null video source means sound only; (null, null) detaches.
void VPSetDecoder(Player player, VideoProcessor video, AudioProcessor audio);
void VPSetDecoder(Player player, VideoDecoder video, AudioDecoder audio);
void VPSetCallBackPtr(Player player, PlayerCallback callback, void* user = nullptr);

// Starts playing at the current position, or over the range set by VPSetPlayTime.
int VPPlay(Player player);
int VPPause(Player player);
int VPResume(Player player);
int VPStop(Player player);
// 0 stopped, 1 playing, 2 paused.
int VPIsActivate(Player player);
// Moves the play position (seconds on the file's timeline); playing goes on from there.
int VPSeek(Player player, double seconds, int flag);
// The range of the next VPPlay, and the end that seeks play on to while it is set; a
// start below 0 clears it, an end of -1.0 plays to the end of the file.
int VPSetPlayTime(Player player, double start, double end);
// When the next start finds the output resting on silence after the previous piece (see
// VPSetRestAfterEnd), that silence is topped up to `seconds`
// before the new piece is heard. Applies to the next start only.
int VPSetRestGap(Player player, double seconds);
// Whether a piece that plays to its end leaves the output resting on silence (for a
// while) instead of closing it; off unless set.
int VPSetRestAfterEnd(Player player, int rest);
// 0-200 %, applied to the samples with clipping.
int VPSetVolume(Player player, int percent);
// The position on the file's timeline of the sound handed to the device, from the
// sink's processed-audio clock. After playing ends by itself it stays at the end until
// the next seek or play; after VPStop it is 0.
double VPGetPlayedTime(Player player);
double VPGetMovieLength(Player player);

// Where the player's pictures come out; owned by the player.
PlayerFrameRelay* VPGetFrameRelay(Player player);
// Buffer underruns of the sink since the player was made.
int VPGetUnderrunCount(Player player);
