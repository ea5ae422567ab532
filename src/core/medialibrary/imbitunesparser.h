#pragma once
// The desktop library readers: read the library files (XML property lists of the iTunes
// format), merge them, and make one node per list: the standard lists of the library's
// version, then its folders, smart playlists and plain playlists. The music reader gives
// every track with a name and a location ("Tracks"); the video reader only tracks with
// video ("Movies"), and only lists that hold one.

#include "core/medialibrary/imblibrarynode.h"
#include "core/plist/plistptr.h"

#include <QStringList>

#include <memory>
#include <optional>
#include <vector>

// The merged contents of the library files: a later file's "Tracks", "Playlists" and
// "Application Version" replace an earlier file's. Nodes point into the parsed files.
class iTunesLibraryDocument {
public:
    // Reads `paths` in order; unreadable or malformed files are passed over.
    explicit iTunesLibraryDocument(const QStringList& paths);

    // False when no file gave a dictionary with any of the three keys.
    [[nodiscard]] bool isEmpty() const { return !m_hasEntries; }
    [[nodiscard]] int version() const { return m_version; }
    // The last file read, whether or not it could be used.
    [[nodiscard]] const QString& lastPath() const { return m_lastPath; }
    // Null when missing or not a dictionary / an array.
    [[nodiscard]] plist_t tracks() const { return m_tracks; }
    [[nodiscard]] plist_t playlists() const { return m_playlists; }

private:
    std::vector<PlistPtr> m_files;
    plist_t m_tracks = nullptr;
    plist_t m_playlists = nullptr;
    int m_version = 0;
    bool m_hasEntries = false;
    QString m_lastPath;
};

class iMBAbstractParser {
public:
    virtual ~iMBAbstractParser() = default;

    // The files to read instead of those of the "iTunesRecentDatabases" setting.
    void setLibraryFiles(std::optional<QStringList> paths) { m_files = std::move(paths); }

    // The root node "iTunes" with the lists as its children; null when no file could be read.
    [[nodiscard]] iMBLibraryNode::Ptr parseDatabase();
    // The same over files already read (both readers share one read).
    [[nodiscard]] iMBLibraryNode::Ptr parseDocument(const iTunesLibraryDocument& document);

    [[nodiscard]] const QString& myDatabase() const { return m_myDatabase; }
    [[nodiscard]] int version() const { return m_version; }

protected:
    // The attribute holding a node's tracks.
    [[nodiscard]] virtual QString tracksKey() const = 0;
    [[nodiscard]] virtual QString className() const = 0;
    [[nodiscard]] virtual bool isVideoReader() const = 0;

private:
    struct Pass;
    std::optional<QStringList> m_files;
    QString m_myDatabase;
    int m_version = 0;
};

class iMBiTunesMusicParser : public iMBAbstractParser {
protected:
    [[nodiscard]] QString tracksKey() const override { return QStringLiteral("Tracks"); }
    [[nodiscard]] QString className() const override { return QStringLiteral("iMBiTunesMusicParser"); }
    [[nodiscard]] bool isVideoReader() const override { return false; }
};

class iMBiTunesVideoParser : public iMBAbstractParser {
protected:
    [[nodiscard]] QString tracksKey() const override { return QStringLiteral("Movies"); }
    [[nodiscard]] QString className() const override { return QStringLiteral("iMBiTunesVideoParser"); }
    [[nodiscard]] bool isVideoReader() const override { return true; }
};
