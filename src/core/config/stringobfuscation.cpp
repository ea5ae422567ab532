#include "core/config/stringobfuscation.h"

namespace {

constexpr unsigned char kKey = 0x5c;
constexpr qsizetype kMaxDecoded = 511;

} // namespace

QByteArray DecryptString(const QByteArray& stored)
{
    QByteArray bytes = QByteArray::fromBase64(stored.trimmed());
    if (bytes.size() > kMaxDecoded)
        bytes.truncate(kMaxDecoded);
    for (char& c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        c = static_cast<char>(static_cast<unsigned char>(~(b + 1u)) ^ kKey);
    }
    return bytes;
}

QByteArray EncryptString(const QByteArray& text)
{
    QByteArray bytes = text;
    for (char& c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        c = static_cast<char>(static_cast<unsigned char>(~(b ^ kKey)) - 1u);
    }
    return bytes.toBase64();
}
