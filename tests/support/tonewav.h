#pragma once
// A WAV file of a steady tone, written directly (no encoder involved): for tests that
// need files of a given length quickly.

#include <cmath>
#include <cstdint>
#include <fstream>
#include <string>
#include <vector>

namespace fixtures {

inline void writeToneWav(const std::string& path, double seconds, int rate = 8000, double amplitude = 0.5)
{
    const auto frames = static_cast<uint32_t>(seconds * rate);
    const uint32_t dataSize = frames * 2;
    std::vector<int16_t> samples(frames);
    for (uint32_t i = 0; i < frames; ++i)
        samples[i] = static_cast<int16_t>(amplitude * 32767 * std::sin(2 * M_PI * 440.0 * i / rate));
    std::ofstream out(path, std::ios::binary);
    auto put32 = [&out](uint32_t v) { out.write(reinterpret_cast<const char*>(&v), 4); };
    auto put16 = [&out](uint16_t v) { out.write(reinterpret_cast<const char*>(&v), 2); };
    out.write("RIFF", 4);
    put32(36 + dataSize);
    out.write("WAVEfmt ", 8);
    put32(16);
    put16(1);
    put16(1);
    put32(static_cast<uint32_t>(rate));
    put32(static_cast<uint32_t>(rate * 2));
    put16(2);
    put16(16);
    out.write("data", 4);
    put32(dataSize);
    out.write(reinterpret_cast<const char*>(samples.data()), dataSize);
}

} // namespace fixtures
