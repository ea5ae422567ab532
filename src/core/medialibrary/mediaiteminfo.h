#pragma once
// What the library list and the search know about files: one file (MediaItemInfo) and one
// menu entry with its files (VyListMenuItem). Plain values, safe to copy between threads.

#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariantMap>

#include <optional>

struct MediaItemInfo {
    QString path;
    QString name; // what the list shows
    QString kind; // "Audio" or "Video"
    // Tag values: empty strings for files found in folders, absent when a library track
    // has no such key.
    std::optional<QString> artist;
    std::optional<QString> album;
    std::optional<QString> composer;

    // A file known by its tags; its name is the last component of `path`.
    static MediaItemInfo withTags(const QString& kind, std::optional<QString> artist, std::optional<QString> album,
        std::optional<QString> composer, const QString& path);

    bool operator==(const MediaItemInfo&) const = default;

    // Orders by the last components of the two paths, case-insensitively and as the
    // user's language sorts them.
    static bool lessByName(const MediaItemInfo& a, const MediaItemInfo& b);
};

inline constexpr QLatin1StringView kAudioKind { "Audio" };
inline constexpr QLatin1StringView kVideoKind { "Video" };
// The path and name of the one row a search that found nothing shows.
inline constexpr QLatin1StringView kNoMatchingItems { "No matching items" };

struct VyListMenuItem {
    QString itemIcon; // artwork name ("List_Music.png"); empty for none
    QString itemTitle;
    QList<MediaItemInfo> itemChild;

    // {"Name": name, "Path": path} for each file in order; empty without files.
    [[nodiscard]] QList<QVariantMap> getChildPathsAndName() const;
};
Q_DECLARE_METATYPE(VyListMenuItem)

// The entries of the list menu by section, and every file they know for the search.
struct ListMenuContent {
    QList<VyListMenuItem> libraryItemList; // LIBRARY
    QList<VyListMenuItem> geniusItemList; // GENIUS
    QList<VyListMenuItem> playListsItemList; // PLAYLISTS
    QList<VyListMenuItem> myMusicItemList; // CUSTOM
    QList<MediaItemInfo> searchData;
};
