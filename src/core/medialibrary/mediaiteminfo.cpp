#include "core/medialibrary/mediaiteminfo.h"

#include <QFileInfo>

MediaItemInfo MediaItemInfo::withTags(const QString& kind, std::optional<QString> artist, std::optional<QString> album,
    std::optional<QString> composer, const QString& path)
{
    return { path, QFileInfo(path).fileName(), kind, std::move(artist), std::move(album), std::move(composer) };
}

bool MediaItemInfo::lessByName(const MediaItemInfo& a, const MediaItemInfo& b)
{
    const QString left = QFileInfo(a.path).fileName();
    const QString right = QFileInfo(b.path).fileName();
    return QString::localeAwareCompare(left.toCaseFolded(), right.toCaseFolded()) < 0;
}

QList<QVariantMap> VyListMenuItem::getChildPathsAndName() const
{
    QList<QVariantMap> rows;
    rows.reserve(itemChild.size());
    for (const MediaItemInfo& child : itemChild)
        rows.append({ { QStringLiteral("Name"), child.name }, { QStringLiteral("Path"), child.path } });
    return rows;
}
