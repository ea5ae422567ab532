#include "core/convert/fadeunit.h"

#include <QByteArray>
#include <QFile>
#include <QString>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <memory>
#include <sys/stat.h>
#include <unistd.h>
#include <utility>
#include <vector>

namespace {

constexpr qint64 kHeaderSize = 44;
constexpr qint64 kByteRateOffset = 28;
constexpr qint64 kUint32Max = std::numeric_limits<quint32>::max();
constexpr qint64 kFar = qint64(1) << 53; // beyond any file position, still exact as a double
constexpr std::size_t kChunkSize = 64 * 1024; // even, so a chunk never splits a sample

using Buffer = std::vector<unsigned char>;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using FilePtr = std::unique_ptr<std::FILE, FileCloser>;

bool fail(QString* error, const QString& text)
{
    if (error)
        *error = text;
    return false;
}

QString systemReason(int errorNumber)
{
    return QString::fromLocal8Bit(std::strerror(errorNumber));
}

// A double truncated toward zero and clamped to [low, high]; NaN gives `low`.
qint64 toWhole(double value, qint64 low, qint64 high)
{
    if (std::isnan(value) || value <= double(low))
        return low;
    if (value >= double(high))
        return high;
    return qint64(std::trunc(value));
}

// The output being written beside the source. Removed again unless it was renamed over the source, so
// every failure path leaves the folder as it was.
class WorkFile {
public:
    explicit WorkFile(QByteArray path)
        : m_path(std::move(path))
    {
    }
    ~WorkFile()
    {
        if (m_file)
            std::fclose(m_file);
        if (m_created && !m_committed)
            ::unlink(m_path.constData());
    }
    WorkFile(const WorkFile&) = delete;
    WorkFile& operator=(const WorkFile&) = delete;

    // O_NOFOLLOW: a link planted at the work path must not redirect the write or the chmod.
    bool open(mode_t mode)
    {
        const int fd = ::open(m_path.constData(), O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC, mode);
        if (fd < 0)
            return false;
        m_created = true;
        m_file = ::fdopen(fd, "wb");
        if (!m_file) {
            ::close(fd);
            return false;
        }
        // The replacement keeps the source's permissions whatever the umask (a courtesy, not checked).
        static_cast<void>(::fchmod(fd, mode));
        return true;
    }

    [[nodiscard]] std::FILE* get() const { return m_file; }

    // Flushes to the disk before the rename, so a crash leaves either the old or the new file whole.
    // Renaming replaces the target atomically; on false, errno tells why.
    bool commitOver(const QByteArray& target)
    {
        std::FILE* file = std::exchange(m_file, nullptr);
        const bool flushed = std::fflush(file) == 0 && ::fsync(::fileno(file)) == 0;
        const int flushErrno = errno;
        const bool closed = std::fclose(file) == 0;
        if (!flushed)
            errno = flushErrno;
        if (!flushed || !closed)
            return false;
        m_renameTried = true;
        m_committed = ::rename(m_path.constData(), target.constData()) == 0;
        return m_committed;
    }

    [[nodiscard]] bool renameTried() const { return m_renameTried; }

private:
    QByteArray m_path;
    std::FILE* m_file = nullptr;
    bool m_created = false;
    bool m_renameTried = false;
    bool m_committed = false;
};

enum class Io { Ok, ReadFailed, WriteFailed };

Io copyBytes(std::FILE* from, std::FILE* to, qint64 count, Buffer& buffer)
{
    while (count > 0) {
        const auto n = static_cast<std::size_t>(std::min<qint64>(count, qint64(buffer.size())));
        if (std::fread(buffer.data(), 1, n, from) != n)
            return Io::ReadFailed;
        if (std::fwrite(buffer.data(), 1, n, to) != n)
            return Io::WriteFailed;
        count -= qint64(n);
    }
    return Io::Ok;
}

// Where one fade lies in the file.
struct Window {
    qint64 begin = 0; // first faded byte, inside the data
    qint64 length = 0; // faded bytes, whole 16-bit samples only
    qint64 offset = 0; // bytes of the window cut off before `begin`, so the ramp stays where it was
    qint64 span = 0; // gain denominator in bytes; 0 skips the fade
};

Window fadeWindow(double startTime, double endTime, double audioTimeLength, quint32 byteRate, qint64 fileLength)
{
    Window window;
    if (!std::isfinite(startTime) || !std::isfinite(endTime) || !std::isfinite(audioTimeLength))
        return window;
    window.span = toWhole(byteRate * endTime, 0, kUint32Max) - toWhole(byteRate * startTime, 0, kUint32Max);
    if (window.span <= 0) // also an end before the start
        return window;

    // Counted back from the end of the file in whole milliseconds. Negative times count as 0, as they
    // do in the span, so that a window starting before the data keeps its gain aligned with the span.
    const auto position = [&](double time) {
        const double milliseconds = std::trunc(1000.0 * (audioTimeLength - std::max(time, 0.0)));
        return toWhole(double(fileLength) - milliseconds * byteRate / 1000.0, -kFar, kFar);
    };
    const qint64 rawBegin = position(startTime);
    const qint64 rawEnd = position(endTime);
    window.begin = std::clamp(rawBegin, kHeaderSize, fileLength);
    const qint64 end = std::clamp(rawEnd, kHeaderSize, fileLength);
    window.offset = window.begin - rawBegin;
    window.length = std::max<qint64>(0, end - window.begin) & ~qint64(1); // an odd last byte is copied
    return window;
}

Io fadeBytes(std::FILE* from, std::FILE* to, const Window& window, bool fadeIn, Buffer& buffer)
{
    qint64 done = window.offset; // bytes of the window already processed
    qint64 count = window.length;
    const auto span = static_cast<float>(window.span);
    while (count > 0) {
        const auto n = static_cast<std::size_t>(std::min<qint64>(count, qint64(buffer.size())));
        if (std::fread(buffer.data(), 1, n, from) != n)
            return Io::ReadFailed;
        // One gain step per 16-bit sample whatever the channel count: both samples of a stereo frame
        // are scaled on their own.
        for (std::size_t j = 0; j + 1 < n; j += 2, done += 2) {
            const float step = static_cast<float>(done) / span;
            const float gain = fadeIn ? step : 1.0f - step;
            const float scaled = static_cast<float>(FadeUnit::getIntFromByte(buffer[j], buffer[j + 1])) * gain;
            // Only a window a few bytes longer than its span (millisecond rounding) could pass 1.
            const auto sample = static_cast<qint16>(std::clamp(scaled, -32768.0f, 32767.0f)); // toward zero
            const auto bits = static_cast<quint16>(sample);
            buffer[j] = static_cast<unsigned char>(bits & 0xFF);
            buffer[j + 1] = static_cast<unsigned char>(bits >> 8);
        }
        if (std::fwrite(buffer.data(), 1, n, to) != n)
            return Io::WriteFailed;
        count -= qint64(n);
    }
    return Io::Ok;
}

QString ioFailure(Io io, int errorNumber)
{
    if (io == Io::ReadFailed)
        return QStringLiteral("Could not read the source file.");
    return QStringLiteral("Could not write the faded file: %1.").arg(systemReason(errorNumber));
}

} // namespace

bool FadeUnit::fadeProcess(const QString& path, int fadeFlage, double fadeInStartTime, double fadeInEndTime,
    double fadeOutStartTime, double fadeOutEndTime, double audioTimeLength, QString* error)
{
    if (fadeFlage == kNoFade)
        return true;

    const QByteArray sourcePath = QFile::encodeName(path);
    FilePtr source(std::fopen(sourcePath.constData(), "rb"));
    struct stat sourceInfo { };
    if (!source || ::fstat(::fileno(source.get()), &sourceInfo) != 0 || !S_ISREG(sourceInfo.st_mode)) {
        std::puts("Cannot locate file");
        return fail(error, QStringLiteral("Can't open source file error."));
    }

    // "<path>.fade.tmp" for every path: cutting the extension off instead would make an extensionless
    // path its own work file, and could clobber another file ("song.wav" -> "song"). Being in the same
    // folder keeps the final rename on one file system.
    WorkFile work(sourcePath + ".fade.tmp");
    if (!work.open(sourceInfo.st_mode & 07777)) {
        std::puts("Cannot open destination file");
        return fail(error, QStringLiteral("Can't open destination file error."));
    }

    qint64 fileLength = -1;
    if (::fseeko(source.get(), 0, SEEK_END) == 0)
        fileLength = ::ftello(source.get());
    if (fileLength < 0 || ::fseeko(source.get(), 0, SEEK_SET) != 0)
        return fail(error, ioFailure(Io::ReadFailed, errno));
    std::puts("----------------------File Length--------------------------");
    std::printf("file Length:%lld\n", static_cast<long long>(fileLength));
    if (fileLength < kHeaderSize)
        return fail(error, QStringLiteral("The file is too short to be a WAV file."));

    std::array<unsigned char, kHeaderSize> header {};
    if (std::fread(header.data(), 1, header.size(), source.get()) != header.size())
        return fail(error, ioFailure(Io::ReadFailed, errno));
    if (std::fwrite(header.data(), 1, header.size(), work.get()) != header.size())
        return fail(error, ioFailure(Io::WriteFailed, errno));
    const quint32 byteRate = quint32(header[kByteRateOffset]) | quint32(header[kByteRateOffset + 1]) << 8
        | quint32(header[kByteRateOffset + 2]) << 16 | quint32(header[kByteRateOffset + 3]) << 24;

    const bool fadeIn = fadeFlage == kFadeIn || fadeFlage == kFadeInAndOut;
    const bool fadeOut = fadeFlage == kFadeOut || fadeFlage == kFadeInAndOut;
    const Window in
        = fadeIn ? fadeWindow(fadeInStartTime, fadeInEndTime, audioTimeLength, byteRate, fileLength) : Window {};
    const Window out
        = fadeOut ? fadeWindow(fadeOutStartTime, fadeOutEndTime, audioTimeLength, byteRate, fileLength) : Window {};
    // Positions grow with the times, so this also keeps the fade-out window behind the fade-in one.
    if (in.span > 0 && out.span > 0 && fadeOutStartTime < fadeInEndTime)
        return fail(error, QStringLiteral("The fade-out must come after the fade-in."));

    Buffer buffer(kChunkSize);
    qint64 position = kHeaderSize;
    Io io = Io::Ok;
    const std::pair<const Window*, bool> fades[] = { { &in, true }, { &out, false } };
    for (const auto& [window, isFadeIn] : fades) {
        if (window->span <= 0 || io != Io::Ok)
            continue;
        io = copyBytes(source.get(), work.get(), window->begin - position, buffer);
        if (io == Io::Ok)
            io = fadeBytes(source.get(), work.get(), *window, isFadeIn, buffer);
        position = window->begin + window->length;
    }
    if (io == Io::Ok)
        io = copyBytes(source.get(), work.get(), fileLength - position, buffer);
    if (io != Io::Ok)
        return fail(error, ioFailure(io, errno));

    if (!work.commitOver(sourcePath)) {
        if (work.renameTried())
            return fail(error, QStringLiteral("Could not replace the source file: %1.").arg(systemReason(errno)));
        return fail(error, ioFailure(Io::WriteFailed, errno));
    }
    std::puts("exit fade unit");
    return true;
}

int FadeUnit::getIntFromByte(unsigned char first, unsigned char second)
{
    return static_cast<signed char>(second) * 256 + first;
}
