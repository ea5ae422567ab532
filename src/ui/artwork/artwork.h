#pragma once
// Loading our pictures: on a dense screen the "@2x" twin of a picture is used
// when there is one, so that every picture keeps its size in widget units.
//
// Main thread only (QPixmap, and the screens ArtworkImage asks).

#include <QImage>
#include <QPixmap>
#include <QSizeF>

class QString;

// The picture at `path` for a screen of pixel ratio `ratio`: its "@2x" twin (with a pixel
// ratio of 2) when the ratio is above 1 and the twin exists, else the plain picture.
[[nodiscard]] QPixmap artwork(const QString& path, qreal ratio);

// A picture's size in widget units.
[[nodiscard]] inline QSizeF logicalSize(const QPixmap& pixmap)
{
    return QSizeF(pixmap.size()) / pixmap.devicePixelRatio();
}

// A picture that views lay out by and paint: its width, height and size are the plain
// picture's, in widget units, while what is painted is the "@2x" twin whenever a screen of
// the program is dense, so edges stay sharp there. Painting it into a rectangle or at a
// point gives the same place and size either way.
class ArtworkImage {
public:
    ArtworkImage() = default;
    explicit ArtworkImage(const QString& path);

    [[nodiscard]] bool isNull() const { return m_plain.isNull(); }
    [[nodiscard]] int width() const { return m_plain.width(); }
    [[nodiscard]] int height() const { return m_plain.height(); }
    [[nodiscard]] QSize size() const { return m_plain.size(); }
    [[nodiscard]] QRect rect() const { return m_plain.rect(); }

    // The picture to paint: the twin (pixel ratio 2) on a dense screen, else the plain one.
    [[nodiscard]] const QImage& image() const { return m_painted.isNull() ? m_plain : m_painted; }
    // NOLINTNEXTLINE(google-explicit-constructor): painted wherever a QImage is
    operator const QImage&() const { return image(); }

private:
    QImage m_plain;
    QImage m_painted; // null when the plain picture is painted
};
