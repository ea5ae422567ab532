// AudioProcessLib: format conversion, volume and fades between a decoder and its consumer.

#include "media/audioprocesslib.h"

#include "media/ffmpeg.h"
#include "media/medialog.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>
#include <mutex>
#include <vector>

namespace {

struct Fades {
    double inStart = 0.0;
    double inLength = 0.0;
    double outStart = 0.0;
    double outLength = 0.0;

    // Gain of the fades at `t` seconds on the source's timeline.
    [[nodiscard]] double gainAt(double t) const
    {
        double gain = 1.0;
        if (inLength > 0.0)
            gain *= std::clamp((t - inStart) / inLength, 0.0, 1.0);
        if (outLength > 0.0)
            gain *= 1.0 - std::clamp((t - outStart) / outLength, 0.0, 1.0);
        return gain;
    }
    // True when no fade changes anything in [from, to).
    [[nodiscard]] bool untouched(double from, double to) const
    {
        const bool inClear = inLength <= 0.0 || from >= inStart + inLength;
        const bool outClear = outLength <= 0.0 || to <= outStart;
        return inClear && outClear;
    }
};

} // namespace

struct AudioProcessorImpl {
    AudioDecoder decoder = nullptr;
    VyAudioInfo info; // what we deliver
    int sourceRate = 0;
    int sourceChannels = 0;
    ff::SwrPtr swr; // null when the source already has the output format
    bool drained = false; // the resampler's tail has been delivered
    std::vector<uint8_t> buffer;
    MEDIA_FRAME out {};
    int64_t nextSample = 0; // output-rate position of the next delivered sample

    std::atomic<int> volume { 100 };
    std::mutex fadeMutex; // fades may change from another thread while frames are pulled
    Fades fades;

    bool ensureResampler();
    const MEDIA_FRAME* next();
    void applyGain(int16_t* samples, int frames, double startSeconds);
};

bool AudioProcessorImpl::ensureResampler()
{
    if (swr || (sourceRate == info.sampleRate && sourceChannels == info.channels))
        return true;
    AVChannelLayout inLayout;
    AVChannelLayout outLayout;
    av_channel_layout_default(&inLayout, sourceChannels);
    av_channel_layout_default(&outLayout, info.channels);
    SwrContext* raw = nullptr;
    if (swr_alloc_set_opts2(
            &raw, &outLayout, AV_SAMPLE_FMT_S16, info.sampleRate, &inLayout, AV_SAMPLE_FMT_S16, sourceRate, 0, nullptr)
            < 0
        || swr_init(raw) < 0) {
        swr_free(&raw);
        return false;
    }
    swr.reset(raw);
    return true;
}

void AudioProcessorImpl::applyGain(int16_t* samples, int frames, double startSeconds)
{
    const double volumeGain = volume.load(std::memory_order_relaxed) / 100.0;
    Fades f;
    {
        const std::lock_guard lock(fadeMutex);
        f = fades;
    }
    const double rate = info.sampleRate;
    const double endSeconds = startSeconds + frames / rate;
    if (volumeGain == 1.0 && f.untouched(startSeconds, endSeconds))
        return; // 100 % outside the fades: the samples stay exactly as decoded
    const int channels = info.channels;
    // Rounds half away from zero, inline: a call per sample was a measurable part of a
    // conversion.
    auto scaled = [](int16_t s, double gain) {
        const double v = std::clamp(s * gain, -32768.0, 32767.0);
        return static_cast<int16_t>(static_cast<int32_t>(v + std::copysign(0.5, v)));
    };
    const int64_t count = static_cast<int64_t>(frames) * channels;
    if (f.untouched(startSeconds, endSeconds)) {
        for (int64_t i = 0; i < count; ++i)
            samples[i] = scaled(samples[i], volumeGain);
        return;
    }
    for (int i = 0; i < frames; ++i) {
        const double gain = volumeGain * f.gainAt(startSeconds + i / rate);
        for (int c = 0; c < channels; ++c) {
            int16_t& s = samples[static_cast<ptrdiff_t>(i) * channels + c];
            s = scaled(s, gain);
        }
    }
}

const MEDIA_FRAME* AudioProcessorImpl::next()
{
    const int bytesPerFrame = info.channels * 2;
    for (;;) {
        const MEDIA_FRAME* in = drained ? nullptr : ADecGetNextAudioFrame(decoder);
        if (in != nullptr && in->audio.dataSize == 0)
            in = nullptr;
        int frames = 0;
        if (!swr) {
            if (in == nullptr)
                return nullptr;
            frames = in->audio.dataSize / bytesPerFrame;
            buffer.assign(in->audio.data, in->audio.data + static_cast<ptrdiff_t>(frames) * bytesPerFrame);
            // Same rate as the decoder: its timestamps are exact.
            nextSample = av_rescale(in->timestampUs, info.sampleRate, AV_TIME_BASE);
        } else {
            if (in == nullptr && drained)
                return nullptr;
            const int inFrames = in != nullptr ? in->audio.dataSize / (sourceChannels * 2) : 0;
            const int capacity = swr_get_out_samples(swr.get(), inFrames) + 16;
            buffer.resize(static_cast<size_t>(capacity) * bytesPerFrame);
            uint8_t* outPlanes[1] = { buffer.data() };
            const uint8_t* inPlanes[1] = { in != nullptr ? in->audio.data : nullptr };
            frames = swr_convert(swr.get(), outPlanes, capacity, in != nullptr ? inPlanes : nullptr, inFrames);
            if (in == nullptr)
                drained = true; // that was the resampler's tail
            if (frames < 0)
                return nullptr;
        }
        if (frames == 0)
            continue;
        const double start = static_cast<double>(nextSample) / info.sampleRate;
        applyGain(reinterpret_cast<int16_t*>(buffer.data()), frames, start);
        out.kind = kMediaFrameAudio;
        out.audio = AudioFrame { info.sampleRate, info.channels, 16, buffer.data(), frames * bytesPerFrame, frames };
        out.timestampUs = av_rescale(nextSample, AV_TIME_BASE, info.sampleRate);
        out.durationUs = av_rescale(frames, AV_TIME_BASE, info.sampleRate);
        out.flags = 0;
        nextSample += frames;
        return &out;
    }
}

AudioProcessor PCAudioCreate(AudioDecoder decoder, int sampleRate, int channels, int bitsPerSample, int)
{
    const VyAudioInfo* source = ADecGetAudioInfo(decoder);
    if (source == nullptr)
        return nullptr;
    if (bitsPerSample != 0 && bitsPerSample != 16) {
        medialog::warning("audio processor: only 16-bit output is made, not " + std::to_string(bitsPerSample));
        return nullptr;
    }
    auto p = std::make_unique<AudioProcessorImpl>();
    p->decoder = decoder;
    p->sourceRate = source->sampleRate;
    p->sourceChannels = source->channels;
    p->info = *source;
    p->info.sampleRate = sampleRate > 0 ? sampleRate : source->sampleRate;
    p->info.channels = channels > 0 ? channels : source->channels;
    p->info.bitsPerSample = 16;
    if (!p->ensureResampler()) {
        medialog::warning("audio processor: cannot convert " + std::to_string(p->sourceRate) + " Hz / "
            + std::to_string(p->sourceChannels) + " channels to " + std::to_string(p->info.sampleRate) + " Hz / "
            + std::to_string(p->info.channels));
        return nullptr;
    }
    return p.release();
}

void PCAudioDestroy(AudioProcessor processor)
{
    delete processor;
}

void PCSetVolum(AudioProcessor processor, int volume)
{
    if (processor != nullptr)
        processor->volume.store(std::max(0, volume), std::memory_order_relaxed);
}

void PCSetFadeInOutTime(
    AudioProcessor processor, double fadeInStart, double fadeInLength, double fadeOutStart, double fadeOutLength)
{
    if (processor == nullptr)
        return;
    const std::lock_guard lock(processor->fadeMutex);
    processor->fades = Fades { fadeInStart, std::max(0.0, fadeInLength), fadeOutStart, std::max(0.0, fadeOutLength) };
}

const VyAudioInfo* PCAudioGetInfo(AudioProcessor processor)
{
    return processor != nullptr ? &processor->info : nullptr;
}

const MEDIA_FRAME* PCAudioGetNextFrame(AudioProcessor processor)
{
    return processor != nullptr ? processor->next() : nullptr;
}

double PCAudioSeek(AudioProcessor p, double seconds)
{
    if (p == nullptr)
        return 0.0;
    seconds = std::max(0.0, seconds);
    ADecAudioSeek(p->decoder, seconds);
    if (p->swr) {
        p->swr.reset(); // drop the old position's samples held in the filter
        p->ensureResampler();
    }
    p->drained = false;
    p->nextSample = llround(seconds * p->info.sampleRate);
    return seconds;
}

struct VideoProcessorImpl {
    VideoDecoder decoder = nullptr;
};

VideoProcessor PCVideoCreate(VideoDecoder decoder, int, double startTime)
{
    if (decoder == nullptr)
        return nullptr;
    auto* p = new VideoProcessorImpl { decoder };
    if (startTime >= 0.0)
        VDecVideoSeek(decoder, startTime, 1);
    return p;
}

void PCVideoDestroy(VideoProcessor processor)
{
    delete processor;
}

const VyVideoInfo* PCVideoGetInfo(VideoProcessor processor)
{
    return processor != nullptr ? VDecGetVideoInfo(processor->decoder) : nullptr;
}

const MEDIA_FRAME* PCVideoGetNextFrame(VideoProcessor processor)
{
    return processor != nullptr ? VDecGetVideoFrame(processor->decoder) : nullptr;
}

double PCVideoSeek(VideoProcessor processor, double seconds)
{
    return processor != nullptr ? VDecVideoSeek(processor->decoder, seconds, 1) : 0.0;
}
