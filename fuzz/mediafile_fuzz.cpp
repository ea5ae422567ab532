// Any file a user drops on the window: probed, and its first seconds decoded through the
// decoders the editor, the waveform and the thumbnails use. The bytes live in an
// anonymous memory file opened by its /proc path, so the decoders take their normal
// route through a path.

#include "core/text/commonfunctions.h"
#include "core/waveform/waveformdataengine.h"
#include "fuzz/fuzzsupport.h"
#include "media/vyrtmediafiledecoder.h"

#include <QImage>

#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

constexpr int64_t kDecodeUs = 3'000'000; // the first seconds only
constexpr int kMaxFrames = 600;

void decodeAudio(VyRTMediaFileDecoder& decoder)
{
    const VyAudioInfo* info = decoder.getAudioInfo();
    if (info == nullptr)
        return;
    fuzz::check(info->channels > 0 && info->sampleRate > 0 && info->bitsPerSample == 16, "a usable audio format");
    WaveformDataEngine engine;
    SampleBlock block;
    const bool drawn = engine.prepare(info->bitsPerSample, info->sampleRate, 200.0f);
    for (int i = 0; i < kMaxFrames; ++i) {
        const MEDIA_FRAME* frame = decoder.getNextAudioFrame();
        if (frame == nullptr || frame->audio.dataSize == 0)
            break;
        const AudioFrame& audio = frame->audio;
        fuzz::check(frame->kind == kMediaFrameAudio, "audio frames from the audio decoder");
        fuzz::check(audio.channels == info->channels, "frames keep the stream's channel count");
        fuzz::check(audio.dataSize == audio.sampleCount * audio.channels * 2, "a frame's size is its samples");
        // Every byte is read, so a frame shorter than it says shows.
        unsigned sum = 0;
        for (int32_t b = 0; b < audio.dataSize; ++b)
            sum += audio.data[b];
        (void)sum;
        if (drawn)
            engine.getSampleArray(frame, audio.dataSize, block);
        if (frame->timestampUs > kDecodeUs)
            break;
    }
    if (drawn)
        engine.finish(block);
    // A seek into the part just decoded, then one more frame.
    decoder.audioSeek(1.0);
    (void)decoder.getNextAudioFrame();
}

void decodeVideo(VyRTMediaFileDecoder& decoder)
{
    if (decoder.getVideoInfo() == nullptr)
        return;
    for (int i = 0; i < 90; ++i) {
        const MEDIA_FRAME* frame = decoder.getVideoFrame();
        if (frame == nullptr)
            break;
        const VideoImage& image = frame->video;
        fuzz::check(frame->kind == kMediaFrameVideo, "pictures from the video decoder");
        fuzz::check(image.width > 0 && image.height > 0, "a picture has a size");
        // The last pixel of each plane: a plane shorter than the picture shows here.
        const int chromaW = (image.width + 1) / 2;
        const int chromaH = (image.height + 1) / 2;
        volatile uint8_t last = image.y[(image.height - 1) * image.strideY + image.width - 1];
        last = image.u[(chromaH - 1) * image.strideU + chromaW - 1];
        last = image.v[(chromaH - 1) * image.strideV + chromaW - 1];
        (void)last;
        if (frame->timestampUs > kDecodeUs)
            break;
    }
    decoder.videoSeek(0.5);
    (void)CommonFunctions::getImgFromVedio(decoder.videoDecoder());
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietLogs();
    DecMgrInit();
    fuzz::quietLogs(); // DecMgrInit routes FFmpeg's lines into the media log
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const int fd = memfd_create("sonabel-fuzz-media", MFD_CLOEXEC);
    fuzz::check(fd >= 0, "memfd_create");
    for (size_t done = 0; done < size;) {
        const ssize_t n = write(fd, data + done, size - done);
        fuzz::check(n > 0, "writing the memory file");
        done += size_t(n);
    }
    const std::string path = "/proc/self/fd/" + std::to_string(fd);

    if (const MediaFileInfoPtr info = VyRTMediaFileDecoder::getMediaFileInfo(path)) {
        fuzz::check(info->programCount > 0 && info->programs != nullptr, "a probed file has a program");
        for (const VyStreamInfo& stream : info->streams)
            (void)stream.codecName.size();
    }
    {
        VyRTMediaFileDecoder decoder(path, VyRTMediaFileDecoder::AudioAndVideo);
        decodeAudio(decoder);
        decodeVideo(decoder);
    }
    close(fd);
    return 0;
}
