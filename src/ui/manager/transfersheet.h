#pragma once
// The sheet a move or a drop shows while ringtones are copied: a message, the progress
// bar with the ringtone being copied, the result text, and one button. Unlike a message
// box its button does not always close it: while a move runs, "Cancel" only asks the
// transfer to stop, and the sheet stays up to show what was done.
//
// Main thread.

#include <QDialog>

class QLabel;
class QPushButton;
class ShowProcessViewController;

class TransferSheet : public QDialog {
    Q_OBJECT

public:
    explicit TransferSheet(QWidget* window);

    [[nodiscard]] ShowProcessViewController* progressView() const { return m_progress; }
    void setInformativeText(const QString& text);
    [[nodiscard]] QString informativeText() const;
    // The button's title; `closes` whether a press closes the sheet or only emits pressed().
    void setButton(const QString& title, bool closes);
    [[nodiscard]] QPushButton* button() const { return m_button; }

Q_SIGNALS:
    void pressed();

protected:
    // Escape acts as the button does.
    void reject() override;

private:
    QLabel* m_informative = nullptr;
    QPushButton* m_button = nullptr;
    ShowProcessViewController* m_progress = nullptr;
    bool m_closes = true;
};
