// EncoderLib: the encode job. Opens the output under a temporary name, pulls the
// sources on a thread of its own, and renames the file into place when it is complete.

#include "media/encoderlib.h"

#include "media/encoderaudiotrack.h"
#include "media/encoderpackets.h"
#include "media/encodervideotrack.h"
#include "media/ffmpeg.h"
#include "media/medialog.h"
#include "media/utfconvert.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <mutex>
#include <optional>
#include <thread>

namespace {

struct Container {
    const char* muxer;
    AVCodecID audio;
};

Container containerFor(uint32_t code)
{
    if (code == fourCC("WAV "))
        return { "wav", AV_CODEC_ID_PCM_S16LE };
    if (code == fourCC("PM3 "))
        return { "mp3", AV_CODEC_ID_MP3 };
    if (code == fourCC("MOV "))
        return { "mov", AV_CODEC_ID_AAC };
    return { "ipod", AV_CODEC_ID_AAC }; // "M4A ": the M4A brand ringtones carry
}

enum StartError { kStarted = 0, kNoSource = 1, kBadPath = 2, kCannotOpenOutput = 3, kCannotEncode = 4 };

} // namespace

struct EncoderImpl {
    VideoProcessor video = nullptr;
    AudioProcessor audio = nullptr;
    std::string outputPath;
    bool pathComplete = false;
    EncodeParam param {};

    encoding::OutputPtr output;
    std::string temporaryPath;
    encoding::AudioTrack audioTrack;
    encoding::VideoTrack videoTrack;
    bool hasAudio = false;
    bool hasVideo = false;
    double start = 0.0;
    double length = 0.0;

    std::thread worker;
    std::atomic<bool> cancel { false };
    std::mutex mutex;
    std::condition_variable finished;
    // Atomics as well as guarded, so that the hand-over does not rest on the condition
    // variable alone (whose waits a race detector may not follow).
    std::atomic<bool> done { false };
    std::atomic<int> result { -1 };

    int open();
    bool run();
    void finish(bool ok);
};

int EncoderImpl::open()
{
    if (audio == nullptr && video == nullptr)
        return kNoSource;
    if (!pathComplete || outputPath.empty()) {
        medialog::warning("encoder: refusing an output path that could not be converted whole: \"" + outputPath + "\"");
        return kBadPath;
    }
    const Container container = containerFor(param.dwFourCC);
    temporaryPath = encoding::temporaryNameFor(outputPath);
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, nullptr, container.muxer, temporaryPath.c_str()) < 0)
        return kCannotEncode;
    output.reset(raw);

    // Only a cut (a MOV) carries pictures; a file without any gives an audio-only MOV.
    hasVideo = video != nullptr && param.bVideoDisable == 0 && param.dwFourCC == fourCC("MOV ");
    hasAudio = audio != nullptr && param.bAudioDisable == 0;
    if (!hasAudio && !hasVideo)
        return kNoSource;
    if (hasVideo) {
        const VyVideoInfo* info = PCVideoGetInfo(video);
        if (info == nullptr || !videoTrack.open(output.get(), *info, length))
            return kCannotEncode;
        PCVideoSeek(video, start);
    }
    if (hasAudio) {
        const VyAudioInfo* info = PCAudioGetInfo(audio);
        if (info == nullptr || !audioTrack.open(output.get(), param.audio, *info, container.audio, length))
            return kCannotEncode;
        PCAudioSeek(audio, start);
    }
    if (int err = avio_open(&output->pb, temporaryPath.c_str(), AVIO_FLAG_WRITE); err < 0) {
        medialog::warning("encoder: cannot create \"" + temporaryPath + "\": " + ff::errorString(err));
        return kCannotOpenOutput;
    }
    if (int err = avformat_write_header(output.get(), nullptr); err < 0) {
        medialog::warning("encoder: cannot start \"" + outputPath + "\": " + ff::errorString(err));
        return kCannotOpenOutput;
    }
    return kStarted;
}

bool EncoderImpl::run()
{
    bool videoDone = !hasVideo;
    double videoSeconds = 0.0;
    while (!cancel.load(std::memory_order_relaxed)) {
        const bool audioLeft = hasAudio && !audioTrack.inputDone();
        if (!audioLeft && videoDone)
            break;
        if (!videoDone && (!audioLeft || videoSeconds <= audioTrack.queuedSeconds())) {
            const MEDIA_FRAME* frame = PCVideoGetNextFrame(video);
            const double at = frame != nullptr ? frame->timestampUs / 1e6 - start : length;
            if (at >= length) {
                videoDone = true;
                continue;
            }
            videoSeconds = std::max(0.0, at);
            if (!videoTrack.push(output.get(), frame, videoSeconds))
                return false;
            continue;
        }
        if (!audioTrack.push(PCAudioGetNextFrame(audio)) || !audioTrack.drain(output.get(), false))
            return false;
    }
    if (cancel.load(std::memory_order_relaxed))
        return false;
    if (hasAudio && !audioTrack.drain(output.get(), true))
        return false;
    if (hasVideo && !videoTrack.flush(output.get()))
        return false;
    if (av_write_trailer(output.get()) < 0)
        return false;
    const bool closed = avio_closep(&output->pb) >= 0;
    return closed && std::rename(temporaryPath.c_str(), outputPath.c_str()) == 0;
}

void EncoderImpl::finish(bool ok)
{
    if (!ok) {
        output.reset();
        std::remove(temporaryPath.c_str());
        if (!cancel.load(std::memory_order_relaxed))
            medialog::warning("encoder: writing \"" + outputPath + "\" failed");
    }
    const std::lock_guard lock(mutex);
    result.store(ok ? 0 : 1, std::memory_order_release);
    done.store(true, std::memory_order_release);
    finished.notify_all();
}

void FCInitPlugins()
{
    // FFmpeg registers its codecs and formats itself; the call stays for the start-up order.
}

void FCUninitPlugins()
{
}

void InitEncParam(EncodeParam* param)
{
    if (param == nullptr)
        return;
    *param = EncodeParam {};
    param->video.dwFourCC = fourCC("Xvid");
    param->audio.dwFourCC = fourCC("AAC ");
    param->audio.nSampleRate = 44100;
    param->audio.nChannels = 2;
    param->audio.nBitrate = 128000;
    param->audio.nBitsPerSample = 16;
    param->dwFourCC = fourCC("M4A ");
}

Encoder EncCreate(VideoProcessor video, AudioProcessor audio)
{
    auto* encoder = new EncoderImpl;
    encoder->video = video;
    encoder->audio = audio;
    InitEncParam(&encoder->param);
    return encoder;
}

void EncSetOutputFile(Encoder encoder, const WidePath& path)
{
    if (encoder == nullptr)
        return;
    encoder->outputPath = path.toUtf8();
    encoder->pathComplete = path.isComplete();
}

void EncSetEncodeParam(Encoder encoder, const EncodeParam* param)
{
    if (encoder != nullptr && param != nullptr)
        encoder->param = *param;
}

int EncStart(Encoder encoder, double start, double length, int, int, int)
{
    if (encoder == nullptr || encoder->worker.joinable() || !(length > 0.0))
        return kNoSource;
    encoder->start = std::max(0.0, start);
    encoder->length = length;
    if (const int err = encoder->open(); err != kStarted) {
        encoder->output.reset();
        if (!encoder->temporaryPath.empty())
            std::remove(encoder->temporaryPath.c_str());
        return err;
    }
    encoder->worker = std::thread([encoder] { encoder->finish(encoder->run()); });
    return kStarted;
}

int EncWait(Encoder encoder, uint32_t timeoutMs)
{
    if (encoder == nullptr)
        return 1;
    if (!encoder->worker.joinable()) {
        // Waited for before, or never started.
        return encoder->done.load(std::memory_order_acquire) ? encoder->result.load(std::memory_order_acquire) : 1;
    }
    {
        std::unique_lock lock(encoder->mutex);
        const auto isDone = [encoder] { return encoder->done.load(std::memory_order_acquire); };
        if (timeoutMs == 0xFFFFFFFFu)
            encoder->finished.wait(lock, isDone);
        else if (!encoder->finished.wait_for(lock, std::chrono::milliseconds(timeoutMs), isDone))
            return 1;
    }
    encoder->worker.join();
    return encoder->result.load(std::memory_order_acquire);
}

void EncDestroy(Encoder encoder)
{
    if (encoder == nullptr)
        return;
    if (encoder->worker.joinable()) {
        encoder->cancel.store(true, std::memory_order_relaxed);
        encoder->worker.join();
    }
    delete encoder;
}
