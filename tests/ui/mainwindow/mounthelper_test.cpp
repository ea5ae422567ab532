#include "support/fixtures.h"
#include "ui/mainwindow/mounthelperprocess.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

namespace {

// A stand-in helper that notes its arguments and its process id, then waits.
class MountHelperTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        helper = folder + QStringLiteral("/vIrodeVovi");
        QFile script(helper);
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write("#!/bin/sh\n"
                     "echo \"$$ $#:$*\" >> \"$(dirname \"$0\")/runs.txt\"\n"
                     "exec sleep 60\n");
        script.close();
        script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    QStringList runs() const
    {
        QFile file(folder + QStringLiteral("/runs.txt"));
        if (!file.open(QIODevice::ReadOnly))
            return {};
        return QString::fromUtf8(file.readAll()).split(u'\n', Qt::SkipEmptyParts);
    }
    static bool alive(const QString& run) { return ::kill(run.section(u' ', 0, 0).toInt(), 0) == 0; }

    fixtures::ScratchDir dir;
    QString folder = QString::fromStdString(dir.path());
    QString mountPoint = folder + QStringLiteral("/mnt/.SonabelMedia");
    QString helper;
};

TEST_F(MountHelperTest, StartsWithItsOneArgumentAndRestartsWhileTheMountIsMissing)
{
    auto process = std::make_unique<MountHelperProcess>(helper, mountPoint);
    process->start();
    ASSERT_TRUE(QTest::qWaitFor([&] { return runs().size() == 1; }, 5000));
    EXPECT_TRUE(runs().constFirst().endsWith(QStringLiteral(" 1:rOdezaDeva.zar")));
    const QString first = runs().constFirst();

    // The 2.0 s check finds no phone; the helper still runs, so it is restarted 5.0 s later.
    ASSERT_TRUE(QTest::qWaitFor([&] { return runs().size() == 2; }, 9000));
    EXPECT_EQ(process->launches(), 2);
    EXPECT_TRUE(QTest::qWaitFor([&] { return !alive(first); }, 5000)) << "the old helper is ended";
    QTest::qWait(6000);
    EXPECT_EQ(runs().size(), 2) << "no further check is scheduled by itself";

    const QString second = runs().constLast();
    process.reset();
    EXPECT_FALSE(alive(second)) << "the helper goes with the window";
}

TEST_F(MountHelperTest, MountedPhoneNeedsNoRestartAndAMissingHelperBreaksNothing)
{
    ASSERT_TRUE(QDir().mkpath(mountPoint + QStringLiteral("/iTunes_Control/Ringtones")));
    ASSERT_TRUE(QDir().mkpath(mountPoint + QStringLiteral("/iTunes_Control/iTunes")));
    MountHelperProcess process(helper, mountPoint);
    process.start();
    EXPECT_TRUE(process.checkForMountOk());

    MountHelperProcess missing(folder + QStringLiteral("/no-such-helper"), folder + QStringLiteral("/elsewhere"));
    missing.start();
    EXPECT_FALSE(missing.isHelperRunning());
    EXPECT_FALSE(missing.checkForMountOk());
    QTest::qWait(200);
    EXPECT_EQ(missing.launches(), 1) << "nothing to restart";
}

} // namespace
