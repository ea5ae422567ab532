#include "support/widgetpixels.h"
#include "ui/recorder/bmpview.h"
#include "ui/recorder/digitshowview.h"

#include <QPainter>
#include <QPixmap>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <ostream>

namespace {

QImage picture(const QString& name)
{
    return QImage(QStringLiteral(":/%1.png").arg(name));
}

// The picture for one character the clock shows: a digit, ":" or ".".
QImage clockPicture(QChar c)
{
    if (c == u':')
        return picture(QStringLiteral("lcd_digit-sep"));
    if (c == u'.')
        return picture(QStringLiteral("lcd_digit-dot"));
    return picture(QStringLiteral("lcd_digit-") + c);
}

TEST(ClockArtwork, TheDigitsOfAZeroTimeTakeTheirFixedWidthAndEveryPictureHasItsTwin)
{
    int total = 0;
    for (const QChar c : QStringLiteral("00:00:00.00"))
        total += clockPicture(c).width();
    EXPECT_EQ(total, DigitShowView::kTextWidth);

    for (const QChar c : QStringLiteral("0123456789:.")) {
        const QImage plain = clockPicture(c);
        SCOPED_TRACE(std::string(1, c.toLatin1()));
        EXPECT_EQ(plain.height(), 20);
        if (c.isDigit()) {
            EXPECT_EQ(plain.width(), 11) << "digits are all as wide, so the clock does not jitter";
        }
        const QString name = c == u':' ? QStringLiteral("sep") : c == u'.' ? QStringLiteral("dot") : QString(c);
        EXPECT_EQ(picture(QStringLiteral("lcd_digit-%1@2x").arg(name)).size(), plain.size() * 2);
    }
}

struct ClockCase {
    const char* name;
    const char* text;
    QSize size;
    int left; // where the first picture starts
    const char* shown; // the pictures drawn, as the time they spell
};

void PrintTo(const ClockCase& c, std::ostream* out)
{
    *out << c.name;
}

class ClockLayout : public ::testing::TestWithParam<ClockCase> { };

// The clock on black, against the same pictures painted left to right from `left`, each
// with its bottom on the widget's bottom edge.
TEST_P(ClockLayout, DrawsEachNumberAsTwoDigitsOnTheBottomEdge)
{
    const ClockCase& c = GetParam();
    DigitShowView clock;
    clock.setAutoFillBackground(true);
    QPalette palette = clock.palette();
    palette.setColor(QPalette::Window, Qt::black);
    clock.setPalette(palette);
    clock.resize(c.size);
    clock.setDigitStr(QString::fromLatin1(c.text));
    EXPECT_EQ(clock.digitStr(), QString::fromLatin1(c.text));

    QImage expected(c.size, QImage::Format_ARGB32);
    expected.fill(Qt::black);
    QPainter painter(&expected);
    int x = c.left;
    for (const QChar ch : QString::fromLatin1(c.shown)) {
        const QImage image = clockPicture(ch);
        painter.drawImage(x, c.size.height() - image.height(), image);
        x += image.width();
    }
    painter.end();
    EXPECT_TRUE(looksLike(grabbed(clock), expected));
}

INSTANTIATE_TEST_SUITE_P(Times, ClockLayout,
    ::testing::Values(ClockCase { "full_time", "12:34:56.78", { 200, 30 }, 42, "12:34:56.78" },
        ClockCase { "exact_width", "09:10:00.05", { 116, 20 }, 0, "09:10:00.05" },
        ClockCase { "missing_pieces_are_zero", "7:5", { 150, 24 }, 17, "07:05:00.00" },
        ClockCase { "out_of_range_numbers_are_kept_to_two_digits", "123:x:-4.99", { 150, 24 }, 17, "99:00:00.99" }),
    [](const auto& info) { return std::string(info.param.name); });

enum class Tick { Green, Orange, Red, None };

struct TickCase {
    const char* name;
    int width;
    float length;
    int x; // a tick's left column
    Tick expected;
};

void PrintTo(const TickCase& c, std::ostream* out)
{
    *out << c.name;
}

class MeterTicks : public ::testing::TestWithParam<TickCase> { };

// A 16-high meter: ticks span rows 2..12 (3 to 14 up from the bottom), three columns wide.
TEST_P(MeterTicks, ColoursEachTickByWhereItStands)
{
    const TickCase& c = GetParam();
    BMPView meter;
    meter.resize(c.width, 16);
    meter.setDrawLength(c.length);
    const QImage image = grabbed(meter);

    const QColor back = picture(QStringLiteral("BMPBackImage")).pixelColor(1, 6);
    const char* names[] = { "BMPGreen", "BMPOrigal", "BMPRed" };
    const QColor colour
        = c.expected == Tick::None ? back : picture(QLatin1String(names[int(c.expected)])).pixelColor(1, 6);
    for (const int row : { 2, 7, 12 })
        EXPECT_TRUE(looksLike(image.pixelColor(c.x + 1, row), colour)) << "row " << row;
    for (const int row : { 0, 1, 13, 15 })
        EXPECT_TRUE(looksLike(image.pixelColor(c.x + 1, row), back)) << "row " << row;
    EXPECT_TRUE(looksLike(image.pixelColor(c.x + 3, 7), back)) << "the gap after the tick";
}

INSTANTIATE_TEST_SUITE_P(Positions, MeterTicks,
    ::testing::Values(TickCase { "first", 100, 100, 6, Tick::Green },
        TickCase { "last_green", 100, 100, 30, Tick::Green }, TickCase { "first_orange", 100, 100, 34, Tick::Orange },
        TickCase { "green_below_a_fractional_third", 107, 107, 34, Tick::Green },
        TickCase { "orange_from_an_exact_third", 106, 106, 34, Tick::Orange },
        TickCase { "last_orange", 100, 100, 62, Tick::Orange }, TickCase { "first_red", 100, 100, 66, Tick::Red },
        TickCase { "last_red", 100, 100, 94, Tick::Red }, TickCase { "none_past_the_red", 99, 99, 94, Tick::None },
        TickCase { "none_at_the_right_end", 102, 102, 98, Tick::None },
        TickCase { "reaches_below_the_length", 100, 39, 38, Tick::Orange },
        TickCase { "none_at_the_length", 100, 38, 38, Tick::None },
        TickCase { "none_at_zero_length", 100, 0, 6, Tick::None }),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Meter, KeepsTheLengthWithinItsWidth)
{
    BMPView meter;
    meter.resize(120, 16);
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const std::pair<float, float> cases[] = { { 50.5F, 50.5F }, { 500, 120 }, { -3, 0 }, { nan, 0 } };
    for (const auto& [given, kept] : cases) {
        meter.setDrawLength(given);
        EXPECT_FLOAT_EQ(meter.drawLength(), kept) << given;
    }
}

} // namespace
