// The library list: the menu's layout, a file list, clicks, marks and the requests it answers.
#include "core/medialibrary/vylistmenuassitant.h"
#include "support/librarylistworld.h"
#include "support/notificationrecorder.h"
#include "ui/library/listnavigationview.h"
#include "ui/library/vylistmenuchilditem.h"
#include "ui/links/filereveal.h"

#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QScrollArea>
#include <QSignalSpy>

#include <gtest/gtest.h>

using Kind = VyListMenu::RowKind;

namespace {

struct Placed {
    Kind kind;
    const char* title;
    QRect rect;
    const char* icon = "";
};

} // namespace

TEST(ListMenu, MenuRowsSitUnderTheirHeaders)
{
    LibraryListWorld w;
    w.useLibrary(w.sampleLibrary());
    const int width = VyListMenuViewController::kWidth;
    const int entry = width - 12;
    const Placed expected[] = {
        { Kind::Header, "LIBRARY", { 0, -8, width, 25 } },
        { Kind::Entry, "Music", { 12, 20, entry, 22 }, "List_Music.png" },
        { Kind::Entry, "Movies", { 12, 42, entry, 22 }, "List_Movies.png" },
        { Kind::Entry, "Podcasts", { 12, 64, entry, 22 } },
        { Kind::Entry, "Audiobooks", { 12, 86, entry, 22 } },
        { Kind::Entry, "Ringtones", { 12, 108, entry, 22 } },
        { Kind::Entry, "Purchased", { 12, 130, entry, 22 }, "List_Purchased.png" },
        { Kind::Header, "GENIUS", { 0, 152, width, 25 } },
        { Kind::Entry, "Genius", { 12, 177, entry, 22 }, "List_Genius.png" },
        { Kind::Header, "PLAYLISTS", { 0, 199, width, 25 } },
        { Kind::Entry, "Workout", { 12, 224, entry, 22 }, "List_Others.png" },
        { Kind::Header, "CUSTOM", { 0, 246, width, 25 } },
        { Kind::Entry, "Recorder File", { 12, 271, entry, 22 }, "List_Recorder File.png" },
    };
    const auto& rows = w.list()->rows();
    ASSERT_EQ(rows.size(), std::size(expected));
    for (size_t i = 0; i < rows.size(); ++i) {
        SCOPED_TRACE(expected[i].title);
        EXPECT_EQ(rows[i].kind, expected[i].kind);
        EXPECT_EQ(rows[i].title, QLatin1String(expected[i].title));
        EXPECT_EQ(rows[i].rect, expected[i].rect);
        if (*expected[i].icon != 0) {
            EXPECT_EQ(rows[i].icon, QLatin1String(expected[i].icon));
        }
    }
    EXPECT_EQ(ListMenuMode::current(), 1);
}

TEST(ListMenu, MenuHeightFollowsItsEntriesOrFillsTheView)
{
    struct Case {
        int extraPlaylists;
        int height; // 0: the visible height + 2
    };
    // 9 entries without extra playlists; 28 with 19 more.
    for (const Case c : { Case { 0, 0 }, Case { 19, 28 * 22 + 100 } }) {
        LibraryListWorld w;
        w.useLibrary(w.sampleLibrary(c.extraPlaylists));
        const int visible = w.controller.scrollView()->viewport()->height();
        EXPECT_EQ(w.list()->height(), c.height == 0 ? visible + 2 : c.height) << c.extraPlaylists;
    }
}

TEST(ListMenu, FileRowsAreNumberedBelowTheBar)
{
    struct Case {
        int files;
        int height;
    };
    for (const Case c : { Case { 3, 450 }, Case { 30, 31 + 30 * 22 + 32 } }) {
        LibraryListWorld w;
        VyListMenuItem item { QString(), QStringLiteral("Mix"), {} };
        for (int i = 0; i < c.files; ++i)
            item.itemChild.append(MediaItemInfo::withTags(
                QString(kAudioKind), QString(), QString(), QString(), QStringLiteral("/m/song %1.mp3").arg(i)));
        w.controller.showChildItem(item);
        ASSERT_EQ(static_cast<int>(w.list()->rows().size()), c.files);
        for (int i = 0; i < c.files; ++i) {
            const VyListMenu::Row& row = w.row(i);
            EXPECT_EQ(row.rect, QRect(0, 31 + i * 22, VyListMenuViewController::kWidth, 22));
            EXPECT_EQ(row.item->itemNumber(), i + 1);
            EXPECT_EQ(row.item->fatherItemTitle(), QStringLiteral("Mix"));
        }
        EXPECT_EQ(w.list()->height(), c.height) << c.files;
        EXPECT_EQ(w.list()->navigationView()->geometry(), QRect(0, 0, 225, 30));
        EXPECT_EQ(ListMenuMode::current(), 0);
    }
}

TEST(ListMenu, EntryClickShowsItsFilesOnlyWhenItHasSome)
{
    LibraryListWorld w;
    w.useLibrary(w.sampleLibrary());
    w.click(w.rowTitled(QStringLiteral("Podcasts"))); // no files
    EXPECT_FALSE(w.list()->showsFiles());

    w.click(w.rowTitled(QStringLiteral("Music")));
    ASSERT_TRUE(w.list()->showsFiles());
    EXPECT_EQ(w.row(0).title, QStringLiteral("Alpha"));
    EXPECT_EQ(w.row(1).title, QStringLiteral("Bravo"));
    EXPECT_EQ(w.list()->navigationView()->currentPlaceField()->text(), QStringLiteral("Music"));

    // The last entry shown comes back after a rebuild.
    w.controller.setMenuItem();
    w.controller.setLastMenuItem();
    EXPECT_EQ(w.rowTitled(QStringLiteral("Bravo")), 1);
}

TEST(ListMenu, ClickOpensAFileOnceWithItsItem)
{
    LibraryListWorld w;
    w.useLibrary(w.sampleLibrary());
    w.click(w.rowTitled(QStringLiteral("Music")));
    struct Case {
        bool twice;
    };
    for (const Case c : { Case { false }, Case { true } }) {
        NotificationRecorder loads(QStringLiteral("LoadChildItemInAudioEditView"));
        if (c.twice)
            w.doubleClick(1);
        else
            w.click(1);
        ASSERT_EQ(loads.posted.size(), 1u) << "double click: " << c.twice;
        const QVariantMap info = loads.posted.front().userInfo;
        const auto* item = info.value(QStringLiteral("ChildItem")).value<QObject*>();
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->property("itemPath").toString(), w.audio(QStringLiteral("Bravo.mp3")));
        EXPECT_EQ(item->property("itemTitle").toString(), QStringLiteral("Bravo"));
        EXPECT_EQ(info.value(QStringLiteral("ClickCount")).toString(), QStringLiteral("1"));
        EXPECT_EQ(info.value(QStringLiteral("isLocal")).toString(), QStringLiteral("NO"));
        EXPECT_EQ(info.value(QStringLiteral("currentView")).value<QObject*>(), item);
    }
}

TEST(ListMenu, SearchResultsAreShownUnderSearch)
{
    LibraryListWorld w;
    w.useLibrary(w.sampleLibrary());
    struct Case {
        const char* text;
        const char* firstTitle;
        bool opens;
    };
    for (const Case c : { Case { "band", "Bravo", true }, Case { "zzz", "No matching items", false } }) {
        w.search.searchMedia(QLatin1String(c.text), QStringLiteral("All"));
        ASSERT_EQ(w.list()->rows().size(), 1u) << c.text;
        const VyListMenu::Row& row = w.row(0);
        EXPECT_EQ(row.title, QLatin1String(c.firstTitle));
        EXPECT_EQ(row.item->fatherItemTitle(), QStringLiteral("Search"));
        EXPECT_EQ(row.item->thumbnail().isNull(), !c.opens) << "an icon for real files only";
        NotificationRecorder loads(QStringLiteral("LoadChildItemInAudioEditView"));
        w.click(0);
        EXPECT_EQ(loads.posted.size(), c.opens ? 1u : 0u) << c.text;
    }
}

TEST(ListMenu, CustomEntryShownByName)
{
    LibraryListWorld w;
    const QString recording = VyListMenuAssitant::getRecorderFolder() + QStringLiteral("/take 1.wav");
    QFile(recording).open(QIODevice::WriteOnly);
    w.useLibrary(w.sampleLibrary());
    const size_t menuRows = w.list()->rows().size();

    NotificationCenter::defaultCenter().post(QStringLiteral("CallAppLoadItem"), nullptr,
        { { QStringLiteral("MenuItemName"), QStringLiteral("Groove Box File") } });
    EXPECT_FALSE(w.list()->showsFiles());
    EXPECT_EQ(w.list()->rows().size(), menuRows);

    NotificationCenter::defaultCenter().post(QStringLiteral("CallAppLoadItem"), nullptr,
        { { QStringLiteral("MenuItemName"), QStringLiteral("Recorder File") } });
    ASSERT_TRUE(w.list()->showsFiles());
    ASSERT_EQ(w.list()->rows().size(), 1u);
    EXPECT_EQ(w.row(0).item->itemPath(), recording);
    EXPECT_EQ(w.row(0).item->fatherItemTitle(), QStringLiteral("Recorder File"));
}

TEST(ListMenu, OpenFileRowIsMarked)
{
    LibraryListWorld w;
    w.useLibrary(w.sampleLibrary());
    w.click(w.rowTitled(QStringLiteral("Music")));
    const QString bravo = w.audio(QStringLiteral("Bravo.mp3"));
    struct Case {
        const char* what;
        int number;
        const char* father;
        int marked; // -1: none
    };
    const Case cases[] = {
        { "the same file", 2, "Music", 1 },
        { "another list's", 2, "Search", -1 },
        { "another place", 1, "Music", -1 },
    };
    for (const Case& c : cases) {
        VyListMenuChildItem open(QStringLiteral("Bravo"), c.number, bravo, QLatin1String(c.father));
        w.controller.setCurrentItem(&open);
        w.controller.refresh();
        for (int i = 0; i < 2; ++i) {
            EXPECT_EQ(w.row(i).hasChoosed, i == c.marked) << c.what << " row " << i;
            EXPECT_EQ(w.row(i).isOver, i == c.marked) << c.what << " row " << i;
        }
    }
}

TEST(ListMenu, LongTitleScrollsWhileHovered)
{
    LibraryListWorld w;
    const QString longName = QStringLiteral("A rather long song title that cannot fit the list column.mp3");
    VyListMenuItem item { QString(), QStringLiteral("Mix"), {} };
    for (const QString& name : { QStringLiteral("Short.mp3"), longName })
        item.itemChild.append(
            MediaItemInfo::withTags(QString(kAudioKind), QString(), QString(), QString(), w.audio(name)));
    w.controller.showChildItem(item);
    struct Case {
        int row;
        bool scrolls;
    };
    for (const Case c : { Case { 0, false }, Case { 1, true } }) {
        w.hover(c.row);
        EXPECT_TRUE(w.row(c.row).isOver);
        QTest::qWait(1000);
        EXPECT_EQ(w.list()->scrollPosition() > 0, c.scrolls) << c.row;
    }
}

TEST(ListMenu, RevealInFinderOnAHoveredRow)
{
    LibraryListWorld w;
    w.useLibrary(w.sampleLibrary());
    w.click(w.rowTitled(QStringLiteral("Music")));
    w.rightClick(0); // not hovered
    EXPECT_EQ(w.list()->contextMenu(), nullptr);

    w.hover(1);
    w.rightClick(1);
    QMenu* menu = w.list()->contextMenu();
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(menu->actions().size(), 1);
    EXPECT_EQ(menu->actions().front()->text(), QStringLiteral("Reveal in Finder"));
    menu->actions().front()->trigger();
    EXPECT_EQ(FileReveal::lastRevealed(), w.audio(QStringLiteral("Bravo.mp3")));
}

TEST(ListMenu, BackButtonRebuildsTheMenu)
{
    LibraryListWorld w;
    w.useLibrary(w.sampleLibrary());
    w.click(w.rowTitled(QStringLiteral("Music")));
    NotificationRecorder refreshes(QStringLiteral("refreshListMenu"));
    ListNavigationView* bar = w.list()->navigationView();
    QTest::mouseClick(bar->libraryButton(), Qt::LeftButton);
    EXPECT_EQ(refreshes.posted.size(), 1u);
    EXPECT_FALSE(w.list()->showsFiles());
    EXPECT_EQ(ListMenuMode::current(), 1);
    EXPECT_TRUE(bar->currentPlaceField()->text().isEmpty());
}

TEST(ListMenu, WithoutALibraryTheFolderWalkFillsMusicOnce)
{
    LibraryListWorld w;
    const QString song = w.world.path(QStringLiteral("home/Music/song.mp3"));
    QDir().mkpath(QFileInfo(song).path());
    QFile(song).open(QIODevice::WriteOnly);
    w.controller.catalogue().setLibraryFiles(QStringList {});
    QSignalSpy walks(&w.controller.desktop(), &DesktopMediaLibrary::walkFinished);
    w.controller.setMenuItem();
    ASSERT_TRUE(walks.wait(10000));
    EXPECT_EQ(w.list()->itemIn(QStringLiteral("Library"), QStringLiteral("Music"))->itemChild.size(), 1)
        << "the walk's end rebuilt the menu";
    EXPECT_FALSE(walks.wait(1000)) << "that rebuild walked the folders again";
}

TEST(ListMenu, FolderWalkRebuildsOnlyTheMenu)
{
    struct Case {
        bool showFiles;
        bool changed;
        size_t refreshes;
    };
    for (const Case c : { Case { false, true, 1 }, Case { false, false, 0 }, Case { true, true, 0 } }) {
        LibraryListWorld w;
        w.useLibrary(w.sampleLibrary());
        if (c.showFiles)
            w.click(w.rowTitled(QStringLiteral("Music")));
        NotificationRecorder refreshes(QStringLiteral("refreshListMenu"));
        Q_EMIT w.controller.desktop().walkFinished(c.changed);
        EXPECT_EQ(refreshes.posted.size(), c.refreshes) << c.showFiles << c.changed;
    }
}

TEST(ListNavigation, LongTitlesAreShortened)
{
    struct Case {
        const char* title;
        int drawn;
        const char* shown;
    };
    const Case cases[] = {
        { "Music", 40, "Music" },
        { "Top 25 Most Played", 130, "Top 25 ..." }, // 18 * 80 / 130 - 4 = 7 kept, the blank trimmed
        { "Recently Added Songs", 100, "Recently Add ..." }, // 20 * 80 / 100 - 4 = 12
    };
    for (const Case& c : cases)
        EXPECT_EQ(ListNavigationView::shortened(QLatin1String(c.title), c.drawn, 80), QLatin1String(c.shown))
            << c.title;

    ListNavigationView bar;
    const QString title = QStringLiteral("A playlist with a very long name indeed");
    bar.setLocation(title);
    const QString shown = bar.currentPlaceField()->text();
    EXPECT_TRUE(shown.endsWith(QStringLiteral(" ..."))) << shown.toStdString();
    EXPECT_TRUE(title.startsWith(shown.chopped(4))) << shown.toStdString();
}
