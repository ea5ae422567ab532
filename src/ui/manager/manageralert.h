#pragma once
// The manager's alerts: window-modal message boxes over the manager window that delete
// themselves when closed. Main thread.

#include <QMessageBox>
#include <QStringList>

namespace ManagerAlert {

// Opens the alert (without blocking) with `buttons` from left to right, the first the default.
QMessageBox* show(QWidget* window, QMessageBox::Icon icon, const QString& message, const QString& informative,
    const QStringList& buttons = { QStringLiteral("OK") });

} // namespace ManagerAlert
