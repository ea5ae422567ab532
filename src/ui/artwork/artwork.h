#pragma once
// Loading our pictures: on a dense screen the "@2x" twin of a picture is used
// when there is one, so that every picture keeps its size in widget units.
//
// Main thread only (QPixmap).

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
