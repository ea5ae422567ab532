#include "ui/editor/showprocessviewcontroller.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>

ShowProcessViewController::ShowProcessViewController(QWidget* parent)
    : QWidget(parent)
    , m_pi(new QProgressBar)
    , m_info(new QLabel)
{
    setObjectName(QStringLiteral("ShowProcessView"));
    m_pi->setObjectName(QStringLiteral("pi"));
    m_pi->setRange(0, 100);
    m_pi->setTextVisible(false);
    m_info->setObjectName(QStringLiteral("info"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pi);
    layout->addWidget(m_info);
    setMinimumWidth(282);
}

void ShowProcessViewController::setProgressRate(float fraction)
{
    m_pi->setRange(0, 100);
    m_pi->setValue(static_cast<int>(std::clamp(fraction, 0.0f, 1.0f) * 100.0f));
}

void ShowProcessViewController::startAnimation()
{
    if (m_pi->value() <= 0)
        m_pi->setRange(0, 0); // busy until the first step arrives
}

void ShowProcessViewController::stopAnimation()
{
    m_pi->setRange(0, 100);
}

void ShowProcessViewController::setInfo(const QString& text)
{
    m_info->setText(text);
}

int ShowProcessViewController::progress() const
{
    return m_pi->value();
}

QString ShowProcessViewController::info() const
{
    return m_info->text();
}
