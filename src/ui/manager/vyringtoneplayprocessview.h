#pragma once
// The ringtone manager's seek bar: a track, the played part over it and a 9 x 9 knob.
//
// Geometry, bottom-up (y = 0 on the bottom edge), with W the width and r the rate:
//   processBack.png   the track, stretched over (0, 2, W, 4)
//   processPlay.png   the played part, over (0, 2, r * W, 4)
//   processBtn.png    the knob, (r * (W - 9), 0, 9, 9)
// fromBottomLeft() is the one conversion to widget coordinates.
//
// A left press or drag seeks to x / W through the delegate, but only while it reports a
// player; rates below 0 or above kMaxSeekRate are ignored, so the bar's right edge stays
// easy to hit.
//
// Main thread only.

#include <QPixmap>
#include <QWidget>

class RingtoneSeekDelegate {
public:
    virtual ~RingtoneSeekDelegate() = default;
    [[nodiscard]] virtual bool isPlayerIninted() const = 0;
    virtual void setPlayTimePos(double rate) = 0;
};

class VyRingtonePlayProcessView : public QWidget {
    Q_OBJECT

public:
    static constexpr float kMaxSeekRate = 1.01F;
    static constexpr int kKnobSize = 9;

    explicit VyRingtonePlayProcessView(QWidget* parent = nullptr);

    // Moves the bar without seeking; kept within [0, kMaxSeekRate].
    void setRate(float rate);
    [[nodiscard]] float rate() const { return m_rate; }

    // Not owned; null detaches.
    void setDelegate(RingtoneSeekDelegate* delegate) { m_delegate = delegate; }
    [[nodiscard]] RingtoneSeekDelegate* delegate() const { return m_delegate; }

    [[nodiscard]] QSize sizeHint() const override { return { 300, 13 }; }
    [[nodiscard]] QSize minimumSizeHint() const override { return { kKnobSize, kKnobSize }; }

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;

private:
    [[nodiscard]] QRectF fromBottomLeft(const QRectF& rect) const;
    void seekTo(double x);
    // Loads the pictures for the screen's pixel ratio when it differs from the last one.
    void loadArtwork();

    RingtoneSeekDelegate* m_delegate = nullptr;
    float m_rate = 0.0F;
    QPixmap m_trackImage;
    QPixmap m_playedImage;
    QPixmap m_knobImage;
    qreal m_artworkRatio = 0.0;
};
