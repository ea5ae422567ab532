// The sweep of our temporary names: which files it takes, in which folders, at start-up
// and when the phone comes.

#include "core/environment/appplaces.h"
#include "core/environment/leftoversweep.h"
#include "core/files/temporarynames.h"
#include "core/library/librarybridge.h"
#include "core/phone/vyringtoneiphonetransfor.h"
#include "faults/phoneworld.h"
#include "support/qtfixtures.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>

namespace {

const QString kLeftover = QStringLiteral(".sonabel-tmp-Ring.m4r.a1B2c3");

// A folder holding one of each kind of entry the sweep must tell apart.
struct MixedFolder {
    explicit MixedFolder(const QString& path)
        : path(path)
    {
        QDir().mkpath(path + QStringLiteral("/.sonabel-tmp-folder"));
        QDir().mkpath(path + QStringLiteral("/Sub"));
        writeBytes(path + u'/' + kLeftover, "cut short");
        writeBytes(path + QStringLiteral("/Sub/") + kLeftover, "one level down");
        writeBytes(path + QStringLiteral("/.Ring.m4r.part"), "a hidden file of someone else");
        writeBytes(path + QStringLiteral("/Ring.m4r"), "a ringtone");
        writeBytes(path + QStringLiteral("/Sub/target"), "a link's target");
        QFile::link(path + QStringLiteral("/Sub/target"), path + QStringLiteral("/.sonabel-tmp-link"));
    }

    // What must outlive any sweep.
    [[nodiscard]] QStringList keepers() const
    {
        return { QStringLiteral(".Ring.m4r.part"), QStringLiteral(".sonabel-tmp-folder"),
            QStringLiteral(".sonabel-tmp-link"), QStringLiteral("Ring.m4r"), QStringLiteral("Sub") };
    }
    [[nodiscard]] QStringList names() const { return entries(path); }
    [[nodiscard]] bool swept() const
    {
        const QStringList now = names();
        const QStringList kept = keepers();
        return !now.contains(kLeftover)
            && std::all_of(kept.cbegin(), kept.cend(), [&](const QString& name) { return now.contains(name); })
            && QFileInfo::exists(path + QStringLiteral("/Sub/") + kLeftover)
            && QFileInfo::exists(path + QStringLiteral("/Sub/target"));
    }

    QString path;
};

TEST(TemporaryNames, SweepTakesOnlyOurFilesDirectlyInTheFolder)
{
    QTemporaryDir scratch;
    const MixedFolder folder(scratch.filePath(QStringLiteral("f")));
    EXPECT_EQ(TemporaryNames::sweep(folder.path), QStringList { folder.path + u'/' + kLeftover });
    EXPECT_TRUE(folder.swept()) << folder.names().join(u' ').toStdString();
    EXPECT_TRUE(TemporaryNames::sweep(scratch.filePath(QStringLiteral("missing"))).isEmpty());
}

class LeftoversAtLaunch : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_home = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(m_scratch.filePath(QStringLiteral("home"))));
    }
    void TearDown() override { qputenv("HOME", m_home); }

    QTemporaryDir m_scratch;
    QByteArray m_home;
};

TEST_F(LeftoversAtLaunch, ClearsTheLibraryAndMusicFoldersButNoFolderTheUserPicked)
{
    const QStringList ours { LibraryBridge::mediaRingtoneFolder(), LibraryBridge::musicRingtoneFolder(),
        AppPlaces::musicFolder(), AppPlaces::recorderFolder(), AppPlaces::grooveBoxFolder() };
    // A Save As may pick any folder, ours' parents included.
    const QString home = QDir::homePath();
    const QStringList picked { home + QStringLiteral("/Desktop"), home + QStringLiteral("/Music"),
        LibraryBridge::libraryFolder() };
    std::vector<MixedFolder> swept;
    std::vector<MixedFolder> untouched;
    for (const QString& folder : ours)
        swept.emplace_back(folder);
    for (const QString& folder : picked)
        untouched.emplace_back(folder);

    EXPECT_EQ(LeftoverSweep::atLaunch().size(), ours.size());
    for (const MixedFolder& folder : swept)
        EXPECT_TRUE(folder.swept()) << folder.path.toStdString();
    for (const MixedFolder& folder : untouched)
        EXPECT_TRUE(folder.names().contains(kLeftover)) << folder.path.toStdString();
}

TEST(PhoneLeftovers, TheRingtoneAndDatabaseFoldersAreSweptWhenThePhoneComes)
{
    using Sweep = std::function<void(VyRingtoneiPhoneTransfor&)>;
    const std::pair<const char*, Sweep> ways[] = {
        { "sweepLeftovers", [](VyRingtoneiPhoneTransfor& link) { link.sweepLeftovers(); } },
        // With a database that lists nothing, so no orphan is deleted, but leftovers are.
        { "sweepOrphans", [](VyRingtoneiPhoneTransfor& link) { link.sweepOrphans(); } },
        // In the background; the link waits for it as it goes.
        { "connection", [](VyRingtoneiPhoneTransfor& link) { link.HandleDeviceConnected(); } },
    };
    for (const auto& [name, sweep] : ways) {
        SCOPED_TRACE(name);
        PhonePartitionFixture phone;
        const MixedFolder ringtones(phone.root() + QStringLiteral("/iTunes_Control/Ringtones"));
        const MixedFolder database(phone.root() + QStringLiteral("/iTunes_Control/iTunes"));
        const MixedFolder other(phone.root() + QStringLiteral("/iTunes_Control/Music"));
        {
            VyRingtoneiPhoneTransfor link(phone.mountPoint());
            sweep(link);
        }
        EXPECT_TRUE(ringtones.swept()) << ringtones.names().join(u' ').toStdString();
        EXPECT_TRUE(database.swept()) << database.names().join(u' ').toStdString();
        EXPECT_TRUE(other.names().contains(kLeftover));
    }
}

} // namespace
