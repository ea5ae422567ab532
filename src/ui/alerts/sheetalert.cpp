#include "ui/alerts/sheetalert.h"

#include <QPushButton>

QMessageBox* SheetAlert::show(QWidget* window, QMessageBox::Icon icon, const QString& message,
    const QString& informative, const QStringList& buttons)
{
    auto* box = new QMessageBox(icon, QString(), message, QMessageBox::NoButton, window);
    box->setObjectName(QStringLiteral("sheetAlert"));
    box->setInformativeText(informative);
    for (qsizetype i = 0; i < buttons.size(); ++i) {
        QPushButton* button = box->addButton(buttons.at(i), i == 0 ? QMessageBox::AcceptRole : QMessageBox::RejectRole);
        if (i == 0)
            box->setDefaultButton(button);
    }
    box->setWindowModality(Qt::WindowModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    return box;
}
