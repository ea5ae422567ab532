// Where the file panels start, what they offer, and what they remember.

#include "support/qtfixtures.h"
#include "ui/mainwindow/vymainwindowcontroller.h"
#include "ui/panels/mediapanels.h"
#include "ui/preferences/libraryfilesbox.h"
#include "windowworld.h"

#include <QAbstractItemModel>
#include <QDir>
#include <QFileDialog>
#include <QListView>
#include <QListWidget>
#include <QSettings>
#include <QStandardPaths>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

using Kind = MediaPanels::Kind;

class PanelsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        forgetFolders();
        window = openQuietWindow();
        library = new LibraryFilesBox(window.get()); // its panel opens on the window
        home = world.path(QStringLiteral("home"));
        // The desktop's music folder (the tests' standard paths leave user-dirs.dirs out).
        music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
        ASSERT_TRUE(music.startsWith(home + u'/')) << music.toStdString();
    }
    void TearDown() override
    {
        forgetFolders();
        window.reset();
    }
    static void forgetFolders()
    {
        QSettings settings(QStringLiteral("Corvane"), QStringLiteral("Sonabel"));
        for (const char* key : { "OpenFilePath", "SaveAsPath", "LibraryFilePath" })
            settings.remove(QLatin1String(key));
    }
    // The panel of `kind` as its window opens it.
    QFileDialog* open(Kind kind)
    {
        QFileDialog* panel = nullptr;
        if (kind == Kind::OpenMedia) {
            window->openFile();
            panel = window->openPanel();
        } else {
            library->chooseFile();
            panel = window->findChild<QFileDialog*>(QStringLiteral("libraryFileDialog"));
        }
        EXPECT_NE(panel, nullptr);
        return panel;
    }
    static void close(QFileDialog* panel)
    {
        panel->reject();
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
    // The files the panel lets the user pick in its folder, once it has read it.
    static QStringList offered(QFileDialog* panel)
    {
        auto* view = panel->findChild<QListView*>(QStringLiteral("listView"));
        QStringList names;
        if (view == nullptr)
            return names;
        if (!QTest::qWaitFor([&] { return view->model()->rowCount(view->rootIndex()) > 0; }, 5000))
            return names;
        QTest::qWait(100); // the folder's later entries
        const QAbstractItemModel* model = view->model();
        for (int row = 0; row < model->rowCount(view->rootIndex()); ++row) {
            const QModelIndex index = model->index(row, 0, view->rootIndex());
            const QString name = index.data().toString();
            if (model->flags(index).testFlag(Qt::ItemIsEnabled)
                && QFileInfo(panel->directory().filePath(name)).isFile())
                names << name;
        }
        names.sort();
        return names;
    }

    WindowWorld world;
    std::unique_ptr<VyMainWindowController> window;
    LibraryFilesBox* library = nullptr;
    QString home;
    QString music;
};

TEST_F(PanelsTest, StartInTheRememberedFolderElseTheMusicFolderElseHome)
{
    const QString remembered = world.path(QStringLiteral("picked"));
    struct Case {
        const char* what;
        bool rememberedExists;
        bool musicExists;
        QString expected;
    };
    const Case cases[] = {
        { "remembered", true, true, remembered },
        { "remembered folder gone", false, true, music },
        { "no music folder either", false, false, home },
    };
    for (const Kind kind : { Kind::OpenMedia, Kind::LibraryFile }) {
        for (const Case& c : cases) {
            MediaPanels::remember(kind, remembered + QStringLiteral("/file"));
            QDir(remembered).removeRecursively();
            QDir(music).removeRecursively();
            if (c.rememberedExists) {
                ASSERT_TRUE(QDir().mkpath(remembered));
            }
            if (c.musicExists) {
                ASSERT_TRUE(QDir().mkpath(music));
            }
            QFileDialog* panel = open(kind);
            ASSERT_NE(panel, nullptr);
            EXPECT_EQ(panel->directory().absolutePath().toStdString(), c.expected.toStdString())
                << c.what << " kind " << int(kind);
            EXPECT_NE(panel->directory().absolutePath(), QDir::currentPath());
            close(panel);
        }
    }
}

TEST_F(PanelsTest, TheOpenPanelNamesWhatItOffersAndTakesAnyCase)
{
    ASSERT_TRUE(QDir().mkpath(music));
    for (const char* name : { "LOUD.MP3", "quiet.mp3", "clip.Mov", "notes.txt" })
        ASSERT_TRUE(writeBytes(music + u'/' + QLatin1String(name), "x"));
    QFileDialog* panel = open(Kind::OpenMedia);
    ASSERT_NE(panel, nullptr);
    const QStringList filters = panel->nameFilters();
    ASSERT_EQ(filters.size(), 2);
    EXPECT_TRUE(filters[0].startsWith(QStringLiteral("Audio and video files (*.m4r *.m4v ")))
        << filters[0].toStdString();
    EXPECT_TRUE(filters[0].contains(QStringLiteral(" *.mp3 ")));
    EXPECT_FALSE(filters[0].contains(u'[')) << "no raw case patterns";
    EXPECT_FALSE(filters[0].contains(QStringLiteral("*.flv"))) << "the open panel's own list";
    EXPECT_EQ(filters[1], QStringLiteral("All files (*)"));
    EXPECT_EQ(panel->selectedNameFilter(), filters[0]);
    EXPECT_EQ(offered(panel).join(u", ").toStdString(), "LOUD.MP3, clip.Mov, quiet.mp3");
    close(panel);
}

TEST_F(PanelsTest, TheLibraryFilePanelRemembersWhereItsFileCameFrom)
{
    const QString folder = world.path(QStringLiteral("libraries"));
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + QStringLiteral("/Library.xml");
    ASSERT_TRUE(writeBytes(file, "<plist/>"));
    QFileDialog* panel = open(Kind::LibraryFile);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->nameFilters().value(0), QStringLiteral("Library files (*.xml)"));
    panel->selectFile(file);
    static_cast<QDialog*>(panel)->accept(); // the Open button
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    ASSERT_EQ(library->list()->count(), 1);
    library->list()->setCurrentRow(0);
    library->removeSelected(); // the stored list is every test's
    panel = open(Kind::LibraryFile);
    ASSERT_NE(panel, nullptr);
    EXPECT_EQ(panel->directory().absolutePath().toStdString(), folder.toStdString());
    EXPECT_EQ(MediaPanels::startFolder(Kind::OpenMedia).toStdString(), music.toStdString())
        << "each kind remembers its own folder";
    close(panel);
}

} // namespace
