#include "ui/artwork/artwork.h"

#include <QString>

QPixmap artwork(const QString& path, qreal ratio)
{
    if (ratio > 1.0) {
        QString dense = path;
        dense.insert(dense.lastIndexOf(QLatin1Char('.')), QLatin1String("@2x"));
        QPixmap pixmap(dense);
        if (!pixmap.isNull()) {
            pixmap.setDevicePixelRatio(2.0);
            return pixmap;
        }
    }
    return QPixmap(path);
}
