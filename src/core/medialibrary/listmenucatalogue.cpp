#include "core/medialibrary/listmenucatalogue.h"

#include "core/medialibrary/desktopmedialibrary.h"
#include "core/medialibrary/imbitunesparser.h"
#include "core/medialibrary/itunesrecentdatabases.h"
#include "core/medialibrary/vylistmenuassitant.h"

#include <QDateTime>
#include <QDirIterator>
#include <QFileInfo>
#include <QSet>
#include <QUrl>

#include <algorithm>

namespace {

// The menu's fixed entries in order, and where they go.
enum class Section { Library, Genius, Hidden, Custom };
struct FixedEntry {
    const char16_t* name;
    Section section;
};
constexpr FixedEntry kFixedEntries[] = { { u"Music", Section::Library }, { u"Movies", Section::Library },
    { u"Podcasts", Section::Library }, { u"Audiobooks", Section::Library }, { u"Ringtones", Section::Library },
    { u"Purchased", Section::Library }, { u"Genius", Section::Genius }, { u"90\u02BCs Music", Section::Hidden },
    { u"Classical Music", Section::Hidden }, { u"Music Videos", Section::Hidden },
    { u"My Top Rated", Section::Hidden }, { u"Recently Added", Section::Hidden },
    { u"Recently played", Section::Hidden }, { u"Top 25 Most Played", Section::Hidden },
    { u"User\u02BCs Playlists", Section::Hidden }, { u"Speed Download", Section::Hidden },
    { u"Recorder File", Section::Custom } };

// Library lists whose files go to the LIBRARY entry of the same title.
const QSet<QString>& libraryLists()
{
    static const QSet<QString> lists { QStringLiteral("Music"), QStringLiteral("Podcasts"),
        QStringLiteral("Party Shuffle"), QStringLiteral("TV Shows"), QStringLiteral("Purchased"),
        QStringLiteral("Audiobooks"), QStringLiteral("Ringtones") };
    return lists;
}

QString icon(const QString& title)
{
    return QStringLiteral("List_%1.png").arg(title);
}

std::optional<QString> text(const QVariantMap& track, const QString& key)
{
    const auto found = track.constFind(key);
    return found != track.constEnd() ? std::optional<QString>(found->toString()) : std::nullopt;
}

// A track's path: its location's, or the URL path of a location of another kind.
QString pathOf(const QString& location)
{
    const QString local = iTunesRecentDatabases::localPath(location);
    return local.isEmpty() ? QUrl(location).path() : local;
}

using NodeFiles = QList<std::pair<QString, QList<MediaItemInfo>>>; // identifier, files

NodeFiles filesOf(const iMBLibraryNode::Ptr& root, const QString& key, const QString& kind)
{
    NodeFiles nodes;
    if (!root)
        return nodes;
    const QString location = QStringLiteral("Location"), name = QStringLiteral("Name"),
                  artist = QStringLiteral("Artist"), album = QStringLiteral("Album"),
                  composer = QStringLiteral("Composer");
    for (const iMBLibraryNode::Ptr& node : root->items()) {
        QList<MediaItemInfo> files;
        const QVariantList tracks = node->attribute(key).toList();
        files.reserve(tracks.size());
        for (const QVariant& value : tracks) {
            const QVariantMap track = value.toMap();
            files.append({ pathOf(track.value(location).toString()), track.value(name).toString(), kind,
                text(track, artist), text(track, album), text(track, composer) });
        }
        nodes.append({ node->identifier(), files });
    }
    return nodes;
}

// The files under `folder` by their path relative to it, leaving out those whose relative
// path starts with "." (hidden files and everything in hidden folders at the top).
QList<MediaItemInfo> folderFiles(const QString& folder)
{
    QList<MediaItemInfo> files;
    if (folder.isEmpty() || !QFileInfo(folder).isDir())
        return files;
    const QDir base(folder);
    QStringList relative;
    QDirIterator it(folder, QDir::Files | QDir::Hidden | QDir::System, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString path = base.relativeFilePath(it.next());
        if (!path.startsWith(u'.'))
            relative << path;
    }
    relative.sort();
    const QString empty; // folder files have tags, all empty
    for (const QString& path : relative)
        files.append({ folder + u'/' + path, path, kAudioKind, empty, empty, empty });
    return files;
}

struct FileStamp {
    QString path;
    qint64 size = -1;
    qint64 modified = 0;
    bool operator==(const FileStamp&) const = default;
};

QList<FileStamp> stampsOf(const QStringList& paths)
{
    QList<FileStamp> stamps;
    for (const QString& path : paths) {
        const QFileInfo info(path);
        stamps.append({ path, info.exists() ? info.size() : -1,
            info.exists() ? info.lastModified().toMSecsSinceEpoch() : 0 });
    }
    return stamps;
}

} // namespace

// What was derived from the library files, and the files' sizes and times it was read at.
struct ListMenuCatalogue::Cache {
    std::optional<QList<FileStamp>> stamps;
    bool hadRoot = false;
    NodeFiles music;
    NodeFiles video;
    int parses = 0;
    bool lastHadLibrary = false;
};

ListMenuCatalogue::ListMenuCatalogue(ImageExists hasImage)
    : m_hasImage(std::move(hasImage))
    , m_cache(std::make_unique<Cache>())
{
}

ListMenuCatalogue::~ListMenuCatalogue() = default;

void ListMenuCatalogue::setLibraryFiles(std::optional<QStringList> files)
{
    m_files = std::move(files);
}

void ListMenuCatalogue::setDesktopLibrary(const DesktopMediaLibrary* desktop)
{
    m_desktop = desktop;
}

bool ListMenuCatalogue::hadLibraryFile() const
{
    return m_cache->lastHadLibrary;
}

int ListMenuCatalogue::parseCount() const
{
    return m_cache->parses;
}

ListMenuContent ListMenuCatalogue::build()
{
    const QStringList files = m_files ? *m_files : iTunesRecentDatabases::files();
    QList<FileStamp> stamps = stampsOf(files);
    Cache& cache = *m_cache;
    if (cache.stamps != stamps) {
        const iTunesLibraryDocument document(files);
        iMBiTunesMusicParser musicReader;
        iMBiTunesVideoParser videoReader;
        const iMBLibraryNode::Ptr musicRoot = musicReader.parseDocument(document);
        cache.hadRoot = musicRoot != nullptr;
        cache.music = filesOf(musicRoot, QStringLiteral("Tracks"), kAudioKind);
        cache.video = filesOf(videoReader.parseDocument(document), QStringLiteral("Movies"), kVideoKind);
        cache.stamps = std::move(stamps);
        ++cache.parses;
    }
    cache.lastHadLibrary = cache.hadRoot;

    ListMenuContent content;
    for (const FixedEntry& fixed : kFixedEntries) {
        const QString title = QString::fromUtf16(fixed.name);
        VyListMenuItem entry { icon(title), title, {} };
        switch (fixed.section) {
        case Section::Library:
            content.libraryItemList.append(entry);
            break;
        case Section::Genius:
            content.geniusItemList.append(entry);
            break;
        case Section::Custom:
            content.myMusicItemList.append(entry);
            break;
        case Section::Hidden:
            break;
        }
    }
    const auto libraryEntry = [&content](const QString& title) -> VyListMenuItem* {
        for (VyListMenuItem& entry : content.libraryItemList)
            if (entry.itemTitle == title)
                return &entry;
        return nullptr;
    };

    // The library's lists.
    for (const auto& [identifier, items] : cache.music) {
        content.searchData.append(items);
        if (libraryLists().contains(identifier)) {
            if (VyListMenuItem* entry = libraryEntry(identifier))
                entry->itemChild = items;
        } else if (identifier == u"Genius") {
            content.geniusItemList.first().itemChild = items;
        } else if (identifier != u"iTunes U") {
            const bool ownImage = m_hasImage && m_hasImage(icon(identifier));
            content.playListsItemList.append(
                { ownImage ? icon(identifier) : QStringLiteral("List_Others.png"), identifier, items });
        }
    }
    const bool desktopFiles = !cache.hadRoot && m_desktop;
    if (desktopFiles) {
        const QList<MediaItemInfo> music = m_desktop->music();
        content.searchData.append(music);
        libraryEntry(QStringLiteral("Music"))->itemChild = music;
    }

    // The ringtone folders' files replace the library's ringtones.
    QList<MediaItemInfo> ringtones;
    QSet<QString> listed;
    for (const QString& folder : VyListMenuAssitant::getRingtonePath()) {
        for (const MediaItemInfo& file : folderFiles(folder)) {
            if (!listed.contains(file.path)) {
                listed.insert(file.path);
                content.searchData.append(file);
            }
            ringtones.append(file);
        }
    }
    libraryEntry(QStringLiteral("Ringtones"))->itemChild = ringtones;

    // Videos: the library's own list, less what its podcasts hold.
    VyListMenuItem* movies = libraryEntry(QStringLiteral("Movies"));
    for (const auto& [identifier, items] : cache.video) {
        if (identifier == u"Library") {
            content.searchData.append(items);
            movies->itemChild = items;
        } else if (identifier == u"Podcasts") {
            QSet<QString> podcastNames;
            for (const MediaItemInfo& item : items)
                podcastNames.insert(item.name);
            movies->itemChild.removeIf(
                [&podcastNames](const MediaItemInfo& item) { return podcastNames.contains(item.name); });
        }
    }
    if (desktopFiles) {
        const QList<MediaItemInfo> desktopMovies = m_desktop->movies();
        content.searchData.append(desktopMovies);
        movies->itemChild = desktopMovies;
    }

    // The recordings.
    const QList<MediaItemInfo> recordings = folderFiles(VyListMenuAssitant::getRecorderFolder());
    content.searchData.append(recordings);
    content.myMusicItemList.first().itemChild = recordings;
    return content;
}
