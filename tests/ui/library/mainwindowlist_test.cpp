// The library list in the main window: the search field and the open file's mark.
#include "core/notification/notificationcenter.h"
#include "support/librarylistworld.h"
#include "support/qtfixtures.h"
#include "ui/library/vylistmenuchilditem.h"
#include "ui/mainwindow/vymainwindowcontroller.h"

#include <QLineEdit>
#include <QSignalSpy>

#include <gtest/gtest.h>

namespace {

// A window whose list reads `lib`, with a file of the fixtures as its second song.
struct ListWindow {
    ListWindow()
    {
        itunesxml::Library lib = list.sampleLibrary();
        lib.tracks[1].location = itunesxml::locationOf(fixture("tone.mp3"));
        const QString file = list.world.path(QStringLiteral("home/Window.xml"));
        lib.write(file);
        window = openQuietWindow();
        window->listViewController()->catalogue().setLibraryFiles(QStringList { file });
        window->buttonClickCallback();
    }
    [[nodiscard]] VyListMenu* menu() const { return window->listViewController()->listMenu(); }

    LibraryListWorld list; // the private home
    std::unique_ptr<VyMainWindowController> window;
};

} // namespace

TEST(MainWindowList, SearchFieldSearchesAndEmptyTextRestoresTheMenu)
{
    ListWindow w;
    ASSERT_FALSE(w.menu()->rows().empty());
    EXPECT_EQ(w.menu()->rows().front().title, QStringLiteral("LIBRARY"));
    struct Case {
        const char* text;
        bool showsFiles;
        const char* firstRow;
    };
    const Case cases[] = { { "alp", true, "Alpha" }, { "", false, "LIBRARY" }, { "charlie", true, "Charlie" } };
    for (const Case& c : cases) {
        w.window->searchField()->setText(QLatin1String(c.text));
        w.window->searchFieldInput();
        EXPECT_EQ(w.menu()->showsFiles(), c.showsFiles) << c.text;
        ASSERT_FALSE(w.menu()->rows().empty());
        EXPECT_EQ(w.menu()->rows().front().title, QLatin1String(c.firstRow)) << c.text;
    }
}

TEST(MainWindowList, OpenFileIsMarkedUntilClosed)
{
    ListWindow w;
    const auto& rows = [&w] { return w.menu()->rows(); };
    for (size_t i = 0; i < rows().size(); ++i)
        if (rows()[i].title == QStringLiteral("Music"))
            QTest::mouseClick(w.menu(), Qt::LeftButton, {}, rows()[i].rect.center());
    ASSERT_TRUE(w.menu()->showsFiles());

    QSignalSpy loaded(w.window.get(), &VyMainWindowController::fileLoaded);
    QTest::mouseClick(w.menu(), Qt::LeftButton, {}, rows()[1].rect.center());
    ASSERT_TRUE(loaded.wait(20000));
    ASSERT_NE(w.window->currentView(), nullptr);
    EXPECT_EQ(w.window->currentView()->itemPath(), fixture("tone.mp3"));
    EXPECT_TRUE(w.menu()->showsFiles()) << "the file list stays";
    EXPECT_FALSE(rows()[0].hasChoosed);
    EXPECT_TRUE(rows()[1].hasChoosed);

    w.window->closeAudioEditorView();
    EXPECT_EQ(w.window->currentView(), nullptr);
    EXPECT_FALSE(rows()[1].hasChoosed);
}
