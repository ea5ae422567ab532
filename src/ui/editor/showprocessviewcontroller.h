#pragma once
// The progress line shown inside the save and transfer alerts: a bar and a short text.

#include <QWidget>

class QLabel;
class QProgressBar;

class ShowProcessViewController : public QWidget {
    Q_OBJECT

public:
    explicit ShowProcessViewController(QWidget* parent = nullptr);

    // `fraction` of the work done, 0.0-1.0.
    void setProgressRate(float fraction);
    void startAnimation();
    void stopAnimation();
    void setInfo(const QString& text);
    [[nodiscard]] int progress() const;
    [[nodiscard]] QString info() const;

private:
    QProgressBar* m_pi = nullptr;
    QLabel* m_info = nullptr;
};
