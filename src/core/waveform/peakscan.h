#pragma once
// The peak of a run of samples, shared by the waveform engines: greatest magnitude, sign
// kept, the first on a tie.

#include <cstdint>

namespace peakscan {

// The peak of `count` samples of `bytesPerSample` bytes at `data` (any alignment) and its
// magnitude. 16-bit samples are signed little-endian; other widths are read as their
// first byte, unsigned.
void peakOf(const uint8_t* data, int64_t count, int bytesPerSample, int32_t& peak, int32_t& size);

} // namespace peakscan
