#pragma once
// The packed sound font: a 16-byte header of ours followed by one xz stream holding the
// SF2 file. Plain C++ so that the build's packing tool needs nothing but liblzma.
//
//   0  4  magic "CSfP"
//   4  4  format version, little-endian (1)
//   8  8  size of the unpacked font in bytes, little-endian

#include <array>
#include <cstdint>
#include <cstring>
#include <optional>

namespace soundfontpack {

inline constexpr std::array<char, 4> kMagic { 'C', 'S', 'f', 'P' };
inline constexpr uint32_t kVersion = 1;
inline constexpr size_t kHeaderSize = 16;
// Far above any font we ship; a header claiming more is damaged.
inline constexpr uint64_t kMaxUnpackedSize = uint64_t(1) << 30;

using Header = std::array<unsigned char, kHeaderSize>;

inline Header encodeHeader(uint64_t unpackedSize)
{
    Header header {};
    std::memcpy(header.data(), kMagic.data(), kMagic.size());
    for (int i = 0; i < 4; ++i)
        header[4 + i] = static_cast<unsigned char>(kVersion >> (8 * i));
    for (int i = 0; i < 8; ++i)
        header[8 + i] = static_cast<unsigned char>(unpackedSize >> (8 * i));
    return header;
}

// The unpacked size, or nothing when the magic, the version or the size is wrong.
inline std::optional<uint64_t> decodeHeader(const Header& header)
{
    if (std::memcmp(header.data(), kMagic.data(), kMagic.size()) != 0)
        return std::nullopt;
    uint32_t version = 0;
    for (int i = 0; i < 4; ++i)
        version |= uint32_t(header[4 + i]) << (8 * i);
    uint64_t size = 0;
    for (int i = 0; i < 8; ++i)
        size |= uint64_t(header[8 + i]) << (8 * i);
    if (version != kVersion || size > kMaxUnpackedSize)
        return std::nullopt;
    return size;
}

} // namespace soundfontpack
