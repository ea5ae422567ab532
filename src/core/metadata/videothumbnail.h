#pragma once
// The small picture shown for a video file: its first frame stretched to 120 x 90.

#include "media/decoderlib.h"

class QImage;

// Size of every thumbnail; the frame is stretched to it, its aspect ratio is not kept.
inline constexpr int kVideoThumbnailWidth = 120;
inline constexpr int kVideoThumbnailHeight = 90;

// Seeks `decoder` to the start and converts the first picture it delivers. A null
// image when the decoder is null or gives no picture. Moves the decoder's position:
// the caller owns the handle and uses it on one thread at a time.
[[nodiscard]] QImage videoThumbnail(VideoDecoder decoder);
