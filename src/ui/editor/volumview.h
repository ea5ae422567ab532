#pragma once
// The editor's output-volume slider: a minimum button at the left end, a maximum button at
// the right end, a track between them and a knob on it. It reports 0-200 (100 = unchanged).
//
// The geometry follows from the pictures:
//   volumeMin.png / volumeMax.png  16 x 14   (Lw, Rw: their widths)
//   volumeBtnOff.png / On          12 x 12   the knob, released / pressed
//   volumeBackBG.png                8 x 12   the track, stretched sideways
// With W the width, the knob travels T = W - Rw - Lw - 16 and sits at x = rate * T + Lw + 2.
// A click on the track divides by T' = W - Rw - Lw - 18 instead; the knob follows that
// formula until the next setVolumRate or drag.
//
// Positions are taken bottom-up (y = 0 on the bottom edge, as the pictures are placed);
// fromBottomLeft() is the one conversion. The view is exactly as tall as the tallest
// picture, so everything sits on its bottom edge.
//
// Keys (the widget takes focus): Left / Right move by 0.05, Home / End go to 0 / 1.
//
// Main thread only.

#include "ui/artwork/artwork.h"

#include <QImage>
#include <QWidget>

class VolumView : public QWidget {
    Q_OBJECT

public:
    static constexpr double kKeyStep = 0.05;
    static constexpr int kMaxVolume = 200;

    explicit VolumView(QWidget* parent = nullptr);

    // Moves the slider without reporting: the editor sets 0.5 on every load. Clamped into
    // [0, 1] so that the knob never leaves the track.
    void setVolumRate(double rate);
    [[nodiscard]] double volumRate() const { return m_volumRate; }
    // The integer part of kMaxVolume * rate.
    [[nodiscard]] int volume() const;
    // The knob's left edge; x counts from the left bottom-up and top-down alike.
    [[nodiscard]] double knobX() const { return m_btnPos; }
    // Where the knob is drawn, in widget (top-left) coordinates.
    [[nodiscard]] QRectF knobRect() const;
    [[nodiscard]] bool isKnobPressed() const { return m_progressBtn == &m_downBtnImage; }
    [[nodiscard]] bool isMinButtonPressed() const { return m_leftImage == &m_volumMinDown; }
    [[nodiscard]] bool isMaxButtonPressed() const { return m_rightImage == &m_volumMaxDown; }

    [[nodiscard]] QSize sizeHint() const override;
    [[nodiscard]] QSize minimumSizeHint() const override;

Q_SIGNALS:
    // After every change made by the user: the integer part of 200 * rate.
    void volumeChanged(int volume);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    [[nodiscard]] QRectF fromBottomLeft(const QRectF& rect) const;
    [[nodiscard]] int leftWidth() const { return m_volumMinUp.width(); }
    [[nodiscard]] int rightWidth() const { return m_volumMaxUp.width(); }
    // T and T' above.
    [[nodiscard]] double travel() const;
    [[nodiscard]] double clickTravel() const;
    void report();

    ArtworkImage m_progressBgImage;
    ArtworkImage m_progressFrontImage; // kept with the others, never drawn
    ArtworkImage m_downBtnImage;
    ArtworkImage m_upBtnImage;
    ArtworkImage m_volumMinDown;
    ArtworkImage m_volumMaxDown;
    ArtworkImage m_volumMinUp;
    ArtworkImage m_volumMaxUp;
    // What is drawn now: point at one of the pictures above.
    const ArtworkImage* m_leftImage = &m_volumMinUp;
    const ArtworkImage* m_rightImage = &m_volumMaxUp;
    const ArtworkImage* m_progressBtn = &m_upBtnImage;

    double m_volumRate = 0.5;
    double m_mouseDownPos = 0.0;
    double m_btnPos = 0.0;
};
