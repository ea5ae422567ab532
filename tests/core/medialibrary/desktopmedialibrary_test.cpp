// The walk of the user's music and videos folders on its own thread.

#include "core/medialibrary/desktopmedialibrary.h"
#include "core/medialibrary/medialibrarytestsupport.h"

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
    touch(u"Videos/two.mp3"_s); // the videos folder makes it a video
    touch(u"Music/three.mov"_s);
    EXPECT_TRUE(walk());
    EXPECT_EQ(namesOf(desktop.music()), QStringList { u"one.mp3"_s });
    EXPECT_EQ(namesOf(desktop.movies()), (QStringList { u"three.mov"_s, u"two.mp3"_s }));
}

} // namespace
