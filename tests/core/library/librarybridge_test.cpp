// The desktop ringtone library, and bringing a phone ringtone into it.

#include "core/library/checkitunesringtonefoldertool.h"
#include "core/library/librarybridge.h"
#include "core/library/vysynctoitunes.h"
#include "core/phone/phonetestsupport.h"
#include "core/phone/vyringtoneiphonetransfor.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

// Points HOME at a folder of its own for the test's length.
class LibraryHome : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedHome = qgetenv("HOME");
        qputenv("HOME", m_home.path().toUtf8());
    }
    void TearDown() override { qputenv("HOME", m_savedHome); }
    [[nodiscard]] QString home(const QString& relative) const { return m_home.path() + u'/' + relative; }

private:
    QTemporaryDir m_home;
    QByteArray m_savedHome;
};

TEST_F(LibraryHome, PicksTheRingtoneFolderThatExistsAndMakesOneWhenNoneDoes)
{
    EXPECT_EQ(LibraryBridge::ringtoneFolder(false), home(QStringLiteral("Music/iTunes/iTunes Media/Ringtones")));
    EXPECT_FALSE(QFileInfo::exists(home(QStringLiteral("Music"))));

    QDir().mkpath(home(QStringLiteral("Music/iTunes/iTunes Music")));
    EXPECT_EQ(LibraryBridge::ringtoneFolder(true), home(QStringLiteral("Music/iTunes/iTunes Music/Ringtones")));
    EXPECT_TRUE(QFileInfo(home(QStringLiteral("Music/iTunes/iTunes Music/Ringtones"))).isDir());

    QDir().mkpath(home(QStringLiteral("Music/iTunes/iTunes Media/Ringtones")));
    EXPECT_EQ(LibraryBridge::ringtoneFolder(true), home(QStringLiteral("Music/iTunes/iTunes Media/Ringtones")));
}

TEST_F(LibraryHome, AddsUnderTheTitleAndNeverOverAnExistingRingtone)
{
    PhonePartitionFixture scratch;
    const QString first = scratch.makeLocalFile(QStringLiteral("first.m4r"), 1000);
    const QString second = scratch.makeLocalFile(QStringLiteral("second.m4r"), 2000);

    const QString added = LibraryBridge::addFile(first, QStringLiteral("My/Tone"));
    EXPECT_EQ(added, home(QStringLiteral("Music/iTunes/iTunes Media/Ringtones/MyTone.m4r")));
    EXPECT_EQ(QFileInfo(added).size(), 1000);

    QString error;
    EXPECT_TRUE(LibraryBridge::addFile(second, QStringLiteral("MyTone"), &error).isEmpty());
    EXPECT_FALSE(error.isEmpty());
    EXPECT_EQ(QFileInfo(added).size(), 1000);

    EXPECT_TRUE(LibraryBridge::addFile(second, QStringLiteral("..")).isEmpty());
    EXPECT_TRUE(LibraryBridge::addFile(second, QStringLiteral("/")).isEmpty());
}

TEST_F(LibraryHome, FetchingAPhoneRingtoneWithoutATargetAddsItToTheLibrary)
{
    PhonePartitionFixture phone;
    const QString local = phone.makeLocalFile(QStringLiteral("Bell.m4r"), 5000);
    VyRingtoneiPhoneTransfor store(phone.mountPoint());
    ASSERT_TRUE(store.transferRingtone(local).copied);

    EXPECT_TRUE(store.GetRingtone(QStringLiteral("Bell.m4r"), QString()));
    EXPECT_EQ(QFileInfo(home(QStringLiteral("Music/iTunes/iTunes Media/Ringtones/Bell.m4r"))).size(), 5000);
    EXPECT_FALSE(store.GetRingtone(QStringLiteral("Bell.m4r"), QString())); // never over the first
}

TEST_F(LibraryHome, NewRingtonesAreNumberedPastTheOnesInTheFolderTheyGoTo)
{
    PhonePartitionFixture scratch;
    const QString tone = scratch.makeLocalFile(QStringLiteral("MyTone.m4r"), 3000);
    const QString media = home(QStringLiteral("Music/iTunes/iTunes Media/Ringtones"));
    QDir().mkpath(media);
    // Counting in another folder than the one written to would number this "MyTone".
    QDir().mkpath(home(QStringLiteral("Music/iTunes/iTunes Music")));
    writeBytes(media + QStringLiteral("/MyTone.m4r"), "old");
    writeBytes(media + QStringLiteral("/MyTone 1.m4r"), "old");

    qputenv("SONABEL_NO_EXTERNAL_OPEN", "1");
    const QStringList added = VySyncToITunes().addFileToiTunesLibrary({ tone }, { QStringLiteral("MyTone") }, true);
    EXPECT_EQ(added, QStringList { media + QStringLiteral("/MyTone 2.m4r") });
    EXPECT_EQ(readBytes(media + QStringLiteral("/MyTone.m4r")), "old");

    // A gap the count does not foresee: only "MyTone 1" left, so the count is 1 and
    // "MyTone 1" is taken; the next free number is used instead of failing.
    QFile::remove(media + QStringLiteral("/MyTone.m4r"));
    QFile::remove(media + QStringLiteral("/MyTone 2.m4r"));
    const QStringList again = VySyncToITunes().addFileToiTunesLibrary({ tone }, { QStringLiteral("MyTone") }, false);
    EXPECT_EQ(again, QStringList { media + QStringLiteral("/MyTone 2.m4r") });
    EXPECT_EQ(readBytes(media + QStringLiteral("/MyTone 1.m4r")), "old");
}

TEST_F(LibraryHome, FolderChecksMakeTheFolderOrReportTheLibraryUnusable)
{
    int failures = 0;
    CheckiTunesRingtoneFolderTool tool([&failures] { ++failures; });
    // No library at all: the folder is made rather than giving up.
    const QString media = home(QStringLiteral("Music/iTunes/iTunes Media/Ringtones"));
    EXPECT_EQ(tool.defaultMediaFolder(), QStringList { media });
    EXPECT_EQ(tool.deepCheckFolder(), QStringList { media });
    EXPECT_GT(QFileInfo(media + QStringLiteral("/RingtoneTest.m4r")).size(), 1000);
    EXPECT_EQ(failures, 0);

    // "Music" is a file, so nothing can be made below it.
    ASSERT_TRUE(QDir(home(QStringLiteral("Music"))).removeRecursively());
    writeBytes(home(QStringLiteral("Music")), "not a folder");
    EXPECT_TRUE(tool.defaultMediaFolder().isEmpty());
    EXPECT_EQ(failures, 1);
    EXPECT_TRUE(tool.deepCheckFolder().isEmpty()); // the probe reached no folder
}

} // namespace
