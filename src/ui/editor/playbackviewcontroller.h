#pragma once
// Fills the main window's picture pane with the loaded file's picture.

#include <QObject>
#include <QString>

class PlayBackView;

class PlayBackViewController : public QObject {
    Q_OBJECT

public:
    explicit PlayBackViewController(PlayBackView* view, QObject* parent = nullptr);

    // The file's picture (a video's first frame, its cover, or the generic picture);
    // `shouldCompose` for sound files (the larger box).
    void setImageToContentView(const QString& path, bool shouldCompose);
    [[nodiscard]] PlayBackView* view() const { return m_view; }

private:
    PlayBackView* m_view;
};
