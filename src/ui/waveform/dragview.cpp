#include "ui/waveform/dragview.h"

#include "core/environment/editingstate.h"
#include "core/notification/notificationcenter.h"
#include "ui/waveform/waveformgeometry.h"
#include "ui/waveform/waveformnotes.h"
#include "ui/waveform/waveformrenderer.h"
#include "ui/waveform/waveformview.h"

#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>

#include <cmath>

DragView::DragView(WaveformView* waveform)
    : QWidget(waveform)
    , m_waveform(waveform)
    , m_sliderLeft(QStringLiteral(":/SliderLeft.png"))
    , m_sliderMid(QStringLiteral(":/SliderMid.png"))
    , m_sliderRight(QStringLiteral(":/SliderRight.png"))
{
    setObjectName(QStringLiteral("DragView"));
    setAccessibleName(QStringLiteral("Chosen part"));
    setToolTip(QStringLiteral("The part that becomes the ringtone: drag it to move it, drag its edges to resize it"));
    setCursor(Qt::OpenHandCursor);
}

void DragView::setIsEnlarge(bool enlarging)
{
    m_isEnlarge = enlarging;
    // While the edges are being dragged the bar offers no hand of its own.
    setCursor(enlarging ? Qt::SplitHCursor : Qt::OpenHandCursor);
}

void DragView::setTimeLinePos(double x)
{
    const bool draws = x >= 0.0;
    if (draws == m_draweTimeLine && (!draws || x == m_timeLineX))
        return;
    if (m_draweTimeLine)
        update(QRect(static_cast<int>(m_timeLineX) - 1, 0, 3, height()));
    m_draweTimeLine = draws;
    m_timeLineX = x;
    if (draws)
        update(QRect(static_cast<int>(x) - 1, 0, 3, height()));
}

void DragView::prepareDrawPoints()
{
    const EditingState& s = gloableState();
    const std::shared_ptr<const WaveformPoints> points = s._cgPointArray();
    const double clearance = s._pointClearance.load();
    const double dx = s._moveDx.load();
    m_dragCGPoint.clear();
    if (!points || points->empty() || clearance <= 0.0 || dx <= 0.0)
        return;
    const PartFrame part = m_waveform->part();
    m_dragWavePointStartPos = std::max(0, static_cast<int>(part.x / clearance));
    m_startTime = part.x / dx / 1000.0;
    m_endTime = static_cast<int>(part.right() / dx / 1000.0);
    const auto wanted = static_cast<size_t>(part.width / clearance);
    const auto first = static_cast<size_t>(m_dragWavePointStartPos);
    // A part that reaches the file's end draws only the points that exist.
    const size_t count = first < points->size() ? std::min(wanted, points->size() - first) : 0;
    m_dragCGPoint.reserve(count);
    for (size_t i = 0; i < count; ++i)
        m_dragCGPoint.emplace_back(clearance * static_cast<double>(i), (*points)[first + i].y);
}

std::vector<int> DragView::gridLines() const
{
    std::vector<int> lines;
    const int n = m_waveform->showTimeClearance();
    const double clearance = gloableState()._pointClearance.load();
    const double partX = m_waveform->part().x;
    for (int i = static_cast<int>(m_startTime); i < m_endTime; ++i) {
        if (n > 0 && (i % n == 0 || i % WaveformRenderer::minorTickEvery(n) == 0))
            lines.push_back(
                static_cast<int>(clearance * EditingState::pointCountPerSecond * i) - static_cast<int>(partX));
    }
    return lines;
}

void DragView::paintEvent(QPaintEvent*)
{
    // The bar and its waveform change only with the part or the zoom; the play line
    // moves ten times a second, so the rest is drawn once and kept.
    const EditingState& s = gloableState();
    const auto points = s._cgPointArray();
    const CacheKey key { size(), m_waveform->part().x, s._pointClearance.load(), points.get(),
        m_waveform->showTimeClearance() };
    if (!(key == m_cacheKey) || m_cache.isNull()) {
        m_cache = QImage(size(), QImage::Format_ARGB32_Premultiplied);
        m_cache.fill(Qt::transparent);
        QPainter cachePainter(&m_cache);
        paintBar(cachePainter);
        m_cacheKey = key;
    }
    QPainter painter(this);
    painter.drawImage(0, 0, m_cache);
    if (m_draweTimeLine) {
        painter.setPen(QPen(Qt::black, 0));
        painter.drawLine(QPointF(m_timeLineX, 0), QPointF(m_timeLineX, height()));
    }
}

void DragView::paintBar(QPainter& painter)
{
    const int w = width();
    const int h = height();
    painter.drawImage(QRect(0, 0, m_sliderLeft.width() + 1, h), m_sliderLeft);
    painter.drawImage(
        QRect(m_sliderLeft.width(), 0, std::max(0, w - m_sliderRight.width() - m_sliderLeft.width()), h), m_sliderMid);
    painter.drawImage(QRect(w - m_sliderRight.width() - 1, 0, m_sliderRight.width(), h), m_sliderRight);

    prepareDrawPoints();
    if (m_dragCGPoint.empty())
        return;
    QColor grid = WaveformArt::kGridLine;
    grid.setAlphaF(0.3f);
    painter.setPen(QPen(grid, 0));
    for (int x : gridLines())
        painter.drawLine(x, 0, x, h);

    // The part's waveform, measured from the bottom of the waveform area (this bar's
    // area: the bar spans the waveform's height below the ruler).
    const WaveformGeometry g(h);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath path(QPointF(0.0, h / 2.0));
    for (const QPointF& p : m_dragCGPoint)
        path.lineTo(p.x(), g.toQt(p.y()));
    painter.setPen(QPen(WaveformArt::kBarWave, 1.0));
    painter.drawPath(path);
}

void DragView::mousePressEvent(QMouseEvent* event)
{
    if (!m_accptedClick || event->button() != Qt::LeftButton)
        return;
    setCursor(Qt::ClosedHandCursor);
    m_downPoint = event->position();
    if (m_waveform->isPreview())
        NotificationCenter::defaultCenter().post(WaveformNote::RepeatePreview);
}

void DragView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!m_accptedClick || event->button() != Qt::LeftButton)
        return;
    m_mouseClickCnt = 2;
    m_waveform->barPressed(mapToParent(event->position().toPoint()), true);
}

void DragView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_accptedClick || !(event->buttons() & Qt::LeftButton))
        return;
    m_waveform->startAutoScroll(mapToParent(event->position().toPoint()));
    m_waveform->removeMouseMoveLine();
    if (m_isEnlarge || m_mouseClickCnt == 2)
        return;
    setCursor(Qt::ClosedHandCursor);
    const double step = event->position().x() - m_downPoint.x();
    const PartFrame moved = m_waveform->rules().move(m_waveform->part(), step);
    if (moved == m_waveform->part())
        return;
    m_waveform->setTimeTF(moved);
    NotificationCenter::defaultCenter().post(WaveformNote::ChoosePartChanged);
}

void DragView::mouseReleaseEvent(QMouseEvent* event)
{
    if (!m_accptedClick)
        return;
    setCursor(Qt::OpenHandCursor);
    m_waveform->barReleased(mapToParent(event->position().toPoint()));
    if (m_mouseClickCnt == 2)
        m_mouseClickCnt = 0;
}
