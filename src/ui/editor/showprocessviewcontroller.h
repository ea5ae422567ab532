#pragma once
// The progress line shown inside the save and transfer alerts: a bar, a short text and,
// once a file is made, a "Show in Folder" button that shows it in the file manager.

#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

class ShowProcessViewController : public QWidget {
    Q_OBJECT

public:
    explicit ShowProcessViewController(QWidget* parent = nullptr);

    // `fraction` of the work done, 0.0-1.0.
    void setProgressRate(float fraction);
    void startAnimation();
    void stopAnimation();
    void setInfo(const QString& text);
    // The file "Show in Folder" shows; the button is there only with a file.
    void setRevealPath(const QString& path);
    [[nodiscard]] int progress() const;
    [[nodiscard]] QString info() const;
    [[nodiscard]] QPushButton* revealButton() const { return m_reveal; }

private:
    QProgressBar* m_pi = nullptr;
    QLabel* m_info = nullptr;
    QPushButton* m_reveal = nullptr;
    QString m_revealPath;
};
