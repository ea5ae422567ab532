#pragma once
// The picture pane in the editor's corner: the file's cover picture (or the generic audio
// picture) under the "Selected Item" caption strip, with a central play/stop button.
//
// The pane does not drive the player itself. A click on the button posts "StartPlayer" or
// "StopPlayer" (object: the view) for the editor; the player's own "StartPlay", "StopPlay"
// and "PausePlay" (from any sender) keep the button in step, so play started or ended
// elsewhere (keys, the end of the file) shows here too.
//
// The button: the play image while stopped; while playing, the stop image when the pointer
// is over the pane and nothing otherwise, so it does not hide the picture.
//
// PlayBackViewCover is the button alone, laid over the video surface of a video file.
//
// Main thread only.

#include "core/editing/playerstate.h"
#include "ui/artwork/artwork.h"

#include <QImage>
#include <QWidget>

class ShowAreaView;

class PlayBackView : public QWidget {
    Q_OBJECT

public:
    enum class ActionImageKind { None, Play, Stop };

    static constexpr int kCaptionHeight = 15;
    // Boxes the picture is fitted into: audio files' covers, and video thumbnails, which
    // leave room for the video surface's frame.
    static constexpr QSize kComposedBox { 255, 148 };
    static constexpr QSize kPlainBox { 175, 148 };

    explicit PlayBackView(QWidget* parent = nullptr);

    // Shows `image` fitted (aspect kept) into kComposedBox with `shouldCompose`, else into
    // kPlainBox. A null image brings back the generic picture.
    void setImage(const QImage& image, bool shouldCompose);

    void handleStartPlay();
    void handleStopPlay();

    // Playing or Stopped, as the last player notification said (a pause counts as stopped).
    [[nodiscard]] PlayerState playerState() const { return m_playerState; }
    [[nodiscard]] ActionImageKind actionImageKind() const { return m_actionImage; }
    [[nodiscard]] int newWidth() const { return m_newWidth; }
    [[nodiscard]] int newHeight() const { return m_newHeight; }
    // Where the picture is drawn, in widget coordinates; empty when it has no height.
    [[nodiscard]] QRect pictureRect() const;
    // The button's rectangle, centred; empty without a button.
    [[nodiscard]] QRect actionRect() const;
    // Null for the cover, which has no caption.
    [[nodiscard]] ShowAreaView* showView() const { return m_showView; }

    [[nodiscard]] QSize sizeHint() const override;

protected:
    enum class Role { Pane, Cover };
    PlayBackView(Role role, QWidget* parent);

    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

    void drawActionImage(QPainter& painter) const;

private:
    // The player's geometry counts y upward from the bottom edge; this turns such a
    // rectangle into Qt's top-left coordinates.
    [[nodiscard]] QRect fromBottomLeft(const QRect& rect) const;
    [[nodiscard]] const ArtworkImage* actionImage() const;
    void setActionImage(ActionImageKind kind);
    void pointerLeft();
    void observePlayer();

    QImage m_image;
    ArtworkImage m_playImage;
    ArtworkImage m_stopImage;
    ActionImageKind m_actionImage = ActionImageKind::Play;
    int m_newWidth = 0;
    int m_newHeight = 0;
    PlayerState m_playerState = PlayerState::Stopped;
    bool m_pointerInside = false;
    ShowAreaView* m_showView = nullptr;
};

class PlayBackViewCover : public PlayBackView {
    Q_OBJECT

public:
    explicit PlayBackViewCover(QWidget* parent = nullptr);

protected:
    void paintEvent(QPaintEvent* event) override;
};
