// The walk of the user's music and videos folders on its own thread.

#include "core/medialibrary/medialibrarytestsupport.h"

#include "core/medialibrary/desktopmedialibrary.h"

#include <QSignalSpy>

using namespace Qt::StringLiterals;

namespace {

using DesktopLibraryTest = LibraryHomeTest;

TEST_F(DesktopLibraryTest, RefreshWalksOnItsThreadAndTellsWhetherTheFilesChanged)
{
    touch(u"Music/one.mp3"_s);
    DesktopMediaLibrary desktop;
    QSignalSpy finished(&desktop, &DesktopMediaLibrary::walkFinished);
    const auto walk = [&] {
        desktop.refresh();
        EXPECT_TRUE(finished.wait(10000));
        return finished.takeFirst().at(0).toBool();
    };
    EXPECT_TRUE(walk());
    EXPECT_EQ(namesOf(desktop.music()), QStringList { u"one.mp3"_s });
    EXPECT_FALSE(walk());
    touch(u"Videos/two.m4v"_s);
    touch(u"Music/three.mov"_s);
    EXPECT_TRUE(walk());
    EXPECT_EQ(namesOf(desktop.music()), QStringList { u"one.mp3"_s });
    EXPECT_EQ(namesOf(desktop.movies()), (QStringList { u"three.mov"_s, u"two.m4v"_s }));
}

TEST_F(DesktopLibraryTest, GoingAwayDuringAWalkStopsIt)
{
    for (int i = 0; i < 300; ++i)
        touch(u"Music/f%1/song.mp3"_s.arg(i));
    for (int round = 0; round < 5; ++round) {
        DesktopMediaLibrary desktop;
        desktop.refresh();
        desktop.refresh(); // one more queued behind it
    }
    SUCCEED();
}

} // namespace
