#pragma once
// The recorder's clock: "HH:MM:SS.ff" drawn with LCD digit pictures.
//
// Each of the four numbers takes two digit pictures (":/lcd_digit-0.png" ... "-9.png");
// ":/lcd_digit-sep.png" follows the hours and the minutes, ":/lcd_digit-dot.png" the
// seconds. Every picture is drawn at its own size, left to right from
// x = (W - kTextWidth - 12) / 2, with its bottom on the widget's bottom edge.
// A missing or non-numeric number reads as 0; numbers are kept within 0..99.
//
// Main thread only.

#include <QPixmap>
#include <QString>
#include <QWidget>

#include <array>

class DigitShowView : public QWidget {
    Q_OBJECT

public:
    // The width the pictures of "00:00:00.00" take together.
    static constexpr int kTextWidth = 104;

    explicit DigitShowView(QWidget* parent = nullptr);

    // Shows `text` and repaints.
    void setDigitStr(const QString& text);
    [[nodiscard]] QString digitStr() const { return m_digitStr; }

    [[nodiscard]] QSize sizeHint() const override { return { kTextWidth + 24, 20 }; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    enum Picture { kSeparator = 10, kDot = 11, kPictureCount = 12 };

    [[nodiscard]] QRectF fromBottomLeft(const QRectF& rect) const;
    // Loads the pictures for the screen's pixel ratio when it differs from the last one.
    void loadArtwork();

    QString m_digitStr = QStringLiteral("00:00:00.00");
    std::array<QPixmap, kPictureCount> m_pictures;
    qreal m_artworkRatio = 0.0;
};
