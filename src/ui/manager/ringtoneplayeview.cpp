#include "ui/manager/ringtoneplayeview.h"

#include "ui/artwork/artwork.h"

#include <QPainter>

#include <algorithm>

RingtonePlayeView::RingtonePlayeView(QWidget* parent)
    : QWidget(parent)
{
    loadArtwork();
}

void RingtonePlayeView::loadArtwork()
{
    const qreal ratio = devicePixelRatioF();
    if (ratio == m_artworkRatio)
        return;
    m_artworkRatio = ratio;
    m_leftImage = artwork(QStringLiteral(":/PlayAreaLeft.png"), ratio);
    m_midImage = artwork(QStringLiteral(":/PlayAreaMid.png"), ratio);
    m_rightImage = artwork(QStringLiteral(":/PlayAreaRight.png"), ratio);
}

QSize RingtonePlayeView::sizeHint() const
{
    return { 400, qRound(logicalSize(m_leftImage).height()) };
}

QSize RingtonePlayeView::minimumSizeHint() const
{
    const QSizeF left = logicalSize(m_leftImage);
    return { qRound(left.width() + logicalSize(m_rightImage).width()), qRound(left.height()) };
}

void RingtonePlayeView::paintEvent(QPaintEvent* /*event*/)
{
    loadArtwork();
    QPainter painter(this);
    const double w = width();
    const double h = height();
    // Narrower than both ends: each end gets half, the middle nothing.
    const double left = std::min(logicalSize(m_leftImage).width(), w / 2);
    const double right = std::min(logicalSize(m_rightImage).width(), w / 2);
    painter.drawPixmap(
        QRectF(0, 0, left, h), m_leftImage, QRectF(0, 0, left * m_leftImage.devicePixelRatio(), m_leftImage.height()));
    if (w - left - right > 0)
        painter.drawPixmap(QRectF(left, 0, w - left - right, h), m_midImage, m_midImage.rect());
    const double rightSkip = m_rightImage.width() - right * m_rightImage.devicePixelRatio();
    painter.drawPixmap(QRectF(w - right, 0, right, h), m_rightImage,
        QRectF(rightSkip, 0, m_rightImage.width() - rightSkip, m_rightImage.height()));
}
