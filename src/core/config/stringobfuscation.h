#pragma once
// The light obfuscation of the links in the product configuration: not secrecy, just
// links that do not read in plain text. Every byte is combined with a one-byte key,
// complemented and shifted, then the result is written in Base64.

#include <QByteArray>

// The decoded text, cut at 511 bytes. Input that is not Base64 gives what decodes.
[[nodiscard]] QByteArray DecryptString(const QByteArray& stored);
// The exact inverse of DecryptString (for texts of at most 511 bytes).
[[nodiscard]] QByteArray EncryptString(const QByteArray& text);
