#pragma once
// The trim dialog's slider bar: a play-position knob and two trim knobs on one bar.
// Values are floats on 0..maximum (the dialog uses 1, so they are fractions of the
// file). Every change posts "trimSliderBar_change_value" with the three values, the
// knob that moved and whether the user is dragging; the delegate hears of every move
// of a trim knob so that it can show the trimmed length.
//
// Main thread only.

#include "ui/trim/trimnotes.h"

#include <QPixmap>
#include <QWidget>

class QMouseEvent;

// A knob that draws one picture over its whole area; the bar handles the mouse.
class TrimSliderKnobView : public QWidget {
    Q_OBJECT

public:
    TrimSliderKnobView(const QString& picture, QWidget* parent);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_picturePath;
    QPixmap m_picture;
    qreal m_ratio = 0.0;
};

class TrimKnob : public TrimSliderKnobView {
    Q_OBJECT

public:
    TrimKnob(bool start, QWidget* parent);
};

class SliderKnob : public TrimSliderKnobView {
    Q_OBJECT

public:
    explicit SliderKnob(QWidget* parent);
};

class TrimSliderBar : public QWidget {
    Q_OBJECT

public:
    class Delegate {
    public:
        virtual ~Delegate() = default;
        // A trim knob moved.
        virtual void setTrimLength() = 0;
    };

    static constexpr float fSliderBarHeigth = 5.0F;
    static constexpr float fSliderBarLeftDis = 12.0F;
    static constexpr float fTrimKnobTopDis = 2.0F;

    explicit TrimSliderBar(QWidget* parent = nullptr);

    // Each clamps (play 0..maximum, start 0..end, end start..maximum) and posts.
    void setValue(float value, bool isDragging);
    void setTrimStartValue(float value, bool isDragging);
    void setTrimEndValue(float value, bool isDragging);
    [[nodiscard]] float getValue() const { return fValue; }
    [[nodiscard]] float getTrimStartValue() const { return fTrimStartValue; }
    [[nodiscard]] float getTrimEndValue() const { return fTrimEndValue; }
    [[nodiscard]] float getMaxValue() const { return fMaxValue; }
    // Keeps the three values where they are along the bar.
    void setMaxValue(float maxValue);
    // Puts the knobs back: play and start at 0, end at the maximum; posts nothing.
    void reset();

    // A disabled bar ignores the mouse.
    void setEnable(bool enable);
    void setHideTrim(bool hide);
    // Whether the user may drag the knobs (locked while a section plays).
    void setEnableDragTrim(bool enable);
    void setDelegate(Delegate* delegate) { m_delegate = delegate; }
    [[nodiscard]] bool isEnable() const { return m_enable; }
    [[nodiscard]] bool isHideTrim() const { return m_hideTrim; }
    [[nodiscard]] bool isEnableDragTrim() const { return m_enableDragTrim; }

    [[nodiscard]] TrimKnob* trimStartKnob() const { return m_startKnob; }
    [[nodiscard]] TrimKnob* trimEndKnob() const { return m_endKnob; }
    [[nodiscard]] SliderKnob* sliderKnob() const { return m_sliderKnob; }
    // Where `value` lies along the bar, in the bar's coordinates.
    [[nodiscard]] double xForValue(float value) const;
    [[nodiscard]] QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    enum class Drag { None, Play, Start, End };

    [[nodiscard]] float valueForX(double x) const;
    [[nodiscard]] double barWidth() const;
    [[nodiscard]] Drag knobAt(const QPointF& point) const;
    void layoutKnobs();
    void post(TrimChange tag, bool isDragging);
    void moveDragged(double x);

    float fMaxValue = 100.0F;
    float fValue = 0.0F;
    float fTrimStartValue = 0.0F;
    float fTrimEndValue = 100.0F;
    bool m_enable = true;
    bool m_hideTrim = false;
    bool m_enableDragTrim = true;
    Delegate* m_delegate = nullptr;
    TrimKnob* m_startKnob;
    TrimKnob* m_endKnob;
    SliderKnob* m_sliderKnob;
    Drag m_drag = Drag::None;
    double m_grabOffset = 0.0; // from the knob's centre to where it was pressed
};
