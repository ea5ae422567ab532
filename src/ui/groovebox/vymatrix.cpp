#include "ui/groovebox/vymatrix.h"

#include "ui/artwork/artwork.h"

#include <QHelpEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QToolTip>

namespace {

constexpr int kStepRows = VyMatrix::kRows - 1;
constexpr int kSteps = VyMatrix::kColumns - 1;

} // namespace

VyMatrix::VyMatrix(QWidget* parent)
    : QWidget(parent)
    , m_punch(artwork(QStringLiteral(":/punch.png"), devicePixelRatioF()))
{
    setObjectName(QStringLiteral("matrix"));
    setAccessibleName(QStringLiteral("Rhythm"));
    setToolTip(QStringLiteral("Click a step to let the row's instrument play there"));
    m_header.append(QStringLiteral("Instrument"));
    for (int beat = 1; beat <= 16; ++beat)
        m_header << QString::number(beat) << QStringLiteral("e") << QStringLiteral("+") << QStringLiteral("a");
    m_on = QList<QList<bool>>(kStepRows, QList<bool>(kSteps, false));
    m_names = QStringList(kStepRows, QString());
    setFixedSize(sizeHint());
    setMouseTracking(false);
}

void VyMatrix::setInstrumentNames(const QStringList& names)
{
    for (int row = 0; row < kStepRows; ++row)
        m_names[row] = names.value(row);
    update();
}

QString VyMatrix::cellText(int row, int column) const
{
    if (row == 0)
        return m_header.value(column);
    if (column == 0 && row < kRows)
        return m_names.value(row - 1);
    return {};
}

bool VyMatrix::isSelected(int row, int column) const
{
    if (row < 1 || row >= kRows || column < 1 || column >= kColumns)
        return false;
    return m_on[row - 1][column - 1];
}

void VyMatrix::setSelected(int row, int column, bool on)
{
    if (row < 1 || row >= kRows || column < 1 || column >= kColumns || m_on[row - 1][column - 1] == on)
        return;
    m_on[row - 1][column - 1] = on;
    update(cellRect(row, column));
}

QList<QList<int>> VyMatrix::steps() const
{
    QList<QList<int>> rows;
    for (const QList<bool>& row : m_on) {
        QList<int> values;
        for (bool on : row)
            values.append(on ? 1 : 0);
        rows.append(values);
    }
    return rows;
}

QRect VyMatrix::cellRect(int row, int column) const
{
    const int x = column == 0 ? 0 : kNameWidth + (column - 1) * kCellWidth;
    return { x, row * kCellHeight, column == 0 ? kNameWidth : kCellWidth, kCellHeight };
}

QPoint VyMatrix::cellAt(const QPoint& point) const
{
    if (point.x() < 0 || point.y() < 0)
        return { -1, -1 };
    const int row = point.y() / kCellHeight;
    const int column = point.x() < kNameWidth ? 0 : 1 + (point.x() - kNameWidth) / kCellWidth;
    if (row >= kRows || column >= kColumns)
        return { -1, -1 };
    return { column, row };
}

QSize VyMatrix::sizeHint() const
{
    return { kNameWidth + kSteps * kCellWidth, kRows * kCellHeight };
}

void VyMatrix::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), QColor(0x2b, 0x2d, 0x31));
    QFont small = font();
    small.setPixelSize(10);
    painter.setFont(small);
    for (int row = 0; row < kRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            const QRect cell = cellRect(row, column);
            if (!cell.intersects(event->rect()))
                continue;
            if (row == 0 || column == 0) {
                painter.fillRect(cell, QColor(0x3a, 0x3d, 0x42));
                painter.setPen(QColor(0xdd, 0xdd, 0xdd));
                const int flags = column == 0 ? Qt::AlignVCenter | Qt::AlignLeft : Qt::AlignCenter;
                painter.drawText(cell.adjusted(column == 0 ? 4 : 0, 0, 0, 0), flags, cellText(row, column));
                continue;
            }
            // Every beat starts with a lighter cell, so the four steps of a beat read as one.
            const bool beatStart = (column - 1) % 4 == 0;
            painter.fillRect(
                cell.adjusted(0, 0, -1, -1), beatStart ? QColor(0x4a, 0x4e, 0x55) : QColor(0x40, 0x43, 0x49));
            if (m_on[row - 1][column - 1])
                painter.drawPixmap(QRectF(cell).adjusted(1, 1, -1, -1), m_punch, QRectF(m_punch.rect()));
        }
    }
}

void VyMatrix::mousePressEvent(QMouseEvent* event)
{
    const QPoint cell = cellAt(event->position().toPoint());
    const int row = cell.y();
    const int column = cell.x();
    if (event->button() != Qt::LeftButton || row < 1 || column < 1)
        return; // the header and the names are not steps
    m_on[row - 1][column - 1] = !m_on[row - 1][column - 1];
    m_isChange = true;
    update(cellRect(row, column));
    Q_EMIT cellClicked(row, column);
}

bool VyMatrix::event(QEvent* event)
{
    if (event->type() == QEvent::ToolTip) {
        auto* help = static_cast<QHelpEvent*>(event);
        const QPoint cell = cellAt(help->pos());
        if (cell.x() == 0 && cell.y() >= 1) {
            QToolTip::showText(help->globalPos(), cellText(cell.y(), 0), this, cellRect(cell.y(), 0));
            return true;
        }
        QToolTip::hideText();
        event->ignore();
        return true;
    }
    return QWidget::event(event);
}
