#pragma once
// The library list on its own, offscreen: a private HOME, a column to put it in, the
// search it fills, a desktop library file of the test's making, and clicks at rows.

#include "core/medialibrary/vyitunessearchtool.h"
#include "support/itunesxml.h"
#include "ui/library/vylistmenu.h"
#include "ui/library/vylistmenuviewcontroller.h"
#include "ui/mainwindow/windowworld.h"

#include <QApplication>
#include <QContextMenuEvent>
#include <QDir>
#include <QMouseEvent>
#include <QTest>
#include <QWidget>

class LibraryListWorld {
public:
    LibraryListWorld()
    {
        qputenv("SONABEL_NO_EXTERNAL_OPEN", "1");
        ListMenuMode::set(1);
        father.resize(VyListMenuViewController::kWidth, 435);
        controller.setSearchTool(&search);
        controller.putInto(&father);
        father.show();
    }

    // `name` as a file of the private home's music folder (made empty); its path.
    QString audio(const QString& name) const
    {
        const QString path = world.path(QStringLiteral("home/tunes/") + name);
        QDir().mkpath(QFileInfo(path).path());
        QFile(path).open(QIODevice::WriteOnly);
        return path;
    }

    // Three songs (tracks 1-3), "Music" holding the first two and the plain playlist
    // "Workout" the third, plus `extraPlaylists` more plain playlists.
    itunesxml::Library sampleLibrary(int extraPlaylists = 0) const
    {
        itunesxml::Library lib;
        const QStringList names { QStringLiteral("Alpha.mp3"), QStringLiteral("Bravo.mp3"),
            QStringLiteral("Charlie.mp3") };
        for (int id = 1; id <= names.size(); ++id)
            lib.tracks.append(itunesxml::track(id, names.at(id - 1).chopped(4), audio(names.at(id - 1))));
        lib.tracks[1].artist = QStringLiteral("The Band");
        lib.playlists.append(itunesxml::playlist(QStringLiteral("Library"), { 1, 2, 3 }, { QStringLiteral("Master") }));
        lib.playlists.append(itunesxml::playlist(QStringLiteral("Music"), { 1, 2 }, { QStringLiteral("Music") }));
        lib.playlists.append(itunesxml::playlist(QStringLiteral("Workout"), { 3 }));
        for (int i = 0; i < extraPlaylists; ++i)
            lib.playlists.append(itunesxml::playlist(QStringLiteral("List %1").arg(i), { 1 }));
        return lib;
    }

    // Reads `lib` from now on and rebuilds the menu.
    void useLibrary(const itunesxml::Library& lib)
    {
        const QString file = world.path(QStringLiteral("home/Library.xml"));
        lib.write(file);
        controller.catalogue().setLibraryFiles(QStringList { file });
        controller.setMenuItem();
    }

    [[nodiscard]] VyListMenu* list() const { return controller.listMenu(); }
    [[nodiscard]] const VyListMenu::Row& row(int index) const { return list()->rows().at(static_cast<size_t>(index)); }
    // The index of the first row titled `title`; -1 when there is none.
    [[nodiscard]] int rowTitled(const QString& title) const
    {
        const auto& rows = list()->rows();
        for (size_t i = 0; i < rows.size(); ++i)
            if (rows[i].title == title)
                return static_cast<int>(i);
        return -1;
    }
    [[nodiscard]] QPoint centre(int index) const { return row(index).rect.center(); }

    void click(int index) const { QTest::mouseClick(list(), Qt::LeftButton, {}, centre(index)); }
    // A double click as a window delivers it: press, release, double-click press, release.
    void doubleClick(int index) const
    {
        const QPoint at = centre(index);
        const QPoint global = list()->mapToGlobal(at);
        for (const QEvent::Type type : { QEvent::MouseButtonPress, QEvent::MouseButtonRelease,
                 QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease }) {
            const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
            QMouseEvent event(type, at, global, Qt::LeftButton, held, Qt::NoModifier);
            QApplication::sendEvent(list(), &event);
        }
    }
    // Moves the mouse onto the row and waits for it to be marked as under the mouse.
    void hover(int index) const
    {
        QMouseEvent move(QEvent::MouseMove, centre(index), list()->mapToGlobal(centre(index)), Qt::NoButton,
            Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(list(), &move);
        QTest::qWait(80);
    }
    void rightClick(int index) const
    {
        QContextMenuEvent menu(QContextMenuEvent::Mouse, centre(index), list()->mapToGlobal(centre(index)));
        QApplication::sendEvent(list(), &menu);
    }

    WindowWorld world;
    VyiTunesSearchTool search;
    QWidget father;
    VyListMenuViewController controller;
};
