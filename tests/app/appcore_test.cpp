#include "app/appcorecontroller.h"
#include "app/singleinstance.h"
#include "core/environment/appplaces.h"
#include "core/environment/editingstate.h"
#include "core/notification/notificationcenter.h"
#include "core/phone/phonesignals.h"
#include "support/fixtures.h"
#include "support/notificationrecorder.h"
#include "support/qtfixtures.h"
#include "support/tonewav.h"
#include "ui/mainwindow/mainwindownotes.h"
#include "ui/mainwindow/vymainwindowcontroller.h"
#include "ui/mainwindow/windowworld.h"

#include <QDBusConnection>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <csignal>
#include <memory>

namespace {

void touch(const QString& path)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly)) << path.toStdString();
    file.write("x");
}

// Counts "AppWillExit" on the session bus.
class ExitListener : public QObject {
    Q_OBJECT

public:
    int count = 0;
public Q_SLOTS:
    void onExit() { ++count; }
};

// A run that starts nothing of its own: no mount helper, update check, fade or sound.
AppCoreController::Options quietApp()
{
    AppCoreController::Options options;
    options.launchMountHelper = false;
    options.automaticUpdateCheck = false;
    options.fadeIn = false;
    options.launchSound = false;
    return options;
}

class AppCoreTest : public ::testing::Test {
protected:
    void SetUp() override { GloableVar::resetGloableVariable(); }
    void TearDown() override { GloableVar::resetGloableVariable(); }
    WindowWorld world;
};

TEST_F(AppCoreTest, LaunchClearsLeftoversAndMakesItsFolders)
{
    // A crashed run left a mount folder and a temporary folder with files in it.
    ASSERT_TRUE(QDir().mkpath(world.mountPoint()));
    const QString staleTemp = AppPlaces::privateTemporaryBase() + QStringLiteral("/VyRingToneTemp/Record");
    ASSERT_TRUE(QDir().mkpath(staleTemp));
    touch(staleTemp + QStringLiteral("/old take.mov"));

    AppCoreController core(quietApp());
    core.appFinishLaunched();
    ASSERT_NE(core.mainWindowController(), nullptr);
    EXPECT_TRUE(core.mainWindowController()->isVisible());
    EXPECT_NE(core.phoneLink(), nullptr);
    EXPECT_FALSE(QFileInfo::exists(world.mountPoint())) << "the stale mount folder is removed";
    // Its subfolders are the temporary folder's own case.
    EXPECT_TRUE(QFileInfo(gloableState()._tempFolderPath).isDir());
    EXPECT_FALSE(QFileInfo::exists(staleTemp + QStringLiteral("/old take.mov")));
    EXPECT_TRUE(QFileInfo(AppPlaces::musicFolder()).isDir()) << "made with its parents";
    core.waitForSoundFont();
    EXPECT_EQ(readBytes(AppPlaces::soundFontPath()), readBytes(QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2")))
        << "the shipped font is unpacked beside the other music";
}

TEST_F(AppCoreTest, LaunchLeavesAnExistingSoundFontAlone)
{
    ASSERT_TRUE(QDir().mkpath(AppPlaces::musicFolder()));
    touch(AppPlaces::soundFontPath());
    AppCoreController core(quietApp());
    core.appFinishLaunched();
    core.waitForSoundFont();
    EXPECT_EQ(readBytes(AppPlaces::soundFontPath()), "x");
}

TEST_F(AppCoreTest, ShutdownStopsPlayerAnnouncesExitAndCleansUp)
{
    AppCoreController core(quietApp());
    core.appFinishLaunched();
    const QString temp = gloableState()._tempFolderPath;
    ASSERT_TRUE(QFileInfo(temp).isDir());
    for (const char* name : { "/CorvaneGBData.xml", "/CorvaneGBSound.mid", "/CorvaneGBSound.wav" })
        touch(AppPlaces::musicFolder() + QLatin1String(name));
    touch(AppPlaces::musicFolder() + QStringLiteral("/keep.m4r"));

    NotificationRecorder stopPlayer(QStringLiteral("StopPlayer"));
    ExitListener listener;
    QDBusConnection bus = QDBusConnection::sessionBus();
    const bool hasBus = bus.isConnected()
        && bus.connect(QString(), QLatin1String(PhoneSignals::kPath), QLatin1String(PhoneSignals::kInterface),
            QLatin1String(PhoneSignals::kAppWillExit), &listener, SLOT(onExit()));

    core.applicationWillTerminate();
    EXPECT_EQ(stopPlayer.posted.size(), 1u);
    EXPECT_TRUE(core.workersStopped());
    EXPECT_FALSE(QFileInfo::exists(temp)) << "the temporary folder is deleted";
    for (const char* name : { "/CorvaneGBData.xml", "/CorvaneGBSound.mid", "/CorvaneGBSound.wav" })
        EXPECT_FALSE(QFileInfo::exists(AppPlaces::musicFolder() + QLatin1String(name))) << name;
    EXPECT_TRUE(QFileInfo::exists(AppPlaces::musicFolder() + QStringLiteral("/keep.m4r")));
    if (!hasBus)
        GTEST_SKIP() << "no session bus: AppWillExit not checked";
    EXPECT_TRUE(QTest::qWaitFor([&] { return listener.count == 1; }, 5000));
}

TEST_F(AppCoreTest, QuittingWhileTheWaveformIsBuiltEndsCleanly)
{
    const std::string longTone = world.path(QStringLiteral("long tone.wav")).toStdString();
    fixtures::writeToneWav(longTone, 600);
    AppCoreController core(quietApp());
    core.appFinishLaunched();
    NotificationCenter::defaultCenter().post(
        MainWindowNote::LoadChildItemInAudioEditView, nullptr, loadRequest(QString::fromStdString(longTone)));
    // The editor has the file and its worker is building the waveform.
    ASSERT_TRUE(QTest::qWaitFor([] { return !gloableState()._sourceFileName.isEmpty(); }, 20000));
    const QString temp = gloableState()._tempFolderPath;
    const bool stillBuilding = !core.mainWindowController()->fileHaveLoaded();
    core.applicationWillTerminate();
    EXPECT_TRUE(core.workersStopped());
    EXPECT_FALSE(QFileInfo::exists(temp));
    EXPECT_TRUE(stillBuilding) << "the quit came after the waveform was done; the test proved nothing";
}

// The program itself, started as a child process.
class ProgramTest : public ::testing::Test {
protected:
    // `quiet`: the output goes nowhere, as from a desktop launcher, so that nothing the
    // program starts depends on a pipe to the test.
    QProcess* start(const QStringList& arguments,
        const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment(), bool quiet = false)
    {
        auto* process = new QProcess(&owner);
        process->setProcessEnvironment(environment);
        if (quiet) {
            process->setStandardOutputFile(QProcess::nullDevice());
            process->setStandardErrorFile(QProcess::nullDevice());
        }
        process->start(QStringLiteral(SONABEL_APP_PROGRAM), arguments);
        return process;
    }
    QObject owner;
    WindowWorld world;
};

TEST_F(ProgramTest, ScreenshotRendersTheLoadedFileAndQuits)
{
    const QString out = world.path(QStringLiteral("shot.png"));
    QProcess* program
        = start({ QStringLiteral("--screenshot"), out, QString::fromStdString(fixtures::path("tone.mp3")) });
    ASSERT_TRUE(program->waitForFinished(60000));
    EXPECT_EQ(program->exitCode(), 0) << program->readAllStandardError().toStdString();
    const QImage shot(out);
    ASSERT_FALSE(shot.isNull());
    EXPECT_EQ(shot.width(), 900);
    EXPECT_GT(shot.height(), 495);

    const std::string noise = world.path(QStringLiteral("noise.mp3")).toStdString();
    fixtures::writeFile(noise, fixtures::randomBytes(20000, 11));
    QProcess* refused = start({ QStringLiteral("--screenshot"), out, QString::fromStdString(noise) });
    ASSERT_TRUE(refused->waitForFinished(60000));
    EXPECT_NE(refused->exitCode(), 0);
    EXPECT_TRUE(refused->readAllStandardError().contains("The file can not be imported!"));
}

TEST_F(ProgramTest, FirstPaintIsTimedAndLeavesNothingBehind)
{
    QProcess* program = start({ QStringLiteral("--quit-after-first-paint") });
    ASSERT_TRUE(program->waitForFinished(60000));
    EXPECT_EQ(program->exitCode(), 0);
    const QString output = QString::fromUtf8(program->readAllStandardOutput());
    EXPECT_TRUE(output.startsWith(QStringLiteral("first paint after "))) << output.toStdString();
    EXPECT_TRUE(QDir(world.path(QStringLiteral("tmp"))).entryList(QDir::NoDotAndDotDot | QDir::AllEntries).isEmpty())
        << "its own temporary folder is gone";
}

// The parameter: over the lock file, the second start having no session bus.
class SecondStartTest : public ProgramTest, public ::testing::WithParamInterface<bool> { };

TEST_P(SecondStartTest, HandsItsFileToTheRunningInstanceAndExits)
{
    const bool lockFile = GetParam();
    const auto transport = lockFile ? SingleInstance::Transport::LockFile : SingleInstance::Transport::Automatic;
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    if (lockFile)
        environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QStringLiteral("disabled:"));
    else if (!QDBusConnection::sessionBus().isConnected())
        GTEST_SKIP() << "no session bus";
    SingleInstance first;
    ASSERT_EQ(first.claim(transport), SingleInstance::Role::Primary);
    QSignalSpy handed(&first, &SingleInstance::fileHandedOver);
    const QString file = QString::fromStdString(fixtures::path("tone.mp3"));
    QProcess* second = start({ file }, environment);
    ASSERT_TRUE(QTest::qWaitFor([&] { return second->state() == QProcess::NotRunning; }, 30000));
    EXPECT_EQ(second->exitCode(), 0) << second->readAllStandardError().toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !handed.isEmpty(); }, 5000));
    EXPECT_EQ(handed.constFirst().constFirst().toString(), file);

    if (lockFile) {
        SingleInstance third;
        EXPECT_EQ(third.claim(transport), SingleInstance::Role::Secondary);
    }
}

// The mount helpers started for the mount point `mountPoint`, whoever their parent is now.
QList<qint64> helpersFor(const QString& mountPoint)
{
    QList<qint64> found;
    const QByteArray mark = "SONABEL_MOUNT_POINT=" + QFile::encodeName(mountPoint);
    for (const QString& entry : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs)) {
        bool number = false;
        const qint64 pid = entry.toLongLong(&number);
        QFile comm(QStringLiteral("/proc/%1/comm").arg(entry));
        if (!number || !comm.open(QIODevice::ReadOnly) || comm.readAll().trimmed() != "vIrodeVovi")
            continue;
        QFile stat(QStringLiteral("/proc/%1/stat").arg(entry));
        QFile environ(QStringLiteral("/proc/%1/environ").arg(entry));
        if (!stat.open(QIODevice::ReadOnly) || !environ.open(QIODevice::ReadOnly))
            continue;
        const QByteArray state = stat.readAll();
        const bool zombie = state.mid(state.lastIndexOf(')') + 2, 1) == "Z";
        if (!zombie && environ.readAll().split('\0').contains(mark))
            found << pid;
    }
    return found;
}

// The parameter: the signal the running program gets.
class EndingTest : public ProgramTest, public ::testing::WithParamInterface<int> { };

TEST_P(EndingTest, LeavesNoHelperAndTheNextStartClearsTheTemporaryFolder)
{
    const int signal = GetParam();
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    const QString mountPoint = world.path(QStringLiteral("mnt/.SonabelMedia"));
    environment.insert(QStringLiteral("SONABEL_MOUNT_POINT"), mountPoint);
    environment.insert(QStringLiteral("SONABEL_UPDATE_URL"), QStringLiteral("http://127.0.0.1:1/"));
    const QString temporary = AppPlaces::privateTemporaryBase() + u'/' + QLatin1String(AppPlaces::kTemporaryFolderName);
    const QString marker = temporary + QStringLiteral("/left-by-the-last-run");

    QProcess* program = start({}, environment, true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !helpersFor(mountPoint).isEmpty(); }, 30000))
        << "the program started no mount helper";
    ASSERT_TRUE(QFileInfo(temporary).isDir());
    touch(marker);
    ::kill(static_cast<pid_t>(program->processId()), signal);
    ASSERT_TRUE(program->waitForFinished(10000));
    EXPECT_TRUE(QTest::qWaitFor([&] { return helpersFor(mountPoint).isEmpty(); }, 5000)) << "a helper was orphaned";
    if (signal == SIGKILL) {
        ASSERT_TRUE(QFileInfo::exists(marker)) << "a killed program clears nothing";
        QProcess* next = start({}, environment, true);
        EXPECT_TRUE(QTest::qWaitFor([&] { return !helpersFor(mountPoint).isEmpty(); }, 30000));
        EXPECT_FALSE(QFileInfo::exists(marker)) << "the next start clears what the killed run left";
        ::kill(static_cast<pid_t>(next->processId()), SIGTERM);
        ASSERT_TRUE(next->waitForFinished(10000));
    } else {
        EXPECT_EQ(program->exitStatus(), QProcess::NormalExit) << "the signal ended the program without its shutdown";
    }
    EXPECT_TRUE(QTest::qWaitFor([&] { return helpersFor(mountPoint).isEmpty(); }, 5000));
    EXPECT_FALSE(QFileInfo::exists(temporary)) << "the shutdown removes the temporary folder";
}

INSTANTIATE_TEST_SUITE_P(Signals, EndingTest, ::testing::Values(SIGTERM, SIGINT, SIGHUP, SIGKILL),
    [](const auto& info) { return std::string(sigabbrev_np(info.param)); });

INSTANTIATE_TEST_SUITE_P(Transports, SecondStartTest, ::testing::Bool(),
    [](const auto& info) { return info.param ? "LockFile" : "SessionBus"; });

} // namespace

#include "appcore_test.moc"
