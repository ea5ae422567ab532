#include "ui/manager/transfersheet.h"

#include "ui/editor/showprocessviewcontroller.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

TransferSheet::TransferSheet(QWidget* window)
    : QDialog(window)
{
    setObjectName(QStringLiteral("transferSheet"));
    setWindowModality(Qt::WindowModal);
    setWindowTitle(QStringLiteral("Zirevove Vorurav"));

    auto* icon = new QLabel(this);
    const int side = style()->pixelMetric(QStyle::PM_MessageBoxIconSize, nullptr, this);
    icon->setPixmap(style()->standardIcon(QStyle::SP_MessageBoxInformation, nullptr, this).pixmap(side, side));
    icon->setAlignment(Qt::AlignTop);

    auto* message = new QLabel(
        QStringLiteral("Please view the ringtone transfering status from the following progress bar."), this);
    message->setObjectName(QStringLiteral("message"));
    message->setWordWrap(true);
    QFont bold = message->font();
    bold.setBold(true);
    message->setFont(bold);

    m_informative = new QLabel(this);
    m_informative->setObjectName(QStringLiteral("informative"));
    m_informative->setWordWrap(true);
    m_progress = new ShowProcessViewController(this);
    m_button = new QPushButton(this);
    m_button->setDefault(true);

    auto* text = new QVBoxLayout;
    text->addWidget(message);
    text->addWidget(m_informative);
    text->addWidget(m_progress);
    auto* top = new QHBoxLayout;
    top->addWidget(icon);
    top->addLayout(text, 1);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_button);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addLayout(buttons);
    setMinimumWidth(420);

    connect(m_button, &QPushButton::clicked, this, [this] {
        Q_EMIT pressed();
        if (m_closes)
            accept();
    });
}

void TransferSheet::setInformativeText(const QString& text)
{
    m_informative->setText(text);
    adjustSize(); // the result text is longer than the empty one it replaces
}

QString TransferSheet::informativeText() const
{
    return m_informative->text();
}

void TransferSheet::setButton(const QString& title, bool closes)
{
    m_button->setText(title);
    m_closes = closes;
}

void TransferSheet::reject()
{
    Q_EMIT pressed();
    if (m_closes)
        QDialog::reject();
}
