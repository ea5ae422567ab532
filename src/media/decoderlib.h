#pragma once
// DecoderLib: probing and decoding media files on FFmpeg.
//
// Contract
// - Audio frames are interleaved signed 16-bit PCM at the source's sample rate and
//   channel count, whatever the codec delivers (planar or float sources are converted).
// - Pictures are YUV 4:2:0 (other pixel formats are converted).
// - Seeks are sample-accurate: the next frame starts exactly at the requested time, and
//   a decode from any start gives the samples a decode of the whole file gives there
//   (the encoder's delay skipped at the file's start; decoding resumes early enough
//   before the target for the codec to settle).
// - An attached cover picture is not video: it is never counted as a video stream and
//   VDecCreate gives none for a file whose only picture is a cover.
// - Paths come as WidePath; one that could not be converted whole is never opened.
//
// Threads: DecMgrInit/DecMgrUninit once, on any one thread. Every other call is
// safe to make on different handles from different threads at the same time (several
// decoders on one file are fine); one handle is used by one thread at a time.

#include <cstdint>
#include <string>
#include <vector>

class WidePath;

struct AudioDecoderImpl;
struct VideoDecoderImpl;
using AudioDecoder = AudioDecoderImpl*;
using VideoDecoder = VideoDecoderImpl*;

// PCM format of the frames an audio decoder delivers. Owned by the decoder.
struct VyAudioInfo {
    int32_t sampleRate = 0; // Hz, per channel
    int32_t channels = 0; // interleaved in each frame
    int32_t bitsPerSample = 0; // always 16 here
    int32_t bitRate = 0; // of the source stream, bits per second (0 when unknown)
    double duration = 0.0; // of the audio stream, seconds
    uint32_t codecId = 0; // FFmpeg's codec id of the source
};

enum MediaFrameKind : int32_t { kMediaFrameAudio = 1, kMediaFrameVideo = 2 };

struct AudioFrame {
    int32_t sampleRate;
    int32_t channels;
    int32_t bitsPerSample; // 16: signed little-endian; otherwise one byte per sample
    uint8_t* data; // interleaved samples
    int32_t dataSize; // bytes at data; 0 marks the end of the stream
    int32_t sampleCount; // frames (samples per channel) at data
};

struct VideoImage {
    uint8_t* y;
    uint8_t* u;
    uint8_t* v;
    int32_t width;
    int32_t height;
    int32_t strideY;
    int32_t strideU;
    int32_t strideV;
};

// Owned by the decoder; valid until the next call on the same handle or its destruction.
struct MEDIA_FRAME {
    int32_t kind;
    union {
        AudioFrame audio;
        VideoImage video;
    };
    int64_t timestampUs; // start of the frame on the file's timeline, microseconds
    int64_t durationUs;
    int32_t flags;
};

// One stream of a probed file.
struct VyStreamInfo {
    enum class Kind { Audio, Video, AttachedPicture, Subtitle, Other };
    int32_t index = 0;
    Kind kind = Kind::Other;
    std::string codecName;
    double duration = 0.0; // seconds
    int32_t bitRate = 0; // bits per second
    int32_t sampleRate = 0;
    int32_t channels = 0;
    int32_t width = 0;
    int32_t height = 0;
};

struct ProgramInfo {
    int32_t videoStreamCount = 0; // non-zero: the file has a picture (covers not counted)
    int32_t audioStreamCount = 0; // non-zero: the file has an audio track
    const VyStreamInfo* firstStream = nullptr; // first audio or video stream
    const VyStreamInfo* audioStream = nullptr; // first audio stream, or none
};

// Owned by the caller; released only with VyReleaseMediaFileInfo.
struct MEDIA_FILE_INFO {
    MEDIA_FILE_INFO() = default;
    MEDIA_FILE_INFO(const MEDIA_FILE_INFO&) = delete; // points into its own vectors
    MEDIA_FILE_INFO& operator=(const MEDIA_FILE_INFO&) = delete;

    double duration = 0.0; // seconds
    // Never 0: a file without any stream is unreadable and gives no record at all.
    int32_t programCount = 0;
    ProgramInfo* programs = nullptr; // the first of programCount programs
    std::string formatName;
    std::vector<VyStreamInfo> streams;
    std::vector<ProgramInfo> programList;
};

struct VyVideoInfo {
    int32_t width = 0;
    int32_t height = 0;
    double frameRate = 0.0;
    int32_t bitRate = 0;
    int32_t sampleAspectNum = 0;
    int32_t sampleAspectDen = 0;
    uint32_t codecId = 0;
    int32_t pixelFormat = 0; // of the pictures delivered: always YUV 4:2:0
    uint32_t reserved = 0;
};

void DecMgrInit();
void DecMgrUninit();

MEDIA_FILE_INFO* VyGetMediaFileInfo(const WidePath& path, int reserved);
void VyReleaseMediaFileInfo(MEDIA_FILE_INFO* info);

AudioDecoder ADecCreate(const WidePath& path, int, int, int);
void ADecDestroy(AudioDecoder decoder);
const VyAudioInfo* ADecGetAudioInfo(AudioDecoder decoder);
const MEDIA_FRAME* ADecGetNextAudioFrame(AudioDecoder decoder);
double ADecAudioSeek(AudioDecoder decoder, double seconds);

// `threads` decode the picture side by side (0 or 1: on the caller's thread only). More than
// one pays for whole-file passes such as a cut; playback keeps to one, its pictures are small.
VideoDecoder VDecCreate(const WidePath& path, int threads, int, int);
void VDecDestroy(VideoDecoder decoder);
const VyVideoInfo* VDecGetVideoInfo(VideoDecoder decoder);
const MEDIA_FRAME* VDecGetVideoFrame(VideoDecoder decoder);
double VDecVideoSeek(VideoDecoder decoder, double seconds, int accurate);
