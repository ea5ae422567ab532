// The phone link's state from the helper's session-bus signals and the notification centre,
// the mount folder's clean-up, and the mount helper's simulate mode end to end.

#include "core/notification/notificationcenter.h"
#include "core/phone/phonemount.h"
#include "core/phone/phonesignals.h"
#include "core/phone/phonetestsupport.h"
#include "core/phone/vyringtoneiphonetransfor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QFileInfo>
#include <QProcess>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

bool haveSessionBus()
{
    return QDBusConnection::sessionBus().isConnected();
}

void sendSignal(const char* name)
{
    QDBusConnection::sessionBus().send(QDBusMessage::createSignal(QString::fromLatin1(PhoneSignals::kPath),
        QString::fromLatin1(PhoneSignals::kInterface), QString::fromLatin1(name)));
}

// Waits for the link to reach `up`, then lets a little more time pass so that a state that
// flips back would be seen.
bool settlesAt(const VyRingtoneiPhoneTransfor& link, bool up)
{
    if (!QTest::qWaitFor([&] { return link.isMountSuccess() == up; }, 5000))
        return false;
    QTest::qWait(50);
    return link.isMountSuccess() == up;
}

class PhoneLink : public ::testing::Test {
protected:
    void SetUp() override
    {
        if (!haveSessionBus())
            GTEST_SKIP() << "needs a D-Bus session bus (scripts/test.sh starts one)";
    }
    PhonePartitionFixture phone;
};

TEST_F(PhoneLink, FollowsTheHelperSignalsAndTheEjectNotification)
{
    const std::unique_ptr<VyRingtoneiPhoneTransfor> link(VyRingtoneiPhoneTransfor::initWithMountPoint(phone.root()));
    EXPECT_EQ(link->mountPoint(), phone.mountPoint());
    EXPECT_FALSE(link->isMountSuccess());
    ASSERT_TRUE(QFileInfo::exists(phone.root())) << "a mount folder showing files must never be removed";

    sendSignal(PhoneSignals::kDeviceConnected);
    EXPECT_TRUE(settlesAt(*link, true));
    sendSignal(PhoneSignals::kDeviceUnmounted);
    EXPECT_TRUE(settlesAt(*link, false));
    EXPECT_TRUE(QFileInfo(phone.databasePath()).dir().exists()) << "unmounted leaves the folder alone";

    sendSignal(PhoneSignals::kDeviceConnected);
    ASSERT_TRUE(settlesAt(*link, true));
    NotificationCenter::defaultCenter().post(QStringLiteral("DeviceUnmounted"));
    EXPECT_FALSE(link->isMountSuccess());
    EXPECT_TRUE(QFileInfo::exists(phone.root()));
}

TEST_F(PhoneLink, DisconnectRemovesAnEmptyMountFolderButNeverOneWithFiles)
{
    const QString empty = phone.scratch(QStringLiteral("mnt"));
    ASSERT_TRUE(QDir().mkpath(empty));
    const std::unique_ptr<VyRingtoneiPhoneTransfor> link(VyRingtoneiPhoneTransfor::initWithMountPoint(empty));
    EXPECT_FALSE(QFileInfo::exists(empty)) << "a stale empty mount folder goes at start";
    ASSERT_TRUE(QDir().mkpath(empty));

    sendSignal(PhoneSignals::kDeviceConnected);
    ASSERT_TRUE(settlesAt(*link, true));
    sendSignal(PhoneSignals::kDeviceDisconnected);
    EXPECT_TRUE(settlesAt(*link, false));
    EXPECT_TRUE(QTest::qWaitFor([&] { return !QFileInfo::exists(empty); }, 5000));

    // A folder that still shows files (an unmount that failed) keeps them.
    std::unique_ptr<VyRingtoneiPhoneTransfor> other(VyRingtoneiPhoneTransfor::initWithMountPoint(phone.root()));
    sendSignal(PhoneSignals::kDeviceConnected);
    ASSERT_TRUE(settlesAt(*other, true));
    sendSignal(PhoneSignals::kDeviceDisconnected);
    ASSERT_TRUE(settlesAt(*other, false));
    other.reset(); // waits for its clean-up to finish
    EXPECT_TRUE(QDir(phone.root() + QStringLiteral("/iTunes_Control/Ringtones")).exists());
}

TEST(PhoneMountFolder, OnlyEverRemovesAnEmptyFolderThatIsNotAMount)
{
    PhonePartitionFixture phone;
    EXPECT_FALSE(PhoneMount::isMounted(phone.root()));
    EXPECT_TRUE(PhoneMount::isMounted(QStringLiteral("/proc")));
    EXPECT_FALSE(PhoneMount::unmountAndRemove(phone.root()));
    EXPECT_TRUE(QDir(phone.root() + QStringLiteral("/iTunes_Control/Ringtones")).exists());
    EXPECT_TRUE(PhoneMount::unmountAndRemove(phone.scratch(QStringLiteral("never-made"))));
}

#ifdef SONABEL_HELPER_PATH
TEST_F(PhoneLink, SimulatedHelperDrivesTheLinkAndEndsCleanly)
{
    const QString mount = phone.scratch(QStringLiteral("simulated"));
    const std::unique_ptr<VyRingtoneiPhoneTransfor> link(VyRingtoneiPhoneTransfor::initWithMountPoint(mount));

    QProcess helper;
    helper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    helper.start(QStringLiteral(SONABEL_HELPER_PATH),
        { QStringLiteral("rOdezaDeva.zar"), QStringLiteral("--simulate"), QStringLiteral("--mount"), mount });
    ASSERT_TRUE(helper.waitForStarted(5000));

    helper.write("connect\n");
    ASSERT_TRUE(settlesAt(*link, true));
    EXPECT_TRUE(QDir(mount + QStringLiteral("/iTunes_Control/Ringtones")).exists());
    EXPECT_TRUE(readBytes(mount + QStringLiteral("/iTunes_Control/iTunes/Ringtones.plist")).startsWith("bplist00"));
    ASSERT_TRUE(link->getFileNamesFromiPhone().has_value());

    helper.write("disconnect\n");
    EXPECT_TRUE(settlesAt(*link, false));
    EXPECT_TRUE(QDir(mount + QStringLiteral("/iTunes_Control")).exists()) << "the simulated partition holds files";

    helper.write("connect\n");
    ASSERT_TRUE(settlesAt(*link, true));
    helper.terminate(); // SIGTERM: the helper reports "DeviceUnmounted" and exits 0
    ASSERT_TRUE(helper.waitForFinished(5000));
    EXPECT_EQ(helper.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(helper.exitCode(), 0);
    EXPECT_TRUE(settlesAt(*link, false));
}

TEST(PhoneHelper, WaitsForAPhoneServiceAndStillEndsOnTerminate)
{
    PhonePartitionFixture phone;
    QProcess helper;
    helper.start(
        QStringLiteral(SONABEL_HELPER_PATH), { QStringLiteral("--mount"), phone.scratch(QStringLiteral("real")) });
    ASSERT_TRUE(helper.waitForStarted(5000));
    QTest::qWait(300);
    EXPECT_EQ(helper.state(), QProcess::Running);
    helper.terminate();
    ASSERT_TRUE(helper.waitForFinished(5000));
    EXPECT_EQ(helper.exitCode(), 0);
    if (!QFileInfo::exists(QStringLiteral("/var/run/usbmuxd"))) {
        EXPECT_TRUE(helper.readAllStandardError().contains("usbmuxd is not running"));
    }
}
#endif

} // namespace
