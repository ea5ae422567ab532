#include "ui/menu/productlinks.h"

#include "core/config/productconfig.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace ProductLinks {

namespace {
// The documentation installed with the program is there even without a network; it lies
// relative to the executable in the build tree and under any install prefix.
QString docs()
{
    return QUrl::fromLocalFile(QDir::cleanPath(QCoreApplication::applicationDirPath()
                                   + QStringLiteral("/../share/doc/corvane-sonabel/README.md")))
        .toString();
}
} // namespace

QUrl link(const QString& key, const QString& fallback)
{
    const QString configured = ProductConfig::getValueForKey(key).value_or(QString()).trimmed();
    return QUrl(configured.isEmpty() ? fallback : configured);
}

QString displayText(const QUrl& url)
{
    if (url.isEmpty())
        return {};
    if (url.isLocalFile())
        return QFileInfo(url.toLocalFile()).fileName();
    if (url.scheme() == u"mailto")
        return url.path();
    if (!url.host().isEmpty()) {
        QString host = url.host();
        if (host.startsWith(QStringLiteral("www.")))
            host.remove(0, 4);
        QString path = url.path();
        while (path.endsWith(u'/'))
            path.chop(1);
        return host + path;
    }
    return url.toDisplayString();
}

QString defaultHomepage()
{
    return docs();
}
QString defaultSupport()
{
    return QStringLiteral("mailto:support@corvane.example");
}
QString defaultSurvey()
{
    return QStringLiteral("mailto:survey@corvane.example");
}
QString defaultHelp()
{
    return docs();
}
QString defaultContact()
{
    return QStringLiteral("mailto:support@corvane.example");
}

} // namespace ProductLinks
