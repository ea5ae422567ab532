// sf2pack SOURCE DESTINATION: packs a sound font into the form the program unpacks at
// start-up (core/groovebox/soundfontpackformat.h). Run by the build; the result goes to a
// temporary name first so that an interrupted build never leaves a half-written pack.

#include "core/groovebox/soundfontpackformat.h"

#include <cstdio>
#include <fstream>
#include <iterator>
#include <lzma.h>
#include <string>
#include <vector>

namespace {

int fail(const std::string& message)
{
    std::fprintf(stderr, "sf2pack: %s\n", message.c_str());
    return 1;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 3)
        return fail("usage: sf2pack SOURCE DESTINATION");
    const std::string source = argv[1];
    const std::string destination = argv[2];

    std::ifstream in(source, std::ios::binary);
    if (!in)
        return fail("cannot read " + source);
    const std::vector<uint8_t> font((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    if (in.bad() || font.empty() || font.size() > soundfontpack::kMaxUnpackedSize)
        return fail("cannot pack " + source);

    std::vector<uint8_t> packed(lzma_stream_buffer_bound(font.size()));
    size_t packedSize = 0;
    if (lzma_easy_buffer_encode(
            6, LZMA_CHECK_CRC64, nullptr, font.data(), font.size(), packed.data(), &packedSize, packed.size())
        != LZMA_OK)
        return fail("compression failed");

    const std::string temporary = destination + ".partial";
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        const soundfontpack::Header header = soundfontpack::encodeHeader(font.size());
        out.write(reinterpret_cast<const char*>(header.data()), static_cast<std::streamsize>(header.size()));
        out.write(reinterpret_cast<const char*>(packed.data()), static_cast<std::streamsize>(packedSize));
        out.close();
        if (!out) {
            std::remove(temporary.c_str());
            return fail("cannot write " + destination);
        }
    }
    if (std::rename(temporary.c_str(), destination.c_str()) != 0) {
        std::remove(temporary.c_str());
        return fail("cannot write " + destination);
    }
    return 0;
}
