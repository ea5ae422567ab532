#pragma once
// The manager's play area: a rounded dark panel behind the play button, the seek bar and
// the time labels, which the window places on it. The panel is three pictures over the full
// height: PlayAreaLeft.png at the left end, PlayAreaRight.png at the right end and
// PlayAreaMid.png (one pixel wide) stretched between them.
//
// Main thread only.

#include <QPixmap>
#include <QWidget>

class RingtonePlayeView : public QWidget {
    Q_OBJECT

public:
    explicit RingtonePlayeView(QWidget* parent = nullptr);

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // Loads the pictures for the screen's pixel ratio when it differs from the last one.
    void loadArtwork();

    QPixmap m_leftImage;
    QPixmap m_midImage;
    QPixmap m_rightImage;
    qreal m_artworkRatio = 0.0;
};
