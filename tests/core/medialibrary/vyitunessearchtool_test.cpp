// The search field's search over what the list knows.

#include "core/medialibrary/vyitunessearchtool.h"

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

MediaItemInfo track(const QString& path, const QString& name, std::optional<QString> artist,
    std::optional<QString> album, std::optional<QString> composer = std::nullopt, const QString& kind = kAudioKind)
{
    return { path, name, kind, std::move(artist), std::move(album), std::move(composer) };
}

// Library tracks (one without artist, one in three lists), a video, a ringtone and a
// recording as the list gathers them.
QList<MediaItemInfo> knownFiles()
{
    const QString none;
    return {
        track(u"/m/blue.mp3"_s, u"Blue Moon"_s, u"Ann Lee"_s, u"Night Songs"_s, u"Rodgers"_s),
        track(u"/m/road.mp3"_s, u"Road"_s, std::nullopt, u"Highway MOON Album"_s),
        track(u"/m/zed.mp3"_s, u"Zed"_s, u"Zora"_s, u"Tour"_s, std::nullopt),
        track(u"/m/zed.mp3"_s, u"Zed"_s, u"Zora"_s, u"Tour"_s, std::nullopt),
        track(u"/m/zed.mp3"_s, u"Zed"_s, u"Zora"_s, u"Tour"_s, std::nullopt),
        track(u"/v/landing on the moon.m4v"_s, u"Moon Landing"_s, u"NASA"_s, std::nullopt, std::nullopt, kVideoKind),
        track(u"/r/Ringtones/moon.m4r"_s, u"moon.m4r"_s, none, none, none),
        track(u"/m/Ringtone/Recorder/aaron.m4a"_s, u"aaron.m4a"_s, none, none, none),
    };
}

TEST(SearchTool, FindsByMethodEachFileOnceSortedByFileName)
{
    struct Case {
        QString text;
        QString method;
        QStringList paths;
    };
    const QList<Case> cases {
        // the album in other letter case, on a track without artist; the video and the ringtone by name
        { u"moon"_s, u"All"_s,
            { u"/m/blue.mp3"_s, u"/v/landing on the moon.m4v"_s, u"/r/Ringtones/moon.m4r"_s, u"/m/road.mp3"_s } },
        { u"moon"_s, u"Song"_s, { u"/m/blue.mp3"_s, u"/r/Ringtones/moon.m4r"_s } },
        { u"moon"_s, u"Album"_s, { u"/m/road.mp3"_s } },
        { u"RODG"_s, u"All"_s, { u"/m/blue.mp3"_s } },
        { u"rodg"_s, u"Composer"_s, { u"/m/blue.mp3"_s } },
        // ringtones and recordings have an empty artist, the second track none
        { u"a"_s, u"Artist"_s, { u"/m/blue.mp3"_s, u"/v/landing on the moon.m4v"_s, u"/m/zed.mp3"_s } },
        { u"zed"_s, u"Song"_s, { u"/m/zed.mp3"_s } },
        { u"zed"_s, u"Anything else"_s, { u"/m/zed.mp3"_s } },
    };
    VyiTunesSearchTool tool;
    tool.setMediaInfoArray(knownFiles());
    for (const Case& c : cases) {
        SCOPED_TRACE((c.text + u' ' + c.method).toStdString());
        const VyListMenuItem entry = tool.search(c.text, c.method);
        EXPECT_EQ(entry.itemTitle, u"Search");
        EXPECT_TRUE(entry.itemIcon.isEmpty());
        QStringList paths;
        for (const MediaItemInfo& item : entry.itemChild)
            paths << item.path;
        EXPECT_EQ(paths, c.paths);
    }
}

TEST(SearchTool, NothingFoundGivesTheOnePlaceholder)
{
    VyiTunesSearchTool tool;
    tool.setMediaInfoArray(knownFiles());
    for (const QString& method : { u"All"_s, u"Artist"_s, u"Song"_s }) {
        const VyListMenuItem entry = tool.search(QStringLiteral("xylophone"), method);
        ASSERT_EQ(entry.itemChild.size(), 1);
        EXPECT_EQ(entry.itemChild.first().path, kNoMatchingItems);
        EXPECT_EQ(entry.itemChild.first().name, kNoMatchingItems);
    }
    tool.resetSearchResult();
    EXPECT_EQ(tool.search(QStringLiteral("moon"), QStringLiteral("All")).itemChild.first().path, kNoMatchingItems);
}

} // namespace
