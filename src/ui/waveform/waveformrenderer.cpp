#include "ui/waveform/waveformrenderer.h"

#include "core/text/commonfunctions.h"
#include "ui/waveform/waveformgeometry.h"

#include <QBrush>
#include <QFont>
#include <QFontMetricsF>
#include <QPainter>
#include <QPen>
#include <QPointF>
#include <QRect>
#include <QRectF>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <span>
#include <vector>

namespace {

using namespace WaveformArt;

// Tops of the ruler's ticks, in pixels below the picture's top edge. Every tick hangs
// from the ruler's bottom edge.
constexpr int kMajorTickTop = 2;
constexpr int kMinorTickTop = 14;
constexpr int kHalfwayTickTop = 9; // the fifth minor tick after a labelled one
constexpr int kHalfwayMinorIndex = 5;
constexpr int kMinorTicksPerMajor = 10;

constexpr double kLabelOffset = 2.0; // waveform pixels right of its tick
constexpr int kLabelBottom = kRulerHeight - 7; // the label's box ends 7 px above the ruler's bottom
constexpr int kLabelPixelSize = 8;
constexpr int kLabelAccuracy = 3; // "HH:MM:SS"

// Hairlines a fraction of a pixel wide are shown as one pixel with some transparency.
constexpr int kMinorTickAlpha = 140;
constexpr int kGridLineAlpha = 90;

QColor withAlpha(QColor colour, int alpha)
{
    colour.setAlpha(alpha);
    return colour;
}

// The picture column that holds picture x `px`. The small nudge keeps whole-pixel positions
// such as 0.05 * 200 * 30 on their pixel despite rounding in the multiplication.
int columnOf(double px)
{
    return int(std::floor(px + 1e-6));
}

// The ruler's ticks and grid lines, one pixel wide each. They are marked in one-pixel-high
// rows, one per horizontal band, and each row is stretched over its band in a single draw:
// thousands of separate column fills cost far more (each large fill is handed to a thread
// pool). Bands from the top: labelled ticks only; the halfway ticks join; every minor tick
// joins; the grid below the ruler.
class TickBands {
public:
    enum Band { LabelledOnly, FromHalfway, AllMinor, Grid, BandCount };

    explicit TickBands(int pictureWidth)
        : m_rows(pictureWidth, BandCount, QImage::Format_ARGB32_Premultiplied)
    {
        m_rows.fill(Qt::transparent);
    }

    // The tick reaches from the band `from` down to the ruler's bottom; its grid line follows.
    void mark(int column, Band from, const QColor& tick, const QColor& grid)
    {
        if (column < 0 || column >= m_rows.width())
            return;
        for (int band = from; band < Grid; ++band)
            setPixel(column, band, tick);
        setPixel(column, Grid, grid);
    }

    void draw(QPainter& painter, int height) const
    {
        const int tops[] = { kMajorTickTop, kHalfwayTickTop, kMinorTickTop, kRulerHeight, height };
        for (int band = 0; band < BandCount; ++band) {
            if (tops[band + 1] > tops[band])
                painter.drawImage(QRect(0, tops[band], m_rows.width(), tops[band + 1] - tops[band]), m_rows,
                    QRect(0, band, m_rows.width(), 1));
        }
    }

private:
    void setPixel(int column, int band, const QColor& colour)
    {
        reinterpret_cast<QRgb*>(m_rows.scanLine(band))[column] = qPremultiply(colour.rgba());
    }

    QImage m_rows;
};

QFont labelFont()
{
    QFont font(QStringLiteral("Geneva"));
    font.setPixelSize(kLabelPixelSize); // the design's points are screen pixels
    return font;
}

// Draws the ruler's labels. At full scale they are plain text; in a picture narrower than the
// waveform each label is drawn at its natural size once and squeezed by the picture's scale,
// so that it reads at its natural width once the view stretches the picture over the
// waveform (text drawn through a squeezing transform is far slower).
class LabelPainter {
public:
    LabelPainter(QPainter& painter, double scale)
        : m_painter(painter)
        , m_scale(scale)
        , m_font(labelFont())
        , m_metrics(m_font)
        , m_baseline(kLabelBottom - m_metrics.descent())
    {
        m_painter.setFont(m_font);
        m_painter.setPen(Qt::black);
    }

    void draw(double waveformX, const QString& text)
    {
        if (m_scale > kFullScale) {
            m_painter.drawText(QPointF(waveformX * m_scale + kLabelOffset, m_baseline), text);
            return;
        }
        const int width = int(std::ceil(m_metrics.horizontalAdvance(text))) + 1;
        QImage label(width, kLabelBottom, QImage::Format_ARGB32_Premultiplied);
        label.fill(Qt::transparent);
        QPainter labelPainter(&label);
        labelPainter.setFont(m_font);
        labelPainter.setPen(Qt::black);
        labelPainter.drawText(QPointF(0.0, m_baseline), text);
        labelPainter.end();
        m_painter.save();
        m_painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
        m_painter.drawImage(QRectF((waveformX + kLabelOffset) * m_scale, 0.0, width * m_scale, kLabelBottom), label);
        m_painter.restore();
    }

private:
    // A picture within a pixel or so of the waveform's width is drawn as it is.
    static constexpr double kFullScale = 0.99;

    QPainter& m_painter;
    double m_scale;
    QFont m_font;
    QFontMetricsF m_metrics;
    double m_baseline;
};

void drawRuler(QPainter& painter, const WaveformRenderRequest& request, double scale, int pictureWidth)
{
    const QImage ruler(QStringLiteral(":/TimeFillFragment.png"));
    painter.drawImage(QRect(0, 0, pictureWidth, kRulerHeight), ruler);

    if (request.showTimeClearance <= 0 || !request.drawTimeMarks)
        return;
    const int minorEvery = WaveformRenderer::minorTickEvery(request.showTimeClearance);
    const double secondWidth = request.pointClearance * EditingState::pointCountPerSecond;
    const QColor majorColour = kTick;
    const QColor minorColour = withAlpha(kTick, kMinorTickAlpha);
    const QColor gridColour = withAlpha(kGridLine, kGridLineAlpha);

    LabelPainter labels(painter, scale);
    TickBands ticks(pictureWidth);
    int minorCount = 0;
    for (int i = 0; i < request.seconds; ++i) {
        const double x = secondWidth * i;
        const double px = x * scale;
        if (px >= pictureWidth)
            break;
        const int column = columnOf(px);
        if (i % request.showTimeClearance == 0) {
            minorCount = 0;
            ticks.mark(column, TickBands::LabelledOnly, majorColour, gridColour);
            labels.draw(x, CommonFunctions::secondsToShortString(i, kLabelAccuracy));
        } else if (minorEvery > 0 && i % minorEvery == 0) {
            ++minorCount;
            const auto from = minorCount == kHalfwayMinorIndex ? TickBands::FromHalfway : TickBands::AllMinor;
            ticks.mark(column, from, minorColour, gridColour);
        }
    }
    ticks.draw(painter, painter.device()->height());
}

// The stroke's vertices. Up to two points per picture column are drawn as they are; denser
// waveforms keep each column's lowest and highest point, in the order they came, which
// draws the same envelope with a bounded number of vertices.
// A whole waveform's stroke starts at mid-height on the left edge; a stretch of one
// (`fromLeftEdge` false) at its first point.
std::vector<QPointF> wavePolyline(std::span<const WaveformPoint> points, double scale, int pictureWidth,
    const WaveformGeometry& geometry, double height, bool fromLeftEdge = true)
{
    std::vector<QPointF> line;
    const bool decimate = points.size() > 2 * std::size_t(pictureWidth);
    line.reserve((decimate ? 2 * std::size_t(pictureWidth) : points.size()) + 3);
    if (fromLeftEdge)
        line.emplace_back(0.0, geometry.toQt(height / 2.0));

    if (!decimate) {
        for (const WaveformPoint& point : points) {
            const double px = point.x * scale;
            line.emplace_back(px, geometry.toQt(point.y));
            if (px > pictureWidth) // the rest lies outside the picture
                break;
        }
        return line;
    }

    int column = -1;
    std::size_t lowIndex = 0;
    std::size_t highIndex = 0;
    const auto flush = [&] {
        if (column < 0)
            return;
        const double cx = column + 0.5;
        const std::size_t first = std::min(lowIndex, highIndex);
        const std::size_t second = std::max(lowIndex, highIndex);
        line.emplace_back(cx, geometry.toQt(points[first].y));
        if (second != first)
            line.emplace_back(cx, geometry.toQt(points[second].y));
    };
    for (std::size_t i = 0; i < points.size(); ++i) {
        const double px = points[i].x * scale;
        if (px > pictureWidth) {
            flush();
            line.emplace_back(px, geometry.toQt(points[i].y));
            return line;
        }
        const int c = std::max(0, columnOf(px));
        if (c != column) {
            flush();
            column = c;
            lowIndex = highIndex = i;
        } else if (points[i].y < points[lowIndex].y) {
            lowIndex = i;
        } else if (points[i].y > points[highIndex].y) {
            highIndex = i;
        }
    }
    flush();
    return line;
}

} // namespace

QImage WaveformRenderer::render(const WaveformRenderRequest& request)
{
    if (!(request.width > 0.0) || request.height <= 0)
        return {};
    const int pictureWidth = std::max(1, int(std::lround(std::min(request.width, double(kMaximumPictureWidth)))));
    const double scale = pictureWidth / request.width;

    QImage picture(pictureWidth, request.height, QImage::Format_ARGB32_Premultiplied);
    if (picture.isNull())
        return {};
    picture.fill(Qt::transparent);

    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing, false);

    // The tiles start at the bottom left corner, where the editor's coordinates start.
    painter.setBrushOrigin(0, request.height);
    painter.fillRect(picture.rect(), QBrush(QImage(QStringLiteral(":/WaveViewBackground.png"))));
    painter.setBrushOrigin(0, 0);

    drawRuler(painter, request, scale, pictureWidth);

    if (request.points != nullptr && !request.points->empty()) {
        const WaveformGeometry geometry(request.height);
        painter.setRenderHint(QPainter::Antialiasing, true);
        QPen pen(kWaveStroke);
        pen.setWidthF(1.0);
        pen.setCosmetic(true); // the raster engine's fast path for long polylines
        painter.setPen(pen);
        const std::span<const WaveformPoint> points(*request.points);
        if (!request.breakAtGaps) {
            const std::vector<QPointF> line = wavePolyline(points, scale, pictureWidth, geometry, request.height);
            painter.drawPolyline(line.data(), int(line.size()));
        } else {
            // One stroke per run of neighbouring points: nothing is drawn over a gap.
            const double gap = 1.5 * request.pointClearance;
            for (std::size_t from = 0; from < points.size();) {
                std::size_t to = from + 1;
                while (to < points.size() && points[to].x - points[to - 1].x <= gap)
                    ++to;
                const std::vector<QPointF> line = wavePolyline(
                    points.subspan(from, to - from), scale, pictureWidth, geometry, request.height, false);
                painter.drawPolyline(line.data(), int(line.size()));
                from = to;
            }
        }
    }
    painter.end();
    return picture;
}

void WaveformRenderer::drawTimeMarks(QPainter& painter, const WaveformRenderRequest& request, double fromX, double toX)
{
    if (request.showTimeClearance <= 0 || request.pointClearance <= 0.0)
        return;
    const double secondWidth = request.pointClearance * EditingState::pointCountPerSecond;
    const int minorEvery = WaveformRenderer::minorTickEvery(request.showTimeClearance);
    const int height = painter.device()->height();
    // Labels reach to the right of their tick: start early enough to catch them.
    const int first = std::max(0, static_cast<int>((fromX - 80.0) / secondWidth));
    const int last = std::min(request.seconds, static_cast<int>(toX / secondWidth) + 1);
    const QColor gridColour = withAlpha(kGridLine, kGridLineAlpha);
    const QColor minorColour = withAlpha(kTick, kMinorTickAlpha);
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, false);
    const QFont font = labelFont();
    painter.setFont(font);
    const double baseline = kLabelBottom - QFontMetricsF(font).descent();
    int minorCount = 0;
    for (int i = first; i < last; ++i) {
        const int x = columnOf(secondWidth * i);
        if (i % request.showTimeClearance == 0) {
            minorCount = 0;
            painter.setPen(kTick);
            painter.drawLine(x, 2, x, kRulerHeight - 1);
            painter.setPen(Qt::black);
            painter.drawText(QPointF(x + 2, baseline), CommonFunctions::secondsToShortString(i, kLabelAccuracy));
        } else if (minorEvery > 0 && i % minorEvery == 0) {
            ++minorCount;
            painter.setPen(minorColour);
            painter.drawLine(x, minorCount == kHalfwayMinorIndex ? 9 : 14, x, kRulerHeight - 1);
        } else {
            continue;
        }
        painter.setPen(gridColour);
        painter.drawLine(x, kRulerHeight, x, height);
    }
    painter.restore();
}

int WaveformRenderer::minorTickEvery(int showTimeClearance)
{
    return std::max(1, showTimeClearance / kMinorTicksPerMajor);
}

double WaveformRenderer::pictureX(const QImage& picture, double waveformX, double width)
{
    if (!(width > 0.0))
        return 0.0;
    return waveformX * picture.width() / width;
}
