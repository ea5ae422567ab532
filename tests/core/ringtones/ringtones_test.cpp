// The manager's ringtone records: the drag archive, name numbering, and the two lists.

#include "core/phone/phonetestsupport.h"
#include "core/phone/vyringtoneiphonetransfor.h"
#include "core/ringtones/ringtoneinfo.h"
#include "core/ringtones/ringtonelisting.h"
#include "support/tonewav.h"

#include <gtest/gtest.h>

namespace {

QStringList namesOf(const QList<RingtoneInfo>& ringtones)
{
    QStringList names;
    for (const RingtoneInfo& ringtone : ringtones)
        names.append(ringtone.ringtoneName);
    return names;
}

TEST(RingtoneArchive, RoundTripsRecordsAndRefusesAnythingButAnArray)
{
    const QList<RingtoneInfo> ringtones {
        { QStringLiteral("Señal 🔔"), QStringLiteral("30s"), QStringLiteral("/home/ü/Señal 🔔.m4r") },
        { QStringLiteral("B"), QString(), QStringLiteral("/tmp/B.m4r") },
    };
    EXPECT_EQ(RingtoneInfoArchive::unarchive(RingtoneInfoArchive::archive(ringtones)), ringtones);
    EXPECT_EQ(RingtoneInfoArchive::unarchive(RingtoneInfoArchive::archive({})), QList<RingtoneInfo>());

    const QByteArray refused[] = {
        QByteArrayLiteral("not a property list"),
        plistio::toXml(PlistPtr(plist_new_dict()).get()),
        RingtoneInfoArchive::archive(ringtones).left(20),
    };
    for (const QByteArray& data : refused)
        EXPECT_FALSE(RingtoneInfoArchive::unarchive(data).has_value()) << data.left(40).toStdString();
}

// Two ringtone folders, "one" and "two", in a scratch folder.
class RingtoneFolders : public ::testing::Test {
protected:
    QString folder(const char* name) const { return m_phone.scratch(QString::fromUtf8(name)); }
    void make(const char* relative) const
    {
        const QString path = m_phone.scratch(QString::fromUtf8(relative));
        QDir().mkpath(QFileInfo(path).path());
        writeBytes(path, "not audio");
    }

    PhonePartitionFixture m_phone;
};

TEST_F(RingtoneFolders, ListFilesOnlyAsOneListSortedByName)
{
    struct Case {
        const char* what;
        std::vector<const char*> files;
        std::vector<const char*> names;
    };
    const Case cases[] = {
        { "hidden skipped, upper case first", { "one/a.m4r", "one/.a.m4r", "one/B.m4r" }, { "B", "a" } },
        { "both folders as a whole", { "one/c.m4r", "one/a.m4r", "two/b.m4r" }, { "a", "b", "c" } },
        { "no subfolders", { "one/x.m4r", "one/sub/y.m4r", "one/dir.m4r/z" }, { "x" } },
        { "only the last ending goes", { "one/Mr. Brightside.m4r", "one/plain" }, { "Mr. Brightside", "plain" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QDir(folder("one")).removeRecursively();
        QDir(folder("two")).removeRecursively();
        for (const char* file : c.files)
            make(file);
        const QList<RingtoneInfo> listed
            = RingtoneListing::listFolders({ folder("one"), folder("two") + u'/', folder("absent") });
        QStringList names;
        for (const char* name : c.names)
            names.append(QString::fromUtf8(name));
        EXPECT_EQ(namesOf(listed), names);
        for (const RingtoneInfo& ringtone : listed) {
            EXPECT_TRUE(QFileInfo(ringtone.filePath).isFile()) << ringtone.filePath.toStdString();
            EXPECT_FALSE(ringtone.filePath.contains(QStringLiteral("//")));
            EXPECT_TRUE(ringtone.ringtoneLength.isEmpty()); // not audio: unknown
        }
    }
}

TEST(RingtonePhoneList, NamesLengthsAndPathsFromTheDatabase)
{
    PhonePartitionFixture phone;
    phone.writeDatabase(PhonePartitionFixture::database({ { "t1.m4r", "Tone.m4r" }, { "t2.wav", "Mr. Brightside" },
                                                            { "t3.wav", "Song.M4R" }, { "gone.m4r", "Gone" } })
                            .get(),
        true);
    fixtures::writeToneWav(phone.ringtonePath(QStringLiteral("t1.m4r")).toStdString(), 2.2);
    fixtures::writeToneWav(phone.ringtonePath(QStringLiteral("t2.wav")).toStdString(), 12.0);
    fixtures::writeToneWav(phone.ringtonePath(QStringLiteral("t3.wav")).toStdString(), 0.6);
    VyRingtoneiPhoneTransfor link(phone.mountPoint());
    EXPECT_FALSE(RingtoneListing::listPhone(link).has_value());

    link.HandleDeviceConnected();
    const std::optional<QList<RingtoneInfo>> listed = RingtoneListing::listPhone(link);
    ASSERT_TRUE(listed.has_value());
    const QList<RingtoneInfo> expected {
        { QStringLiteral("Gone"), QString(), phone.ringtonePath(QStringLiteral("gone.m4r")) },
        { QStringLiteral("Mr. Brightside"), QStringLiteral("12s"), phone.ringtonePath(QStringLiteral("t2.wav")) },
        { QStringLiteral("Song"), QStringLiteral("1s"), phone.ringtonePath(QStringLiteral("t3.wav")) },
        { QStringLiteral("Tone"), QStringLiteral("2s"), phone.ringtonePath(QStringLiteral("t1.m4r")) },
    };
    EXPECT_EQ(*listed, expected);
}

TEST(RingtonePhoneList, ManyFilesAllGetTheirLengths)
{
    // Enough files for the header reads to share out.
    PhonePartitionFixture phone;
    std::vector<std::pair<QByteArray, QByteArray>> files; // (file, name)
    for (int i = 0; i < 40; ++i)
        files.emplace_back(QByteArray::number(i) + ".wav", QByteArray::number(i));
    PhonePartitionFixture::Entries entries;
    for (const auto& [file, name] : files) {
        entries.emplace_back(file.constData(), name.constData());
        fixtures::writeToneWav(phone.ringtonePath(QString::fromLatin1(file)).toStdString(), 1.0 + name.toInt() % 5);
    }
    phone.writeDatabase(PhonePartitionFixture::database(entries).get(), true);
    VyRingtoneiPhoneTransfor link(phone.mountPoint());
    link.HandleDeviceConnected();
    const QList<RingtoneInfo> listed = *RingtoneListing::listPhone(link);
    ASSERT_EQ(listed.size(), 40);
    for (const RingtoneInfo& ringtone : listed)
        EXPECT_EQ(ringtone.ringtoneLength, QStringLiteral("%1s").arg(1 + ringtone.ringtoneName.toInt() % 5))
            << ringtone.ringtoneName.toStdString();
}

} // namespace
