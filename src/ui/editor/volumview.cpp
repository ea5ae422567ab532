#include "ui/editor/volumview.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

namespace {

// Half-open: a point on the right or bottom edge belongs to the neighbour, so two
// parts that touch never both claim a click.
bool hits(const QRectF& rect, QPointF point)
{
    return point.x() >= rect.left() && point.x() < rect.right() && point.y() >= rect.top() && point.y() < rect.bottom();
}

} // namespace

VolumView::VolumView(QWidget* parent)
    : QWidget(parent)
    , m_progressBgImage(QStringLiteral(":/volumeBackBG.png"))
    , m_progressFrontImage(QStringLiteral(":/volumeBackEcllipse.png"))
    , m_downBtnImage(QStringLiteral(":/volumeBtnOn.png"))
    , m_upBtnImage(QStringLiteral(":/volumeBtnOff.png"))
    , m_volumMinDown(QStringLiteral(":/volumeMinGreen.png"))
    , m_volumMaxDown(QStringLiteral(":/volumeMaxGreen.png"))
    , m_volumMinUp(QStringLiteral(":/volumeMin.png"))
    , m_volumMaxUp(QStringLiteral(":/volumeMax.png"))
{
    setFocusPolicy(Qt::StrongFocus);
    setAccessibleName(QStringLiteral("Volume"));
    // As tall as the tallest picture: the bottom-up positions then need no extra room.
    setFixedHeight(
        std::max({ m_volumMinUp.height(), m_volumMaxUp.height(), m_upBtnImage.height(), m_progressBgImage.height() }));
    setVolumRate(0.5);
}

QSize VolumView::sizeHint() const
{
    return { 120, height() };
}

QSize VolumView::minimumSizeHint() const
{
    // Room for the knob between the buttons, and both travels positive.
    return { leftWidth() + rightWidth() + 18 + m_upBtnImage.width(), height() };
}

double VolumView::travel() const
{
    return width() - rightWidth() - leftWidth() - 16;
}

double VolumView::clickTravel() const
{
    return width() - rightWidth() - leftWidth() - 18;
}

int VolumView::volume() const
{
    // The small allowance keeps a rate reached by steps of 0.05 (0.45 as 0.4499999...) on
    // the volume it stands for.
    return static_cast<int>(std::floor(kMaxVolume * m_volumRate + 1e-9));
}

QRectF VolumView::fromBottomLeft(const QRectF& rect) const
{
    return { rect.x(), height() - rect.y() - rect.height(), rect.width(), rect.height() };
}

QRectF VolumView::knobRect() const
{
    return fromBottomLeft(QRectF(m_btnPos, 0, m_progressBtn->width(), m_progressBtn->height()));
}

void VolumView::setVolumRate(double rate)
{
    m_volumRate = std::clamp(rate, 0.0, 1.0);
    m_btnPos = m_volumRate * travel() + leftWidth() + 2;
    update();
}

void VolumView::report()
{
    Q_EMIT volumeChanged(volume());
}

void VolumView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const QPointF p = event->position();
    const int w = width();
    const int lw = leftWidth();
    const int rw = rightWidth();
    if (hits(fromBottomLeft(QRectF(0, 0, lw, m_volumMinUp.height())), p)) {
        m_volumRate = 0.0;
        m_leftImage = &m_volumMinDown;
    } else if (hits(fromBottomLeft(QRectF(w - rw, 0, rw, m_volumMaxUp.height())), p)) {
        m_volumRate = 1.0;
        m_rightImage = &m_volumMaxDown;
    } else if (hits(knobRect(), p)) {
        m_progressBtn = &m_downBtnImage;
    } else if (hits(fromBottomLeft(QRectF(lw + 2, 1, w - rw - lw - 6, 4.0 * m_progressBgImage.height())), p)) {
        m_mouseDownPos = p.x() - 4;
        if (clickTravel() > 0)
            m_volumRate = (m_mouseDownPos - lw - 2) / clickTravel();
    }
    m_volumRate = std::clamp(m_volumRate, 0.0, 1.0);
    m_btnPos = m_volumRate * clickTravel() + lw + 2;
    report();
    update();
}

void VolumView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton) || travel() <= 0) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    const int lw = leftWidth();
    m_volumRate = (event->position().x() - lw - 8) / travel();
    m_btnPos = std::clamp(m_volumRate * travel() + lw + 2, double(lw + 2), double(width() - rightWidth() - 14));
    m_volumRate = std::clamp(m_volumRate, 0.0, 1.0);
    report();
    update();
}

void VolumView::mouseReleaseEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseReleaseEvent(event);
        return;
    }
    m_leftImage = &m_volumMinUp;
    m_rightImage = &m_volumMaxUp;
    m_progressBtn = &m_upBtnImage;
    update();
}

void VolumView::keyPressEvent(QKeyEvent* event)
{
    double rate = m_volumRate;
    switch (event->key()) {
    case Qt::Key_Left: rate -= kKeyStep; break;
    case Qt::Key_Right: rate += kKeyStep; break;
    case Qt::Key_Home: rate = 0.0; break;
    case Qt::Key_End: rate = 1.0; break;
    default: QWidget::keyPressEvent(event); return;
    }
    setVolumRate(rate);
    report();
}

void VolumView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    // The knob's place depends on the width, which a layout may change after a rate was set.
    setVolumRate(m_volumRate);
}

void VolumView::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    const int w = width();
    painter.drawImage(fromBottomLeft(QRectF(0, 0, m_leftImage->width(), m_leftImage->height())), *m_leftImage);
    painter.drawImage(
        fromBottomLeft(QRectF(w - m_rightImage->width(), 0, m_rightImage->width(), m_rightImage->height())),
        *m_rightImage);
    const double trackX = leftWidth() + 2;
    const double trackWidth = w - rightWidth() - 2 - trackX - 2;
    if (trackWidth > 0)
        painter.drawImage(fromBottomLeft(QRectF(trackX, 0, trackWidth, m_progressBgImage.height())), m_progressBgImage);
    painter.drawImage(knobRect(), *m_progressBtn);
}
