#pragma once
// Opening a file and its streams: shared by the probe and the two decoders.

#include "media/ffmpeg.h"

#include <string_view>

class WidePath;

namespace mediainput {

// Opens and probes the file behind `path`. Refuses a path that was cut on conversion.
// `who` names the caller in log lines. Null when the file cannot be read.
ff::InputFormatPtr open(const WidePath& path, std::string_view who);

[[nodiscard]] bool isAttachedPicture(const AVStream* stream);

// The stream FFmpeg deems best of `type`, never a cover picture; -1 when there is none.
[[nodiscard]] int findStream(AVFormatContext* format, AVMediaType type);

// An opened decoder for `stream`, or null when FFmpeg has none for its codec.
ff::CodecContextPtr openDecoder(const AVStream* stream, int threads);

// The file's audio stream with its decoder open (one thread), every other stream left
// unread; a null stream when there is no audio or no usable decoder for it.
struct AudioInput {
    AVStream* stream = nullptr;
    ff::CodecContextPtr codec;
};
[[nodiscard]] AudioInput openAudio(AVFormatContext* format);

// Where the stream's timeline starts, in its time base (0 when unknown).
[[nodiscard]] int64_t startTimestamp(const AVStream* stream);

// Duration of a stream in seconds, falling back to the container's.
[[nodiscard]] double streamDuration(const AVFormatContext* format, const AVStream* stream);

} // namespace mediainput
