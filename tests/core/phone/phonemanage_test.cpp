// What the ringtone manager does with the phone's store: the entries a transfer writes,
// removing a ringtone, sweeping orphaned files, ejecting, and copying one off the phone.

#include "core/phone/phonemount.h"
#include "core/phone/phoneringtonedatabase.h"
#include "core/phone/phonetestsupport.h"
#include "core/phone/vyringtoneiphonetransfor.h"
#include "support/tonewav.h"

#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSet>

#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <thread>

namespace {

plist_t entryOf(plist_t root, const char* file)
{
    return plist_dict_get_item(plist_dict_get_item(root, "Ringtones"), file);
}

// An entry's whole content, for "left exactly as it was".
QByteArray entryXml(plist_t root, const char* file)
{
    plist_t entry = entryOf(root, file);
    return entry == nullptr ? QByteArray() : plistio::toXml(entry);
}

// Three ringtones on the phone, "B" with a key we do not know, and a top-level key too.
struct StockedPhone {
    explicit StockedPhone(bool binary)
    {
        PlistPtr db = PhonePartitionFixture::database({ { "A.m4r", "A" }, { "B.m4r", "B" }, { "C.m4r", "C" } });
        plist_dict_set_item(entryOf(db.get(), "B.m4r"), "Extra", plist_new_string("kept"));
        plist_dict_set_item(db.get(), "Version", plist_new_uint(7));
        phone.writeDatabase(db.get(), binary);
        for (const char* file : { "A.m4r", "B.m4r", "C.m4r" })
            writeBytes(phone.ringtonePath(QString::fromLatin1(file)), QByteArray(file));
    }
    PhonePartitionFixture phone;
    VyRingtoneiPhoneTransfor store { phone.mountPoint() };
};

TEST(PhoneEntries, NewEntriesCarryLengthPidAndKindWithIdsUniqueAndOldEntriesUntouched)
{
    StockedPhone stocked(true);
    PhonePartitionFixture& phone = stocked.phone;
    const QByteArray oldEntry = entryXml(phone.readDatabase().get(), "B.m4r");
    const QString tone = phone.scratch(QStringLiteral("Tone.wav"));
    fixtures::writeToneWav(tone.toStdString(), 2.345);

    QStringList added;
    for (int i = 0; i < 4; ++i) {
        const PhoneTransferResult result = stocked.store.transferRingtone(tone);
        ASSERT_TRUE(result.registered) << result.error.toStdString();
        added.append(result.phoneName);
    }
    const PlistPtr db = phone.readDatabase();
    EXPECT_EQ(entryXml(db.get(), "B.m4r"), oldEntry);
    QSet<QString> guids { QStringLiteral("0000000000000001"), QStringLiteral("0000000000000002"),
        QStringLiteral("0000000000000003") };
    QSet<uint64_t> pids;
    for (const QString& name : added) {
        SCOPED_TRACE(name.toStdString());
        plist_t entry = entryOf(db.get(), name.toUtf8().constData());
        plist_t time = plist_dict_get_item(entry, "Total Time");
        plist_t pid = plist_dict_get_item(entry, "PID");
        plist_t protectedContent = plist_dict_get_item(entry, "Protected Content");
        ASSERT_TRUE(time && pid && protectedContent);
        ASSERT_EQ(plist_get_node_type(time), PLIST_UINT);
        ASSERT_EQ(plist_get_node_type(pid), PLIST_UINT);
        ASSERT_EQ(plist_get_node_type(protectedContent), PLIST_BOOLEAN);
        uint64_t milliseconds = 0;
        uint64_t pidValue = 0;
        uint8_t isProtected = 1;
        plist_get_uint_val(time, &milliseconds);
        plist_get_uint_val(pid, &pidValue);
        plist_get_bool_val(protectedContent, &isProtected);
        EXPECT_NEAR(static_cast<double>(milliseconds), 2345.0, 3.0);
        EXPECT_NE(pidValue, 0u);
        EXPECT_EQ(isProtected, 0);
        EXPECT_EQ(plistDictString(entry, "Media Kind"), QStringLiteral("ringtone"));
        pids.insert(pidValue);
        guids.insert(plistDictString(entry, "GUID"));
    }
    EXPECT_EQ(pids.size(), 4);
    EXPECT_EQ(guids.size(), 7);
}

// The two ways the manager names a ringtone to remove: its "Name" or its phone file name.
struct RemoveWay {
    const char* what;
    PhoneRemoveResult (*remove)(VyRingtoneiPhoneTransfor&);
};
const RemoveWay kRemoveWays[] = {
    { "by name", [](VyRingtoneiPhoneTransfor& store) { return store.removeRingtone(QStringLiteral("A")); } },
    { "by file", [](VyRingtoneiPhoneTransfor& store) { return store.removeRingtoneFile(QStringLiteral("A.m4r")); } },
};

TEST(PhoneRemove, TakesFileAndEntryAndKeepsEverythingElseInItsForm)
{
    for (const RemoveWay& way : kRemoveWays)
        for (const bool binary : { true, false }) {
            SCOPED_TRACE(std::string(way.what) + (binary ? ", binary" : ", xml"));
            StockedPhone stocked(binary);
            PhonePartitionFixture& phone = stocked.phone;
            const PlistPtr before = phone.readDatabase();

            const PhoneRemoveResult result = way.remove(stocked.store);
            EXPECT_TRUE(result.entryRemoved && result.fileRemoved) << result.error.toStdString();
            EXPECT_EQ(result.fileName, QStringLiteral("A.m4r"));
            EXPECT_FALSE(QFileInfo::exists(phone.ringtonePath(QStringLiteral("A.m4r"))));

            const QByteArray bytes = readBytes(phone.databasePath());
            EXPECT_EQ(bytes.startsWith("bplist00"), binary);
            const PlistPtr after = plistio::parse(bytes);
            EXPECT_EQ(entryOf(after.get(), "A.m4r"), nullptr);
            EXPECT_EQ(plist_dict_get_size(plist_dict_get_item(after.get(), "Ringtones")), 2u);
            for (const char* kept : { "B.m4r", "C.m4r" }) {
                EXPECT_EQ(entryXml(after.get(), kept), entryXml(before.get(), kept)) << kept;
                EXPECT_TRUE(QFileInfo::exists(phone.ringtonePath(QString::fromLatin1(kept))));
            }
            EXPECT_NE(plist_dict_get_item(after.get(), "Version"), nullptr);

            // A ringtone the phone does not have changes nothing.
            const PhoneRemoveResult absent = way.remove(stocked.store);
            EXPECT_TRUE(absent.notFound);
            EXPECT_FALSE(absent.entryRemoved);
            EXPECT_EQ(readBytes(phone.databasePath()), bytes);
        }
}

TEST(PhoneRemove, ADatabaseItCannotReadIsNotWrittenAndTheFileStays)
{
    const std::pair<const char*, QByteArray> cases[] = {
        { "truncated", plistio::toBinary(PhonePartitionFixture::database({ { "A.m4r", "A" } }).get()).left(30) },
        { "not a dictionary", plistio::toXml(PlistPtr(plist_new_array()).get()) },
        { "missing", QByteArray() },
    };
    for (const RemoveWay& way : kRemoveWays)
        for (const auto& [what, bytes] : cases) {
            SCOPED_TRACE(std::string(way.what) + ", " + what);
            PhonePartitionFixture phone;
            if (!bytes.isEmpty())
                writeBytes(phone.databasePath(), bytes);
            writeBytes(phone.ringtonePath(QStringLiteral("A.m4r")), "tone");
            VyRingtoneiPhoneTransfor store(phone.mountPoint());

            const PhoneRemoveResult result = way.remove(store);
            EXPECT_FALSE(result.entryRemoved);
            EXPECT_FALSE(result.error.isEmpty());
            EXPECT_EQ(readBytes(phone.databasePath()), bytes);
            EXPECT_EQ(QFileInfo::exists(phone.databasePath()), !bytes.isEmpty());
            EXPECT_EQ(readBytes(phone.ringtonePath(QStringLiteral("A.m4r"))), QByteArray("tone"));
        }
}

TEST(PhoneSweep, DeletesOnlyFilesNoEntryNamesAndOnlyAfterAGoodRead)
{
    struct Case {
        const char* what;
        QByteArray database; // empty: none
        QStringList deleted;
    };
    const Case cases[] = {
        { "stocked", plistio::toBinary(PhonePartitionFixture::database({ { "A.m4r", "A" }, { "B.m4r", "B" } }).get()),
            { QStringLiteral("Orphan.m4r") } },
        { "missing", {}, {} },
        { "unreadable", QByteArrayLiteral("bplist00 cut short"), {} },
        { "no entries", plistio::toBinary(PhonePartitionFixture::database({}).get()), {} },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PhonePartitionFixture phone;
        if (!c.database.isEmpty())
            writeBytes(phone.databasePath(), c.database);
        for (const char* file : { "A.m4r", "B.m4r", "Orphan.m4r", ".A.m4r.part" })
            writeBytes(phone.ringtonePath(QString::fromLatin1(file)), "tone");
        QDir().mkpath(phone.ringtonePath(QStringLiteral("Folder.m4r")));
        const QStringList before = entries(phone.ringtonePath({}));

        VyRingtoneiPhoneTransfor store(phone.mountPoint());
        EXPECT_EQ(store.sweepOrphans(), c.deleted);
        QStringList left = before;
        for (const QString& name : c.deleted)
            left.removeOne(name);
        EXPECT_EQ(entries(phone.ringtonePath({})), left);
    }
}

TEST(PhoneSweep, NeverTakesARingtoneBeingTransferred)
{
    StockedPhone stocked(true);
    const QString tone = stocked.phone.makeLocalFile(QStringLiteral("Tone.m4r"), 200000);
    std::atomic<bool> done { false };
    QStringList swept;
    std::thread sweeper([&] {
        while (!done.load())
            swept += stocked.store.sweepOrphans();
    });
    QStringList sent;
    for (int i = 0; i < 20; ++i)
        sent.append(stocked.store.transferRingtone(tone).phoneName);
    done.store(true);
    sweeper.join();

    EXPECT_TRUE(swept.isEmpty()) << swept.join(u',').toStdString();
    const PlistPtr db = stocked.phone.readDatabase();
    for (const QString& name : sent) {
        EXPECT_NE(entryOf(db.get(), name.toUtf8().constData()), nullptr) << name.toStdString();
        EXPECT_EQ(QFileInfo(stocked.phone.ringtonePath(name)).size(), 200000) << name.toStdString();
    }
}

TEST(PhoneEject, APlainFolderEjects)
{
    StockedPhone stocked(true);
    const PhoneEjectResult result = stocked.store.eject();
    EXPECT_TRUE(result.ejected) << result.error.toStdString();
}

TEST(PhoneEject, ABusyMountStaysMountedAndSaysWhy)
{
    PhonePartitionFixture phone;
    const QString mount = phone.scratch(QStringLiteral("mount"));
    QDir().mkpath(mount);
    if (QProcess::execute(QStringLiteral("bindfs"), { phone.root(), mount }) != 0)
        GTEST_SKIP() << "bindfs cannot mount here";
    const struct Unmount {
        QString path;
        ~Unmount() { PhoneMount::unmount(path); }
    } unmountAtEnd { mount };
    VyRingtoneiPhoneTransfor store(mount);
    store.HandleDeviceConnected();
    {
        QFile held(mount + QStringLiteral("/iTunes_Control/iTunes/Ringtones.plist"));
        ASSERT_TRUE(held.open(QIODevice::WriteOnly));
        const PhoneEjectResult busy = store.eject();
        EXPECT_FALSE(busy.ejected);
        EXPECT_FALSE(busy.error.isEmpty());
        EXPECT_TRUE(PhoneMount::isMounted(mount));
        EXPECT_TRUE(store.isMountSuccess());
    }
    const PhoneEjectResult freed = store.eject();
    EXPECT_TRUE(freed.ejected) << freed.error.toStdString();
    EXPECT_FALSE(PhoneMount::isMounted(mount));
}

TEST(PhoneFetch, SucceedsOnlyWhenTheRingtoneReachesAFreeTarget)
{
    StockedPhone stocked(true);
    PhonePartitionFixture& phone = stocked.phone;
    const QString target = phone.scratch(QStringLiteral("out.m4r"));

    EXPECT_FALSE(stocked.store.GetRingtone(QStringLiteral("Absent.m4r"), target));
    EXPECT_FALSE(QFileInfo::exists(target));

    EXPECT_TRUE(stocked.store.GetRingtone(QStringLiteral("A.m4r"), target));
    EXPECT_EQ(readBytes(target), QByteArray("A.m4r"));

    // Neither a missing phone file nor another ringtone touches what is there.
    EXPECT_FALSE(stocked.store.GetRingtone(QStringLiteral("Absent.m4r"), target));
    EXPECT_FALSE(stocked.store.GetRingtone(QStringLiteral("B.m4r"), target));
    EXPECT_EQ(readBytes(target), QByteArray("A.m4r"));
    for (const QString& left : entries(QFileInfo(target).path()))
        EXPECT_FALSE(left.startsWith(u'.')) << "temporary file left: " << left.toStdString();
}

TEST(PhoneFetch, LocalNamesComeFromTheEntryNameSafely)
{
    const std::pair<const char*, const char*> cases[] = {
        { "Mr. Brightside", "Mr. Brightside" },
        { "AC/DC", "ACDC" },
        { "Song.M4R", "Song" },
        { "Song.mp3", "Song.mp3" },
        { "..", "" },
        { "..m4r", "" }, // "." once the ending goes
        { "/", "" },
    };
    for (const auto& [name, title] : cases)
        EXPECT_EQ(VyRingtoneiPhoneTransfor::localTitleForName(QString::fromUtf8(name)), QString::fromUtf8(title))
            << name;
}

TEST(PhoneFetch, PullNumbersPastTheNamesTheFolderHolds)
{
    PhonePartitionFixture phone;
    phone.writeDatabase(PhonePartitionFixture::database({ { "x.m4r", "AC/DC" } }).get(), true);
    writeBytes(phone.ringtonePath(QStringLiteral("x.m4r")), "tone");
    const QString folder = phone.scratch(QStringLiteral("out"));
    QDir().mkpath(folder);
    writeBytes(folder + QStringLiteral("/ACDC.m4r"), "mine");
    writeBytes(folder + QStringLiteral("/ACDC 1.m4r"), "mine");
    VyRingtoneiPhoneTransfor store(phone.mountPoint());

    const PhonePullResult pulled = store.pullRingtone(QStringLiteral("AC/DC"), folder);
    EXPECT_EQ(pulled.path, folder + QStringLiteral("/ACDC 2.m4r")) << pulled.error.toStdString();
    EXPECT_EQ(readBytes(pulled.path), QByteArray("tone"));
    EXPECT_EQ(readBytes(folder + QStringLiteral("/ACDC.m4r")), QByteArray("mine"));

    const PhonePullResult absent = store.pullRingtone(QStringLiteral("ACDC"), folder);
    EXPECT_TRUE(absent.path.isEmpty());
    EXPECT_FALSE(absent.error.isEmpty());
}

} // namespace
