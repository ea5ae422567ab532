#pragma once
// What the ffmpeg command decodes from a media fixture (make-fixtures.sh writes it beside
// the file as NAME.s16), and how far our samples stray from it.

#include "support/fixtures.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fixtures {

// Interleaved 16-bit samples of fixture `name`, as `ffmpeg -i NAME -f s16le` gives them.
inline std::vector<int16_t> referencePcm(const std::string& name)
{
    std::ifstream in(path(name + ".s16"), std::ios::binary);
    const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<int16_t> samples(bytes.size() / 2);
    std::copy_n(bytes.data(), samples.size() * 2, reinterpret_cast<char*>(samples.data()));
    return samples;
}

struct Difference {
    int worst = 0; // largest difference of one sample
    size_t where = 0; // its index in `ours`
    bool fits = false; // `ours` lies within the reference from `offset` on
};

// Compares `ours` with the reference samples starting at index `offset`.
inline Difference compareWithReference(
    const std::vector<int16_t>& ours, const std::vector<int16_t>& reference, size_t offset)
{
    Difference d;
    d.fits = offset <= reference.size() && ours.size() <= reference.size() - offset;
    const size_t n = d.fits ? ours.size() : 0;
    for (size_t i = 0; i < n; ++i) {
        const int diff = std::abs(ours[i] - reference[offset + i]);
        if (diff > d.worst) {
            d.worst = diff;
            d.where = i;
        }
    }
    return d;
}

} // namespace fixtures
