#include "ui/manager/vyringtoneplayprocessview.h"

#include "ui/artwork/artwork.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

VyRingtonePlayProcessView::VyRingtonePlayProcessView(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(QStringLiteral("Position"));
    setToolTip(QStringLiteral("Where the ringtone plays; click or drag to move"));
    loadArtwork();
}

void VyRingtonePlayProcessView::loadArtwork()
{
    const qreal ratio = devicePixelRatioF();
    if (ratio == m_artworkRatio)
        return;
    m_artworkRatio = ratio;
    m_trackImage = artwork(QStringLiteral(":/processBack.png"), ratio);
    m_playedImage = artwork(QStringLiteral(":/processPlay.png"), ratio);
    m_knobImage = artwork(QStringLiteral(":/processBtn.png"), ratio);
}

void VyRingtonePlayProcessView::setRate(float rate)
{
    m_rate = std::clamp(rate, 0.0F, kMaxSeekRate);
    update();
}

QRectF VyRingtonePlayProcessView::fromBottomLeft(const QRectF& rect) const
{
    return { rect.x(), height() - rect.y() - rect.height(), rect.width(), rect.height() };
}

void VyRingtonePlayProcessView::seekTo(double x)
{
    if (m_delegate == nullptr || !m_delegate->isPlayerIninted() || width() <= 0)
        return;
    const double rate = x / width();
    // Compared at the bar's own precision: 1.01F is a little below 1.01.
    if (float(rate) < 0.0F || float(rate) > kMaxSeekRate)
        return;
    m_rate = float(rate);
    update();
    m_delegate->setPlayTimePos(rate);
}

void VyRingtonePlayProcessView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    seekTo(event->position().x());
}

void VyRingtonePlayProcessView::mouseMoveEvent(QMouseEvent* event)
{
    if (!(event->buttons() & Qt::LeftButton)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    seekTo(event->position().x());
}

void VyRingtonePlayProcessView::paintEvent(QPaintEvent* /*event*/)
{
    loadArtwork();
    QPainter painter(this);
    const double w = width();
    painter.drawPixmap(fromBottomLeft(QRectF(0, 2, w, 4)), m_trackImage, m_trackImage.rect());
    if (m_rate > 0.0F)
        painter.drawPixmap(fromBottomLeft(QRectF(0, 2, m_rate * w, 4)), m_playedImage, m_playedImage.rect());
    painter.drawPixmap(
        fromBottomLeft(QRectF(m_rate * (w - kKnobSize), 0, kKnobSize, kKnobSize)), m_knobImage, m_knobImage.rect());
}
