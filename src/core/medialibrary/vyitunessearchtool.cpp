#include "core/medialibrary/vyitunessearchtool.h"

#include "core/notification/notificationcenter.h"

#include <QFileInfo>
#include <QSet>

#include <algorithm>

namespace {

bool holds(const std::optional<QString>& field, const QString& text)
{
    return field && field->contains(text, Qt::CaseInsensitive);
}

bool matches(const MediaItemInfo& item, const QString& text, const QString& method)
{
    if (method == u"All")
        return holds(item.artist, text) || item.name.contains(text, Qt::CaseInsensitive) || holds(item.album, text)
            || holds(item.composer, text);
    if (method == u"Artist")
        return holds(item.artist, text);
    if (method == u"Album")
        return holds(item.album, text);
    if (method == u"Composer")
        return holds(item.composer, text);
    return item.kind != kVideoKind && item.name.contains(text, Qt::CaseInsensitive);
}

// Sorts as MediaItemInfo::lessByName does, with each file name folded once.
void sortByName(QList<MediaItemInfo>& items)
{
    std::vector<std::pair<QString, qsizetype>> keys;
    keys.reserve(static_cast<size_t>(items.size()));
    for (qsizetype i = 0; i < items.size(); ++i)
        keys.emplace_back(QFileInfo(items.at(i).path).fileName().toCaseFolded(), i);
    std::stable_sort(keys.begin(), keys.end(),
        [](const auto& a, const auto& b) { return QString::localeAwareCompare(a.first, b.first) < 0; });
    QList<MediaItemInfo> sorted;
    sorted.reserve(items.size());
    for (const auto& key : keys)
        sorted.append(std::move(items[key.second]));
    items = std::move(sorted);
}

} // namespace

VyListMenuItem VyiTunesSearchTool::search(const QString& text, const QString& method) const
{
    VyListMenuItem entry;
    entry.itemTitle = QStringLiteral("Search");
    QSet<QString> taken;
    for (const MediaItemInfo& item : m_mediaInfoArray) {
        if (!matches(item, text, method) || taken.contains(item.path))
            continue;
        taken.insert(item.path);
        entry.itemChild.append(item);
    }
    if (entry.itemChild.isEmpty()) {
        MediaItemInfo none;
        none.path = none.name = kNoMatchingItems;
        none.kind = kAudioKind;
        entry.itemChild.append(none);
    }
    sortByName(entry.itemChild);
    return entry;
}

void VyiTunesSearchTool::searchMedia(const QString& text, const QString& method) const
{
    const VyListMenuItem entry = search(text, method);
    NotificationCenter::defaultCenter().post(
        QStringLiteral("ShowChildItem"), nullptr, { { QStringLiteral("MenuItem"), QVariant::fromValue(entry) } });
}
