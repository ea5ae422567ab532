#include "ui/trim/trimsliderbar.h"

#include "core/notification/notificationcenter.h"
#include "ui/artwork/artwork.h"
#include "ui/trim/trimnotes.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>
#include <cmath>

TrimSliderKnobView::TrimSliderKnobView(const QString& picture, QWidget* parent)
    : QWidget(parent)
    , m_picturePath(picture)
{
    // The bar takes every press, so that a knob and the bar agree on what was hit.
    setAttribute(Qt::WA_TransparentForMouseEvents);
}

void TrimSliderKnobView::paintEvent(QPaintEvent*)
{
    if (const qreal ratio = devicePixelRatioF(); ratio != m_ratio) {
        m_ratio = ratio;
        m_picture = artwork(m_picturePath, ratio);
    }
    QPainter painter(this);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawPixmap(rect(), m_picture);
}

TrimKnob::TrimKnob(bool start, QWidget* parent)
    : TrimSliderKnobView(start ? QStringLiteral(":/TrimKnobStart.png") : QStringLiteral(":/TrimKnobEnd.png"), parent)
{
}

SliderKnob::SliderKnob(QWidget* parent)
    : TrimSliderKnobView(QStringLiteral(":/TrimSliderKnob.png"), parent)
{
}

TrimSliderBar::TrimSliderBar(QWidget* parent)
    : QWidget(parent)
    , m_startKnob(new TrimKnob(true, this))
    , m_endKnob(new TrimKnob(false, this))
    , m_sliderKnob(new SliderKnob(this))
{
    setObjectName(QStringLiteral("trimSliderBar"));
    setAccessibleName(QStringLiteral("Trim section"));
    setToolTip(QStringLiteral("Drag the two trim knobs to the section to keep; the middle knob is the play position"));
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
    layoutKnobs();
}

QSize TrimSliderBar::sizeHint() const
{
    return { 400, 34 };
}

double TrimSliderBar::barWidth() const
{
    return std::max(1.0, width() - 2.0 * fSliderBarLeftDis);
}

double TrimSliderBar::xForValue(float value) const
{
    const double fraction = fMaxValue > 0.0F ? double(value) / double(fMaxValue) : 0.0;
    return fSliderBarLeftDis + fraction * barWidth();
}

float TrimSliderBar::valueForX(double x) const
{
    return float((x - fSliderBarLeftDis) / barWidth() * double(fMaxValue));
}

void TrimSliderBar::layoutKnobs()
{
    const int trimWidth = int(7.0F + 3.0F * fSliderBarHeigth);
    const int trimHeight = std::max(1, int(height() - 2.0F * fTrimKnobTopDis));
    const int side = int(3.0F * fSliderBarHeigth);
    auto place = [](QWidget* knob, double centreX, int top, int w, int h) {
        knob->setGeometry(int(std::lround(centreX - w / 2.0)), top, w, h);
    };
    place(m_startKnob, xForValue(fTrimStartValue), int(fTrimKnobTopDis), trimWidth, trimHeight);
    place(m_endKnob, xForValue(fTrimEndValue), int(fTrimKnobTopDis), trimWidth, trimHeight);
    place(m_sliderKnob, xForValue(fValue), (height() - side) / 2, side, side);
    m_startKnob->setVisible(!m_hideTrim);
    m_endKnob->setVisible(!m_hideTrim);
    m_sliderKnob->raise();
    update();
}

void TrimSliderBar::post(TrimChange tag, bool isDragging)
{
    layoutKnobs();
    if (tag != TrimChange::Play && m_delegate != nullptr)
        m_delegate->setTrimLength();
    NotificationCenter::defaultCenter().post(TrimNote::ChangeValue, this,
        { { TrimKey::Value, fValue }, { TrimKey::TrimStartValue, fTrimStartValue },
            { TrimKey::TrimEndValue, fTrimEndValue }, { TrimKey::ChangeTag, static_cast<int>(tag) },
            { TrimKey::IsDraging, isDragging } });
}

void TrimSliderBar::setValue(float value, bool isDragging)
{
    fValue = std::clamp(value, 0.0F, fMaxValue);
    post(TrimChange::Play, isDragging);
}

void TrimSliderBar::setTrimStartValue(float value, bool isDragging)
{
    fTrimStartValue = std::clamp(value, 0.0F, fTrimEndValue);
    post(TrimChange::TrimStart, isDragging);
}

void TrimSliderBar::setTrimEndValue(float value, bool isDragging)
{
    fTrimEndValue = std::clamp(value, fTrimStartValue, fMaxValue);
    post(TrimChange::TrimEnd, isDragging);
}

void TrimSliderBar::setMaxValue(float maxValue)
{
    if (maxValue <= 0.0F)
        return;
    const float scale = fMaxValue > 0.0F ? maxValue / fMaxValue : 0.0F;
    fMaxValue = maxValue;
    fValue = std::clamp(fValue * scale, 0.0F, maxValue);
    fTrimStartValue = std::clamp(fTrimStartValue * scale, 0.0F, maxValue);
    fTrimEndValue = std::clamp(fTrimEndValue * scale, fTrimStartValue, maxValue);
    layoutKnobs();
}

void TrimSliderBar::reset()
{
    fValue = 0.0F;
    fTrimStartValue = 0.0F;
    fTrimEndValue = fMaxValue;
    m_drag = Drag::None;
    layoutKnobs();
}

void TrimSliderBar::setEnable(bool enable)
{
    m_enable = enable;
    if (!enable)
        m_drag = Drag::None;
    update();
}

void TrimSliderBar::setHideTrim(bool hide)
{
    m_hideTrim = hide;
    layoutKnobs();
}

void TrimSliderBar::setEnableDragTrim(bool enable)
{
    m_enableDragTrim = enable;
}

void TrimSliderBar::resizeEvent(QResizeEvent*)
{
    layoutKnobs();
}

void TrimSliderBar::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const double top = (height() - fSliderBarHeigth) / 2.0;
    const QRectF bar(fSliderBarLeftDis, top, barWidth(), fSliderBarHeigth);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x9a, 0x9a, 0x9a));
    painter.drawRoundedRect(bar, 2.0, 2.0);
    if (!m_hideTrim) {
        // The part that is kept.
        const double from = xForValue(fTrimStartValue);
        const double to = xForValue(fTrimEndValue);
        painter.setBrush(m_enable ? QColor(0x2f, 0x7d, 0xe1) : QColor(0x8a, 0xa8, 0xcc));
        painter.drawRect(QRectF(from, top, to - from, fSliderBarHeigth));
    }
}

TrimSliderBar::Drag TrimSliderBar::knobAt(const QPointF& point) const
{
    const QPoint p = point.toPoint();
    // The play knob lies over the trim knobs, so it is hit first.
    if (m_sliderKnob->geometry().contains(p))
        return Drag::Play;
    if (m_hideTrim)
        return Drag::None;
    // The end knob is in front: when both sit at the same place, the end one moves first
    // (dragged left) and the start one stays reachable afterwards.
    if (m_endKnob->geometry().contains(p))
        return Drag::End;
    if (m_startKnob->geometry().contains(p))
        return Drag::Start;
    return Drag::None;
}

void TrimSliderBar::mousePressEvent(QMouseEvent* event)
{
    if (!m_enable || !m_enableDragTrim || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_drag = knobAt(event->position());
    const float value = m_drag == Drag::Play ? fValue : m_drag == Drag::Start ? fTrimStartValue : fTrimEndValue;
    m_grabOffset = event->position().x() - xForValue(value);
    if (m_drag == Drag::Play)
        NotificationCenter::defaultCenter().post(TrimNote::StartDraggingSliderKnob, this);
}

void TrimSliderBar::moveDragged(double x)
{
    const float value = valueForX(x - m_grabOffset);
    switch (m_drag) {
    case Drag::Play: setValue(value, true); break;
    case Drag::Start: setTrimStartValue(value, true); break;
    case Drag::End: setTrimEndValue(value, true); break;
    case Drag::None: break;
    }
}

void TrimSliderBar::mouseMoveEvent(QMouseEvent* event)
{
    if (m_drag == Drag::None || !m_enable) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    moveDragged(event->position().x());
}

void TrimSliderBar::mouseReleaseEvent(QMouseEvent* event)
{
    const Drag was = m_drag;
    m_drag = Drag::None;
    if (was == Drag::Play)
        NotificationCenter::defaultCenter().post(TrimNote::EndDraggingSliderKnob, this);
    QWidget::mouseReleaseEvent(event);
}

void TrimSliderBar::mouseDoubleClickEvent(QMouseEvent* event)
{
    if (!m_enable || !m_enableDragTrim || event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    // A user's move: the player follows the knob.
    switch (knobAt(event->position())) {
    case Drag::Start: setValue(fTrimStartValue, true); break;
    case Drag::End: setValue(fTrimEndValue, true); break;
    default: break;
    }
    m_drag = Drag::None;
}
