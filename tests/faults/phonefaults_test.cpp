// The phone's store when its partition fails mid-write: faultfs over a folder laid out as
// the phone's media partition, each fault against each operation that writes to the phone.
// Whatever the fault, no file under a real name is cut short, the database reads with every
// earlier entry, and the operation says it failed; only short writes, which lose nothing,
// may end in success.

#include "core/convert/vyconverter.h"
#include "core/library/librarybridge.h"
#include "core/library/vysynctoitunes.h"
#include "core/phone/vyringtoneiphonetransfor.h"
#include "core/ringtones/ringtonecopy.h"
#include "core/save/saveplan.h"
#include "faults/faultmount.h"
#include "faults/phoneworld.h"
#include "support/fixtures.h"

#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <memory>

namespace {

enum class Fault { Vanish, Eio, Unmount, NoSpace, ShortWrites, CutOnClose };
enum class Operation { Transfer, DatabaseUpdate, Delete, SaveWithTransfer, ManagerCopy };

struct Case {
    Fault fault;
    Operation operation;
};

const char* faultName(Fault fault)
{
    switch (fault) {
    case Fault::Vanish: return "vanish";
    case Fault::Eio: return "eio";
    case Fault::Unmount: return "unmount";
    case Fault::NoSpace: return "enospc";
    case Fault::ShortWrites: return "short";
    case Fault::CutOnClose: return "cut-on-close";
    }
    return "";
}

const char* operationName(Operation operation)
{
    switch (operation) {
    case Operation::Transfer: return "Transfer";
    case Operation::DatabaseUpdate: return "DatabaseUpdate";
    case Operation::Delete: return "Delete";
    case Operation::SaveWithTransfer: return "SaveWithTransfer";
    case Operation::ManagerCopy: return "ManagerCopy";
    }
    return "";
}

constexpr qint64 kIntoRingtone = 100000; // bytes into a ringtone's copy (ringtones here are larger)
constexpr qint64 kIntoDatabase = 100; // bytes into a database write (databases here are larger)
constexpr qint64 kShortWrite = 4096;
constexpr auto kDatabaseFolder = "@iTunes_Control/iTunes";
constexpr double kRingtoneSeconds = 15.0;

// Where a case's fault strikes: the ringtone's copy (transfer, save), the database's write
// (database update, delete), or the first write after the whole ringtone (the manager's
// copy: the ringtone lands, its entry does not).
QString faultText(const Case& c, qint64 ringtoneSize)
{
    const QString kind = QString::fromLatin1(faultName(c.fault));
    if (c.fault == Fault::ShortWrites)
        return kind + u':' + QString::number(kShortWrite);
    switch (c.operation) {
    case Operation::Transfer:
    case Operation::SaveWithTransfer: return kind + u':' + QString::number(kIntoRingtone);
    case Operation::DatabaseUpdate:
    case Operation::Delete: return kind + u':' + QString::number(kIntoDatabase) + QLatin1String(kDatabaseFolder);
    case Operation::ManagerCopy:
        // A cut at close counts each file alone: it is aimed at the database.
        return c.fault == Fault::CutOnClose
            ? kind + u':' + QString::number(kIntoDatabase) + QLatin1String(kDatabaseFolder)
            : kind + u':' + QString::number(ringtoneSize + kIntoDatabase);
    }
    return {};
}

// What an operation reported, in the terms the user is shown.
struct Outcome {
    bool succeeded = false;
    QString shown; // "success", or the alert the failure turns into, and why
    QByteArray newRingtone; // the bytes a new ringtone on the phone must hold
};

const PhonePartitionFixture::Entries kEarlier
    = { { "Old 1.m4r", "Old 1" }, { "Old 2.m4r", "Old 2" }, { "Old 3.m4r", "Old 3" } };
const QString kDeleted = QStringLiteral("Old 2");
const QString kNewName = QStringLiteral("Ring.m4r");

class PhoneFaults : public ::testing::TestWithParam<Case> {
protected:
    static void SetUpTestSuite()
    {
        s_world = std::make_unique<QTemporaryDir>();
        s_home = qgetenv("HOME");
        // The ringtone library of the save flow lives in this suite's own home.
        qputenv("HOME", QFile::encodeName(s_world->filePath(QStringLiteral("home"))));
        s_ringtone = s_world->filePath(kNewName);
        s_ringtoneMade = makeRingtone(s_ringtone);
    }

    static void TearDownTestSuite()
    {
        qputenv("HOME", s_home);
        s_world.reset();
    }

    void SetUp() override
    {
        if (const QString reason = FaultMount::unavailableReason(); !reason.isEmpty())
            GTEST_SKIP() << "FUSE mounts are not available here, so the phone cannot be made to fail: "
                         << reason.toStdString();
        ASSERT_TRUE(s_ringtoneMade);
        m_phone.writeDatabase(PhonePartitionFixture::database(kEarlier).get(), true);
        for (std::size_t i = 0; i < kEarlier.size(); ++i)
            ASSERT_TRUE(writeBytes(m_phone.ringtonePath(QString::fromUtf8(kEarlier[i].first)),
                QByteArray::fromStdString(fixtures::randomBytes(20000, static_cast<unsigned>(i + 1)))));
        m_mountPoint = m_phone.scratch(QStringLiteral("mount"));
        ASSERT_TRUE(QDir().mkpath(m_mountPoint));
    }

    // The save flow's ringtone: the first 15 s of the music fixture.
    static bool makeRingtone(const QString& path)
    {
        SaveChoices choices;
        choices.endSeconds = kRingtoneSeconds;
        choices.sourceFolder = QFileInfo(path).path();
        choices.saveFileName = QFileInfo(path).completeBaseName();
        const SavePlan plan = SaveRules::plan(choices);
        VyConverter converter;
        return plan.outputPath == path
            && converter.converte(fixture("music.wav"), QStringLiteral("M4R"), plan.outputPath, plan.saveAttribute(),
                plan.fadeInOutEffect());
    }

    static Outcome fromTransfer(const PhoneTransferResult& result, const QByteArray& bytes)
    {
        // As the save flow shows it: no copy is the transfer alert, a copy without an
        // entry the "not listed" warning.
        if (!result.copied)
            return { false, QStringLiteral("alert \"Fail to transfer ringtone to iPhone\": ") + result.error, bytes };
        if (!result.registered)
            return { false, QStringLiteral("warning: on the phone but not listed: ") + result.error, bytes };
        return { true, QStringLiteral("success"), bytes };
    }

    Outcome run(Operation operation, VyRingtoneiPhoneTransfor& link)
    {
        const QByteArray ringtone = readBytes(s_ringtone);
        switch (operation) {
        case Operation::Transfer:
        case Operation::DatabaseUpdate: return fromTransfer(link.transferRingtone(s_ringtone), ringtone);
        case Operation::Delete: {
            const PhoneRemoveResult result = link.removeRingtone(kDeleted);
            if (result.entryRemoved && result.fileRemoved)
                return { true, QStringLiteral("success"), {} };
            return { false, QStringLiteral("alert, removal failed: ") + result.error, {} };
        }
        case Operation::SaveWithTransfer: {
            // The save flow: the ringtone made into the temporary folder, added to the
            // library, then transferred.
            const QString temporary = m_phone.scratch(QStringLiteral("VyRingToneTemp/") + kNewName);
            if (!QDir().mkpath(QFileInfo(temporary).path()) || !makeRingtone(temporary))
                return { false, QStringLiteral("the ringtone could not be made"), {} };
            const QString title = QFileInfo(temporary).completeBaseName();
            if (VySyncToITunes().addFileToiTunesLibrary({ temporary }, { title }, false).isEmpty())
                return { false, QStringLiteral("the ringtone could not be added to the library"), {} };
            return fromTransfer(link.transferRingtone(temporary), readBytes(temporary));
        }
        case Operation::ManagerCopy: {
            const RingtoneCopy::Result result = RingtoneCopy::toPhone(
                link, RingtoneInfo { QStringLiteral("Ring"), QStringLiteral("15s"), s_ringtone });
            if (result.copy)
                return { true, QStringLiteral("success"), ringtone };
            return { false, QStringLiteral("alert, copy to the phone failed: ") + result.error, ringtone };
        }
        }
        return {};
    }

    PhonePartitionFixture m_phone;
    QString m_mountPoint;

    static inline std::unique_ptr<QTemporaryDir> s_world;
    static inline QByteArray s_home;
    static inline QString s_ringtone;
    static inline bool s_ringtoneMade = false;
};

TEST_P(PhoneFaults, LeavesOnlyCompleteFilesAndEveryEarlierEntryAndReportsTheFailure)
{
    const Case c = GetParam();
    QByteArray earlierBytes[3];
    for (std::size_t i = 0; i < kEarlier.size(); ++i)
        earlierBytes[i] = readBytes(m_phone.ringtonePath(QString::fromUtf8(kEarlier[i].first)));
    const QString injected = faultText(c, QFileInfo(s_ringtone).size());

    Outcome outcome;
    {
        FaultMount mount(m_phone.root(), m_mountPoint, injected);
        ASSERT_TRUE(mount.isMounted()) << mount.error().toStdString();
        VyRingtoneiPhoneTransfor link(m_mountPoint);
        outcome = run(c.operation, link);
        EXPECT_TRUE(mount.unmount());
    }
    std::printf("[fault matrix] %-13s x %-17s -> %s\n", faultName(c.fault), operationName(c.operation),
        outcome.shown.toUtf8().constData());

    // Short writes lose nothing: a writer that carries on has done its job. Every other
    // fault loses data, and the user is told.
    EXPECT_EQ(outcome.succeeded, c.fault == Fault::ShortWrites) << outcome.shown.toStdString();

    const PhoneState after = PhoneState::read(m_phone);
    ASSERT_TRUE(after.entries.has_value()) << "the phone's database no longer reads";
    const bool deleted = c.operation == Operation::Delete && outcome.succeeded;
    for (std::size_t i = 0; i < kEarlier.size(); ++i) {
        const QString file = QString::fromUtf8(kEarlier[i].first);
        const bool gone = deleted && file == kDeleted + QStringLiteral(".m4r");
        EXPECT_EQ(after.entries->contains(file), !gone) << file.toStdString();
        EXPECT_EQ(after.ringtones.contains(file), !gone) << file.toStdString();
        if (!gone) {
            EXPECT_EQ(after.entries->value(file), QString::fromUtf8(kEarlier[i].second));
            EXPECT_EQ(readBytes(m_phone.ringtonePath(file)), earlierBytes[i]) << file.toStdString();
        }
    }
    // A new ringtone under a real name is the whole of it, and an entry never names a file
    // that is not there.
    for (const QString& file : after.ringtones) {
        if (file.startsWith(QStringLiteral("Old ")))
            continue;
        EXPECT_EQ(file, kNewName);
        EXPECT_TRUE(readBytes(m_phone.ringtonePath(file)) == outcome.newRingtone)
            << file.toStdString() << " is not the complete ringtone";
    }
    for (const QString& file : after.entries->keys())
        EXPECT_TRUE(after.ringtones.contains(file)) << file.toStdString() << " is listed but not there";
    if (outcome.succeeded && c.operation != Operation::Delete) {
        EXPECT_EQ(after.entries->value(kNewName), QStringLiteral("Ring"));
        EXPECT_TRUE(after.ringtones.contains(kNewName));
    }

    // What a cut-off write leaves is hidden under our own names, and the phone's sweep
    // clears it.
    EXPECT_TRUE(after.strangers.isEmpty()) << after.strangers.join(u' ').toStdString();
    VyRingtoneiPhoneTransfor(m_phone.mountPoint()).sweepLeftovers();
    EXPECT_TRUE(PhoneState::read(m_phone).hidden.isEmpty());
}

std::vector<Case> allCases()
{
    std::vector<Case> cases;
    for (const Fault fault :
        { Fault::Vanish, Fault::Eio, Fault::Unmount, Fault::NoSpace, Fault::ShortWrites, Fault::CutOnClose })
        for (const Operation operation : { Operation::Transfer, Operation::DatabaseUpdate, Operation::Delete,
                 Operation::SaveWithTransfer, Operation::ManagerCopy })
            cases.push_back({ fault, operation });
    return cases;
}

std::string caseName(const ::testing::TestParamInfo<Case>& info)
{
    std::string fault = faultName(info.param.fault);
    std::erase(fault, '-');
    return fault + "_" + operationName(info.param.operation);
}

INSTANTIATE_TEST_SUITE_P(FaultByOperation, PhoneFaults, ::testing::ValuesIn(allCases()), caseName);

} // namespace
