#include "support/fixtures.h"

#include "media/decoderlib.h"
#include "media/utfconvert.h"

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <random>
#include <stdexcept>

namespace fixtures {

std::string path(std::string_view name)
{
    return std::string(SONABEL_FIXTURE_DIR) + "/" + std::string(name);
}

ScratchDir::ScratchDir()
{
    const char* tmp = std::getenv("TMPDIR");
    std::string pattern = std::string(tmp != nullptr && *tmp != '\0' ? tmp : "/tmp") + "/sonabel-test-XXXXXX";
    std::filesystem::create_directories(std::filesystem::path(pattern).parent_path());
    if (::mkdtemp(pattern.data()) == nullptr)
        throw std::runtime_error("mkdtemp failed");
    m_path = pattern;
}

ScratchDir::~ScratchDir()
{
    std::error_code ec;
    std::filesystem::remove_all(m_path, ec);
}

void writeFile(const std::string& file, std::string_view bytes)
{
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out)
        throw std::runtime_error("cannot write " + file);
}

void copyFile(const std::string& from, const std::string& to)
{
    std::filesystem::copy_file(from, to, std::filesystem::copy_options::overwrite_existing);
}

std::string randomBytes(size_t count, unsigned seed)
{
    std::mt19937 generator(seed);
    std::uniform_int_distribution<int> byte(0, 255);
    std::string bytes(count, '\0');
    for (char& c : bytes)
        c = static_cast<char>(byte(generator));
    return bytes;
}

Pcm decodeAll(const std::string& file, double seekTo)
{
    Pcm pcm;
    AudioDecoder decoder = ADecCreate(WidePath(file), 0, 0, 0);
    if (decoder == nullptr)
        return pcm;
    const VyAudioInfo* info = ADecGetAudioInfo(decoder);
    pcm.sampleRate = info->sampleRate;
    pcm.channels = info->channels;
    if (seekTo >= 0.0)
        ADecAudioSeek(decoder, seekTo);
    while (const MEDIA_FRAME* frame = ADecGetNextAudioFrame(decoder)) {
        if (frame->audio.dataSize == 0)
            break;
        if (pcm.firstTimestampUs < 0)
            pcm.firstTimestampUs = frame->timestampUs;
        const auto* samples = reinterpret_cast<const int16_t*>(frame->audio.data);
        pcm.samples.insert(pcm.samples.end(), samples, samples + frame->audio.dataSize / 2);
    }
    ADecDestroy(decoder);
    return pcm;
}

int zeroCrossings(const Pcm& pcm, int channel, size_t from, size_t count)
{
    int crossings = 0;
    const size_t end = std::min(pcm.frames(), from + count);
    for (size_t i = from + 1; i < end; ++i) {
        const int16_t a = pcm.samples[(i - 1) * pcm.channels + channel];
        const int16_t b = pcm.samples[i * pcm.channels + channel];
        if ((a < 0) != (b < 0))
            ++crossings;
    }
    return crossings;
}

} // namespace fixtures
