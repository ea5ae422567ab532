#include "media/utfconvert.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <tuple>

namespace {

std::wstring widen(const char* utf8, int capacity = WidePath::kCapacity)
{
    std::array<wchar_t, 512> buffer {};
    return std::wstring(a2w(buffer.data(), utf8, capacity));
}

ConversionResult convert(std::string_view bytes, std::u32string* out, ConversionFlags flags, int capacity = 64)
{
    std::u32string target(static_cast<size_t>(capacity), U'\0');
    const auto* src = reinterpret_cast<const UTF8*>(bytes.data());
    UTF32* dst = target.data();
    const ConversionResult r = ConvertUTF8toUTF32(&src, src + bytes.size(), &dst, dst + capacity, flags);
    target.resize(static_cast<size_t>(dst - target.data()));
    *out = target;
    return r;
}

TEST(Utf8ToUtf32, ConvertsAsciiAndMultiByteCharacters)
{
    EXPECT_EQ(widen("/home/a.mp3"), L"/home/a.mp3");
    // Two-, three- and four-byte sequences.
    EXPECT_EQ(widen("\xC3\xA9\xE6\x9B\xB2\xF0\x9F\x8E\xB5"), std::wstring({ L'\u00E9', L'\u66F2', wchar_t(0x1F3B5) }));
}

// Malformed input stops the conversion after what came before it; overlong encodings, lead
// bytes beyond U+10FFFF and encoded surrogates are never legal, whatever the mode.
TEST(Utf8ToUtf32, MalformedOrPartialInputStopsTheConversion)
{
    const std::tuple<std::string_view, ConversionFlags, ConversionResult, std::u32string> cases[] = {
        { "ab\xC3(cd", lenientConversion, sourceIllegal, U"ab" }, // a lead byte, then no continuation
        { "\xC0\xAF", lenientConversion, sourceIllegal, U"" },
        { "\xF5\x80\x80\x80", lenientConversion, sourceIllegal, U"" },
        { "x\xED\xA0\x80", lenientConversion, sourceIllegal, U"x" },
        { "x\xED\xA0\x80", strictConversion, sourceIllegal, U"x" },
        { "ok\xE6\x9B", strictConversion, sourceExhausted, U"ok" }, // a partial character at the end
    };
    for (const auto& [bytes, flags, result, converted] : cases) {
        std::u32string out;
        EXPECT_EQ(convert(bytes, &out, flags), result);
        EXPECT_EQ(out, converted);
    }
}

TEST(Utf8ToUtf32, FullDestinationStopsBeforeTheCharacterThatDidNotFit)
{
    const std::string text = "ab\xE6\x9B\xB2";
    const auto* src = reinterpret_cast<const UTF8*>(text.data());
    std::array<UTF32, 2> target {};
    UTF32* dst = target.data();
    EXPECT_EQ(ConvertUTF8toUTF32(&src, src + text.size(), &dst, dst + 2, strictConversion), targetExhausted);
    EXPECT_EQ(dst - target.data(), 2);
    // The source points at the character that did not fit, so a caller can resume.
    EXPECT_EQ(reinterpret_cast<const char*>(src), text.data() + 2);
}

TEST(IsLegalUtf8, FollowsTheReferenceTable)
{
    auto legal = [](std::string_view s) {
        return isLegalUTF8(reinterpret_cast<const UTF8*>(s.data()), static_cast<int>(s.size()));
    };
    EXPECT_TRUE(legal("a"));
    EXPECT_TRUE(legal("\xC2\x80"));
    EXPECT_TRUE(legal("\xF4\x8F\xBF\xBF")); // U+10FFFF
    EXPECT_FALSE(legal("\x80")); // a lone continuation byte
    EXPECT_FALSE(legal("\xC1\xBF")); // overlong
    EXPECT_FALSE(legal("\xE0\x80\x80")); // overlong three-byte
    EXPECT_FALSE(legal("\xF4\x90\x80\x80")); // above U+10FFFF
    EXPECT_FALSE(legal("\xED\xBF\xBF")); // a surrogate
    EXPECT_FALSE(legal("\xF8\x88\x80\x80\x80")); // five-byte forms are gone
}

TEST(A2w, NullTextGivesAnEmptyStringAndALongPathKeepsItsFirst511Characters)
{
    std::array<wchar_t, 4> buffer { L'x', L'x', L'x', 0 };
    const wchar_t* result = a2w(buffer.data(), nullptr, 3);
    EXPECT_NE(result, buffer.data());
    EXPECT_EQ(std::wstring(result), L"");
    EXPECT_EQ(widen(("/" + std::string(599, 'p')).c_str()), std::wstring(L"/") + std::wstring(510, L'p'));
}

TEST(WidePath, KnowsWhetherThePathMadeItWhole)
{
    EXPECT_TRUE(WidePath("/music/\xC3\xA9t\xC3\xA9.mp3").isComplete());
    EXPECT_EQ(WidePath("/music/\xC3\xA9t\xC3\xA9.mp3").toUtf8(), "/music/\xC3\xA9t\xC3\xA9.mp3");

    // 510 characters and the terminator fit in 511 units; 511 characters do not.
    EXPECT_TRUE(WidePath(std::string(510, 'a')).isComplete());
    EXPECT_FALSE(WidePath(std::string(511, 'a')).isComplete());

    const WidePath malformed("/music/a\xFF"
                             "b.mp3");
    EXPECT_FALSE(malformed.isComplete());
    EXPECT_EQ(malformed.toUtf8(), "/music/a"); // converted up to the malformed byte
    EXPECT_FALSE(WidePath(static_cast<const char*>(nullptr)).isComplete());
}

} // namespace
