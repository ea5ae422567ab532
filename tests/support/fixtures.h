#pragma once
// Test helpers: the generated media files, scratch folders and whole-file decodes.
// Plain C++ so that the media tests need no Qt.

#include "media/audioprocesslib.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace fixtures {

// Path of a generated media file (tests/fixtures/make-fixtures.sh).
std::string path(std::string_view name);

// A fresh folder under TMPDIR, removed with its contents when the object goes.
class ScratchDir {
public:
    ScratchDir();
    ~ScratchDir();
    ScratchDir(const ScratchDir&) = delete;
    ScratchDir& operator=(const ScratchDir&) = delete;
    [[nodiscard]] const std::string& path() const { return m_path; }
    [[nodiscard]] std::string file(std::string_view name) const { return m_path + "/" + std::string(name); }

private:
    std::string m_path;
};

void writeFile(const std::string& path, std::string_view bytes);
// The 44-byte header of a 16-bit PCM WAV file holding `dataBytes` bytes of samples.
std::string wavHeader(int sampleRate, int channels, uint32_t dataBytes);
// A WAV file of `seconds` of silence, written sparse so that an hour costs no disk space.
void writeSilentWav(const std::string& path, int sampleRate, int channels, int seconds);
void copyFile(const std::string& from, const std::string& to);
// Bytes from a fixed-seed generator: the same "random" file on every run.
std::string randomBytes(size_t count, unsigned seed);

struct Pcm {
    int sampleRate = 0;
    int channels = 0;
    int64_t firstTimestampUs = -1;
    std::vector<int16_t> samples; // interleaved
    [[nodiscard]] size_t frames() const { return channels > 0 ? samples.size() / channels : 0; }
};

// A file's decoders and the processors over them, released in the order the converter
// uses. The sound comes at `rate` Hz in `channels` channels (0: the source's own); the
// picture is opened only when `withVideo` is set, its processor starting at `videoStart`.
struct Sources {
    explicit Sources(
        const std::string& file, int rate = 0, int channels = 0, bool withVideo = false, double videoStart = 0.0);
    ~Sources();
    Sources(const Sources&) = delete;
    Sources& operator=(const Sources&) = delete;
    AudioDecoder audioDecoder = nullptr;
    AudioProcessor audio = nullptr;
    VideoDecoder videoDecoder = nullptr;
    VideoProcessor video = nullptr;
};

// Everything ADecGetNextAudioFrame delivers for `file`, after seeking to `seekTo`
// seconds when it is not negative. Empty when the file has no decodable audio.
Pcm decodeAll(const std::string& file, double seekTo = -1.0);

// Sign changes of one channel over [from, from + count) frames: a tone of f Hz gives
// about 2 f a second.
int zeroCrossings(const Pcm& pcm, int channel, size_t from, size_t count);

// RMS of one channel (or of all when `channel` is negative) of `frames` interleaved
// frames, as a fraction of full scale; 0 when there is no sample.
double rms(const int16_t* interleaved, size_t frames, int channels, int channel);
// The same over `seconds` from `from` seconds of `pcm`.
double rms(const Pcm& pcm, double from, double seconds, int channel = 0);
// A level as a fraction of full scale, in dBFS; -120 for silence.
double toDb(double level);
// rms() in dBFS.
double levelDb(const Pcm& pcm, double from, double seconds, int channel = 0);

} // namespace fixtures
