#include "core/text/timeformatters.h"

#include <QString>
#include <QVariant>

#include <gtest/gtest.h>

#include <utility>

using namespace Qt::StringLiterals;

namespace {

TEST(VyMediaTimeFormatter, TypingAndCommitRules)
{
    // 60 minutes may be typed and is capped on commit; 60 seconds may not be typed.
    EXPECT_TRUE(VyMediaTimeFormatter::isPartialStringValid(u"00:60:00"_s));
    EXPECT_EQ(VyMediaTimeFormatter::normalizedString(u"00:60:00"_s), u"00:59:00"_s);
    EXPECT_FALSE(VyMediaTimeFormatter::isPartialStringValid(u"00:00:60"_s));

    for (const QString& ok : { u"00:00:59"_s, u"99:00:00"_s, u"1:2:3"_s, u"::"_s })
        EXPECT_TRUE(VyMediaTimeFormatter::isPartialStringValid(ok)) << ok.toStdString();
    for (const QString& no : { u"00:61:00"_s, u"100:00:00"_s, u"00:000:00"_s, u"0a:00:00"_s, u"00:00"_s,
             u"00:00:00:00"_s, u""_s, u" 1:2:3"_s, u"-1:2:3"_s, u"\uff11:2:3"_s })
        EXPECT_FALSE(VyMediaTimeFormatter::isPartialStringValid(no)) << no.toStdString();

    const std::pair<QString, QString> cases[] = {
        { u"1:2:3"_s, u"01:02:03"_s }, { u"5:75:9"_s, u"05:59:09"_s }, { u"123:45:06"_s, u"123:45:06"_s },
        { u"::"_s, u"0:0:0"_s }, { u"1:2:3:4"_s, u"01:02:03"_s }, { u"12:30"_s, u"12:30:00"_s },
        { u""_s, u"0:00:00"_s } // missing trailing pieces read as "00"
    };
    for (const auto& [typed, committed] : cases)
        EXPECT_EQ(VyMediaTimeFormatter::normalizedString(typed), committed) << typed.toStdString();
}

TEST(PlayTimeFormatter, ShowsNumbersAsDollarsOfTheirFloatValue)
{
    EXPECT_EQ(PlayTimeFormatter::stringForObjectValue(QVariant(3.14159)), u"$3.14"_s);
    EXPECT_EQ(PlayTimeFormatter::stringForObjectValue(QVariant(-2)), u"$-2.00"_s);
    EXPECT_EQ(PlayTimeFormatter::stringForObjectValue(QVariant(16777217.0)), u"$16777216.00"_s); // via float
    for (const QVariant& other : { QVariant(), QVariant(u"3.5"_s), QVariant(true) })
        EXPECT_TRUE(PlayTimeFormatter::stringForObjectValue(other).isEmpty()) << other.typeName();
}

TEST(PlayTimeFormatter, ReadsOptionalDollarThenFloatOnly)
{
    const std::pair<QString, double> good[] = { { u"$3.50"_s, 3.5 }, { u"3.5"_s, 3.5 }, { u"$-1e2"_s, -100.0 },
        { u" $ 2.25 "_s, 2.25 }, { u"0.1"_s, double(0.1f) } };
    for (const auto& [text, expected] : good) {
        double value = -1.0;
        QString error;
        EXPECT_TRUE(PlayTimeFormatter::getObjectValue(text, &value, &error)) << text.toStdString();
        EXPECT_EQ(value, expected) << text.toStdString();
        EXPECT_TRUE(error.isEmpty());
    }
    const QString message = QStringLiteral("Couldn\u2019t convert  to float");
    for (const QString& text : { u""_s, u"$"_s, u"abc"_s, u"$3.5x"_s, u"3.5$"_s, u"$$3"_s, u"3 4"_s }) {
        double value = 42.0;
        QString error;
        EXPECT_FALSE(PlayTimeFormatter::getObjectValue(text, &value, &error)) << text.toStdString();
        EXPECT_EQ(error, message) << text.toStdString();
        EXPECT_EQ(value, 42.0); // untouched on failure
    }
    EXPECT_FALSE(PlayTimeFormatter::getObjectValue(u"x"_s, nullptr, nullptr));
}

} // namespace
