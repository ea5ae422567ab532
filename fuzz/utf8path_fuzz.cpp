// Paths as the decoder and the encoder take them: UTF-8 bytes from a file name or the
// command line converted to wide characters, with every destination size.

#include "fuzz/fuzzsupport.h"
#include "media/utfconvert.h"

#include <string>
#include <vector>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietLogs();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size == 0)
        return 0;
    // The first byte picks the destination's size, the rest is the text.
    const size_t capacity = data[0];
    const std::string text(reinterpret_cast<const char*>(data + 1), size - 1);
    const auto* source = reinterpret_cast<const UTF8*>(text.data());

    for (const ConversionFlags flags : { strictConversion, lenientConversion }) {
        std::vector<UTF32> target(capacity);
        const UTF8* from = source;
        UTF32* to = target.data();
        const ConversionResult result
            = ConvertUTF8toUTF32(&from, source + text.size(), &to, target.data() + target.size(), flags);
        fuzz::check(from >= source && from <= source + text.size(), "the source stays in bounds");
        fuzz::check(to >= target.data() && to <= target.data() + target.size(), "the target stays in bounds");
        if (result == conversionOK)
            fuzz::check(from == source + text.size(), "a whole conversion reads the whole source");
    }
    for (int length = 1; length <= 4 && size_t(length) <= text.size(); ++length)
        (void)isLegalUTF8(source, length);

    std::vector<wchar_t> wide(capacity + 1, L'\0');
    (void)UTF8toW(text.c_str(), -1, wide.data(), int(capacity), data[0] & 1);
    (void)UTF8toW(text.data(), int(text.size()), wide.data(), int(capacity), data[0] & 1);
    std::vector<wchar_t> buffer(capacity + 1, L'\0');
    (void)a2w(buffer.data(), text.c_str(), int(capacity));

    // A path that converts strictly, without a zero and short enough, makes it whole and
    // comes back as the same bytes.
    const WidePath path(text);
    std::vector<UTF32> all(text.size() + 1);
    const UTF8* from = source;
    UTF32* to = all.data();
    const bool valid = ConvertUTF8toUTF32(&from, source + text.size(), &to, all.data() + all.size(), strictConversion)
        == conversionOK;
    // The terminating zero takes one of the units.
    const bool fits = to - all.data() < WidePath::kCapacity;
    if (valid && fits && text.find('\0') == std::string::npos) {
        fuzz::check(path.isComplete(), "a valid, short path converts whole");
        fuzz::check(path.toUtf8() == text, "a whole path reads back as the same bytes");
    }
    if (path.isComplete())
        (void)wideToUtf8(path.data());
    return 0;
}
