#include "ui/recorder/recorderbackgrounds.h"

#include "ui/artwork/artwork.h"

#include <QPainter>

#include <utility>

RecorderPictureView::RecorderPictureView(QString resource, QWidget* parent)
    : QWidget(parent)
    , m_resource(std::move(resource))
{
    loadArtwork();
}

void RecorderPictureView::loadArtwork()
{
    const qreal ratio = devicePixelRatioF();
    if (ratio == m_artworkRatio)
        return;
    m_artworkRatio = ratio;
    m_picture = artwork(m_resource, ratio);
}

QSize RecorderPictureView::sizeHint() const
{
    return logicalSize(m_picture).toSize();
}

void RecorderPictureView::paintEvent(QPaintEvent* /*event*/)
{
    loadArtwork();
    QPainter painter(this);
    painter.drawPixmap(QRectF(rect()), m_picture, m_picture.rect());
}

RecorderBgView::RecorderBgView(QWidget* parent)
    : RecorderPictureView(QStringLiteral(":/RecordBG.png"), parent)
{
}

Ozk_RecorderBackView::Ozk_RecorderBackView(QWidget* parent)
    : RecorderPictureView(QStringLiteral(":/RecorderDownBack.png"), parent)
{
}
