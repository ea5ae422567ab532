#pragma once
// EncoderLib: pulls from AudioProcessLib sources and writes an output file with FFmpeg.
//
// Containers and codecs by four-character code:
//   "M4A " + "AAC "  AAC-LC in an MPEG-4 file with the M4A brand (ringtones, .m4r),
//                    encoder delay declared in an edit list so players start at sample 0
//   "WAV " + "PCM "  16-bit PCM WAV
//   "PM3 "           MP3
//   "MOV "           QuickTime; MPEG-4 Visual video ("Xvid") when there is a video
//                    source, and AAC audio
// The encoder converts what its sources deliver to the parameters it is given, and
// brings values a phone cannot take (more than 2 channels, rates outside 8000-48000 Hz,
// bit rates of 0 or above 320000) to the nearest supported value, saying so in the log.
// The output is written under a temporary name in the same folder and renamed into place
// only when complete.
//
// Threads: EncStart runs the encode on a thread of the encoder's own; the caller waits
// with EncWait. One caller drives one encoder.

#include "media/audioprocesslib.h"

#include <cstdint>

class WidePath;

// A code is four ASCII characters in reading order: "M4A " is 'M', '4', 'A', ' '.
constexpr uint32_t fourCC(const char (&code)[5])
{
    return static_cast<uint32_t>(static_cast<unsigned char>(code[0]))
        | static_cast<uint32_t>(static_cast<unsigned char>(code[1])) << 8
        | static_cast<uint32_t>(static_cast<unsigned char>(code[2])) << 16
        | static_cast<uint32_t>(static_cast<unsigned char>(code[3])) << 24;
}

struct VideoParam {
    uint32_t dwFourCC;
    int32_t nWidth; // 0: the source's
    int32_t nHeight;
    double dFrameRate; // 0: the source's
    int32_t nBitrate;
    int32_t bIsVBR;
    int32_t nMaxBitrate;
    int32_t nResizeStyle;
    int32_t nInterpolation;
    uint32_t dwCompression;
    int32_t nBitsDepth;
    uint32_t dwFormat;
    uint32_t dwNorm;
    uint32_t dwAspect;
    int32_t bFieldEnc;
};

struct AudioParam {
    uint32_t dwFourCC;
    int32_t nSampleRate;
    int32_t nChannels;
    int32_t nBitrate;
    int32_t bIsVBR;
    int32_t nMaxBitrate;
    int32_t nBitsPerSample;
};

struct EncodeParam {
    VideoParam video;
    AudioParam audio;
    int32_t bVideoDisable;
    int32_t bAudioDisable;
    uint32_t dwFourCC;
};

struct EncoderImpl;
using Encoder = EncoderImpl*;

void FCInitPlugins();
void FCUninitPlugins();

// Usable defaults: AAC in M4A, 44100 Hz, 2 channels, 128000 bit/s, 16 bits; MPEG-4
// video at the source's size and rate.
void InitEncParam(EncodeParam* param);

Encoder EncCreate(VideoProcessor video, AudioProcessor audio);
void EncSetOutputFile(Encoder encoder, const WidePath& path);
void EncSetEncodeParam(Encoder encoder, const EncodeParam* param);
// Seeks the sources to `start` and encodes exactly `length` seconds of them. 0 once
// the encode has started; non-zero when the sources or the output cannot be opened.
int EncStart(Encoder encoder, double start, double length, int, int, int);
// Blocks (without spinning) until the encode has ended or `timeoutMs` has passed
// (0xFFFFFFFF: no limit). 0 when the output file is complete and in place; non-zero
// when the encode failed or is still running.
int EncWait(Encoder encoder, uint32_t timeoutMs);
// Stops a running encode (the partial output is removed) and frees the encoder.
void EncDestroy(Encoder encoder);
