#include "ui/artwork/artwork.h"

#include <QGuiApplication>
#include <QString>

namespace {

QString denseTwin(const QString& path)
{
    QString dense = path;
    dense.insert(dense.lastIndexOf(QLatin1Char('.')), QLatin1String("@2x"));
    return dense;
}

} // namespace

QPixmap artwork(const QString& path, qreal ratio)
{
    if (ratio > 1.0) {
        QPixmap pixmap(denseTwin(path));
        if (!pixmap.isNull()) {
            pixmap.setDevicePixelRatio(2.0);
            return pixmap;
        }
    }
    return QPixmap(path);
}

ArtworkImage::ArtworkImage(const QString& path)
    : m_plain(path)
{
    // The densest screen decides: a twin painted on a plain screen only loses detail, a
    // plain picture on a dense one is blurred.
    if (qGuiApp && qGuiApp->devicePixelRatio() > 1.0) {
        m_painted = QImage(denseTwin(path));
        m_painted.setDevicePixelRatio(2.0);
    }
}
