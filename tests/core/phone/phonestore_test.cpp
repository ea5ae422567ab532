// The phone's ringtone store on a folder laid out as the phone's media partition.

#include "core/phone/phoneringtonedatabase.h"
#include "core/phone/phonetestsupport.h"
#include "core/phone/vyringtoneiphonetransfor.h"

#include <QFileInfo>
#include <QSet>

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

namespace {

QString entryString(plist_t root, const char* file, const char* key)
{
    plist_t ringtones = plist_dict_get_item(root, "Ringtones");
    return plistDictString(plist_dict_get_item(ringtones, file), key);
}

bool hasTemporaryLeftovers(const PhonePartitionFixture& phone)
{
    for (const QString& name : phone.filesOnPhone())
        if (name.startsWith(u'.'))
            return true;
    return false;
}

TEST(PhoneNaming, PicksTheFirstFreeNumberFromTheDatabaseNames)
{
    using Entries = PhonePartitionFixture::Entries;
    const std::pair<Entries, const char*> cases[] = {
        { {}, "MyTone.m4r" }, { { { "MyTone.m4r", "MyTone" }, { "MyTone 3.m4r", "MyTone 3" } }, "MyTone 4.m4r" },
        { { { "MyTone.m4r", "MyTone" } }, "MyTone 1.m4r" },
        { { { "MyToneX.m4r", "MyToneX" } }, "MyTone.m4r" }, // only a longer name
        { { { "a.m4r", "MyTone 2" } }, "MyTone 3.m4r" }, // numbered without the exact name
        { { { "a.m4r", "MyTone" }, { "b.m4r", "MyTone remix" } }, "MyTone 1.m4r" }, // words after the blank count 0
    };
    for (const auto& [existing, expectedFile] : cases) {
        SCOPED_TRACE(std::to_string(existing.size()) + " entries, then " + expectedFile);
        PhonePartitionFixture phone;
        phone.writeDatabase(PhonePartitionFixture::database(existing).get(), true);
        const QString local = phone.makeLocalFile(QStringLiteral("MyTone.m4r"));
        VyRingtoneiPhoneTransfor store(phone.mountPoint());
        char name[VyRingtoneiPhoneTransfor::kNameBufferSize];
        std::memset(name, 'x', sizeof name);
        ASSERT_TRUE(store.TransforRingtonToiPhone(local, name));

        const QString expected = QString::fromUtf8(expectedFile);
        EXPECT_EQ(QString::fromUtf8(name), expected);
        EXPECT_EQ(readBytes(phone.ringtonePath(expected)), readBytes(local));
        const PlistPtr db = phone.readDatabase();
        ASSERT_TRUE(db);
        EXPECT_EQ(entryString(db.get(), expectedFile, "Name"), QFileInfo(expected).completeBaseName());
        EXPECT_EQ(plist_dict_get_size(plist_dict_get_item(db.get(), "Ringtones")), existing.size() + 1);
    }
}

TEST(PhoneTransfer, KeepsTheDatabaseFormAndEveryKeyItDoesNotKnow)
{
    for (const bool binary : { true, false }) {
        SCOPED_TRACE(binary ? "binary" : "xml");
        PhonePartitionFixture phone;
        PlistPtr db = PhonePartitionFixture::database({ { "Old.m4r", "Old" } });
        plist_dict_set_item(db.get(), "Version", plist_new_uint(7));
        plist_t old = plist_dict_get_item(plist_dict_get_item(db.get(), "Ringtones"), "Old.m4r");
        plist_dict_set_item(old, "Protected", plist_new_bool(1));
        phone.writeDatabase(db.get(), binary);

        VyRingtoneiPhoneTransfor store(phone.mountPoint());
        const PhoneTransferResult result = store.transferRingtone(phone.makeLocalFile(QStringLiteral("New.m4r")));
        ASSERT_TRUE(result.copied && result.registered) << result.error.toStdString();

        const QByteArray bytes = readBytes(phone.databasePath());
        EXPECT_EQ(bytes.startsWith("bplist00"), binary);
        const PlistPtr after = plistio::parse(bytes);
        uint64_t version = 0;
        plist_get_uint_val(plist_dict_get_item(after.get(), "Version"), &version);
        EXPECT_EQ(version, 7u);
        plist_t oldAfter = plist_dict_get_item(plist_dict_get_item(after.get(), "Ringtones"), "Old.m4r");
        ASSERT_NE(plist_dict_get_item(oldAfter, "Protected"), nullptr);
        EXPECT_EQ(plistDictString(oldAfter, "GUID"), QStringLiteral("0000000000000001"));
        const QString guid = entryString(after.get(), "New.m4r", "GUID");
        EXPECT_EQ(guid.size(), 16);
        EXPECT_NE(guid, QStringLiteral("0000000000000001"));
        EXPECT_EQ(entryString(after.get(), "New.m4r", "Name"), QStringLiteral("New"));
    }
}

TEST(PhoneTransfer, MakesAMissingDatabaseOrRingtonesDictionary)
{
    PhonePartitionFixture missing;
    VyRingtoneiPhoneTransfor store(missing.mountPoint());
    EXPECT_TRUE(store.transferRingtone(missing.makeLocalFile(QStringLiteral("A.m4r"))).registered);
    EXPECT_TRUE(readBytes(missing.databasePath()).startsWith("bplist00"));
    EXPECT_EQ(entryString(missing.readDatabase().get(), "A.m4r", "Name"), QStringLiteral("A"));

    PhonePartitionFixture withoutRingtones;
    PlistPtr db(plist_new_dict());
    plist_dict_set_item(db.get(), "Other", plist_new_string("kept"));
    withoutRingtones.writeDatabase(db.get(), false);
    VyRingtoneiPhoneTransfor other(withoutRingtones.mountPoint());
    EXPECT_TRUE(other.transferRingtone(withoutRingtones.makeLocalFile(QStringLiteral("B.m4r"))).registered);
    const PlistPtr after = withoutRingtones.readDatabase();
    EXPECT_EQ(plistDictString(after.get(), "Other"), QStringLiteral("kept"));
    EXPECT_EQ(entryString(after.get(), "B.m4r", "Name"), QStringLiteral("B"));
}

TEST(PhoneTransfer, NeverWritesOverADatabaseItCannotRead)
{
    PhonePartitionFixture phone;
    const QByteArray full
        = plistio::toBinary(PhonePartitionFixture::database({ { "A.m4r", "A" }, { "B.m4r", "B" } }).get());
    const QByteArray truncated = full.left(full.size() / 2);
    writeBytes(phone.databasePath(), truncated);

    VyRingtoneiPhoneTransfor store(phone.mountPoint());
    const PhoneTransferResult result = store.transferRingtone(phone.makeLocalFile(QStringLiteral("A.m4r")));
    EXPECT_TRUE(result.copied);
    EXPECT_FALSE(result.registered);
    EXPECT_FALSE(result.error.isEmpty());
    EXPECT_EQ(readBytes(phone.databasePath()), truncated);
    EXPECT_TRUE(QFileInfo::exists(phone.ringtonePath(QStringLiteral("A.m4r"))));
}

TEST(PhoneTransfer, RefusesWhatItCannotCopyAndLeavesThePhoneUntouched)
{
    PhonePartitionFixture phone;
    phone.writeDatabase(PhonePartitionFixture::database({ { "A.m4r", "A" } }).get(), true);
    const QByteArray before = readBytes(phone.databasePath());
    VyRingtoneiPhoneTransfor store(phone.mountPoint());
    char name[VyRingtoneiPhoneTransfor::kNameBufferSize] = {};

    EXPECT_FALSE(store.TransforRingtonToiPhone(QString(), name));
    EXPECT_FALSE(store.TransforRingtonToiPhone(phone.scratch(QStringLiteral("absent.m4r")), name));
    const QString empty = phone.makeLocalFile(QStringLiteral("empty.m4r"), 0);
    EXPECT_FALSE(store.TransforRingtonToiPhone(empty, name));
    // A name whose UTF-8 form cannot fit the caller's buffer.
    EXPECT_FALSE(
        store.TransforRingtonToiPhone(phone.scratch(QString(300, QChar(0xe9)) + QStringLiteral(".m4r")), name));

    EXPECT_EQ(name[0], '\0');
    EXPECT_EQ(readBytes(phone.databasePath()), before);
    EXPECT_EQ(phone.filesOnPhone(), QStringList { QStringLiteral("Ringtones.plist") });
}

TEST(PhoneTransfer, APartitionThatGoesAwayLeavesNoBrokenFileUnderARealName)
{
    // The database folder vanishes: the ringtone is complete, the database is not written.
    PhonePartitionFixture noDatabaseFolder;
    ASSERT_TRUE(QDir(noDatabaseFolder.root() + QStringLiteral("/iTunes_Control/iTunes")).removeRecursively());
    VyRingtoneiPhoneTransfor store(noDatabaseFolder.mountPoint());
    const QString local = noDatabaseFolder.makeLocalFile(QStringLiteral("A.m4r"), 300000);
    const PhoneTransferResult result = store.transferRingtone(local);
    EXPECT_TRUE(result.copied);
    EXPECT_FALSE(result.registered);
    EXPECT_EQ(readBytes(noDatabaseFolder.ringtonePath(QStringLiteral("A.m4r"))), readBytes(local));
    EXPECT_FALSE(hasTemporaryLeftovers(noDatabaseFolder));

    // The whole partition is gone: nothing is copied and nothing is registered.
    PhonePartitionFixture gone;
    ASSERT_TRUE(QDir(gone.root()).removeRecursively());
    VyRingtoneiPhoneTransfor goneStore(gone.mountPoint());
    const PhoneTransferResult goneResult = goneStore.transferRingtone(gone.makeLocalFile(QStringLiteral("A.m4r")));
    EXPECT_FALSE(goneResult.copied);
    EXPECT_FALSE(goneResult.registered);
    EXPECT_FALSE(QFileInfo::exists(gone.root()));
}

TEST(PhoneTransfer, ConcurrentTransfersGetDistinctNamesAndGuids)
{
    PhonePartitionFixture phone;
    phone.writeDatabase(PhonePartitionFixture::database({}).get(), true);
    const QString local = phone.makeLocalFile(QStringLiteral("MyTone.m4r"));
    VyRingtoneiPhoneTransfor store(phone.mountPoint());

    PhoneTransferResult results[3];
    {
        std::vector<std::jthread> threads;
        for (PhoneTransferResult& result : results)
            threads.emplace_back([&store, &local, &result] { result = store.transferRingtone(local); });
    }
    QSet<QString> names;
    for (const PhoneTransferResult& result : results) {
        EXPECT_TRUE(result.registered) << result.error.toStdString();
        names.insert(result.phoneName);
    }
    EXPECT_EQ(names,
        (QSet<QString> {
            QStringLiteral("MyTone.m4r"), QStringLiteral("MyTone 1.m4r"), QStringLiteral("MyTone 2.m4r") }));
    const PlistPtr db = phone.readDatabase();
    QSet<QString> guids;
    for (const QString& name : names)
        guids.insert(entryString(db.get(), name.toUtf8().constData(), "GUID"));
    EXPECT_EQ(guids.size(), 3);
    EXPECT_FALSE(guids.contains(QString()));
}

TEST(PhoneListing, FollowsTheLinkAndTheDatabaseOrder)
{
    PhonePartitionFixture phone;
    VyRingtoneiPhoneTransfor store(phone.mountPoint());
    EXPECT_FALSE(store.getFileNamesFromiPhone().has_value()); // link down: nothing at all

    store.HandleDeviceConnected();
    ASSERT_TRUE(store.getFileNamesFromiPhone().has_value());
    EXPECT_TRUE(store.getFileNamesFromiPhone()->isEmpty()); // no database yet

    writeBytes(phone.databasePath(), "not a property list");
    EXPECT_TRUE(store.getFileNamesFromiPhone()->isEmpty());

    phone.writeDatabase(
        PhonePartitionFixture::database({ { "Zed.m4r", "Zed" }, { "Alpha 1.m4r", "Alpha 1" } }).get(), true);
    const QList<QVariantMap> list = *store.getFileNamesFromiPhone();
    ASSERT_EQ(list.size(), 2);
    EXPECT_EQ(list[0].value(QStringLiteral("name")).toString(), QStringLiteral("Zed"));
    EXPECT_EQ(list[0].value(QStringLiteral("path")).toString(), phone.ringtonePath(QStringLiteral("Zed.m4r")));
    EXPECT_EQ(list[1].value(QStringLiteral("name")).toString(), QStringLiteral("Alpha 1"));

    store.HandleDeviceUmounted();
    EXPECT_FALSE(store.getFileNamesFromiPhone().has_value());
}

} // namespace
