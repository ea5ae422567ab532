// WaveformView: painting, the pointer and drops.

#include "core/environment/editingstate.h"
#include "core/notification/notificationcenter.h"
#include "ui/mainwindow/mainwindownotes.h"
#include "ui/waveform/dragview.h"
#include "ui/waveform/waveformgeometry.h"
#include "ui/waveform/waveformrenderer.h"
#include "ui/waveform/waveformview.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <QPainterPath>
#include <QResizeEvent>
#include <QScrollArea>

#include <cmath>

namespace {

double moveDx()
{
    return gloableState()._moveDx.load();
}

// The first dropped local file with an ending the view takes.
QString acceptedFile(const QMimeData* data)
{
    if (data == nullptr)
        return {};
    for (const QUrl& url : data->urls()) {
        const QString path = url.toLocalFile();
        const QString suffix = QFileInfo(path).suffix();
        if (!path.isEmpty() && WaveformView::acceptedExtensions().contains(suffix, Qt::CaseInsensitive))
            return path;
    }
    return {};
}

} // namespace

void WaveformView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect exposed = event->rect();
    if (m_waveformImage.isNull()) {
        painter.drawImage(rect(), m_emptyPicture);
        return;
    }
    // Only the exposed slice of the picture, stretched over the width it stands for; its
    // ruler keeps its height and its waveform band fills the rest of the view's height.
    const double span = pictureSpan();
    const double fromX = exposed.left();
    const double toX = std::min<double>(exposed.right() + 1, span);
    if (toX > fromX) {
        const double left = WaveformRenderer::pictureX(m_waveformImage, fromX, span);
        const double right = WaveformRenderer::pictureX(m_waveformImage, toX, span);
        const int ruler = rulerHeight();
        const int pictureHeight = m_waveformImage.height();
        painter.drawImage(QRectF(fromX, 0, toX - fromX, ruler), m_waveformImage, QRectF(left, 0, right - left, ruler));
        painter.drawImage(QRectF(fromX, ruler, toX - fromX, height() - ruler), m_waveformImage,
            QRectF(left, ruler, right - left, pictureHeight - ruler));
    }
    if (exposed.right() + 1 > span) {
        // Past the file in a view wider than it: the empty background and ruler.
        const QRectF rest(std::max<double>(span, exposed.left()), 0,
            exposed.right() + 1 - std::max<double>(span, exposed.left()), height());
        painter.save();
        painter.setBrushOrigin(0, height());
        painter.fillRect(rest, QBrush(m_backgroundTile));
        painter.restore();
        painter.drawImage(QRectF(rest.left(), 0, rest.width(), rulerHeight()), m_rulerFill);
    }
    WaveformRenderRequest marks;
    marks.pointClearance = gloableState()._pointClearance.load();
    marks.showTimeClearance = m_showTimeClearance.load();
    marks.seconds = static_cast<int>(m_timeLineStringArray.size());
    WaveformRenderer::drawTimeMarks(painter, marks, exposed.left(), exposed.right() + 1);

    const double rulerH = rulerHeight();
    const bool insidePart = m_timeLineX >= m_part.x && m_timeLineX <= m_part.right() && m_part.width > 0.0;
    m_lineView->setTimeLinePos(insidePart ? m_timeLineX - m_part.x : -1.0);

    // The hover line, over the waveform outside the part.
    const double hoverX = m_mouseMoveLinePnt.x();
    if (hoverX >= exposed.left() && hoverX <= exposed.right() && m_part.width > 0.0
        && (hoverX < m_part.x || hoverX > m_part.right())) {
        painter.setPen(QPen(WaveformArt::kHoverLine, 0));
        painter.drawLine(QPointF(hoverX, rulerH), QPointF(hoverX, height()));
    }
    if (!m_isPreview) {
        // The play line with its handle: a triangle hanging from the top edge.
        const WaveformGeometry g(height());
        const double x = m_timeLineX;
        QPainterPath handle;
        handle.moveTo(x, g.toQt(height() - kHandleSize));
        handle.lineTo(x - kHandleSize, g.toQt(height()));
        handle.lineTo(x + kHandleSize, g.toQt(height()));
        handle.closeSubpath();
        painter.fillPath(handle, m_handleHeld ? QColor(Qt::blue) : QColor(Qt::gray));
        painter.setPen(QPen(Qt::black, 0));
        painter.drawPath(handle);
        painter.drawLine(QPointF(x, g.toQt(0)), QPointF(x, g.toQt(height() - kHandleSize)));
    }
}

void WaveformView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    m_height = height();
    if (event->size().height() != event->oldSize().height())
        fitPointsToHeight();
    placeLineView(m_part);
}

void WaveformView::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    removeMouseMoveLine();
}

void WaveformView::updateCursor(const QPoint& point)
{
    if (m_part.width <= 0.0)
        return;
    const double x = point.x();
    const ChosenPart r = rules();
    const bool atMaximum = m_part.width >= r.maximumWidth() - 0.5;
    if (point.y() < WaveformArt::kCursorTestStrip) {
        setCursor(Qt::ArrowCursor);
    } else if (x > m_part.x - ChosenPart::kGrabZone && x < m_part.x) {
        setCursor(atMaximum ? Qt::SizeHorCursor : Qt::SplitHCursor);
        m_isEnlarge = true;
    } else if (x > m_part.right() && x < m_part.right() + ChosenPart::kGrabZone) {
        setCursor(atMaximum ? Qt::SizeHorCursor : Qt::SplitHCursor);
        m_isEnlarge = true;
    } else {
        setCursor(Qt::ArrowCursor);
        m_isEnlarge = false;
    }
}

void WaveformView::mouseMoveEvent(QMouseEvent* event)
{
    const QPointF p = event->position();
    if (!(event->buttons() & Qt::LeftButton) || !m_pressed) {
        if (!m_accptedClick)
            return;
        m_mouseMoveLinePnt = p;
        update();
        updateCursor(p.toPoint());
        return;
    }
    dragTo(p);
}

void WaveformView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        pressAt(event->position(), false);
}

void WaveformView::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (event->button() == Qt::LeftButton)
        pressAt(event->position(), true);
}

void WaveformView::barPressed(const QPoint& viewPoint, bool doubleClick)
{
    pressAt(viewPoint, doubleClick);
}

void WaveformView::pressAt(const QPointF& point, bool doubleClick)
{
    if (!m_accptedClick)
        return;
    m_pressed = true;
    const double x = point.x();
    if (doubleClick) {
        if (moveDx() <= 0.0)
            return;
        const double t = x / moveDx();
        m_isPreview = false;
        if (m_part.x < x && x < m_part.right()) {
            m_isPreview = true;
            if (m_delegate != nullptr)
                m_delegate->repeatePreview(t);
        } else if (m_delegate != nullptr) {
            m_delegate->handlePlay(t);
        }
        update();
        return;
    }
    const WaveformGeometry g(height());
    const int zone = ChosenPart::grabZone(m_part, x, g.fromQt(point.y()), height() - rulerHeight());
    m_resize = ChosenPart::ResizeDrag { zone == 0 ? 0 : 1, x, 0.0, true };
    m_isEnlarge = zone != -1;
    m_mouseDownPoint = point;
    if (handleRect().contains(point)) {
        m_handleHeld = true;
        m_startMovePlayLine = true;
        if (m_delegate != nullptr)
            m_delegate->setCanMoveWaveform();
        update();
    } else if (point.y() < rulerHeight()) {
        m_startMovePlayLine = true;
        movePlayLine(x);
        if (m_delegate != nullptr)
            m_delegate->setCanMoveWaveform();
        update();
    }
}

void WaveformView::movePlayLine(double x)
{
    const double dx = moveDx();
    x = std::min(x, gloableState().movieLen.load() * dx * 1000.0);
    setTimeLineXPos(x);
    const double t = dx > 0.0 ? x / dx : 0.0;
    if (m_delegate == nullptr)
        return;
    if (m_isPreview) {
        m_delegate->stopPreview();
        setTimeLineXPos(x);
    } else {
        m_playerState = m_delegate->getPlayerState();
        if (m_playerState == PlayerState::Playing)
            m_delegate->handlePlay(t);
    }
    m_delegate->setPlayBeginTime(t);
}

void WaveformView::dragTo(const QPointF& point)
{
    startAutoScroll(point.toPoint());
    m_mouseMoveLinePnt = QPointF(-1, -1);
    if (!m_accptedClick)
        return;
    const WaveformGeometry g(height());
    const ChosenPart r = rules();
    if (!m_acceptDrage && m_isEnlarge) {
        // Back in the grab zone the drag started from: follow the pointer again.
        if (ChosenPart::grabZone(m_part, point.x(), g.fromQt(point.y()), height() - rulerHeight())
            == m_resize.direction) {
            m_acceptDrage = true;
            m_resize.following = true;
            m_resize.lastTotal = point.x() - m_resize.downX;
        }
        return;
    }
    if (moveDx() <= 0.0 || !m_acceptDrage)
        return;
    if (m_isEnlarge) {
        m_part = r.resize(m_part, m_resize, point.x());
        if (!m_resize.following) {
            m_acceptDrage = false;
            setCursor(Qt::ArrowCursor);
        } else {
            setCursor(Qt::SplitHCursor);
        }
        placeLineView(m_part);
        m_lineView->setIsEnlarge(true);
    } else if (m_startMovePlayLine) {
        movePlayLine(std::max(0.0, point.x()));
    } else {
        m_part = r.build(m_part, m_mouseDownPoint.x(), point.x());
        m_startX = m_part.x;
        placeLineView(m_part);
        if (m_isPreview && m_delegate != nullptr)
            m_delegate->repeatePreview(std::nullopt);
    }
    writeTimeFields(m_part);
    m_lastMoveX = point.x() - m_mouseDownPoint.x();
    m_lineView->show();
    update();
    postLength(m_part);
}

void WaveformView::mouseReleaseEvent(QMouseEvent* event)
{
    barReleased(event->position().toPoint());
}

void WaveformView::barReleased(const QPoint& viewPoint)
{
    if (!m_accptedClick)
        return;
    m_pressed = false;
    m_acceptDrage = true;
    m_handleHeld = false;
    update();
    if (moveDx() > 0.0) {
        if (std::lround(viewPoint.x() - m_mouseDownPoint.x()) != 0) {
            writeTimeFields(m_part);
            m_lineView->update();
        }
        if (m_isEnlarge && m_isPreview && m_delegate != nullptr)
            m_delegate->repeatePreview(std::nullopt);
    }
    m_isEnlarge = false;
    m_lineView->setIsEnlarge(false);
    m_lastMoveX = 0.0;
    m_startMovePlayLine = false;
}

void WaveformView::dragEnterEvent(QDragEnterEvent* event)
{
    if (!acceptedFile(event->mimeData()).isEmpty())
        event->acceptProposedAction();
}

void WaveformView::dropEvent(QDropEvent* event)
{
    const QString path = acceptedFile(event->mimeData());
    if (path.isEmpty())
        return;
    event->acceptProposedAction();
    // Through the main window's loading path, like any other file.
    NotificationCenter::defaultCenter().post(MainWindowNote::LoadChildItemInAudioEditView, this, loadRequest(path));
}
