#include "core/text/leadingnumber.h"

#include <QLocale>
#include <QString>

#include <climits>

namespace {

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= u'0' && c.unicode() <= u'9';
}

qsizetype skipSpace(QStringView text)
{
    qsizetype i = 0;
    while (i < text.size() && text[i].isSpace())
        ++i;
    return i;
}

// Index just past the digits starting at `i`.
qsizetype skipDigits(QStringView text, qsizetype i)
{
    while (i < text.size() && isAsciiDigit(text[i]))
        ++i;
    return i;
}

} // namespace

int leadingInt(QStringView text, qsizetype* consumed)
{
    qsizetype i = skipSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    const qsizetype digitsStart = i;
    // Accumulate in 64 bits and stop growing once past the int range, so that any
    // number of digits is read without overflow.
    constexpr qint64 limit = qint64(INT_MAX) + 1;
    qint64 value = 0;
    for (; i < text.size() && isAsciiDigit(text[i]); ++i) {
        if (value <= limit)
            value = value * 10 + (text[i].unicode() - u'0');
    }
    if (i == digitsStart) {
        if (consumed)
            *consumed = 0;
        return 0;
    }
    if (consumed)
        *consumed = i;
    if (negative)
        return value >= limit ? INT_MIN : int(-value);
    return value >= limit ? INT_MAX : int(value);
}

double leadingDouble(QStringView text, qsizetype* consumed)
{
    qsizetype i = skipSpace(text);
    bool negative = false;
    if (i < text.size() && (text[i] == u'+' || text[i] == u'-')) {
        negative = text[i] == u'-';
        ++i;
    }
    const qsizetype intStart = i;
    i = skipDigits(text, i);
    const QStringView intDigits = text.sliced(intStart, i - intStart);
    QStringView fracDigits;
    if (i < text.size() && text[i] == u'.') {
        const qsizetype fracStart = i + 1;
        const qsizetype fracEnd = skipDigits(text, fracStart);
        fracDigits = text.sliced(fracStart, fracEnd - fracStart);
        // A lone "." (no digit on either side) is not a number.
        if (!intDigits.isEmpty() || !fracDigits.isEmpty())
            i = fracEnd;
    }
    if (intDigits.isEmpty() && fracDigits.isEmpty()) {
        if (consumed)
            *consumed = 0;
        return 0.0;
    }

    // Rebuild a canonical form ("0.5", "5.0") so the C-locale reader takes it whatever
    // the spelling; the exponent only counts when digits follow it.
    QString canonical;
    canonical.reserve(intDigits.size() + fracDigits.size() + 16);
    if (negative)
        canonical += u'-';
    canonical += intDigits.isEmpty() ? QStringView(u"0") : intDigits;
    canonical += u'.';
    canonical += fracDigits.isEmpty() ? QStringView(u"0") : fracDigits;
    if (i < text.size() && (text[i] == u'e' || text[i] == u'E')) {
        qsizetype j = i + 1;
        QStringView expSign;
        if (j < text.size() && (text[j] == u'+' || text[j] == u'-')) {
            expSign = text.sliced(j, 1);
            ++j;
        }
        const qsizetype expEnd = skipDigits(text, j);
        if (expEnd > j) {
            canonical += u'e';
            canonical += expSign;
            canonical += text.sliced(j, expEnd - j);
            i = expEnd;
        }
    }
    if (consumed)
        *consumed = i;
    // The C locale answers +/-infinity on overflow and 0 on underflow, as strtod does.
    return QLocale::c().toDouble(canonical);
}

float leadingFloat(QStringView text, qsizetype* consumed)
{
    return static_cast<float>(leadingDouble(text, consumed));
}
