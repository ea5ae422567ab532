#include "media/yuvconvert.h"

#include "media/ffmpeg.h"

bool Yuv420_2_rgb32(int width, int height, uint8_t* pixels, const uint8_t* y, const uint8_t* u, const uint8_t* v,
    int strideY, int strideU, int strideV)
{
    if (width <= 0 || height <= 0 || pixels == nullptr || y == nullptr || u == nullptr || v == nullptr)
        return false;
    ff::SwsPtr sws(sws_getContext(
        width, height, AV_PIX_FMT_YUV420P, width, height, AV_PIX_FMT_BGR0, SWS_BILINEAR, nullptr, nullptr, nullptr));
    if (!sws)
        return false;
    const uint8_t* const src[4] = { y, u, v, nullptr };
    const int srcStride[4] = { strideY, strideU, strideV, 0 };
    uint8_t* const dst[4] = { pixels, nullptr, nullptr, nullptr };
    const int dstStride[4] = { width * 4, 0, 0, 0 };
    return sws_scale(sws.get(), src, srcStride, 0, height, dst, dstStride) == height;
}
