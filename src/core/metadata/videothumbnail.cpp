#include "core/metadata/videothumbnail.h"

#include "media/yuvconvert.h"

#include <QImage>

QImage videoThumbnail(VideoDecoder decoder)
{
    if (decoder == nullptr)
        return {};
    VDecVideoSeek(decoder, 0.0, 1);
    const MEDIA_FRAME* frame = VDecGetVideoFrame(decoder);
    if (frame == nullptr || frame->kind != kMediaFrameVideo)
        return {};
    const VideoImage& picture = frame->video;
    if (picture.width <= 0 || picture.height <= 0 || picture.y == nullptr || picture.u == nullptr
        || picture.v == nullptr)
        return {};

    // The converter writes B, G, R, 0xff bytes, rows of width x 4 bytes: on our little-endian
    // machines those are Format_RGB32's 0xffRRGGBB words, and a 32-bit row is never padded.
    // The image owns its pixels, as scaled() hands back the same image when the frame is
    // already thumbnail-sized.
    QImage frameImage(picture.width, picture.height, QImage::Format_RGB32);
    if (frameImage.isNull() || frameImage.bytesPerLine() != static_cast<qsizetype>(picture.width) * 4)
        return {};
    if (!Yuv420_2_rgb32(picture.width, picture.height, frameImage.bits(), picture.y, picture.u, picture.v,
            picture.strideY, picture.strideU, picture.strideV))
        return {};
    return frameImage.scaled(
        kVideoThumbnailWidth, kVideoThumbnailHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}
