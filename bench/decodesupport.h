#pragma once
// Shared by the benchmarks: a whole-file decode through the decoder, nothing else.

#include "media/decoderlib.h"
#include "media/utfconvert.h"

#include <cstdint>
#include <string>

// Bytes of PCM the file decodes to; -1 when it does not decode.
inline int64_t decodeWhole(const std::string& file)
{
    AudioDecoder decoder = ADecCreate(WidePath(file), 0, 0, 0);
    if (decoder == nullptr)
        return -1;
    ADecAudioSeek(decoder, 0.0);
    int64_t bytes = 0;
    while (const MEDIA_FRAME* frame = ADecGetNextAudioFrame(decoder)) {
        if (frame->audio.dataSize == 0)
            break;
        bytes += frame->audio.dataSize;
    }
    ADecDestroy(decoder);
    return bytes;
}

// Takes "--file FILE" out of the arguments (so the benchmark library does not see it) and
// returns FILE, or an empty string when it is not there.
inline std::string takeFileArgument(int& argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        if (std::string(argv[i]) == "--file") {
            std::string file = argv[i + 1];
            for (int j = i; j + 2 <= argc; ++j)
                argv[j] = argv[j + 2];
            argc -= 2;
            return file;
        }
    }
    return {};
}
