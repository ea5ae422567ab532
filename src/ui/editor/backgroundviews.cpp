#include "ui/editor/backgroundviews.h"

#include <QMouseEvent>
#include <QPainter>

PictureBackgroundView::PictureBackgroundView(const QString& resource, QWidget* parent)
    : QWidget(parent)
    , m_picture(resource)
{
    // The picture covers every pixel.
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void PictureBackgroundView::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    // The picture replaces whatever the backing store held (the view paints opaquely).
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(rect(), m_picture);
}

void PictureBackgroundView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // Out of any text field: the editor's keys reach the window again.
    if (QWidget* focused = window()->focusWidget())
        focused->clearFocus();
    window()->setFocus(Qt::MouseFocusReason);
}

AudioEditorViewPlug::AudioEditorViewPlug(QWidget* parent)
    : PictureBackgroundView(QStringLiteral(":/AudioEditorPlug.png"), parent)
{
}

PartBackGroundView::PartBackGroundView(QWidget* parent)
    : PictureBackgroundView(QStringLiteral(":/DownPartBgPic.png"), parent)
{
}
