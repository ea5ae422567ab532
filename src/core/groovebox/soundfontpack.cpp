#include "core/groovebox/soundfontpack.h"

#include "core/environment/logging.h"
#include "core/groovebox/soundfontpackformat.h"

#include <QFile>
#include <QSaveFile>

#include <lzma.h>
#include <vector>

namespace {

constexpr qint64 kChunkSize = 256 * 1024;

int refuse(const QString& message)
{
    qCWarning(lcFiles).noquote() << message;
    return -1;
}

// Decodes the xz stream that follows the header into `out`, checking it yields exactly
// `expectedSize` bytes and that nothing follows it.
bool inflate(QFile& in, QSaveFile& out, quint64 expectedSize, QString* why)
{
    lzma_stream stream = LZMA_STREAM_INIT;
    if (lzma_stream_decoder(&stream, UINT64_MAX, 0) != LZMA_OK) {
        *why = QStringLiteral("the decompressor did not start");
        return false;
    }
    std::vector<uint8_t> input(kChunkSize);
    std::vector<uint8_t> output(kChunkSize);
    quint64 written = 0;
    lzma_ret result = LZMA_OK;
    while (result == LZMA_OK) {
        if (stream.avail_in == 0) {
            const qint64 n = in.read(reinterpret_cast<char*>(input.data()), kChunkSize);
            if (n < 0) {
                *why = in.errorString();
                break;
            }
            stream.next_in = input.data();
            stream.avail_in = static_cast<size_t>(n);
        }
        stream.next_out = output.data();
        stream.avail_out = output.size();
        // Without LZMA_FINISH a truncated stream would wait for input forever.
        result = lzma_code(&stream, in.atEnd() && stream.avail_in == 0 ? LZMA_FINISH : LZMA_RUN);
        const size_t produced = output.size() - stream.avail_out;
        written += produced;
        if (written > expectedSize) {
            *why = QStringLiteral("it holds more than its header says");
            break;
        }
        if (out.write(reinterpret_cast<const char*>(output.data()), static_cast<qint64>(produced))
            != static_cast<qint64>(produced)) {
            *why = out.errorString();
            break;
        }
    }
    const bool trailing = stream.avail_in > 0 || !in.atEnd();
    lzma_end(&stream);
    if (!why->isEmpty())
        return false;
    if (result != LZMA_STREAM_END) {
        *why = QStringLiteral("its stream is damaged (%1)").arg(int(result));
        return false;
    }
    if (trailing || written != expectedSize) {
        *why = QStringLiteral("its size does not match its header");
        return false;
    }
    return true;
}

} // namespace

int unPackSf2File(const char* source, const char* destination)
{
    const QString sourcePath = QFile::decodeName(source);
    const QString destinationPath = QFile::decodeName(destination);
    QFile in(sourcePath);
    if (!in.open(QIODevice::ReadOnly))
        return refuse(QStringLiteral("Can't open soundfont %1: %2").arg(sourcePath, in.errorString()));
    soundfontpack::Header header {};
    if (in.read(reinterpret_cast<char*>(header.data()), header.size()) != qint64(header.size()))
        return refuse(QStringLiteral("Can't open soundfont %1: it is too short").arg(sourcePath));
    const std::optional<uint64_t> size = soundfontpack::decodeHeader(header);
    if (!size)
        return refuse(QStringLiteral("Can't open soundfont %1: not a packed sound font").arg(sourcePath));

    QSaveFile out(destinationPath);
    if (!out.open(QIODevice::WriteOnly))
        return refuse(QStringLiteral("Unpacking failed: %1: %2").arg(destinationPath, out.errorString()));
    QString why;
    if (!inflate(in, out, *size, &why)) {
        out.cancelWriting();
        return refuse(QStringLiteral("Unpacking failed: %1: %2").arg(sourcePath, why));
    }
    if (!out.commit())
        return refuse(QStringLiteral("Unpacking failed: %1: %2").arg(destinationPath, out.errorString()));
    qCInfo(lcFiles).noquote() << QStringLiteral("unpacked the sound font into %1").arg(destinationPath);
    return 0;
}
