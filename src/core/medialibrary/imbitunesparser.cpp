#include "core/medialibrary/imbitunesparser.h"

#include "core/medialibrary/itunesrecentdatabases.h"
#include "core/text/leadingnumber.h"

#include <QFile>
#include <QHash>
#include <QSet>
#include <QUrl>

#include <cstdlib>

namespace {

plist_t item(plist_t dict, const char* key)
{
    return dict && plist_get_node_type(dict) == PLIST_DICT ? plist_dict_get_item(dict, key) : nullptr;
}

bool isType(plist_t node, plist_type type)
{
    return node && plist_get_node_type(node) == type;
}

std::optional<QString> stringOf(plist_t node)
{
    if (!isType(node, PLIST_STRING))
        return std::nullopt;
    uint64_t length = 0;
    const char* text = plist_get_string_ptr(node, &length);
    return QString::fromUtf8(text, static_cast<qsizetype>(length));
}

bool isTrue(plist_t node)
{
    uint8_t value = 0;
    if (isType(node, PLIST_BOOLEAN))
        plist_get_bool_val(node, &value);
    return value != 0;
}

// Calls `visit` with each element of an array node.
template <typename Visit> void forEachInArray(plist_t array, Visit&& visit)
{
    if (!isType(array, PLIST_ARRAY))
        return;
    plist_array_iter iter = nullptr;
    plist_array_new_iter(array, &iter);
    if (!iter)
        return;
    for (;;) {
        plist_t element = nullptr;
        plist_array_next_item(array, iter, &element);
        if (!element)
            break;
        visit(element);
    }
    std::free(iter);
}

// Calls `visit` with each key and value of a dictionary node.
template <typename Visit> void forEachInDict(plist_t dict, Visit&& visit)
{
    if (!isType(dict, PLIST_DICT))
        return;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(dict, &iter);
    if (!iter)
        return;
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(dict, iter, &key, &value);
        if (!value) {
            std::free(key);
            break;
        }
        visit(key, value);
        std::free(key);
    }
    std::free(iter);
}

// A track dictionary's plain values (text, numbers, flags) as a map.
QVariantMap toMap(plist_t dict)
{
    QVariantMap map;
    forEachInDict(dict, [&map](const char* key, plist_t value) {
        switch (plist_get_node_type(value)) {
        case PLIST_STRING:
            map.insert(QString::fromUtf8(key), *stringOf(value));
            break;
        case PLIST_UINT: {
            uint64_t number = 0;
            plist_get_uint_val(value, &number);
            map.insert(QString::fromUtf8(key), static_cast<qlonglong>(number));
            break;
        }
        case PLIST_BOOLEAN:
            map.insert(QString::fromUtf8(key), isTrue(value));
            break;
        case PLIST_REAL: {
            double number = 0;
            plist_get_real_val(value, &number);
            map.insert(QString::fromUtf8(key), number);
            break;
        }
        default:
            break; // dates, data and nested values are not needed
        }
    });
    return map;
}

// Playlist flag keys that mark a standard list; such playlists are not listed again as
// smart or plain playlists.
constexpr const char* kStandardFlags[] = { "Master", "Music", "Podcasts", "Audiobooks", "Purchased Music",
    "Party Shuffle", "Movies", "Music Videos", "TV Shows" };

bool hasStandardFlag(plist_t playlist)
{
    for (const char* flag : kStandardFlags)
        if (item(playlist, flag))
            return true;
    return false;
}

struct StandardList {
    const char* flag;
    const char* name;
    const char* icon;
};

} // namespace

iTunesLibraryDocument::iTunesLibraryDocument(const QStringList& paths)
{
    for (const QString& path : paths) {
        m_lastPath = path;
        QFile file(path);
        if (!file.open(QIODevice::ReadOnly))
            continue;
        PlistPtr root = plistio::parse(file.readAll());
        if (!isType(root.get(), PLIST_DICT))
            continue;
        if (plist_dict_get_size(root.get()) > 0)
            m_hasEntries = true;
        if (plist_t tracks = plist_dict_get_item(root.get(), "Tracks"))
            m_tracks = tracks;
        if (plist_t playlists = plist_dict_get_item(root.get(), "Playlists"))
            m_playlists = playlists;
        if (plist_t version = plist_dict_get_item(root.get(), "Application Version")) {
            if (const std::optional<QString> text = stringOf(version)) {
                m_version = leadingInt(*text);
            } else if (isType(version, PLIST_UINT)) {
                uint64_t number = 0;
                plist_get_uint_val(version, &number);
                m_version = static_cast<int>(std::min<uint64_t>(number, INT_MAX));
            }
        }
        m_files.push_back(std::move(root));
    }
    if (!isType(m_tracks, PLIST_DICT))
        m_tracks = nullptr;
    if (!isType(m_playlists, PLIST_ARRAY))
        m_playlists = nullptr;
}

// One reading of a document: the track table and the tracks already converted.
struct iMBAbstractParser::Pass {
    const iMBAbstractParser& reader;
    const iTunesLibraryDocument& document;
    bool video = false;
    bool newIcons = false; // version 7 or above
    QHash<quint64, plist_t> trackById;
    // Converted tracks by their dictionary; an invalid value for a track the reader leaves out.
    QHash<plist_t, QVariant> converted;

    Pass(const iMBAbstractParser& r, const iTunesLibraryDocument& d)
        : reader(r)
        , document(d)
        , video(r.isVideoReader())
        , newIcons(d.version() >= 7)
    {
        trackById.reserve(static_cast<qsizetype>(plist_dict_get_size(d.tracks())));
        forEachInDict(d.tracks(), [this](const char* key, plist_t value) {
            bool ok = false;
            const quint64 id = QByteArray(key).toULongLong(&ok);
            if (ok)
                trackById.insert(id, value);
        });
    }

    [[nodiscard]] iMBLibraryNode::Ptr makeNode(const QString& name, const QString& icon) const
    {
        auto node = std::make_shared<iMBLibraryNode>(name, icon);
        node->setIdentifier(name);
        node->setParserClassName(reader.className());
        return node;
    }

    [[nodiscard]] QVariant convert(plist_t track)
    {
        const auto found = converted.constFind(track);
        if (found != converted.constEnd())
            return *found;
        QVariant result;
        if (isType(track, PLIST_DICT)) {
            const std::optional<QString> location = stringOf(item(track, "Location"));
            const bool named = item(track, "Name") != nullptr;
            if (!video) {
                if (named && location && !location->isEmpty()) {
                    QVariantMap map = toMap(track);
                    map.insert(QStringLiteral("Preview"), *location);
                    map.insert(QStringLiteral("Icon"),
                        isTrue(item(track, "Protected")) ? QStringLiteral("m4p") : QStringLiteral("mp3"));
                    result = map;
                }
            } else if (isTrue(item(track, "Has Video")) && location && !location->isEmpty()) {
                QString path = iTunesRecentDatabases::localPath(*location);
                if (path.isEmpty()) {
                    const QUrl url(*location);
                    if (url.isValid() && !url.scheme().isEmpty())
                        path = url.path();
                }
                if (!path.isEmpty()) {
                    QVariantMap map = toMap(track);
                    map.insert(QStringLiteral("ImagePath"), path);
                    map.insert(QStringLiteral("Preview"), path);
                    map.insert(QStringLiteral("Caption"), map.value(QStringLiteral("Name")));
                    result = map;
                }
            }
        }
        converted.insert(track, result);
        return result;
    }

    // Gives the node the playlist's tracks; false when the video reader found none.
    bool fill(iMBLibraryNode& node, plist_t playlist)
    {
        QVariantList tracks;
        QSet<QString> taken; // locations, for the video reader
        forEachInArray(item(playlist, "Playlist Items"), [&](plist_t entry) {
            plist_t id = item(entry, "Track ID");
            if (!isType(id, PLIST_UINT))
                return;
            uint64_t number = 0;
            plist_get_uint_val(id, &number);
            const plist_t track = trackById.value(number);
            if (!track)
                return;
            const QVariant value = convert(track);
            if (!value.isValid())
                return;
            if (video) {
                const QString location = *stringOf(item(track, "Location"));
                if (taken.contains(location))
                    return;
                taken.insert(location);
            }
            tracks.append(value);
        });
        const bool any = !tracks.isEmpty();
        node.setAttribute(reader.tracksKey(), tracks);
        return any || !video;
    }

    void addStandardLists(iMBLibraryNode& root)
    {
        static const StandardList oldMusic[] = { { "Master", "Library", "itunes-icon-library" },
            { "Podcasts", "Podcasts", "itunes-icon-podcasts" },
            { "Purchased Music", "Purchased", "itunes-icon-purchased" },
            { "Party Shuffle", "Party Shuffle", "itunes-icon-partyshuffle" } };
        static const StandardList newMusic[] = { { "Music", "Music", "itunes-icon-music" },
            { "Podcasts", "Podcasts", "itunes-icon-podcasts7" },
            { "Audiobooks", "Audiobooks", "itunes-icon-audiobooks" },
            { "Purchased Music", "Purchased", "itunes-icon-purchased7" },
            { "Party Shuffle", "Party Shuffle", "itunes-icon-partyshuffle7" } };
        static const StandardList newVideo[] = { { "Movies", "Movies", "itunes-icon-movies" },
            { "TV Shows", "TV Shows", "itunes-icon-tvshows" }, { "Podcasts", "Podcasts", "itunes-icon-podcasts7" },
            { "Purchased Music", "Purchased", "itunes-icon-purchased7" },
            { "Party Shuffle", "Party Shuffle", "itunes-icon-partyshuffle7" } };
        const auto add = [&](const auto& table) {
            for (const StandardList& list : table) {
                iMBLibraryNode::Ptr kept;
                bool keep = false;
                forEachInArray(document.playlists(), [&](plist_t playlist) {
                    if (!item(playlist, list.flag))
                        return;
                    kept = makeNode(QString::fromUtf8(list.name), QString::fromUtf8(list.icon));
                    keep = fill(*kept, playlist);
                });
                if (kept && keep)
                    root.addItem(kept);
            }
        };
        if (!newIcons)
            add(oldMusic); // the video reader's lists below 7 are the music reader's
        else if (video)
            add(newVideo);
        else
            add(newMusic);
    }

    // The folders, smart playlists and plain playlists whose parent is `parentId` (the top
    // level when empty). `path` holds the folders above, so a folder inside itself ends.
    QList<iMBLibraryNode::Ptr> playlistsUnder(const QString& parentId, QSet<QString>& path)
    {
        const auto belongs = [&parentId](plist_t playlist) {
            const std::optional<QString> parent = stringOf(item(playlist, "Parent Persistent ID"));
            return parentId.isEmpty() ? !item(playlist, "Parent Persistent ID") : parent == parentId;
        };
        const auto named = [](plist_t playlist) { return stringOf(item(playlist, "Name")).value_or(QString()); };
        QList<iMBLibraryNode::Ptr> nodes;
        forEachInArray(document.playlists(), [&](plist_t playlist) {
            if (!isType(playlist, PLIST_DICT) || !item(playlist, "Folder") || !belongs(playlist))
                return;
            auto folder = makeNode(named(playlist), QStringLiteral("itunes-icon-folder7"));
            const std::optional<QString> id = stringOf(item(playlist, "Playlist Persistent ID"));
            if (id && !id->isEmpty() && !path.contains(*id)) {
                path.insert(*id);
                folder->setAllItems(playlistsUnder(*id, path));
                path.remove(*id);
            }
            nodes.append(folder);
        });
        for (const bool smart : { true, false }) {
            const QString icon = QStringLiteral("itunes-icon-playlist-%1%2")
                                     .arg(smart ? QStringLiteral("smart") : QStringLiteral("normal"),
                                         newIcons ? QStringLiteral("7") : QString());
            forEachInArray(document.playlists(), [&](plist_t playlist) {
                if (!isType(playlist, PLIST_DICT) || item(playlist, "Folder") || hasStandardFlag(playlist)
                    || (item(playlist, "Smart Info") != nullptr) != smart || !belongs(playlist))
                    return;
                auto node = makeNode(named(playlist), icon);
                if (fill(*node, playlist))
                    nodes.append(node);
            });
        }
        return nodes;
    }
};

iMBLibraryNode::Ptr iMBAbstractParser::parseDatabase()
{
    const iTunesLibraryDocument document(m_files ? *m_files : iTunesRecentDatabases::files());
    return parseDocument(document);
}

iMBLibraryNode::Ptr iMBAbstractParser::parseDocument(const iTunesLibraryDocument& document)
{
    m_myDatabase = document.lastPath();
    m_version = document.version();
    if (document.isEmpty())
        return nullptr;
    auto root = std::make_shared<iMBLibraryNode>(QStringLiteral("iTunes"), QStringLiteral("com.apple.iTunes:"));
    root->setIdentifier(QStringLiteral("iTunes"));
    root->setParserClassName(className());
    root->setWatchedPath(m_myDatabase);
    if (!document.tracks() || !document.playlists())
        return root;
    Pass pass(*this, document);
    pass.addStandardLists(*root);
    QSet<QString> path;
    for (const iMBLibraryNode::Ptr& node : pass.playlistsUnder(QString(), path))
        root->addItem(node);
    return root;
}
