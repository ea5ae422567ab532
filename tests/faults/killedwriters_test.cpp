// Writers killed with SIGKILL at random points (a fixed seed): the command-line tool
// making a ringtone into the ringtone library, pushing one onto a phone folder and removing
// one from it, each killed 30 times. Nothing under a real name may be less than complete,
// the phone's database must read with every earlier entry, and the next start's sweep
// removes what the killed writers left under their temporary names.

#include "core/environment/leftoversweep.h"
#include "core/files/temporarynames.h"
#include "core/library/librarybridge.h"
#include "core/phone/vyringtoneiphonetransfor.h"
#include "faults/phoneworld.h"
#include "support/fixtures.h"
#include "support/mediaprobe.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <algorithm>
#include <csignal>
#include <cstdio>
#include <random>

namespace {

constexpr int kRuns = 30;
constexpr unsigned kSeed = 20231207;
constexpr int kSeededRingtones = 300; // ringtones with their files
constexpr int kSeededEntries = 5000; // entries in all: a database that takes a moment to write
constexpr auto kPartSeconds = "10";

struct Ending {
    bool killed = false; // ended by our SIGKILL, not by itself
    int exitCode = -1;
};

// Runs the command-line tool and kills it after `delayMs` unless it ended before.
Ending runKilledAfter(const QStringList& arguments, int delayMs)
{
    QProcess process;
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(QProcess::nullDevice());
    process.start(QStringLiteral(SONABEL_CLI_PROGRAM), arguments);
    if (!process.waitForStarted())
        return {};
    if (process.waitForFinished(delayMs))
        return { false, process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1 };
    ::kill(static_cast<pid_t>(process.processId()), SIGKILL);
    process.waitForFinished(-1);
    return { true, -1 };
}

// How long an undisturbed run takes, in milliseconds, after running it.
int timedRun(const QStringList& arguments, int* exitCode)
{
    QElapsedTimer timer;
    timer.start();
    *exitCode = runKilledAfter(arguments, 60000).exitCode;
    return static_cast<int>(timer.elapsed());
}

QStringList hiddenIn(const QString& folder)
{
    return QDir(folder).entryList({ QStringLiteral(".*") }, QDir::Files | QDir::Hidden | QDir::System, QDir::Name);
}

class KilledWriters : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_home = qgetenv("HOME");
        qputenv("HOME", QFile::encodeName(m_world.filePath(QStringLiteral("home"))));
    }
    void TearDown() override
    {
        qputenv("HOME", m_home);
        std::printf("[kill runs] %s: a whole run %d ms, %d of %d runs killed, %d left a temporary name behind\n",
            ::testing::UnitTest::GetInstance()->current_test_info()->name(), m_wholeRunMs, m_killed, kRuns,
            m_interrupted);
    }

    // A delay from a quarter of a whole run (the tool starting up) to a little past its end.
    int nextDelay(int wholeRunMs)
    {
        m_wholeRunMs = wholeRunMs;
        return std::uniform_int_distribution<int>(wholeRunMs / 4, wholeRunMs + wholeRunMs / 4)(m_random);
    }

    void count(const Ending& run, bool leftTemporary)
    {
        m_killed += run.killed ? 1 : 0;
        m_interrupted += leftTemporary ? 1 : 0;
    }

    // A phone folder with kSeededEntries entries, the first kSeededRingtones of them ("Tone
    // N") with small files; the rest ("Bulk N") only make the database large.
    static void seedPhone(const PhonePartitionFixture& phone)
    {
        std::vector<std::pair<std::string, std::string>> names;
        for (int i = 0; i < kSeededEntries; ++i) {
            const std::string name = (i < kSeededRingtones ? "Tone " : "Bulk ") + std::to_string(i);
            names.emplace_back(name + ".m4r", name);
        }
        PhonePartitionFixture::Entries entries;
        for (const auto& [file, name] : names) {
            entries.emplace_back(file.c_str(), name.c_str());
            if (entries.size() <= kSeededRingtones) {
                ASSERT_TRUE(writeBytes(phone.ringtonePath(q(file)), QByteArray(1024, 'r')));
            }
        }
        phone.writeDatabase(PhonePartitionFixture::database(entries).get(), true);
    }

    QTemporaryDir m_world;
    QByteArray m_home;
    std::mt19937 m_random { kSeed };
    int m_wholeRunMs = 0;
    int m_killed = 0;
    int m_interrupted = 0;
};

TEST_F(KilledWriters, MakingARingtoneLeavesItWholeOrAbsent)
{
    const QString library = LibraryBridge::mediaRingtoneFolder();
    ASSERT_TRUE(QDir().mkpath(library));
    const auto arguments = [&](const QString& output) {
        return QStringList { QStringLiteral("make"), fixture("music.wav"), QStringLiteral("-o"), output,
            QStringLiteral("--length"), QString::fromLatin1(kPartSeconds) };
    };
    int exitCode = -1;
    const QString reference = m_world.filePath(QStringLiteral("reference.m4r"));
    const int wholeRun = timedRun(arguments(reference), &exitCode);
    ASSERT_EQ(exitCode, 0);
    const Probe expected = probe(reference.toStdString());
    const std::size_t expectedFrames = fixtures::decodeAll(reference.toStdString()).frames();
    ASSERT_EQ(expected.audio.codecName, "aac");
    ASSERT_GT(expectedFrames, 0U);

    for (int i = 0; i < kRuns; ++i) {
        const QString output = library + QStringLiteral("/Ring %1.m4r").arg(i);
        const Ending run = runKilledAfter(arguments(output), nextDelay(wholeRun));
        SCOPED_TRACE(output.toStdString());
        count(run, hiddenIn(library).size() > m_interrupted);
        if (!run.killed) {
            EXPECT_EQ(run.exitCode, 0);
        }
        if (!QFileInfo::exists(output)) {
            EXPECT_TRUE(run.killed) << "a finished make left no ringtone";
            continue;
        }
        // Under its real name only when whole: the same sound as the undisturbed run.
        const Probe made = probe(output.toStdString());
        EXPECT_EQ(made.audio.codecName, "aac");
        EXPECT_EQ(made.audio.sampleRate, expected.audio.sampleRate);
        EXPECT_EQ(fixtures::decodeAll(output.toStdString()).frames(), expectedFrames);
    }

    // Hidden names left behind are ours, and the next start removes them and nothing else.
    const QStringList realBefore = QDir(library).entryList(QDir::Files, QDir::Name);
    for (const QString& name : hiddenIn(library))
        EXPECT_TRUE(TemporaryNames::isOurs(name)) << name.toStdString();
    LeftoverSweep::atLaunch();
    EXPECT_TRUE(hiddenIn(library).isEmpty());
    EXPECT_EQ(QDir(library).entryList(QDir::Files, QDir::Name), realBefore);
}

TEST_F(KilledWriters, PushingARingtoneKeepsTheDatabaseAndLeavesWholeFiles)
{
    PhonePartitionFixture phone;
    seedPhone(phone);
    // The ringtone to push, made by the tool itself.
    const QString ringtone = m_world.filePath(QStringLiteral("Ring.m4r"));
    ASSERT_EQ(runKilledAfter({ QStringLiteral("make"), fixture("music.wav"), QStringLiteral("-o"), ringtone,
                                 QStringLiteral("--length"), QString::fromLatin1(kPartSeconds) },
                  60000)
                  .exitCode,
        0);
    const QByteArray bytes = readBytes(ringtone);
    const QStringList arguments { QStringLiteral("phone"), QStringLiteral("push"), ringtone, QStringLiteral("--mount"),
        phone.root() };
    int exitCode = -1;
    const int wholeRun = timedRun(arguments, &exitCode);
    ASSERT_EQ(exitCode, 0);

    QMap<QString, QString> known = *PhoneState::read(phone).entries;
    for (int i = 0; i < kRuns; ++i) {
        SCOPED_TRACE("run " + std::to_string(i));
        const Ending run = runKilledAfter(arguments, nextDelay(wholeRun));
        const PhoneState after = PhoneState::read(phone);
        count(run, after.hidden.size() > m_interrupted);
        ASSERT_TRUE(after.entries.has_value()) << "the database no longer reads";
        for (auto it = known.cbegin(); it != known.cend(); ++it)
            EXPECT_EQ(after.entries->value(it.key()), it.value()) << it.key().toStdString() << " was lost";
        for (const QString& file : after.ringtones)
            if (!file.startsWith(QStringLiteral("Tone "))) {
                EXPECT_TRUE(readBytes(phone.ringtonePath(file)) == bytes) << file.toStdString() << " is incomplete";
            }
        for (const QString& file : after.entries->keys())
            if (!file.startsWith(QStringLiteral("Bulk "))) {
                EXPECT_TRUE(after.ringtones.contains(file)) << file.toStdString() << " is listed but not there";
            }
        if (!run.killed) {
            EXPECT_EQ(run.exitCode, 0);
            EXPECT_EQ(after.entries->size(), known.size() + 1);
        }
        EXPECT_TRUE(after.strangers.isEmpty());
        known = *after.entries;
    }
    VyRingtoneiPhoneTransfor(phone.mountPoint()).sweepLeftovers();
    EXPECT_TRUE(PhoneState::read(phone).hidden.isEmpty());
}

TEST_F(KilledWriters, RemovingARingtoneKeepsEveryOtherEntry)
{
    PhonePartitionFixture phone;
    seedPhone(phone);
    const auto arguments = [&](int i) {
        return QStringList { QStringLiteral("phone"), QStringLiteral("remove"), QStringLiteral("Tone %1").arg(i),
            QStringLiteral("--mount"), phone.root() };
    };
    int exitCode = -1;
    const int wholeRun = timedRun(arguments(kSeededRingtones - 1), &exitCode);
    ASSERT_EQ(exitCode, 0);

    QMap<QString, QString> known = *PhoneState::read(phone).entries;
    for (int i = 0; i < kRuns; ++i) {
        SCOPED_TRACE("run " + std::to_string(i));
        const QString removed = QStringLiteral("Tone %1.m4r").arg(i);
        const Ending run = runKilledAfter(arguments(i), nextDelay(wholeRun));
        const PhoneState after = PhoneState::read(phone);
        count(run, after.hidden.size() > m_interrupted);
        ASSERT_TRUE(after.entries.has_value()) << "the database no longer reads";
        for (auto it = known.cbegin(); it != known.cend(); ++it)
            if (it.key() != removed) {
                EXPECT_EQ(after.entries->value(it.key()), it.value()) << it.key().toStdString() << " was lost";
            }
        // The entry goes before the file: a file may stay without its entry, never the reverse.
        if (after.entries->contains(removed)) {
            EXPECT_TRUE(after.ringtones.contains(removed));
        }
        if (!run.killed) {
            EXPECT_EQ(run.exitCode, 0);
            EXPECT_FALSE(after.entries->contains(removed));
        }
        EXPECT_TRUE(after.strangers.isEmpty());
        known = *after.entries;
    }
    VyRingtoneiPhoneTransfor(phone.mountPoint()).sweepLeftovers();
    EXPECT_TRUE(PhoneState::read(phone).hidden.isEmpty());
}

} // namespace
