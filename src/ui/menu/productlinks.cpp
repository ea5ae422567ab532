#include "ui/menu/productlinks.h"

#include "core/config/productconfig.h"

namespace ProductLinks {

namespace {
// The documentation installed with the program is there even without a network.
const QString kDocs = QStringLiteral("file:///usr/share/doc/corvane-sonabel/README.md");
} // namespace

QUrl link(const QString& key, const QString& fallback)
{
    const QString configured = ProductConfig::getValueForKey(key).value_or(QString()).trimmed();
    return QUrl(configured.isEmpty() ? fallback : configured);
}

QString defaultGuide()
{
    return kDocs;
}
QString defaultHomepage()
{
    return kDocs;
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
    return kDocs;
}
QString defaultContact()
{
    return QStringLiteral("mailto:support@corvane.example");
}

} // namespace ProductLinks
