#include "ui/player/showareaview.h"

#include <QFont>
#include <QPainter>

namespace {

// Small enough to sit inside the 15-pixel strip with a pixel to spare above and below.
constexpr int kCaptionPixelSize = 11;

} // namespace

ShowAreaView::ShowAreaView(QWidget* parent)
    : QWidget(parent)
    , m_background(QStringLiteral(":/showBack.png"))
    , m_caption(QStringLiteral("Selected Item"))
{
    QFont captionFont = font();
    captionFont.setPixelSize(kCaptionPixelSize);
    setFont(captionFont);
}

void ShowAreaView::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    // Stretched over the whole strip (Qt clips to the damaged part), so a partial repaint
    // matches the rest of the band.
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(rect(), m_background);
    painter.setPen(Qt::white);
    painter.drawText(rect(), Qt::AlignCenter, m_caption);
}
