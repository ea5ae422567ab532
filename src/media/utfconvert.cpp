#include "media/utfconvert.h"

#include <cstring>

namespace {

constexpr UTF32 kReplacementChar = 0x0000FFFD;
constexpr UTF32 kMaxLegalUtf32 = 0x0010FFFF;
constexpr UTF32 kSurrogateHighStart = 0xD800;
constexpr UTF32 kSurrogateLowEnd = 0xDFFF;

// Trailing bytes that follow a lead byte; 4 and 5 are never legal but are counted
// so that such sequences are skipped as one unit, as the reference does.
constexpr int trailingBytesForUTF8(UTF8 lead)
{
    if (lead < 0xC0)
        return 0;
    if (lead < 0xE0)
        return 1;
    if (lead < 0xF0)
        return 2;
    if (lead < 0xF8)
        return 3;
    if (lead < 0xFC)
        return 4;
    return 5;
}

constexpr UTF32 offsetsFromUTF8[6]
    = { 0x00000000UL, 0x00003080UL, 0x000E2080UL, 0x03C82080UL, 0xFA082080UL, 0x82082080UL };

} // namespace

bool isLegalUTF8(const UTF8* source, int length)
{
    UTF8 a = 0;
    const UTF8* srcptr = source + length;
    switch (length) {
    default: return false;
    // Each case falls through when its byte is legal.
    case 4:
        if ((a = (*--srcptr)) < 0x80 || a > 0xBF)
            return false;
        [[fallthrough]];
    case 3:
        if ((a = (*--srcptr)) < 0x80 || a > 0xBF)
            return false;
        [[fallthrough]];
    case 2:
        if ((a = (*--srcptr)) < 0x80 || a > 0xBF)
            return false;
        switch (*source) {
        case 0xE0:
            if (a < 0xA0)
                return false;
            break;
        case 0xED:
            if (a > 0x9F)
                return false;
            break;
        case 0xF0:
            if (a < 0x90)
                return false;
            break;
        case 0xF4:
            if (a > 0x8F)
                return false;
            break;
        default:
            if (a < 0x80)
                return false;
        }
        [[fallthrough]];
    case 1:
        if (*source >= 0x80 && *source < 0xC2)
            return false;
    }
    return *source <= 0xF4;
}

ConversionResult ConvertUTF8toUTF32(
    const UTF8** sourceStart, const UTF8* sourceEnd, UTF32** targetStart, UTF32* targetEnd, ConversionFlags flags)
{
    ConversionResult result = conversionOK;
    const UTF8* source = *sourceStart;
    UTF32* target = *targetStart;
    while (source < sourceEnd) {
        UTF32 ch = 0;
        const int extraBytesToRead = trailingBytesForUTF8(*source);
        if (extraBytesToRead >= sourceEnd - source) {
            result = sourceExhausted;
            break;
        }
        if (!isLegalUTF8(source, extraBytesToRead + 1)) {
            result = sourceIllegal;
            break;
        }
        for (int i = extraBytesToRead; i > 0; --i) {
            ch += *source++;
            ch <<= 6;
        }
        ch += *source++;
        ch -= offsetsFromUTF8[extraBytesToRead];

        if (target >= targetEnd) {
            source -= (extraBytesToRead + 1); // back up to the character that did not fit
            result = targetExhausted;
            break;
        }
        if (ch <= kMaxLegalUtf32) {
            if (ch >= kSurrogateHighStart && ch <= kSurrogateLowEnd) {
                if (flags == strictConversion) {
                    source -= (extraBytesToRead + 1);
                    result = sourceIllegal;
                    break;
                }
                *target++ = kReplacementChar;
            } else {
                *target++ = ch;
            }
        } else {
            result = sourceIllegal;
            *target++ = kReplacementChar;
        }
    }
    *sourceStart = source;
    *targetStart = target;
    return result;
}

ConversionResult UTF8toW(const char* source, int length, wchar_t* destination, int capacity, bool strict)
{
    static_assert(sizeof(wchar_t) == sizeof(UTF32), "wide characters are UTF-32 here");
    if (length == -1)
        length = static_cast<int>(std::strlen(source)) + 1;
    const auto* src = reinterpret_cast<const UTF8*>(source);
    auto* dst = reinterpret_cast<UTF32*>(destination);
    return ConvertUTF8toUTF32(&src, src + length, &dst, dst + capacity, strict ? strictConversion : lenientConversion);
}

const wchar_t* a2w(wchar_t* destination, const char* source, int capacity)
{
    static const wchar_t empty[1] = { 0 };
    if (source == nullptr)
        return empty;
    UTF8toW(source, -1, destination, capacity, false);
    return destination;
}

WidePath::WidePath(const char* utf8)
{
    if (utf8 == nullptr)
        return;
    // What a2w does, keeping the result that a2w throws away.
    m_complete = UTF8toW(utf8, -1, m_chars.data(), kCapacity, false) == conversionOK;
}

std::string WidePath::toUtf8() const
{
    return wideToUtf8(std::wstring_view(m_chars.data()));
}

std::string wideToUtf8(std::wstring_view text)
{
    std::string out;
    out.reserve(text.size());
    for (wchar_t wc : text) {
        auto c = static_cast<UTF32>(wc);
        if (c > kMaxLegalUtf32 || (c >= kSurrogateHighStart && c <= kSurrogateLowEnd))
            c = kReplacementChar;
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c < 0x800) {
            out += static_cast<char>(0xC0 | (c >> 6));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += static_cast<char>(0xE0 | (c >> 12));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        } else {
            out += static_cast<char>(0xF0 | (c >> 18));
            out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
            out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (c & 0x3F));
        }
    }
    return out;
}
