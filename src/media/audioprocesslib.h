#pragma once
// AudioProcessLib: wraps a decoder and delivers what a consumer (the encoder, the
// player) needs: PCM in a requested format with the output volume and linear fades
// applied, or pictures ready for the encoder.
//
// Audio: interleaved signed 16-bit PCM at the requested rate and channel count (zeros
// keep the decoder's own), resampled and remixed with libswresample. Timestamps stay on
// the source's timeline, where the fades are placed too.
//
// Threads: a processor is used by one thread at a time, except PCSetVolum and
// PCSetFadeInOutTime, which may be called from any thread while another pulls frames
// (the player changes the volume while its decode thread runs).

#include "media/decoderlib.h"

struct AudioProcessorImpl;
struct VideoProcessorImpl;
using AudioProcessor = AudioProcessorImpl*;
using VideoProcessor = VideoProcessorImpl*;

// Null when the decoder is null or the format cannot be produced. The decoder stays the
// caller's, and must outlive the processor.
AudioProcessor PCAudioCreate(AudioDecoder decoder, int sampleRate, int channels, int bitsPerSample, int reserved);
void PCAudioDestroy(AudioProcessor processor);

// Output volume in percent: 100 leaves samples unchanged, 0 silences, above 100
// amplifies with clipping.
void PCSetVolum(AudioProcessor processor, int volume);
// Linear gain ramps on the source's timeline (seconds): the fade-in rises from 0 at its
// start to 1 at its end (silence before it), the fade-out falls from 1 at its start to 0
// at its end (silence after it). A length of 0 switches that fade off.
void PCSetFadeInOutTime(
    AudioProcessor processor, double fadeInStart, double fadeInLength, double fadeOutStart, double fadeOutLength);

// The format of the frames delivered (bitsPerSample always 16).
const VyAudioInfo* PCAudioGetInfo(AudioProcessor processor);
// The next frame from the current position; null at the end. Valid until the next call.
const MEDIA_FRAME* PCAudioGetNextFrame(AudioProcessor processor);
// Sample-accurate: the next frame starts exactly at `seconds`.
double PCAudioSeek(AudioProcessor processor, double seconds);

// Pictures of `decoder` as YUV 4:2:0 frames. `startTime` is where the first picture is
// taken (negative: wherever the decoder stands).
VideoProcessor PCVideoCreate(VideoDecoder decoder, int reserved, double startTime);
void PCVideoDestroy(VideoProcessor processor);
const VyVideoInfo* PCVideoGetInfo(VideoProcessor processor);
const MEDIA_FRAME* PCVideoGetNextFrame(VideoProcessor processor);
double PCVideoSeek(VideoProcessor processor, double seconds);
