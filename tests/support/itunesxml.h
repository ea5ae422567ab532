#pragma once
// Writes desktop library files (the iTunes XML property-list format) for tests and
// benchmarks: tracks, playlists with their flags, folders and smart playlists.
//
//   itunesxml::Library lib;
//   lib.tracks.append(itunesxml::track(1, "Song", "/m/a b.mp3"));
//   lib.playlists.append(itunesxml::playlist("Music", { 1 }, { "Music" }));
//   lib.write(path);

#include <QByteArray>
#include <QFile>
#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

#include <optional>
#include <utility>

namespace itunesxml {

// The "file://localhost/..." URL the library stores for a local path (spaces and non-ASCII
// characters percent-encoded).
inline QString locationOf(const QString& path)
{
    return QStringLiteral("file://localhost") + QString::fromLatin1(QUrl::toPercentEncoding(path, "/"));
}

struct Track {
    int id = 0;
    std::optional<QString> name;
    std::optional<QString> location;
    std::optional<QString> artist;
    std::optional<QString> album;
    std::optional<QString> composer;
    bool protectedFile = false; // "Protected" true
    bool hasVideo = false; // "Has Video" true
    // Further string keys, written as they are (padding for benchmarks).
    QList<std::pair<QString, QString>> extra;
};

struct Playlist {
    QString name;
    QList<int> trackIds;
    // Flag keys written as true: "Master", "Music", "Podcasts", "Movies"...
    QStringList flags;
    QString persistentId; // "Playlist Persistent ID"
    QString parentId; // "Parent Persistent ID"
    bool folder = false; // "Folder" true
    bool smart = false; // carries "Smart Info"
};

// A track with a name and the location of `path` (no location when `path` is empty).
inline Track track(int id, const QString& name, const QString& path)
{
    Track t;
    t.id = id;
    t.name = name;
    if (!path.isEmpty())
        t.location = locationOf(path);
    return t;
}

inline Playlist playlist(const QString& name, const QList<int>& trackIds, const QStringList& flags = {})
{
    Playlist p;
    p.name = name;
    p.trackIds = trackIds;
    p.flags = flags;
    return p;
}

inline QByteArray escaped(const QString& text)
{
    return text.toHtmlEscaped().toUtf8();
}

inline void key(QByteArray& out, const QString& name, const QString& value)
{
    out += "\t\t\t<key>" + escaped(name) + "</key><string>" + escaped(value) + "</string>\n";
}

struct Library {
    QString version = QStringLiteral("9.2.1"); // "Application Version"
    QList<Track> tracks;
    QList<Playlist> playlists;

    [[nodiscard]] QByteArray toXml() const
    {
        QByteArray out;
        out += "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
               "<!DOCTYPE plist PUBLIC \"-//Apple Computer//DTD PLIST 1.0//EN\" "
               "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
               "<plist version=\"1.0\">\n<dict>\n"
               "\t<key>Major Version</key><integer>1</integer>\n"
               "\t<key>Application Version</key><string>"
            + escaped(version) + "</string>\n\t<key>Tracks</key>\n\t<dict>\n";
        for (const Track& t : tracks) {
            out += "\t\t<key>" + QByteArray::number(t.id) + "</key>\n\t\t<dict>\n";
            out += "\t\t\t<key>Track ID</key><integer>" + QByteArray::number(t.id) + "</integer>\n";
            const std::pair<const char*, const std::optional<QString>*> strings[]
                = { { "Name", &t.name }, { "Artist", &t.artist }, { "Album", &t.album }, { "Composer", &t.composer },
                      { "Location", &t.location } };
            for (const auto& [name, value] : strings)
                if (value->has_value())
                    key(out, QString::fromLatin1(name), **value);
            for (const auto& [name, value] : t.extra)
                key(out, name, value);
            if (t.protectedFile)
                out += "\t\t\t<key>Protected</key><true/>\n";
            if (t.hasVideo)
                out += "\t\t\t<key>Has Video</key><true/>\n";
            out += "\t\t</dict>\n";
        }
        out += "\t</dict>\n\t<key>Playlists</key>\n\t<array>\n";
        for (const Playlist& p : playlists) {
            out += "\t\t<dict>\n";
            key(out, QStringLiteral("Name"), p.name);
            for (const QString& flag : p.flags)
                out += "\t\t\t<key>" + escaped(flag) + "</key><true/>\n";
            if (!p.persistentId.isEmpty())
                key(out, QStringLiteral("Playlist Persistent ID"), p.persistentId);
            if (!p.parentId.isEmpty())
                key(out, QStringLiteral("Parent Persistent ID"), p.parentId);
            if (p.folder)
                out += "\t\t\t<key>Folder</key><true/>\n";
            if (p.smart)
                out += "\t\t\t<key>Smart Info</key><data>AQEAAwAAAAIAAAAZ</data>\n";
            out += "\t\t\t<key>Playlist Items</key>\n\t\t\t<array>\n";
            for (int id : p.trackIds)
                out += "\t\t\t\t<dict><key>Track ID</key><integer>" + QByteArray::number(id) + "</integer></dict>\n";
            out += "\t\t\t</array>\n\t\t</dict>\n";
        }
        out += "\t</array>\n</dict>\n</plist>\n";
        return out;
    }

    bool write(const QString& path) const
    {
        QFile file(path);
        return file.open(QIODevice::WriteOnly | QIODevice::Truncate) && file.write(toXml()) >= 0;
    }
};

} // namespace itunesxml
