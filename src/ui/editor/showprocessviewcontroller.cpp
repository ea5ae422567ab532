#include "ui/editor/showprocessviewcontroller.h"

#include "ui/links/filereveal.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

ShowProcessViewController::ShowProcessViewController(QWidget* parent)
    : QWidget(parent)
    , m_pi(new QProgressBar)
    , m_info(new QLabel)
    , m_reveal(new QPushButton(QStringLiteral("Show in Folder")))
{
    setObjectName(QStringLiteral("ShowProcessView"));
    m_pi->setObjectName(QStringLiteral("pi"));
    m_pi->setRange(0, 100);
    m_pi->setTextVisible(false);
    m_info->setObjectName(QStringLiteral("info"));
    m_info->setWordWrap(true);
    m_info->setTextInteractionFlags(Qt::TextSelectableByMouse); // a path the user may copy
    m_reveal->setObjectName(QStringLiteral("showInFolder"));
    m_reveal->setToolTip(QStringLiteral("Show the ringtone in the file manager"));
    m_reveal->setAutoDefault(false); // Return still answers the dialog's own button
    m_reveal->hide();
    connect(m_reveal, &QPushButton::clicked, this, [this] { FileReveal::reveal(m_revealPath); });
    auto* row = new QHBoxLayout;
    row->addWidget(m_info, 1);
    row->addWidget(m_reveal, 0, Qt::AlignTop);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(m_pi);
    layout->addLayout(row);
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

void ShowProcessViewController::setRevealPath(const QString& path)
{
    m_revealPath = path;
    m_reveal->setVisible(!path.isEmpty());
    m_info->setToolTip(path);
}

int ShowProcessViewController::progress() const
{
    return m_pi->value();
}

QString ShowProcessViewController::info() const
{
    return m_info->text();
}
