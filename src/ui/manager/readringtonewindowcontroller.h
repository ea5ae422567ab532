#pragma once
// The sheet shown over the manager while its lists are read: a small frameless dialog with
// a busy bar, modal to its window only and without buttons. The user cannot dismiss it;
// closeSheet() does when the reading ends.
//
// Main thread only.

#include <QDialog>

class QProgressBar;

class ReadRingtoneWindowController : public QDialog {
    Q_OBJECT

public:
    explicit ReadRingtoneWindowController(QWidget* parent);

    // Opens window-modal and centred on the parent's window; returns at once.
    void showOver();
    void startAnimation();
    void stopAnimation();
    // Stops the bar and hides the sheet; finished() follows.
    void closeSheet();
    [[nodiscard]] bool isAnimating() const;

public Q_SLOTS:
    // Escape does not close the sheet.
    void reject() override { }

private:
    QProgressBar* m_bar = nullptr;
};
