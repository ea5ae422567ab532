// Typed and stored time texts: the editor's time fields, the price-style play time field,
// the "H:M:S" readers and the leading-number reader, and the formatters back to text.
// The first eight bytes also serve as a number for the formatters.

#include "core/text/commonfunctions.h"
#include "core/text/leadingnumber.h"
#include "core/text/timeformatters.h"
#include "fuzz/fuzzsupport.h"

#include <QStringList>
#include <QVariant>

#include <algorithm>
#include <climits>
#include <cmath>
#include <cstring>

namespace {

void checkText(const QString& text)
{
    const QString normalized = VyMediaTimeFormatter::normalizedString(text);
    fuzz::check(normalized.count(u':') == 2, "a committed time has three fields");
    if (VyMediaTimeFormatter::isPartialStringValid(text)) {
        fuzz::check(text.count(u':') == 2, "an accepted edit has three fields");
        fuzz::check(text.size() <= 8, "an accepted edit has fields of at most two digits");
    }
    fuzz::check(CommonFunctions::divideString(text).size() == 4, "a divided time has four pieces");

    bool digits = true;
    for (const QChar c : text)
        digits = digits && c >= u'0' && c <= u'9';
    fuzz::check(CommonFunctions::isStringInt(text) == digits, "isStringInt is exactly ASCII digits");

    (void)CommonFunctions::stringToMseconds(text);

    qsizetype consumed = -1;
    const int integer = leadingInt(text, &consumed);
    fuzz::check(consumed >= 0 && consumed <= text.size(), "leadingInt consumes part of the text");
    fuzz::check(consumed > 0 || integer == 0, "no number reads as 0");
    consumed = -1;
    const double real = leadingDouble(text, &consumed);
    fuzz::check(consumed >= 0 && consumed <= text.size(), "leadingDouble consumes part of the text");
    fuzz::check(consumed > 0 || real == 0.0, "no number reads as 0.0");
    (void)leadingFloat(text);

    double value = 12345.0;
    QString error;
    if (!PlayTimeFormatter::getObjectValue(text, &value, &error)) {
        fuzz::check(value == 12345.0, "a refused play time leaves the value alone");
        fuzz::check(!error.isEmpty(), "a refused play time says why");
    }
    (void)VyMediaTimeFormatter::stringForObjectValue(QVariant(text));
}

void checkNumbers(const uint8_t* data)
{
    double seconds = 0;
    int32_t milliseconds = 0;
    std::memcpy(&seconds, data, sizeof seconds);
    std::memcpy(&milliseconds, data, sizeof milliseconds);

    const QString time = GetTimeString(seconds);
    if (seconds >= 0 && seconds < 1e6)
        fuzz::check(CommonFunctions::stringToMseconds(time) == int(std::floor(seconds + 0.5)) * 1000,
            "GetTimeString reads back as its rounded seconds");

    const QString shown = CommonFunctions::mSecondsToNSString(milliseconds);
    if (milliseconds >= 0) {
        const qint64 whole = milliseconds / 1000 + (milliseconds % 1000 > 500 ? 1 : 0);
        fuzz::check(CommonFunctions::stringToMseconds(shown) == std::min<qint64>(whole * 1000, INT_MAX),
            "mSecondsToNSString reads back as its rounded seconds");
    }
    for (int accuracy = 0; accuracy <= 3; ++accuracy)
        (void)CommonFunctions::secondsToShortString(milliseconds, accuracy);

    const QString price = PlayTimeFormatter::stringForObjectValue(QVariant(seconds));
    if (std::isfinite(seconds) && std::fabs(seconds) < 1e30) {
        double back = 0;
        fuzz::check(PlayTimeFormatter::getObjectValue(price, &back, nullptr), "a shown play time reads back");
    }
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    fuzz::quietLogs();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    checkText(QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    if (size >= 8)
        checkNumbers(data);
    return 0;
}
