#pragma once
// The user guide installed with the program, shown in a window of its own: the guide is
// Markdown with its pictures in a folder beside it, found relative to the executable so
// that the build tree and any install prefix both have it.
//
// Main thread only.

#include <QString>
#include <QWidget>

class QTextBrowser;

class UserGuideWindow : public QWidget {
    Q_OBJECT

public:
    // Where the guide belongs for programs in `executableFolder` (`<prefix>/bin`).
    [[nodiscard]] static QString expectedPath(const QString& executableFolder);
    // That path when the guide is there, else empty.
    [[nodiscard]] static QString locate(const QString& executableFolder);

    explicit UserGuideWindow(QWidget* parent = nullptr);

    // Shows the guide at `path`, its pictures read from beside it.
    void showGuide(const QString& path);
    [[nodiscard]] QTextBrowser* browser() const { return m_browser; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    // Pictures wider than the page are shown at its width (window pictures are wide).
    void fitPictures();

    QTextBrowser* m_browser = nullptr;
};
