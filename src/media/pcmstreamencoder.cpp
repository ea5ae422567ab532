#include "media/pcmstreamencoder.h"

#include "media/decoderlib.h"
#include "media/encoderaudiotrack.h"
#include "media/encoderpackets.h"
#include "media/ffmpeg.h"

#include <cstdio>

namespace {

// The track is cut to a length given up front; a live stream ends when finish() says
// so, long before this.
constexpr double kOpenEndedSeconds = 24.0 * 3600.0 * 365.0;

} // namespace

struct PcmStreamEncoder::Impl {
    encoding::OutputPtr output;
    encoding::AudioTrack track;
    std::string path;
    std::string temporaryPath;
    int channels = 0;
    int sampleRate = 0;
    bool open = false;
};

PcmStreamEncoder::PcmStreamEncoder() = default;

PcmStreamEncoder::~PcmStreamEncoder()
{
    abandon();
}

bool PcmStreamEncoder::open(const std::string& path, int sampleRate, int channels, int bitRate)
{
    abandon();
    m_frames.store(0, std::memory_order_relaxed);
    d = std::make_unique<Impl>();
    d->path = path;
    d->temporaryPath = encoding::temporaryNameFor(path);
    d->channels = channels;
    d->sampleRate = sampleRate;
    auto fail = [this](const std::string& why) {
        m_error = why;
        abandon();
        return false;
    };
    if (sampleRate <= 0 || channels <= 0)
        return fail("no sound format");
    AVFormatContext* raw = nullptr;
    if (avformat_alloc_output_context2(&raw, nullptr, "mov", d->temporaryPath.c_str()) < 0)
        return fail("the QuickTime writer is missing");
    d->output.reset(raw);
    AudioParam param {};
    param.dwFourCC = fourCC("AAC ");
    param.nSampleRate = sampleRate;
    param.nChannels = channels;
    param.nBitrate = bitRate;
    param.nBitsPerSample = 16;
    VyAudioInfo source;
    source.sampleRate = sampleRate;
    source.channels = channels;
    source.bitsPerSample = 16;
    if (!d->track.open(d->output.get(), param, source, AV_CODEC_ID_AAC, kOpenEndedSeconds))
        return fail("the AAC encoder cannot be opened");
    if (int err = avio_open(&d->output->pb, d->temporaryPath.c_str(), AVIO_FLAG_WRITE); err < 0)
        return fail("cannot create " + d->temporaryPath + ": " + ff::errorString(err));
    d->open = true;
    if (int err = avformat_write_header(d->output.get(), nullptr); err < 0)
        return fail("cannot start " + path + ": " + ff::errorString(err));
    return true;
}

bool PcmStreamEncoder::write(const int16_t* samples, int frames)
{
    if (!d || !d->open)
        return false;
    if (frames <= 0)
        return true;
    MEDIA_FRAME frame {};
    frame.kind = kMediaFrameAudio;
    frame.audio.sampleRate = d->sampleRate;
    frame.audio.channels = d->channels;
    frame.audio.bitsPerSample = 16;
    // The track only reads the samples.
    frame.audio.data = reinterpret_cast<uint8_t*>(const_cast<int16_t*>(samples));
    frame.audio.dataSize = frames * d->channels * 2;
    frame.audio.sampleCount = frames;
    if (!d->track.push(&frame) || !d->track.drain(d->output.get(), false)) {
        m_error = "encoding failed";
        return false;
    }
    m_frames.fetch_add(frames, std::memory_order_relaxed);
    return true;
}

bool PcmStreamEncoder::finish()
{
    if (!d || !d->open)
        return false;
    bool ok = d->track.push(nullptr) && d->track.drain(d->output.get(), true) && av_write_trailer(d->output.get()) >= 0;
    ok = avio_closep(&d->output->pb) >= 0 && ok;
    if (ok && std::rename(d->temporaryPath.c_str(), d->path.c_str()) != 0)
        ok = false;
    if (!ok) {
        m_error = "cannot complete " + d->path;
        abandon();
        return false;
    }
    d.reset();
    return true;
}

void PcmStreamEncoder::abandon()
{
    if (!d)
        return;
    const bool started = d->open;
    d->output.reset();
    if (started)
        std::remove(d->temporaryPath.c_str());
    d.reset();
}
