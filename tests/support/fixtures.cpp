#include "support/fixtures.h"

#include "media/decoderlib.h"
#include "media/utfconvert.h"

#include <algorithm>
#include <cmath>
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

std::string wavHeader(int sampleRate, int channels, uint32_t dataBytes)
{
    std::string header;
    const auto put = [&header](uint32_t value, int bytes) {
        for (int i = 0; i < bytes; ++i)
            header += static_cast<char>((value >> (8 * i)) & 0xFF);
    };
    header += "RIFF";
    put(36 + dataBytes, 4);
    header += "WAVEfmt ";
    put(16, 4);
    put(1, 2); // PCM
    put(static_cast<uint32_t>(channels), 2);
    put(static_cast<uint32_t>(sampleRate), 4);
    put(static_cast<uint32_t>(sampleRate * channels * 2), 4); // bytes a second
    put(static_cast<uint32_t>(channels * 2), 2); // bytes a frame
    put(16, 2);
    header += "data";
    put(dataBytes, 4);
    return header;
}

void writeSilentWav(const std::string& file, int sampleRate, int channels, int seconds)
{
    const auto dataBytes = static_cast<uint32_t>(seconds) * static_cast<uint32_t>(sampleRate * channels * 2);
    writeFile(file, wavHeader(sampleRate, channels, dataBytes));
    std::filesystem::resize_file(file, 44 + uintmax_t { dataBytes });
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

Sources::Sources(const std::string& file, int rate, int channels, bool withVideo, double videoStart)
{
    audioDecoder = ADecCreate(WidePath(file), 0, 0, 0);
    audio = PCAudioCreate(audioDecoder, rate, channels, 16, 0);
    if (withVideo) {
        videoDecoder = VDecCreate(WidePath(file), 0, 0, 0);
        video = PCVideoCreate(videoDecoder, 0, videoStart);
    }
}

Sources::~Sources()
{
    PCAudioDestroy(audio);
    ADecDestroy(audioDecoder);
    PCVideoDestroy(video);
    VDecDestroy(videoDecoder);
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

namespace fixtures {

double rms(const int16_t* interleaved, size_t frames, int channels, int channel)
{
    double sum = 0.0;
    size_t n = 0;
    for (size_t i = 0; i < frames * static_cast<size_t>(std::max(channels, 0)); ++i) {
        if (channel >= 0 && static_cast<int>(i % static_cast<size_t>(channels)) != channel)
            continue;
        const double v = interleaved[i] / 32768.0;
        sum += v * v;
        ++n;
    }
    return n > 0 ? std::sqrt(sum / static_cast<double>(n)) : 0.0;
}

double rms(const Pcm& pcm, double from, double seconds, int channel)
{
    if (pcm.channels <= 0)
        return 0.0;
    const size_t first = std::min(pcm.frames(), static_cast<size_t>(std::max(0.0, from) * pcm.sampleRate + 0.5));
    const size_t last = std::min(pcm.frames(), first + static_cast<size_t>(seconds * pcm.sampleRate + 0.5));
    return rms(pcm.samples.data() + first * static_cast<size_t>(pcm.channels), last - first, pcm.channels, channel);
}

double toDb(double level)
{
    return level > 0.0 ? std::max(-120.0, 20.0 * std::log10(level)) : -120.0;
}

double levelDb(const Pcm& pcm, double from, double seconds, int channel)
{
    return toDb(rms(pcm, from, seconds, channel));
}

} // namespace fixtures
