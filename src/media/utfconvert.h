#pragma once
// UTF-8 to UTF-32 conversion for the wide-character paths the decoder and encoder
// take. ConvertUTF8toUTF32 and isLegalUTF8 follow the Unicode Consortium's
// reference routines (ConvertUTF.c): malformed input stops the conversion, a full
// destination stops it, and the result code says which.

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

using UTF32 = char32_t;
using UTF8 = unsigned char;

enum ConversionResult {
    conversionOK, // the whole source was converted
    sourceExhausted, // a partial character at the end of the source
    targetExhausted, // the destination is full
    sourceIllegal // a malformed sequence
};

enum ConversionFlags { strictConversion = 0, lenientConversion };

ConversionResult ConvertUTF8toUTF32(
    const UTF8** sourceStart, const UTF8* sourceEnd, UTF32** targetStart, UTF32* targetEnd, ConversionFlags flags);

// True when the `length` bytes at `source` form one legal UTF-8 sequence.
bool isLegalUTF8(const UTF8* source, int length);

// Converts `length` bytes of `source` (-1: its length including the terminating zero)
// into at most `capacity` units at `destination`. Lenient unless `strict`.
ConversionResult UTF8toW(const char* source, int length, wchar_t* destination, int capacity, bool strict);

// Converts `source` with its terminating zero into `destination`, at most `capacity`
// units, and returns `destination`; a null source yields a shared empty string. The
// conversion result is ignored: callers pass a zeroed 512-unit buffer and 511, so the
// result is terminated and holds at most 511 characters, cut where it did not fit.
const wchar_t* a2w(wchar_t* destination, const char* source, int capacity);

// A path as the decoder and the encoder take it: a2w into the usual 512-unit buffer,
// remembering whether the whole path made it. A cut path can name another existing
// file, so the media libraries refuse one that is not complete.
class WidePath {
public:
    static constexpr int kCapacity = 511;

    explicit WidePath(const char* utf8);
    explicit WidePath(const std::string& utf8)
        : WidePath(utf8.c_str())
    {
    }

    [[nodiscard]] const wchar_t* data() const { return m_chars.data(); }
    [[nodiscard]] bool isComplete() const { return m_complete; }
    // The converted characters back in UTF-8, for opening the file and for log lines.
    [[nodiscard]] std::string toUtf8() const;

private:
    std::array<wchar_t, kCapacity + 1> m_chars {};
    bool m_complete = false;
};

// UTF-32 to UTF-8 for well-formed code points (what WidePath holds).
std::string wideToUtf8(std::wstring_view text);
