#pragma once
// Alerts shown as sheets: window-modal message boxes over a window (the manager, the
// recorder, the Groove Box) that delete themselves when closed. Main thread.

#include <QMessageBox>
#include <QStringList>

namespace SheetAlert {

// Opens the alert (without blocking) with `buttons` from left to right, the first the default.
QMessageBox* show(QWidget* window, QMessageBox::Icon icon, const QString& message, const QString& informative,
    const QStringList& buttons = { QStringLiteral("OK") });

} // namespace SheetAlert
