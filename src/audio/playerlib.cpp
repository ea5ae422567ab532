// PlayerLib on Qt Multimedia: an engine thread owns the sink, a decode thread fills the
// ring the sink pulls from, a video thread hands out pictures in step with the sound.

#include "audio/playerlib.h"

#include "audio/playbackengine.h"

Player VPCreate()
{
    return PlayerImpl::create();
}

void VPDestroy(Player player)
{
    delete player;
}

void VPSetDecoder(Player player, VideoProcessor video, AudioProcessor audio)
{
    if (player != nullptr)
        player->setSources(video, audio, nullptr, nullptr);
}

void VPSetDecoder(Player player, VideoDecoder video, AudioDecoder audio)
{
    if (player != nullptr)
        player->setSources(nullptr, nullptr, video, audio);
}

void VPSetCallBackPtr(Player player, PlayerCallback callback, void* user)
{
    if (player != nullptr)
        player->setCallback(callback, user);
}

int VPPlay(Player player)
{
    return player != nullptr ? player->play() : -1;
}

int VPPause(Player player)
{
    return player != nullptr ? player->pause() : -1;
}

int VPResume(Player player)
{
    return player != nullptr ? player->resume() : -1;
}

int VPStop(Player player)
{
    return player != nullptr ? player->stop() : -1;
}

int VPIsActivate(Player player)
{
    return player != nullptr ? player->state() : 0;
}

int VPSeek(Player player, double seconds, int)
{
    return player != nullptr ? player->seek(seconds) : -1;
}

int VPSetPlayTime(Player player, double start, double end)
{
    if (player == nullptr)
        return -1;
    player->setRange(start, end);
    return 0;
}

int VPSetRestGap(Player player, double seconds)
{
    if (player == nullptr)
        return -1;
    player->setRestGap(seconds);
    return 0;
}

int VPSetRestAfterEnd(Player player, int rest)
{
    if (player == nullptr)
        return -1;
    player->setRestAfterEnd(rest != 0);
    return 0;
}

int VPSetVolume(Player player, int percent)
{
    if (player == nullptr)
        return -1;
    player->setVolume(percent);
    return 0;
}

double VPGetPlayedTime(Player player)
{
    return player != nullptr ? player->playedTime() : 0.0;
}

double VPGetMovieLength(Player player)
{
    return player != nullptr ? player->length() : 0.0;
}

PlayerFrameRelay* VPGetFrameRelay(Player player)
{
    return player != nullptr ? player->frameRelay() : nullptr;
}

int VPGetUnderrunCount(Player player)
{
    return player != nullptr ? player->underruns() : 0;
}
