#include "ui/trim/trimhelpbubble.h"

#include <QAbstractButton>
#include <QApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QPropertyAnimation>
#include <QVBoxLayout>

namespace {

constexpr int kBodyWidth = 260;
constexpr int kRadius = 8;

} // namespace

TrimHelpBubble::TrimHelpBubble(QWidget* dialog, QAbstractButton* button)
    : QWidget(dialog, Qt::Tool | Qt::FramelessWindowHint | Qt::WindowDoesNotAcceptFocus)
    , m_dialog(dialog)
    , m_button(button)
    , m_label(new QLabel(this))
{
    setObjectName(QStringLiteral("trimHelpBubble"));
    setAttribute(Qt::WA_TranslucentBackground);
    setAttribute(Qt::WA_ShowWithoutActivating);
    m_label->setWordWrap(true);
    m_label->setText(QStringLiteral("Drag the two orange knobs to choose the part to keep. \u201cPlay Section\u201d "
                                    "plays only that part; \u201cTrim\u201d cuts it into a new file for the "
                                    "editor."));
    auto* layout = new QVBoxLayout(this);
    // The arrow sits above the body.
    layout->setContentsMargins(12, kArrowHeight + 10, 12, 10);
    layout->addWidget(m_label);
    setFixedWidth(kBodyWidth);
    m_hideTimer.setSingleShot(true);
    m_hideTimer.setInterval(kShownMs);
    connect(&m_hideTimer, &QTimer::timeout, this, [this] { dismiss(); });
}

QString TrimHelpBubble::text() const
{
    return m_label->text();
}

void TrimHelpBubble::placeAtButton()
{
    adjustSize();
    const QPoint tip = m_button->mapToGlobal(QPoint(m_button->width() / 2, m_button->height()));
    // The arrow points up at the button's centre from the bubble's left part.
    move(tip.x() - 30, tip.y());
}

void TrimHelpBubble::fadeTo(double opacity)
{
    if (m_fade != nullptr)
        m_fade->stop();
    auto* fade = new QPropertyAnimation(this, "windowOpacity", this);
    fade->setDuration(kFadeMs);
    fade->setStartValue(windowOpacity());
    fade->setEndValue(opacity);
    if (opacity <= 0.0)
        connect(fade, &QPropertyAnimation::finished, this, [this] {
            if (!m_showing) {
                hide();
                Q_EMIT hidden();
            }
        });
    m_fade = fade;
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void TrimHelpBubble::popUp()
{
    m_button->setChecked(true);
    placeAtButton();
    if (!m_showing) {
        m_showing = true;
        setWindowOpacity(0.0);
        show();
        raise();
        qApp->installEventFilter(this);
    }
    fadeTo(1.0);
    m_hideTimer.start();
}

void TrimHelpBubble::dismiss(bool fade)
{
    m_hideTimer.stop();
    m_button->setChecked(false);
    if (!m_showing)
        return;
    m_showing = false;
    qApp->removeEventFilter(this);
    if (fade && isVisible()) {
        fadeTo(0.0);
        return;
    }
    if (m_fade != nullptr)
        m_fade->stop();
    hide();
    Q_EMIT hidden();
}

bool TrimHelpBubble::eventFilter(QObject* watched, QEvent* event)
{
    // A window of its own: it follows the dialog by hand, once the dialog's layout has
    // placed the button.
    if ((event->type() == QEvent::Move || event->type() == QEvent::Resize) && watched == m_dialog && m_showing)
        QTimer::singleShot(0, this, [this] {
            if (m_showing)
                placeAtButton();
        });
    if (event->type() == QEvent::MouseButtonPress && m_showing) {
        auto* widget = qobject_cast<QWidget*>(watched);
        // A click on the help button itself toggles through the button.
        if (widget != nullptr && widget->window() == m_dialog && widget != m_button)
            dismiss();
    }
    return QWidget::eventFilter(watched, event);
}

void TrimHelpBubble::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF body(0.5, kArrowHeight + 0.5, width() - 1.0, height() - kArrowHeight - 1.0);
    QPainterPath path;
    path.addRoundedRect(body, kRadius, kRadius);
    QPainterPath arrow;
    arrow.moveTo(18, kArrowHeight + 1);
    arrow.lineTo(30, 0.5);
    arrow.lineTo(42, kArrowHeight + 1);
    arrow.closeSubpath();
    path = path.united(arrow);
    painter.setPen(QPen(QColor(0x8c, 0x7a, 0x3a), 1));
    painter.setBrush(QColor(0xff, 0xf8, 0xd6));
    painter.drawPath(path);
}
