#pragma once
// YUV 4:2:0 planes to 32-bit pixels, for thumbnails and the picture pane.

#include <cstdint>

// Fills width x height pixels at `pixels` (4 bytes each, rows of width x 4 bytes) in
// B, G, R, X byte order: 0xffRRGGBB as little-endian 32-bit words. False when the
// sizes are unusable.
bool Yuv420_2_rgb32(int width, int height, uint8_t* pixels, const uint8_t* y, const uint8_t* u, const uint8_t* v,
    int strideY, int strideU, int strideV);
