// The list menu's entries and search data: fixed entries, the library's lists, the
// ringtone and recorder folders, videos, the parse cache and the folder walk fallback.

#include "core/medialibrary/desktopmedialibrary.h"
#include "core/medialibrary/listmenucatalogue.h"
#include "core/medialibrary/medialibrarytestsupport.h"
#include "support/qtfixtures.h"

#include <QDateTime>

using namespace Qt::StringLiterals;
using itunesxml::Library;
using itunesxml::playlist;
using itunesxml::track;

namespace {

QStringList titlesOf(const QList<VyListMenuItem>& entries)
{
    QStringList titles;
    for (const VyListMenuItem& entry : entries)
        titles << entry.itemTitle;
    return titles;
}

const VyListMenuItem& entry(const QList<VyListMenuItem>& entries, const QString& title)
{
    static const VyListMenuItem none;
    for (const VyListMenuItem& item : entries)
        if (item.itemTitle == title)
            return item;
    ADD_FAILURE() << "no entry " << title.toStdString();
    return none;
}

qsizetype countOf(const QList<MediaItemInfo>& items, const QString& path)
{
    return std::count_if(items.begin(), items.end(), [&path](const MediaItemInfo& item) { return item.path == path; });
}

class CatalogueTest : public LibraryHomeTest {
protected:
    static std::unique_ptr<ListMenuCatalogue> catalogueOf(const QString& library)
    {
        auto catalogue
            = std::make_unique<ListMenuCatalogue>([](const QString& image) { return image == u"List_Gym.png"; });
        catalogue->setLibraryFiles(QStringList { library });
        return catalogue;
    }
};

TEST_F(CatalogueTest, GivesTheLibraryListsTheirEntriesAndTheFoldersTheirFiles)
{
    Library lib;
    auto blue = track(1, u"Blue"_s, QString::fromUtf8("/m/a b/blue é.mp3"));
    blue.artist = u"Ann"_s;
    blue.album = u"Night"_s;
    lib.tracks = { blue, track(2, u"Ring"_s, u"/m/ring.mp3"_s) };
    lib.playlists = { playlist(u"Music"_s, { 1, 2 }, { u"Music"_s }), playlist(u"Podcasts"_s, { 1 }, { u"Podcasts"_s }),
        playlist(u"Genius"_s, { 1 }), playlist(u"iTunes U"_s, { 2 }), playlist(u"Workout"_s, { 1 }),
        playlist(u"Gym"_s, { 2 }), playlist(u"Ringtones"_s, { 2 }) };
    const auto catalogue = catalogueOf(writeLibrary(lib));
    const QString tones = u"Music/iTunes/iTunes Music/Ringtones/"_s;
    touch(tones + u"a.m4r"_s);
    touch(tones + u"sub/b.m4r"_s);
    touch(tones + u".hidden.m4r"_s);
    touch(u"Music/iTunes/iTunes Media/Ringtones/c.m4r"_s);
    touch(u"Music/Ringtone/Recorder/take.m4a"_s);
    touch(u"Music/Ringtone/Recorder/.take.m4a"_s);

    const ListMenuContent content = catalogue->build();
    EXPECT_TRUE(catalogue->hadLibraryFile());
    const VyListMenuItem& music = entry(content.libraryItemList, u"Music"_s);
    ASSERT_EQ(music.itemChild.size(), 2);
    const MediaItemInfo& first = music.itemChild.first();
    EXPECT_EQ(first,
        (MediaItemInfo {
            QString::fromUtf8("/m/a b/blue é.mp3"), u"Blue"_s, kAudioKind, u"Ann"_s, u"Night"_s, std::nullopt }));
    EXPECT_EQ(namesOf(entry(content.libraryItemList, u"Podcasts"_s).itemChild), QStringList { u"Blue"_s });
    EXPECT_EQ(namesOf(content.geniusItemList.first().itemChild), QStringList { u"Blue"_s });
    EXPECT_EQ(titlesOf(content.playListsItemList), (QStringList { u"Workout"_s, u"Gym"_s }));
    EXPECT_EQ(content.playListsItemList.at(0).itemIcon, u"List_Others.png");
    EXPECT_EQ(content.playListsItemList.at(1).itemIcon, u"List_Gym.png");

    // The ringtone folders' files stand for the library's own ringtones.
    const VyListMenuItem& ringtones = entry(content.libraryItemList, u"Ringtones"_s);
    EXPECT_EQ(namesOf(ringtones.itemChild), (QStringList { u"a.m4r"_s, u"sub/b.m4r"_s, u"c.m4r"_s }));
    EXPECT_EQ(ringtones.itemChild.at(1).path, home(tones + u"sub/b.m4r"_s));
    EXPECT_EQ(ringtones.itemChild.at(1).artist, QString());
    EXPECT_EQ(namesOf(content.myMusicItemList.first().itemChild), QStringList { u"take.m4a"_s });

    EXPECT_EQ(countOf(content.searchData, first.path), 4); // Music, Podcasts, Genius, Workout
    EXPECT_EQ(countOf(content.searchData, home(tones + u"a.m4r"_s)), 1);
    EXPECT_EQ(countOf(content.searchData, home(u"Music/Ringtone/Recorder/take.m4a"_s)), 1);
    EXPECT_EQ(countOf(content.searchData, home(u"Music/Ringtone/Recorder/.take.m4a"_s)), 0);
}

TEST_F(CatalogueTest, MoviesHoldTheLibraryVideosLessThePodcastsOnlyForOldLibraries)
{
    Library lib;
    auto film = track(1, u"Film"_s, u"/v/film.m4v"_s);
    film.hasVideo = true;
    auto cast = track(2, u"Cast"_s, u"/v/cast.m4v"_s);
    cast.hasVideo = true;
    auto castCopy = track(3, u"Cast"_s, u"/v/other cast.m4v"_s);
    castCopy.hasVideo = true;
    lib.tracks = { film, cast, castCopy };
    lib.playlists = { playlist(u"Library"_s, { 1, 3 }, { u"Master"_s }), playlist(u"Movies"_s, { 1 }, { u"Movies"_s }),
        playlist(u"Podcasts"_s, { 2 }, { u"Podcasts"_s }) };
    for (const auto& [version, movies] :
        { std::pair { u"6.0"_s, QStringList { u"Film"_s } }, std::pair { u"9.2.1"_s, QStringList {} } }) {
        SCOPED_TRACE(version.toStdString());
        lib.version = version;
        const auto catalogue = catalogueOf(writeLibrary(lib));
        const ListMenuContent content = catalogue->build();
        const VyListMenuItem& entryMovies = entry(content.libraryItemList, u"Movies"_s);
        EXPECT_EQ(namesOf(entryMovies.itemChild), movies);
        for (const MediaItemInfo& item : entryMovies.itemChild)
            EXPECT_EQ(item.kind, kVideoKind);
    }
}

TEST_F(CatalogueTest, ReadsTheLibraryAgainOnlyWhenItsSizeOrTimeChanged)
{
    const auto libraryWith = [](const QString& name) {
        Library lib;
        lib.tracks = { track(1, name, u"/m/x.mp3"_s) };
        lib.playlists = { playlist(u"Music"_s, { 1 }, { u"Music"_s }) };
        return lib;
    };
    const QString path = writeLibrary(libraryWith(u"One"_s));
    const auto catalogue = catalogueOf(path);
    const auto musicNames
        = [&catalogue] { return namesOf(entry(catalogue->build().libraryItemList, u"Music"_s).itemChild); };
    EXPECT_EQ(musicNames(), QStringList { u"One"_s });
    const QDateTime stamp = QFileInfo(path).lastModified();
    const auto rewrite = [&](const QString& name, const QDateTime& time) {
        writeLibrary(libraryWith(name));
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::ReadWrite) && file.setFileTime(time, QFileDevice::FileModificationTime));
    };
    struct Step {
        QString name; // written with
        QDateTime time;
        QString read; // what the menu shows after it
        int parses;
    };
    const QList<Step> steps {
        { u"Uno"_s, stamp, u"One"_s, 1 }, // same size, same time: not read again
        { u"Dos"_s, stamp.addSecs(10), u"Dos"_s, 2 }, // same size, new time
        { u"Three"_s, stamp.addSecs(10), u"Three"_s, 3 }, // new size, same time
        { u"Three"_s, stamp.addSecs(10), u"Three"_s, 3 },
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.name.toStdString());
        rewrite(step.name, step.time);
        EXPECT_EQ(musicNames(), QStringList { step.read });
        EXPECT_EQ(catalogue->parseCount(), step.parses);
    }
}

TEST_F(CatalogueTest, WithoutALibraryFileTheDesktopFoldersFillMusicAndMovies)
{
    const QString song = home(u"Music/Albums/tagged.mp3"_s);
    QDir().mkpath(QFileInfo(song).path());
    ASSERT_TRUE(QFile::copy(fixture("tagged.mp3"), song));
    touch(u"Music/Ringtone/own.mp3"_s);
    touch(u"Music/iTunes/iTunes Media/Music/bought.mp3"_s);
    touch(u"Music/.cache/hidden.mp3"_s);
    touch(u"Music/notes.txt"_s);
    touch(u"Videos/clip.mp4"_s);

    DesktopMediaLibrary desktop;
    desktop.walkNow();
    ListMenuCatalogue catalogue;
    catalogue.setLibraryFiles(QStringList { home(u"no library.xml"_s) });
    catalogue.setDesktopLibrary(&desktop);
    const ListMenuContent content = catalogue.build();
    const VyListMenuItem& music = entry(content.libraryItemList, u"Music"_s);
    ASSERT_EQ(music.itemChild.size(), 1);
    EXPECT_EQ(music.itemChild.first(),
        MediaItemInfo::withTags(kAudioKind, u"Fixture Artist"_s, u"Fixture Album"_s, u"Fixture Composer"_s, song));
    const VyListMenuItem& movies = entry(content.libraryItemList, u"Movies"_s);
    ASSERT_EQ(movies.itemChild.size(), 1);
    EXPECT_EQ(movies.itemChild.first().kind, kVideoKind);
    EXPECT_EQ(movies.itemChild.first().artist, QString());
    EXPECT_EQ(countOf(content.searchData, song), 1);
    EXPECT_EQ(countOf(content.searchData, home(u"Videos/clip.mp4"_s)), 1);

    // A library file takes the folders' place.
    Library lib;
    lib.tracks = { track(1, u"Listed"_s, u"/m/x.mp3"_s) };
    lib.playlists = { playlist(u"Music"_s, { 1 }, { u"Music"_s }) };
    catalogue.setLibraryFiles(QStringList { writeLibrary(lib) });
    EXPECT_EQ(namesOf(entry(catalogue.build().libraryItemList, u"Music"_s).itemChild), QStringList { u"Listed"_s });
}

} // namespace
