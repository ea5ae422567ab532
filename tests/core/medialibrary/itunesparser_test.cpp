// Reading desktop library files into lists: versions, standard lists, folders and
// playlists, the tracks each reader keeps, and files it cannot use.

#include "core/medialibrary/medialibrarytestsupport.h"

#include "core/medialibrary/imbitunesparser.h"
#include "core/medialibrary/itunesrecentdatabases.h"

using itunesxml::Library;
using itunesxml::playlist;
using itunesxml::track;

using namespace Qt::StringLiterals;

namespace {

QStringList childNames(const iMBLibraryNode::Ptr& node)
{
    QStringList names;
    if (node)
        for (const iMBLibraryNode::Ptr& child : node->items())
            names << child->name();
    return names;
}

iMBLibraryNode::Ptr child(const iMBLibraryNode::Ptr& node, const QString& name)
{
    for (const iMBLibraryNode::Ptr& item : node->items())
        if (item->name() == name)
            return item;
    return nullptr;
}

QStringList trackNames(const iMBLibraryNode::Ptr& node, const QString& key = QStringLiteral("Tracks"))
{
    QStringList names;
    for (const QVariant& track : node->attribute(key).toList())
        names << track.toMap().value(QStringLiteral("Name")).toString();
    return names;
}

// Three tracks, every standard flag, and playlists of each kind in a mixed file order.
Library everyKindOfList(const QString& version)
{
    Library lib;
    lib.version = version;
    lib.tracks = { track(1, QStringLiteral("One"), QStringLiteral("/m/1.mp3")),
        track(2, QStringLiteral("Two"), QStringLiteral("/m/2.mp3")),
        track(3, QStringLiteral("Three"), QStringLiteral("/m/3.mp3")) };
    auto plain = playlist(QStringLiteral("Plain"), { 1 });
    auto smart = playlist(QStringLiteral("Smart"), { 2 });
    smart.smart = true;
    auto folder = playlist(QStringLiteral("Folder"), {});
    folder.folder = true;
    folder.persistentId = QStringLiteral("F1");
    auto inside = playlist(QStringLiteral("Inside"), { 3 });
    inside.parentId = QStringLiteral("F1");
    lib.playlists = { plain, playlist(QStringLiteral("Party"), { 1 }, { QStringLiteral("Party Shuffle") }), smart,
        playlist(QStringLiteral("Library"), { 1, 2, 3 }, { QStringLiteral("Master") }),
        playlist(QStringLiteral("Music"), { 1, 2 }, { QStringLiteral("Music") }), inside,
        playlist(QStringLiteral("Audiobooks"), { 3 }, { QStringLiteral("Audiobooks") }),
        playlist(QStringLiteral("Podcasts"), { 2 }, { QStringLiteral("Podcasts") }), folder,
        playlist(QStringLiteral("Purchased"), { 1 }, { QStringLiteral("Purchased Music") }) };
    return lib;
}

using ParserTest = LibraryHomeTest;

TEST_F(ParserTest, ReadsTheVersionAndGivesItsStandardListsThenFoldersSmartAndPlainPlaylists)
{
    struct Case {
        QString version;
        int major;
        QStringList top;
        QString smartIcon;
    };
    const QList<Case> cases {
        { QStringLiteral("9.2.1"), 9,
            { u"Music"_s, u"Podcasts"_s, u"Audiobooks"_s, u"Purchased"_s, u"Party Shuffle"_s, u"Folder"_s, u"Smart"_s, u"Plain"_s },
            QStringLiteral("itunes-icon-playlist-smart7") },
        { QStringLiteral("8.0"), 8,
            { u"Music"_s, u"Podcasts"_s, u"Audiobooks"_s, u"Purchased"_s, u"Party Shuffle"_s, u"Folder"_s, u"Smart"_s, u"Plain"_s },
            QStringLiteral("itunes-icon-playlist-smart7") },
        { QStringLiteral("6.0.5"), 6, { u"Library"_s, u"Podcasts"_s, u"Purchased"_s, u"Party Shuffle"_s, u"Folder"_s, u"Smart"_s, u"Plain"_s },
            QStringLiteral("itunes-icon-playlist-smart") },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.version.toStdString());
        iMBiTunesMusicParser reader;
        reader.setLibraryFiles(QStringList { writeLibrary(everyKindOfList(c.version)) });
        const iMBLibraryNode::Ptr root = reader.parseDatabase();
        ASSERT_TRUE(root);
        EXPECT_EQ(reader.version(), c.major);
        EXPECT_EQ(root->identifier(), u"iTunes");
        EXPECT_EQ(childNames(root), c.top);
        EXPECT_EQ(child(root, QStringLiteral("Smart"))->iconName(), c.smartIcon);
        const iMBLibraryNode::Ptr folder = child(root, QStringLiteral("Folder"));
        EXPECT_EQ(childNames(folder), QStringList { u"Inside"_s });
        EXPECT_EQ(folder->objectInItemsAtIndex(0)->parent(), folder.get());
        EXPECT_EQ(trackNames(folder->objectInItemsAtIndex(0)), QStringList { u"Three"_s });
    }
}

TEST_F(ParserTest, AnOldLibraryGivesLibraryFromTheMasterListAndTheLastFlaggedListWins)
{
    Library lib;
    lib.version = QStringLiteral("6.0");
    lib.tracks = { track(1, QStringLiteral("One"), QStringLiteral("/m/1.mp3")),
        track(2, QStringLiteral("Two"), QStringLiteral("/m/2.mp3")) };
    lib.playlists = { playlist(QStringLiteral("First"), { 1 }, { QStringLiteral("Master") }),
        playlist(QStringLiteral("Second"), { 2, 1 }, { QStringLiteral("Master") }) };
    iMBiTunesMusicParser reader;
    reader.setLibraryFiles(QStringList { writeLibrary(lib) });
    const iMBLibraryNode::Ptr root = reader.parseDatabase();
    ASSERT_EQ(childNames(root), QStringList { u"Library"_s });
    const iMBLibraryNode::Ptr library = root->objectInItemsAtIndex(0);
    EXPECT_EQ(library->identifier(), u"Library");
    EXPECT_EQ(library->iconName(), u"itunes-icon-library");
    EXPECT_EQ(trackNames(library), (QStringList { u"Two"_s, u"One"_s }));
}

TEST_F(ParserTest, KeepsNamedTracksWithALocationAndMarksProtectedOnes)
{
    Library lib;
    auto locked = track(1, QStringLiteral("Locked"), QStringLiteral("/m/locked.m4p"));
    locked.protectedFile = true;
    locked.artist = QStringLiteral("Ann");
    auto unnamed = track(2, QString(), QStringLiteral("/m/unnamed.mp3"));
    unnamed.name.reset();
    auto stream = track(3, QStringLiteral("Stream"), QString());
    auto empty = track(4, QStringLiteral("Empty"), QString());
    empty.location = QString();
    lib.tracks = { locked, unnamed, stream, empty, track(5, QStringLiteral("Open"), QStringLiteral("/m/open.mp3")) };
    lib.playlists = { playlist(QStringLiteral("Music"), { 1, 2, 3, 4, 5, 99 }, { QStringLiteral("Music") }) };
    iMBiTunesMusicParser reader;
    reader.setLibraryFiles(QStringList { writeLibrary(lib) });
    const QVariantList tracks = reader.parseDatabase()->objectInItemsAtIndex(0)->attribute(QStringLiteral("Tracks")).toList();
    ASSERT_EQ(tracks.size(), 2);
    const QVariantMap first = tracks.at(0).toMap();
    EXPECT_EQ(first.value(QStringLiteral("Icon")).toString(), u"m4p");
    EXPECT_EQ(first.value(QStringLiteral("Preview")).toString(), locked.location);
    EXPECT_EQ(first.value(QStringLiteral("Artist")).toString(), u"Ann");
    EXPECT_EQ(tracks.at(1).toMap().value(QStringLiteral("Icon")).toString(), u"mp3");
}

TEST_F(ParserTest, TheVideoReaderKeepsEachVideoOnceAndOnlyListsWithVideos)
{
    Library lib;
    auto film = track(1, QStringLiteral("Film"), QStringLiteral("/v/my film.m4v"));
    film.hasVideo = true;
    auto sameFilm = track(2, QStringLiteral("Film again"), QStringLiteral("/v/my film.m4v"));
    sameFilm.hasVideo = true;
    lib.tracks = { film, sameFilm, track(3, QStringLiteral("Song"), QStringLiteral("/m/song.mp3")) };
    lib.playlists = { playlist(QStringLiteral("Library"), { 1, 2, 3 }, { QStringLiteral("Master") }),
        playlist(QStringLiteral("Movies"), { 3, 1, 2 }, { QStringLiteral("Movies") }),
        playlist(QStringLiteral("Songs only"), { 3 }), playlist(QStringLiteral("With film"), { 1 }) };
    struct Case {
        QString version;
        QStringList top;
    };
    for (const Case& c : { Case { QStringLiteral("6.0"), { u"Library"_s, u"With film"_s } },
             Case { QStringLiteral("9.2"), { u"Movies"_s, u"With film"_s } } }) {
        SCOPED_TRACE(c.version.toStdString());
        lib.version = c.version;
        iMBiTunesVideoParser reader;
        reader.setLibraryFiles(QStringList { writeLibrary(lib) });
        const iMBLibraryNode::Ptr root = reader.parseDatabase();
        ASSERT_EQ(childNames(root), c.top);
        const QVariantList movies = root->objectInItemsAtIndex(0)->attribute(QStringLiteral("Movies")).toList();
        ASSERT_EQ(movies.size(), 1);
        const QVariantMap movie = movies.first().toMap();
        EXPECT_EQ(movie.value(QStringLiteral("ImagePath")).toString(), u"/v/my film.m4v");
        EXPECT_EQ(movie.value(QStringLiteral("Preview")).toString(), u"/v/my film.m4v");
        EXPECT_EQ(movie.value(QStringLiteral("Caption")).toString(), u"Film");
    }
}

TEST_F(ParserTest, TheLastOfTwoLibraryFilesDecidesTracksListsAndVersion)
{
    Library old;
    old.version = QStringLiteral("6.0");
    old.tracks = { track(1, QStringLiteral("Old"), QStringLiteral("/m/old.mp3")) };
    old.playlists = { playlist(QStringLiteral("Library"), { 1 }, { QStringLiteral("Master") }) };
    Library recent;
    recent.tracks = { track(1, QStringLiteral("New"), QStringLiteral("/m/new.mp3")) };
    recent.playlists = { playlist(QStringLiteral("Music"), { 1 }, { QStringLiteral("Music") }) };
    const QString oldPath = writeLibrary(old, QStringLiteral("old.xml"));
    const QString recentPath = writeLibrary(recent, QStringLiteral("recent.xml"));
    struct Case {
        QStringList files;
        int version;
        QString list;
        QString track;
    };
    for (const Case& c : { Case { { oldPath, recentPath }, 9, QStringLiteral("Music"), QStringLiteral("New") },
             Case { { recentPath, oldPath }, 6, QStringLiteral("Library"), QStringLiteral("Old") },
             Case { { oldPath, home(QStringLiteral("missing.xml")) }, 6, QStringLiteral("Library"),
                 QStringLiteral("Old") } }) {
        iMBiTunesMusicParser reader;
        reader.setLibraryFiles(c.files);
        const iMBLibraryNode::Ptr root = reader.parseDatabase();
        ASSERT_TRUE(root);
        EXPECT_EQ(reader.version(), c.version);
        EXPECT_EQ(reader.myDatabase(), c.files.last());
        EXPECT_EQ(childNames(root), QStringList { c.list });
        EXPECT_EQ(trackNames(root->objectInItemsAtIndex(0)), QStringList { c.track });
    }
}

TEST_F(ParserTest, MalformedFilesGiveNoTracksAndNoCrash)
{
    Library good;
    good.tracks = { track(1, QStringLiteral("One"), QStringLiteral("/m/1.mp3")) };
    good.playlists = { playlist(QStringLiteral("Music"), { 1 }, { QStringLiteral("Music") }) };
    const QByteArray xml = good.toXml();
    const auto replaced = [&xml](const char* from, const char* to) { return QByteArray(xml).replace(from, to); };
    struct Case {
        const char* what;
        QByteArray bytes;
        bool listsRemain; // the lists are there, without tracks
    };
    const QList<Case> cases {
        { "truncated", xml.left(xml.size() / 2), false },
        { "empty file", QByteArray(), false },
        { "not a property list", QByteArray("\x00\x01garbage", 9), false },
        { "an array at the root", "<plist version=\"1.0\"><array><string>x</string></array></plist>", false },
        { "no tracks", replaced("<key>Tracks</key>", "<key>Tricks</key>"), false },
        { "tracks as an array",
            replaced("<key>Tracks</key>\n\t<dict>", "<key>Tracks</key>\n\t<array><dict>")
                .replace("</dict>\n\t<key>Playlists", "</dict></array>\n\t<key>Playlists"),
            false },
        { "playlists as a dictionary",
            replaced("<key>Playlists</key>\n\t<array>", "<key>Playlists</key>\n\t<dict><key>a</key><array>")
                .replace("</array>\n</dict>\n</plist>", "</array></dict>\n</dict>\n</plist>"),
            false },
        { "track ID as text",
            replaced("<dict><key>Track ID</key><integer>1</integer></dict>",
                "<dict><key>Track ID</key><string>1</string></dict>"),
            true },
        { "playlist items as text",
            replaced("<key>Playlist Items</key>\n\t\t\t<array>",
                "<key>Playlist Items</key><string>x</string><key>Other</key>\n\t\t\t<array>"),
            true },
        { "location as a number",
            replaced("<key>Location</key><string>file://localhost/m/1.mp3</string>",
                "<key>Location</key><integer>7</integer>"),
            true },
        { "version as a date",
            replaced("<key>Application Version</key><string>9.2.1</string>",
                "<key>Application Version</key><date>2009-01-01T00:00:00Z</date>"),
            true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const QString path = touch(QStringLiteral("bad.xml"), c.bytes);
        for (iMBAbstractParser* reader :
            std::initializer_list<iMBAbstractParser*> { new iMBiTunesMusicParser, new iMBiTunesVideoParser }) {
            const std::unique_ptr<iMBAbstractParser> owned(reader);
            reader->setLibraryFiles(QStringList { path });
            const iMBLibraryNode::Ptr root = reader->parseDatabase();
            const qsizetype lists = root ? root->countOfItems() : 0;
            if (!c.listsRemain || dynamic_cast<iMBiTunesVideoParser*>(reader)) {
                EXPECT_EQ(lists, 0);
            }
            for (qsizetype i = 0; i < lists; ++i)
                EXPECT_TRUE(root->objectInItemsAtIndex(i)->attribute(QStringLiteral("Tracks")).toList().isEmpty());
        }
    }
}

TEST(LibraryLocations, FileUrlsGiveTheirDecodedPathsAndOtherTextNothing)
{
    const std::pair<QString, QString> cases[] = {
        { QStringLiteral("file://localhost/Users/ann/Music/a%20b.mp3"), QStringLiteral("/Users/ann/Music/a b.mp3") },
        { QStringLiteral("file://localhost/m/caf%C3%A9%20%E2%99%AB.m4a"), QString::fromUtf8("/m/café ♫.m4a") },
        { QStringLiteral("file:///m/plain.mp3"), QStringLiteral("/m/plain.mp3") },
        { QStringLiteral("FILE://LOCALHOST/m/x%2525.mp3"), QStringLiteral("/m/x%25.mp3") },
        { QStringLiteral("file://otherhost/m/x.mp3"), QString() },
        { QStringLiteral("http://localhost/m/x.mp3"), QString() },
        { QStringLiteral("/m/x.mp3"), QString() },
        { QStringLiteral("not a url"), QString() },
    };
    for (const auto& [url, path] : cases)
        EXPECT_EQ(iTunesRecentDatabases::localPath(url), path) << url.toStdString();
}

TEST_F(ParserTest, TheSettingListsItsReadableFilesAndDefaultsToTheLibraryFolder)
{
    EXPECT_TRUE(iTunesRecentDatabases::files().isEmpty());
    const QString standard = touch(QStringLiteral("Music/iTunes/iTunes Library.xml"));
    EXPECT_EQ(iTunesRecentDatabases::files(), QStringList { standard });

    const QString other = touch(QStringLiteral("other lib.xml"));
    iTunesRecentDatabases::setUrls({ itunesxml::locationOf(other), QStringLiteral("no url"),
        QUrl::fromLocalFile(home(QStringLiteral("gone.xml"))).toString() });
    EXPECT_EQ(iTunesRecentDatabases::urls().size(), 3);
    EXPECT_EQ(iTunesRecentDatabases::files(), QStringList { other });
    iTunesRecentDatabases::setUrls({});
    EXPECT_TRUE(iTunesRecentDatabases::files().isEmpty());
}

} // namespace
