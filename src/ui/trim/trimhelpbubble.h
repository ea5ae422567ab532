#pragma once
// The trim dialog's help: a small frameless window beside the dialog with a few lines of
// text and an arrow pointing at the help button. It fades in, stays 4 s and fades out;
// a click anywhere in the dialog hides it at once.
//
// Main thread only: the fades animate the window's opacity on the main loop.

#include <QPointer>
#include <QTimer>
#include <QWidget>

class QAbstractButton;
class QLabel;
class QPropertyAnimation;

class TrimHelpBubble : public QWidget {
    Q_OBJECT

public:
    static constexpr int kArrowHeight = 25;
    static constexpr int kShownMs = 4000;
    static constexpr int kFadeMs = 250;

    // `dialog` is the window whose clicks hide the bubble; `button` the one it points at.
    TrimHelpBubble(QWidget* dialog, QAbstractButton* button);

    // Fades in next to the button; the timer hides it again.
    void popUp();
    // Fades out (or hides at once) and turns the button off.
    void dismiss(bool fade = true);
    [[nodiscard]] bool isShowing() const { return m_showing; }
    [[nodiscard]] QString text() const;

Q_SIGNALS:
    void hidden();

protected:
    void paintEvent(QPaintEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void placeAtButton();
    void fadeTo(double opacity);

    QWidget* m_dialog;
    QAbstractButton* m_button;
    QLabel* m_label;
    QTimer m_hideTimer;
    QPointer<QPropertyAnimation> m_fade;
    bool m_showing = false;
};
