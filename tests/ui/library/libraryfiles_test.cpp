// The preferences' library files: stored as URLs, each change rebuilding the list.
#include "core/medialibrary/itunesrecentdatabases.h"
#include "support/notificationrecorder.h"
#include "ui/mainwindow/windowworld.h"
#include "ui/preferences/libraryfilesbox.h"

#include <QListWidget>

#include <gtest/gtest.h>

TEST(LibraryFiles, EditsAreStoredAndRebuildTheList)
{
    WindowWorld world;
    iTunesRecentDatabases::setUrls({});
    LibraryFilesBox box;
    const QString a = world.path(QStringLiteral("home/Music Library.xml"));
    const QString b = world.path(QStringLiteral("home/other.xml"));
    struct Step {
        const char* what;
        std::function<void()> act;
        QStringList files;
        size_t refreshes;
    };
    const Step steps[] = {
        { "add", [&] { box.addFile(a); }, { a }, 1 },
        { "add another", [&] { box.addFile(b); }, { a, b }, 1 },
        { "add a listed one", [&] { box.addFile(a); }, { a, b }, 0 },
        { "remove the first",
            [&] {
                box.list()->setCurrentRow(0);
                box.removeSelected();
            },
            { b }, 1 },
    };
    for (const Step& step : steps) {
        NotificationRecorder refreshes(QStringLiteral("refreshListMenu"));
        step.act();
        QStringList stored;
        for (const QString& url : iTunesRecentDatabases::urls())
            stored << iTunesRecentDatabases::localPath(url);
        EXPECT_EQ(stored, step.files) << step.what;
        EXPECT_EQ(box.list()->count(), step.files.size()) << step.what;
        EXPECT_EQ(refreshes.posted.size(), step.refreshes) << step.what;
    }
    LibraryFilesBox again;
    EXPECT_EQ(again.list()->count(), 1) << "read back from the setting";
}
