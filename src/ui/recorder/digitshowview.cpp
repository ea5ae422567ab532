#include "ui/recorder/digitshowview.h"

#include "core/text/commonfunctions.h"
#include "core/text/leadingnumber.h"
#include "ui/artwork/artwork.h"

#include <QPainter>
#include <QStringList>

#include <algorithm>

DigitShowView::DigitShowView(QWidget* parent)
    : QWidget(parent)
{
    setAccessibleName(QStringLiteral("Recording time"));
    loadArtwork();
}

void DigitShowView::loadArtwork()
{
    const qreal ratio = devicePixelRatioF();
    if (ratio == m_artworkRatio)
        return;
    m_artworkRatio = ratio;
    for (int digit = 0; digit < 10; ++digit)
        m_pictures[digit] = artwork(QStringLiteral(":/lcd_digit-%1.png").arg(digit), ratio);
    m_pictures[kSeparator] = artwork(QStringLiteral(":/lcd_digit-sep.png"), ratio);
    m_pictures[kDot] = artwork(QStringLiteral(":/lcd_digit-dot.png"), ratio);
}

void DigitShowView::setDigitStr(const QString& text)
{
    m_digitStr = text;
    setAccessibleDescription(text);
    update();
}

QRectF DigitShowView::fromBottomLeft(const QRectF& rect) const
{
    return { rect.x(), height() - rect.y() - rect.height(), rect.width(), rect.height() };
}

void DigitShowView::paintEvent(QPaintEvent* /*event*/)
{
    loadArtwork();
    QPainter painter(this);
    double x = (width() - kTextWidth - 12) / 2.0;
    const auto draw = [&](const QPixmap& picture) {
        const QSizeF size = logicalSize(picture);
        painter.drawPixmap(fromBottomLeft(QRectF(QPointF(x, 0), size)), picture, picture.rect());
        x += size.width();
    };

    const QStringList numbers = CommonFunctions::divideString(m_digitStr);
    // After hours, minutes, seconds; nothing after the hundredths.
    const int followers[] = { kSeparator, kSeparator, kDot, -1 };
    for (int i = 0; i < 4; ++i) {
        const int value = std::clamp(leadingInt(numbers.value(i)), 0, 99);
        draw(m_pictures[value / 10]);
        draw(m_pictures[value % 10]);
        if (followers[i] >= 0)
            draw(m_pictures[followers[i]]);
    }
}
