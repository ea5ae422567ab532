#include "core/text/leadingnumber.h"

#include <QLocale>
#include <QString>

#include <gtest/gtest.h>

#include <climits>
#include <limits>
#include <tuple>

namespace {

TEST(LeadingNumber, IntReadsLeadingDigitsAndClamps)
{
    const std::tuple<const char16_t*, int, qsizetype> cases[]
        = { { u"3s", 3, 1 }, { u"30s", 30, 2 }, { u"9.2.1", 9, 1 }, { u"abc", 0, 0 }, { u"", 0, 0 },
              { u"  42xyz", 42, 4 }, { u"+5", 5, 2 }, { u"-12ab", -12, 3 }, { u"007", 7, 3 }, { u"1e5", 1, 1 },
              { u"- 5", 0, 0 }, { u"+-5", 0, 0 }, { u"\u0663", 0, 0 }, // only ASCII digits count
              { u"2147483647", INT_MAX, 10 }, { u"2147483648", INT_MAX, 10 }, { u"-2147483648", INT_MIN, 11 },
              { u"-2147483649", INT_MIN, 11 }, { u"99999999999999999999999 x", INT_MAX, 23 } };
    for (const auto& [text, value, length] : cases) {
        qsizetype consumed = -1;
        EXPECT_EQ(leadingInt(text, &consumed), value) << QString::fromUtf16(text).toStdString();
        EXPECT_EQ(consumed, length) << QString::fromUtf16(text).toStdString();
    }
    EXPECT_EQ(leadingInt(QString(300, u'9')), INT_MAX); // far past 64 bits too
    EXPECT_EQ(leadingInt(u'-' + QString(300, u'9')), INT_MIN);
}

TEST(LeadingNumber, DoubleReadsFractionAndExponent)
{
    const std::tuple<const char16_t*, double, qsizetype> cases[]
        = { { u"9.2.1", 9.2, 3 }, { u"3s", 3.0, 1 }, { u".5", 0.5, 2 }, { u"5.", 5.0, 2 }, { u"-.5", -0.5, 3 },
              { u"1e3", 1e3, 3 }, { u"1E-2", 0.01, 4 }, { u"2.5e2x", 250, 5 }, { u"1e", 1.0, 1 }, { u"1e+", 1.0, 1 },
              { u"1,5", 1.0, 1 }, { u" -3.25 kg", -3.25, 6 }, { u".", 0, 0 }, { u"abc", 0, 0 }, { u"e5", 0, 0 } };
    for (const auto& [text, value, length] : cases) {
        qsizetype consumed = -1;
        EXPECT_DOUBLE_EQ(leadingDouble(text, &consumed), value) << QString::fromUtf16(text).toStdString();
        EXPECT_EQ(consumed, length) << QString::fromUtf16(text).toStdString();
    }
    EXPECT_EQ(leadingDouble(u"-1e999"), -std::numeric_limits<double>::infinity());
    EXPECT_EQ(leadingDouble(u"1e-999"), 0.0);
    EXPECT_EQ(leadingFloat(u"16777217"), 16777216.0f); // narrowed to float

    const QLocale saved; // the point is "." whatever the user's locale
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    EXPECT_DOUBLE_EQ(leadingDouble(u"1.5"), 1.5);
    QLocale::setDefault(saved);
}

} // namespace
