#include "ui/waveform/waveformgeometry.h"
#include "ui/waveform/waveformrenderer.h"

#include <QColor>
#include <QImage>
#include <QString>

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using namespace WaveformArt;

// 216 is a multiple of the tile's height, so tiles anchored at the top or at the bottom
// line up the same way and a pixel's tile position is simply (x % 8, y % 8).
constexpr int kHeight = 216;
constexpr int kAreaHeight = kHeight - kRulerHeight;

WaveformPoints constantWave(int count, double clearance, float yFromBottom)
{
    WaveformPoints points(static_cast<std::size_t>(count));
    for (int i = 0; i < count; ++i)
        points[static_cast<std::size_t>(i)] = { static_cast<float>(clearance * i), yFromBottom };
    return points;
}

// A file of `seconds` at `clearance`, with the waveform width the view would ask for.
WaveformRenderRequest requestFor(const WaveformPoints* points, double clearance, int seconds)
{
    WaveformRenderRequest request;
    request.points = points;
    request.pointClearance = clearance;
    request.width = std::max(double(kMinimumWidth), clearance * EditingState::pointCountPerSecond * seconds);
    request.height = kHeight;
    request.showTimeClearance = 30;
    request.seconds = seconds;
    return request;
}

QImage art(const char16_t* name)
{
    return QImage(QString::fromUtf16(name)).convertToFormat(QImage::Format_ARGB32);
}

QRgb tileAt(int x, int y)
{
    static const QImage tile = art(u":/WaveViewBackground.png");
    return tile.pixel(x % tile.width(), y % tile.height());
}

QRgb rulerAt(int y)
{
    static const QImage ruler = art(u":/TimeFillFragment.png");
    return ruler.pixel(0, y);
}

// Rows of `column` below the ruler whose pixel is not the background tile: the stroke,
// expected within two rows of `row`.
std::vector<int> expectStrokeNear(const QImage& picture, int column, int row)
{
    std::vector<int> rows;
    for (int y = kRulerHeight; y < picture.height(); ++y)
        if (picture.pixel(column, y) != tileAt(column, y))
            rows.push_back(y);
    EXPECT_TRUE(!rows.empty() && rows.front() >= row - 2 && rows.back() <= row + 2)
        << "column " << column << ": no stroke within two rows of " << row;
    return rows;
}

TEST(WaveformRendererSize, AnHourLongFileStaysWithinTheWidthCap)
{
    const int seconds = 3600;
    const WaveformPoints points = constantWave(seconds * EditingState::pointCountPerSecond, 1.0, 150.0f);
    WaveformRenderRequest request = requestFor(&points, 1.0, seconds); // 720000 pixels wide
    request.showTimeClearance = 10;

    const QImage picture = WaveformRenderer::render(request);
    ASSERT_FALSE(picture.isNull());
    EXPECT_EQ(picture.width(), WaveformRenderer::kMaximumPictureWidth);
    EXPECT_EQ(picture.height(), kHeight);
    EXPECT_LE(picture.sizeInBytes(), qsizetype(64) * 1024 * 1024);

    // The picture stands for the whole width.
    for (const double x : { 0.0, 360000.0, 720000.0 })
        EXPECT_DOUBLE_EQ(WaveformRenderer::pictureX(picture, x, request.width), x * 16384.0 / 720000.0);

    // A labelled tick at 10 s (waveform x 2000) lands at the scaled x, below its label.
    const int tick = int(WaveformRenderer::pictureX(picture, 2000.0, request.width));
    ASSERT_EQ(tick, 45);
    EXPECT_EQ(picture.pixel(tick, kRulerHeight - 3), QColor(kTick).rgb());

    // The thinned stroke still runs to the picture's right end, at the points' height. A second
    // is about 4.55 picture pixels here; these columns lie between grid lines (22-23 s,
    // 1758-1759 s, 3599 s-end).
    for (int column : { 102, 8002, 16382 })
        expectStrokeNear(picture, column, kHeight - 150);
}

TEST(WaveformRendererSize, ShortFilesKeepTheirWidthAndBadRequestsGiveNothing)
{
    const WaveformPoints points = constantWave(400, 0.05, 100.0f);
    const WaveformRenderRequest request = requestFor(&points, 0.05, 2);
    const QImage picture = WaveformRenderer::render(request);
    EXPECT_EQ(picture.size(), QSize(kMinimumWidth, kHeight));
    EXPECT_DOUBLE_EQ(WaveformRenderer::pictureX(picture, 300.0, request.width), 300.0);

    WaveformRenderRequest flat = request;
    flat.height = 0;
    EXPECT_TRUE(WaveformRenderer::render(flat).isNull());
    WaveformRenderRequest narrow = request;
    narrow.width = 0.0;
    EXPECT_TRUE(WaveformRenderer::render(narrow).isNull());
}

// At clearance 0.05 a second is 10 pixels; with labels every 30 s the minor ticks come
// every 3 s, i.e. every 30 pixels, and the fifth one after a labelled tick is taller.
TEST(WaveformRendererRuler, TicksLabelsAndGridLinesOverTheArt)
{
    const QImage picture = WaveformRenderer::render(requestFor(nullptr, 0.05, 100));
    ASSERT_EQ(picture.size(), QSize(1000, kHeight));
    const auto isRuler = [&](int x, int y) { return picture.pixel(x, y) == rulerAt(y); };
    const auto grey = [&](int x, int y) { return qGray(picture.pixel(x, y)); };
    // A labelled tick reaches nearly to the top; its label darkens the ruler just right of it.
    EXPECT_EQ(picture.pixel(300, 2), QColor(kTick).rgb());
    EXPECT_EQ(picture.pixel(300, kRulerHeight - 1), QColor(kTick).rgb());
    EXPECT_TRUE(isRuler(300, 1));
    int dark = 0;
    for (int x = 302; x < 340; ++x)
        for (int y = 2; y < kRulerHeight - 6; ++y)
            dark += grey(x, y) < qGray(rulerAt(y)) - 40 ? 1 : 0;
    EXPECT_GT(dark, 10);
    // Minor ticks are hairlines (the tick colour, partly see-through) from row 14, every
    // fifth from row 9; whole seconds between them and places between seconds have none.
    for (const auto& [x, top] : { std::pair { 360, 14 }, std::pair { 450, 9 } }) {
        EXPECT_TRUE(isRuler(x, top - 1)) << x;
        for (int y : { top, kRulerHeight - 1 })
            EXPECT_TRUE(grey(x, y) < qGray(rulerAt(y)) - 20 && grey(x, y) > qGray(QColor(kTick).rgb()) + 10) << x;
    }
    EXPECT_TRUE(isRuler(345, kRulerHeight - 1) && isRuler(400, kRulerHeight - 1));
    for (int x = 0; x < picture.width(); ++x)
        ASSERT_TRUE(isRuler(x, 0)) << x;
    // Grid lines below the ticks, lighter than the background but thin and see-through; the
    // background tiles between them.
    for (int x : { 330, 450 }) {
        for (int y : { kRulerHeight, kHeight - 1 }) {
            EXPECT_GT(grey(x, y), qGray(tileAt(x, y)) + 10) << x << ", " << y;
            EXPECT_LT(grey(x, y), qGray(QColor(kGridLine).rgb()) - 10) << x << ", " << y;
        }
    }
    for (int y = kRulerHeight; y < kHeight; ++y)
        ASSERT_EQ(picture.pixel(315, y), tileAt(315, y)) << y;
}

// The points' y is measured from the bottom of the waveform area: a loud positive waveform
// shows in the upper half, a quiet one near the bottom. Both for a file drawn point by point
// and for one dense enough to be thinned per column.
TEST(WaveformRendererStroke, ValuesGrowUpward)
{
    const int column = 505; // clear of grid lines
    for (const auto& [clearance, seconds] : { std::pair { 1.0, 3 }, std::pair { 0.05, 100 } }) {
        const float loud = kAreaHeight - 16.0f;
        for (const float y : { loud, 20.0f }) {
            SCOPED_TRACE(testing::Message() << "clearance " << clearance << ", y " << y);
            const WaveformPoints points = constantWave(seconds * EditingState::pointCountPerSecond, clearance, y);
            const QImage picture = WaveformRenderer::render(requestFor(&points, clearance, seconds));
            const std::vector<int> rows = expectStrokeNear(picture, column, int(WaveformGeometry(kHeight).toQt(y)));
            ASSERT_FALSE(rows.empty());
            EXPECT_TRUE(y == loud ? rows.back() < kHeight / 2 : rows.front() > kHeight / 2);
        }
    }
}

// A picture of the stretches computed so far: each drawn where it belongs, nothing over
// the gap between them.
TEST(WaveformRendererStroke, FinishedStretchesLeaveTheGapsBetweenThemEmpty)
{
    const float loud = kAreaHeight - 16.0f;
    WaveformPoints points = constantWave(600, 1.0, loud);
    points.erase(points.begin() + 200, points.begin() + 400); // the second second is not there yet
    WaveformRenderRequest request = requestFor(&points, 1.0, 3);
    request.breakAtGaps = true;
    const QImage picture = WaveformRenderer::render(request);
    const int row = int(WaveformGeometry(kHeight).toQt(loud));
    expectStrokeNear(picture, 105, row);
    expectStrokeNear(picture, 505, row);
    for (const int column : { 230, 300, 370 }) {
        for (int y = kRulerHeight; y < picture.height(); ++y)
            ASSERT_EQ(picture.pixel(column, y), tileAt(column, y)) << "column " << column << ", row " << y;
    }
}

} // namespace
