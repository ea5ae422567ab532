#include "ui/manager/readringtonewindowcontroller.h"

#include <QFrame>
#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

ReadRingtoneWindowController::ReadRingtoneWindowController(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::FramelessWindowHint)
{
    setObjectName(QStringLiteral("ReadRingtonesProcess"));
    setWindowModality(Qt::WindowModal);
    // Frameless, so the border is ours.
    auto* panel = new QFrame;
    panel->setFrameShape(QFrame::StyledPanel);
    m_bar = new QProgressBar;
    m_bar->setTextVisible(false);
    m_bar->setMinimumWidth(220);
    auto* inner = new QVBoxLayout(panel);
    inner->setContentsMargins(20, 16, 20, 18);
    inner->addWidget(new QLabel(tr("Reading ringtones…")));
    inner->addWidget(m_bar);
    auto* outer = new QVBoxLayout(this);
    outer->setContentsMargins(0, 0, 0, 0);
    outer->addWidget(panel);
    stopAnimation();
}

void ReadRingtoneWindowController::showOver()
{
    adjustSize();
    if (const QWidget* parent = parentWidget()) {
        const QRect over = parent->window()->frameGeometry();
        move(over.center() - QPoint(width() / 2, height() / 2));
    }
    open();
}

void ReadRingtoneWindowController::startAnimation()
{
    // An empty range is the busy bar.
    m_bar->setRange(0, 0);
}

void ReadRingtoneWindowController::stopAnimation()
{
    m_bar->setRange(0, 1);
    m_bar->setValue(0);
}

void ReadRingtoneWindowController::closeSheet()
{
    stopAnimation();
    done(QDialog::Accepted);
}

bool ReadRingtoneWindowController::isAnimating() const
{
    return m_bar->maximum() == 0;
}
