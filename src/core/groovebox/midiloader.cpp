#include "core/groovebox/midiloader.h"

#include <QFile>
#include <QLoggingCategory>
#include <QSaveFile>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <fluidsynth.h>
#include <map>
#include <optional>
#include <vector>

namespace {

Q_LOGGING_CATEGORY(lcRender, "sonabel.groovebox.render")

constexpr int kSampleRate = 44100;
constexpr int kChannels = 2;
constexpr int kBytesPerFrame = kChannels * 2;
// Frames per written block: 40000 bytes, about 0.23 s.
constexpr int kBlockFrames = 10000;
// The block is synthesised in slices so that a loop marker is met within about 11 ms.
constexpr int kSliceFrames = 500;
// Longer than any ringtone; a file claiming more is refused rather than rendered for ages.
constexpr double kMaxSeconds = 600.0;
constexpr qint64 kHeaderSize = 44;

// What the render needs from the MIDI file that the synthesiser's player does not tell:
// its length in seconds and the ticks of the loop markers.
struct MidiFacts {
    double seconds = 0.0;
    int endTick = 0;
    std::optional<int> loopStart;
    std::optional<int> loopEnd;
    std::map<int, double> secondsAtTick; // tempo changes: tick -> seconds so far
    std::map<int, int> tempoAtTick; // tick -> microseconds per quarter note
    int division = 480;
    bool smpte = false;
    double smpteTicksPerSecond = 0.0;

    [[nodiscard]] double secondsOf(int tick) const
    {
        if (smpte)
            return tick / smpteTicksPerSecond;
        auto it = tempoAtTick.upper_bound(tick);
        --it;
        const double base = secondsAtTick.at(it->first);
        return base + double(tick - it->first) * it->second / (1e6 * division);
    }
};

class Reader {
public:
    explicit Reader(const QByteArray& data)
        : m_data(data)
    {
    }
    [[nodiscard]] bool has(qsizetype n) const { return n >= 0 && m_pos + n <= m_data.size(); }
    [[nodiscard]] qsizetype pos() const { return m_pos; }
    void skip(qsizetype n) { m_pos += n; }
    uint8_t byte() { return static_cast<uint8_t>(m_data[m_pos++]); }
    uint32_t big(int n)
    {
        uint32_t v = 0;
        for (int i = 0; i < n; ++i)
            v = (v << 8) | byte();
        return v;
    }
    std::optional<uint32_t> varLen()
    {
        uint32_t v = 0;
        for (int i = 0; i < 4; ++i) {
            if (!has(1))
                return std::nullopt;
            const uint8_t b = byte();
            v = (v << 7) | (b & 0x7f);
            if ((b & 0x80) == 0)
                return v;
        }
        return std::nullopt;
    }
    [[nodiscard]] QByteArray bytes(qsizetype from, qsizetype n) const { return m_data.mid(from, n); }

private:
    const QByteArray& m_data;
    qsizetype m_pos = 0;
};

// Walks every track's events; nothing when the file is not a standard MIDI file.
std::optional<MidiFacts> readMidiFacts(const QByteArray& data)
{
    Reader r(data);
    if (!r.has(14) || data.left(4) != "MThd")
        return std::nullopt;
    r.skip(4);
    const uint32_t headerLength = r.big(4);
    if (headerLength < 6 || !r.has(headerLength))
        return std::nullopt;
    r.big(2); // format: every track is read alike
    const uint32_t tracks = r.big(2);
    const uint32_t division = r.big(2);
    r.skip(headerLength - 6);
    MidiFacts facts;
    if (division & 0x8000) {
        const int fps = 256 - int(division >> 8);
        const int perFrame = int(division & 0xff);
        if (fps <= 0 || perFrame == 0)
            return std::nullopt;
        facts.smpte = true;
        facts.smpteTicksPerSecond = (fps == 29 ? 29.97 : fps) * perFrame;
    } else {
        if (division == 0)
            return std::nullopt;
        facts.division = int(division);
    }
    std::map<int, int> tempos { { 0, 500000 } };
    if (tracks == 0)
        return std::nullopt;
    for (uint32_t t = 0; t < tracks; ++t) {
        if (!r.has(8) || r.bytes(r.pos(), 4) != "MTrk")
            return std::nullopt;
        r.skip(4);
        const uint32_t length = r.big(4);
        if (!r.has(length))
            return std::nullopt;
        const qsizetype end = r.pos() + length;
        int64_t tick = 0;
        uint8_t status = 0;
        while (r.pos() < end) {
            const std::optional<uint32_t> delta = r.varLen();
            if (!delta)
                return std::nullopt;
            tick += *delta;
            if (tick > INT32_MAX / 2 || !r.has(1))
                return std::nullopt;
            uint8_t first = r.byte();
            if (first == 0xff) {
                if (!r.has(1))
                    return std::nullopt;
                const uint8_t type = r.byte();
                const std::optional<uint32_t> n = r.varLen();
                if (!n || !r.has(*n) || r.pos() + qsizetype(*n) > end)
                    return std::nullopt;
                const QByteArray payload = r.bytes(r.pos(), *n);
                r.skip(*n);
                if (type == 0x51 && *n == 3) {
                    const int tempo = (uint8_t(payload[0]) << 16) | (uint8_t(payload[1]) << 8) | uint8_t(payload[2]);
                    if (tempo > 0)
                        tempos[int(tick)] = tempo;
                } else if (type == 0x06) {
                    const QString text = QString::fromLatin1(payload).trimmed();
                    if (!facts.loopStart && text.compare(QLatin1String("loopstart"), Qt::CaseInsensitive) == 0)
                        facts.loopStart = int(tick);
                    if (!facts.loopEnd && text.compare(QLatin1String("loopend"), Qt::CaseInsensitive) == 0)
                        facts.loopEnd = int(tick);
                } else if (type == 0x2f) {
                    break;
                }
                continue;
            }
            if (first == 0xf0 || first == 0xf7) {
                const std::optional<uint32_t> n = r.varLen();
                if (!n || !r.has(*n))
                    return std::nullopt;
                r.skip(*n);
                continue;
            }
            if (first & 0x80) {
                status = first;
                if (!r.has(1))
                    return std::nullopt;
                first = r.byte();
            } else if (status == 0) {
                return std::nullopt; // running status with nothing to run on
            }
            const uint8_t kind = status & 0xf0;
            if (kind != 0xc0 && kind != 0xd0) {
                if (!r.has(1))
                    return std::nullopt;
                r.skip(1);
            }
        }
        facts.endTick = std::max(facts.endTick, int(tick));
        r.skip(end - r.pos());
    }
    facts.tempoAtTick = tempos;
    double seconds = 0.0;
    auto previous = tempos.begin();
    facts.secondsAtTick[0] = 0.0;
    for (auto it = std::next(tempos.begin()); it != tempos.end(); ++it, ++previous) {
        seconds += double(it->first - previous->first) * previous->second / (1e6 * facts.division);
        facts.secondsAtTick[it->first] = seconds;
    }
    facts.seconds = facts.secondsOf(facts.endTick);
    return facts;
}

void put16(char* at, uint16_t v)
{
    at[0] = char(v & 0xff);
    at[1] = char(v >> 8);
}
void put32(char* at, uint32_t v)
{
    put16(at, uint16_t(v & 0xffff));
    put16(at + 2, uint16_t(v >> 16));
}

// The header with both sizes zero; they are filled once the length is known.
QByteArray wavHeader()
{
    QByteArray h(kHeaderSize, '\0');
    char* d = h.data();
    memcpy(d, "RIFF", 4);
    memcpy(d + 8, "WAVEfmt ", 8);
    put32(d + 16, 16);
    put16(d + 20, 1);
    put16(d + 22, kChannels);
    put32(d + 24, kSampleRate);
    put32(d + 28, kSampleRate * kBytesPerFrame);
    put16(d + 32, kBytesPerFrame);
    put16(d + 34, 16);
    memcpy(d + 36, "data", 4);
    return h;
}

bool writeSizeAt(QSaveFile& out, qint64 offset, uint32_t value)
{
    char bytes[4];
    put32(bytes, value);
    return out.seek(offset) && out.write(bytes, 4) == 4;
}

struct Synth {
    fluid_settings_t* settings = nullptr;
    fluid_synth_t* synth = nullptr;
    fluid_player_t* player = nullptr;

    void dropPlayer()
    {
        if (player == nullptr)
            return;
        // The player's join waits for it to be done, which only a stop makes it.
        fluid_player_stop(player);
        fluid_player_join(player);
        delete_fluid_player(player);
        player = nullptr;
    }
    // A fresh player for every pass over the song: one told to repeat by itself spins
    // forever on a song without length.
    bool play(const QByteArray& midiPath, int fromTick)
    {
        dropPlayer();
        player = new_fluid_player(synth);
        if (player == nullptr || fluid_player_add(player, midiPath.constData()) != FLUID_OK)
            return false;
        if (fromTick > 0)
            fluid_player_seek(player, fromTick);
        return fluid_player_play(player) == FLUID_OK;
    }
    ~Synth()
    {
        dropPlayer();
        if (synth != nullptr)
            delete_fluid_synth(synth);
        if (settings != nullptr)
            delete_fluid_settings(settings);
    }
};

MidiRenderResult failure(const QString& line, const QString& detail)
{
    qCInfo(lcRender).noquote() << line;
    MidiRenderResult result;
    result.error = detail.isEmpty() ? line : line + QStringLiteral(": ") + detail;
    return result;
}

unsigned wholeSeconds(double seconds)
{
    return static_cast<unsigned>(std::clamp(std::floor(seconds), 0.0, 4294967295.0));
}

} // namespace

MidiRenderResult midiLoader(const QString& midiPath, const QString& soundFontPath, const QString& wavPath)
{
    QFile midiFile(midiPath);
    if (!midiFile.open(QIODevice::ReadOnly))
        return failure(QStringLiteral("midi file decode error"), midiFile.errorString());
    const std::optional<MidiFacts> facts = readMidiFacts(midiFile.readAll());
    if (!facts)
        return failure(QStringLiteral("midi file decode error"), QStringLiteral("%1 is not a MIDI file").arg(midiPath));
    if (facts->seconds > kMaxSeconds)
        return failure(QStringLiteral("midi file decode error"), QStringLiteral("%1 is too long").arg(midiPath));

    Synth s;
    s.settings = new_fluid_settings();
    if (s.settings == nullptr)
        return failure(QStringLiteral("synthesizer init error"), {});
    fluid_settings_setnum(s.settings, "synth.sample-rate", kSampleRate);
    fluid_settings_setint(s.settings, "synth.cpu-cores", 1);
    fluid_settings_setint(s.settings, "synth.lock-memory", 0);
    // The default gain leaves a drum pattern far quieter than other ringtones.
    fluid_settings_setnum(s.settings, "synth.gain", 0.5);
    // The player advances with the synthesised samples, not the wall clock.
    fluid_settings_setstr(s.settings, "player.timing-source", "sample");
    s.synth = new_fluid_synth(s.settings);
    if (s.synth == nullptr)
        return failure(QStringLiteral("synthesizer init error"), {});
    const int font = fluid_synth_sfload(s.synth, QFile::encodeName(soundFontPath).constData(), 1);
    qCInfo(lcRender).noquote() << QString::number(font);
    if (font == FLUID_FAILED)
        return failure(QStringLiteral("soundfont load error"), soundFontPath);
    const QByteArray midiName = QFile::encodeName(midiPath);
    if (!s.play(midiName, 0) || fluid_player_get_status(s.player) != FLUID_PLAYER_PLAYING)
        return failure(QStringLiteral("midi file decode error"), midiPath);

    const unsigned lengthSeconds = wholeSeconds(facts->seconds);
    const auto streamBytes
        = static_cast<unsigned long long>(std::llround(facts->seconds * kSampleRate)) * kBytesPerFrame;
    QString streaming = QStringLiteral("streaming file [%1 bytes]").arg(streamBytes);
    if (streamBytes > 0)
        streaming += QStringLiteral(" %1:%2").arg(lengthSeconds / 60).arg(lengthSeconds % 60, 2, 10, QLatin1Char('0'));
    qCInfo(lcRender).noquote() << streaming;

    QSaveFile out(wavPath);
    if (!out.open(QIODevice::WriteOnly) || out.write(wavHeader()) != kHeaderSize)
        return failure(QStringLiteral("file open error"), out.errorString());

    // At "loopend", or at the end of the song, it goes on from "loopstart" or its beginning.
    const int jumpTo = facts->loopStart.value_or(0);
    const bool loopsEarly = facts->loopEnd && *facts->loopEnd > jumpTo;

    std::vector<int16_t> block(size_t(kBlockFrames) * kChannels);
    qint64 framesWritten = 0;
    for (;;) {
        for (int done = 0; done < kBlockFrames; done += kSliceFrames) {
            if (loopsEarly && fluid_player_get_current_tick(s.player) >= *facts->loopEnd) {
                fluid_player_seek(s.player, jumpTo);
            } else if (fluid_player_get_status(s.player) == FLUID_PLAYER_DONE && facts->endTick > 0
                && !s.play(midiName, jumpTo)) {
                out.cancelWriting();
                return failure(QStringLiteral("render error"), midiPath);
            }
            int16_t* at = block.data() + size_t(done) * kChannels;
            if (fluid_synth_write_s16(s.synth, kSliceFrames, at, 0, 2, at, 1, 2) != FLUID_OK) {
                out.cancelWriting();
                return failure(QStringLiteral("render error"), midiPath);
            }
        }
        const qint64 bytes = qint64(block.size()) * 2;
        if (out.write(reinterpret_cast<const char*>(block.data()), bytes) != bytes) {
            out.cancelWriting();
            return failure(QStringLiteral("file write error"), out.errorString());
        }
        framesWritten += kBlockFrames;
        const double songSeconds = facts->secondsOf(std::max(0, fluid_player_get_current_tick(s.player)));
        const auto position = static_cast<unsigned long long>(std::llround(songSeconds * kSampleRate)) * kBytesPerFrame;
        qCInfo(lcRender).noquote() << QStringLiteral("pos %1").arg(position, 9, 10, QLatin1Char('0'));
        const unsigned played = wholeSeconds(songSeconds);
        qCInfo(lcRender).noquote()
            << QStringLiteral("now play time is %1:%2").arg(played / 60).arg(played % 60, 2, 10, QLatin1Char('0'));
        // Counted on what was written, so that loops and a song ending on a whole
        // second still stop here.
        if (wholeSeconds(double(framesWritten) / kSampleRate) >= lengthSeconds)
            break;
    }

    const qint64 fileLength = out.pos();
    if (!writeSizeAt(out, 4, uint32_t(fileLength - 8)) || !writeSizeAt(out, 40, uint32_t(fileLength - kHeaderSize))
        || !out.commit())
        return failure(QStringLiteral("file write error"), out.errorString());
    MidiRenderResult result;
    result.ok = true;
    result.seconds = double(framesWritten) / kSampleRate;
    return result;
}
