#include "ui/recorder/bmpview.h"

#include "ui/artwork/artwork.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

BMPView::BMPView(QWidget* parent)
    : QWidget(parent)
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    setAccessibleName(QStringLiteral("Input level"));
    loadArtwork();
}

void BMPView::loadArtwork()
{
    const qreal ratio = devicePixelRatioF();
    if (ratio == m_artworkRatio)
        return;
    m_artworkRatio = ratio;
    m_backImage = artwork(QStringLiteral(":/BMPBackImage.png"), ratio);
    m_greenImage = artwork(QStringLiteral(":/BMPGreen.png"), ratio);
    m_orangeImage = artwork(QStringLiteral(":/BMPOrigal.png"), ratio);
    m_redImage = artwork(QStringLiteral(":/BMPRed.png"), ratio);
}

void BMPView::setDrawLength(float length)
{
    m_drawLength = std::isnan(length) ? 0.0F : std::clamp(length, 0.0F, float(std::max(width(), 0)));
    update();
}

QRectF BMPView::fromBottomLeft(const QRectF& rect) const
{
    return { rect.x(), height() - rect.y() - rect.height(), rect.width(), rect.height() };
}

const QPixmap* BMPView::tickAt(int x) const
{
    const double w = width() - 4;
    if (x < w / 3)
        return &m_greenImage;
    if (x < 2 * w / 3)
        return &m_orangeImage;
    if (x < w - 1)
        return &m_redImage;
    return nullptr;
}

void BMPView::paintEvent(QPaintEvent* /*event*/)
{
    loadArtwork();
    QPainter painter(this);
    painter.drawPixmap(QRectF(rect()), m_backImage, m_backImage.rect());
    const QSizeF back = logicalSize(m_backImage);
    for (int x = kFirstTick; x < m_drawLength; x += kTickStep) {
        const QPixmap* tick = tickAt(x);
        if (tick == nullptr)
            break;
        painter.drawPixmap(
            fromBottomLeft(QRectF(x, kTickBottom, back.width(), back.height() - 1)), *tick, tick->rect());
    }
}
