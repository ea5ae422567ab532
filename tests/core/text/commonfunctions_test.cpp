#include "core/text/commonfunctions.h"

#include <QColor>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <climits>
#include <cmath>
#include <utility>

using namespace Qt::StringLiterals;

namespace {

TEST(TimeStrings, FromMillisecondsSecondsAndDoubles)
{
    // The leftover milliseconds round to the nearest second, exactly 500 down.
    const std::pair<int, QString> ms[] = { { 1500, u"00:00:01"_s }, { 1501, u"00:00:02"_s }, { 3600000, u"01:00:00"_s },
        { 500, u"00:00:00"_s }, { 3599501, u"01:00:00"_s }, { 360000000, u"100:00:00"_s } };
    for (const auto& [millis, text] : ms)
        EXPECT_EQ(CommonFunctions::mSecondsToNSString(millis), text) << millis;

    EXPECT_EQ(GetTimeString(59.5), u"00:01:00"_s);
    EXPECT_EQ(GetTimeString(59.49), u"00:00:59"_s);
    EXPECT_EQ(GetTimeString(3661.2), u"01:01:01"_s);
    // Never an undefined conversion: NaN reads as 0, huge values clamp to INT_MAX seconds.
    EXPECT_EQ(GetTimeString(NAN), u"00:00:00"_s);
    EXPECT_EQ(GetTimeString(1e12), u"596523:14:07"_s);

    EXPECT_EQ(CommonFunctions::secondsToShortString(75, 1), u"75000"_s);
    EXPECT_EQ(CommonFunctions::secondsToShortString(75, 2), u"01:15"_s);
    EXPECT_EQ(CommonFunctions::secondsToShortString(75, 0), u"00:01:15"_s);
    EXPECT_EQ(CommonFunctions::secondsToShortString(75, 7), u"00:01:15"_s);
    EXPECT_EQ(CommonFunctions::secondsToShortString(3675, 2), u"01:15"_s); // minutes within the hour
    EXPECT_EQ(CommonFunctions::secondsToShortString(3000000, 1), u"3000000000"_s);
}

TEST(TimeStrings, ParsingNeverFails)
{
    const std::pair<QString, int> cases[] = { { u"00:01:30.5"_s, 90000 }, { u"1:2:3"_s, 3723000 }, { u""_s, 0 },
        { u"1:30"_s, 5400000 }, { u"00/01/02"_s, 62000 }, { u"aa:05:bb"_s, 300000 }, { u"3s:4m:5"_s, 11045000 },
        { u"999999:0:0"_s, INT_MAX } };
    for (const auto& [text, millis] : cases)
        EXPECT_EQ(CommonFunctions::stringToMseconds(text), millis) << text.toStdString();

    const std::pair<QString, QStringList> divided[] = { { u"01:02:03.45"_s, { u"01"_s, u"02"_s, u"03"_s, u"45"_s } },
        { u"01:02"_s, { u"01"_s, u"02"_s, u""_s, u""_s } }, // missing pieces are empty, never out of range
        { u""_s, { u""_s, u""_s, u""_s, u""_s } }, { u"1:2:3.4.5"_s, { u"1"_s, u"2"_s, u"3"_s, u"4"_s } } };
    for (const auto& [text, pieces] : divided)
        EXPECT_EQ(CommonFunctions::divideString(text), pieces) << text.toStdString();

    EXPECT_TRUE(CommonFunctions::isStringInt(u""_s));
    EXPECT_TRUE(CommonFunctions::isStringInt(u"0123456789"_s));
    for (const QString& no : { u"12a"_s, u" 12"_s, u"-1"_s, u"1.0"_s, u"\u0663"_s })
        EXPECT_FALSE(CommonFunctions::isStringInt(no)) << no.toStdString();
}

class CheckFileExist : public ::testing::Test {
protected:
    void touch(const QString& name) { ASSERT_TRUE(QFile(m_dir.filePath(name)).open(QIODevice::WriteOnly)); }
    int check(const QString& name) { return CommonFunctions::checkFileExist(name, m_dir.path()); }

    QTemporaryDir m_dir;
};

TEST_F(CheckFileExist, NextNumberAfterTheLargestBlankSeparatedOne)
{
    EXPECT_EQ(check(u"record.mov"_s), 0);
    for (const QString& name :
        { u"recording 5.mov"_s, u"Record 9.mov"_s, u"record -4.mov"_s, u"record .mov"_s, u"record_7.mov"_s })
        touch(name);
    EXPECT_EQ(check(u"record.mov"_s), 0);
    touch(u"record.mov"_s);
    EXPECT_EQ(check(u"record.mov"_s), 1);
    touch(u"record 1.mov"_s);
    touch(u"record 3.mov"_s);
    EXPECT_EQ(check(u"record.mov"_s), 4);
    touch(u"record 5s.mov"_s); // the leading number of the rest
    EXPECT_EQ(check(u"record.mov"_s), 6);
    touch(u"record 12.m4a"_s); // extensions are not compared
    EXPECT_EQ(check(u"record.mov"_s), 13);
    ASSERT_TRUE(QDir(m_dir.path()).mkdir(u"record 20"_s)); // any entry counts
    EXPECT_EQ(check(u"record.mov"_s), 21);
    EXPECT_EQ(CommonFunctions::checkFileExist(u"record.mov"_s, m_dir.filePath(u"missing"_s)), 0);
    touch(u"my.song 2.mov"_s); // only the last extension goes
    EXPECT_EQ(check(u"my.song.mov"_s), 3);
}

TEST(Images, ResetImageFitsTheBoxWithoutDividingByZero)
{
    const struct {
        int w, h, boxW, boxH, newW, newH;
    } cases[] = { { 200, 100, 120, 90, 120, 60 }, { 100, 200, 120, 100, 50, 100 }, { 240, 180, 120, 90, 120, 90 },
        { 60, 30, 120, 90, 120, 60 }, { 240, 180, 0, 90, 0, 0 }, { 240, 180, 120, 0, 0, 0 }, { 0, 0, 120, 90, 0, 0 } };
    for (const auto& c : cases) {
        int w = -1;
        int h = -1;
        const QImage image = c.w ? QImage(c.w, c.h, QImage::Format_RGB32) : QImage();
        CommonFunctions::resetImage(image, c.boxW, c.boxH, &w, &h);
        EXPECT_EQ(QSize(w, h), QSize(c.newW, c.newH)) << c.w << "x" << c.h << " in " << c.boxW << "x" << c.boxH;
    }
    int width = -1; // either size may be left out
    CommonFunctions::resetImage(QImage(4, 4, QImage::Format_RGB32), 120, 90, &width, nullptr);
    EXPECT_EQ(width, 90);
}

TEST(Images, ThumbnailIsStretchedToTheWholeBox)
{
    // Top half red; bottom half blue on the left, green on the right.
    QImage source(240, 60, QImage::Format_RGB32);
    source.fill(Qt::red);
    for (int y = 30; y < 60; ++y)
        for (int x = 0; x < 240; ++x)
            source.setPixelColor(x, y, x < 120 ? Qt::blue : Qt::green);
    const QImage thumb = CommonFunctions::NSImageFromCGImageRef(source);
    ASSERT_EQ(thumb.size(), QSize(120, 90));
    EXPECT_EQ(thumb.pixelColor(117, 2), QColor(Qt::red)); // stretched to the corners, upright
    EXPECT_EQ(thumb.pixelColor(2, 87), QColor(Qt::blue));
    EXPECT_EQ(thumb.pixelColor(117, 87), QColor(Qt::green));
    EXPECT_EQ(CommonFunctions::NSImageFromCGImageRef(QImage()).size(), QSize(120, 90));
}

} // namespace
