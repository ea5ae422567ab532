#pragma once
// The recorder's level meter: a dark strip with coloured ticks up to the current length.
//
// Geometry, bottom-up (y = 0 on the bottom edge), with W the width, L the length and
// (bw, bh) the background picture's size:
//   BMPBackImage.png   stretched over the whole widget
//   ticks              at x = 6, 10, 14, ... while x < L, each at (x, 3, bw, bh - 1);
//                      with w = W - 4: BMPGreen.png below w / 3, BMPOrigal.png below
//                      2w / 3, BMPRed.png below w - 1, and none from there on.
//
// Main thread only.

#include <QPixmap>
#include <QWidget>

class BMPView : public QWidget {
    Q_OBJECT

public:
    static constexpr int kFirstTick = 6;
    static constexpr int kTickStep = 4;
    static constexpr int kTickBottom = 3;

    explicit BMPView(QWidget* parent = nullptr);

    // How far the ticks reach, in widget units; kept within [0, width] and repaints.
    void setDrawLength(float length);
    [[nodiscard]] float drawLength() const { return m_drawLength; }

    [[nodiscard]] QSize sizeHint() const override { return { 300, 16 }; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    [[nodiscard]] QRectF fromBottomLeft(const QRectF& rect) const;
    // The tick picture for position x, or null past the red part.
    [[nodiscard]] const QPixmap* tickAt(int x) const;
    // Loads the pictures for the screen's pixel ratio when it differs from the last one.
    void loadArtwork();

    float m_drawLength = 0.0F;
    QPixmap m_backImage;
    QPixmap m_greenImage;
    QPixmap m_orangeImage;
    QPixmap m_redImage;
    qreal m_artworkRatio = 0.0;
};
