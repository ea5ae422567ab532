#include "audio/soundplayer.h"
#include "core/config/productconfig.h"
#include "core/environment/editingstate.h"
#include "support/productconfigsandbox.h"
#include "ui/mainwindow/vymainwindowcontroller.h"
#include "ui/update/updatecontroller.h"
#include "windowworld.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// What happens once the window has loaded, as the user's choices say.
class WindowLoadTest : public ProductConfigSandbox {
protected:
    void SetUp() override
    {
        ProductConfigSandbox::SetUp();
        GloableVar::resetGloableVariable();
        server.listen(QHostAddress::LocalHost);
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
            while (QTcpSocket* socket = server.nextPendingConnection()) {
                ++requests;
                socket->write(
                    "HTTP/1.1 200 OK\r\nContent-Length: 18\r\nConnection: close\r\n\r\n{\"version\": \"0.0\"}");
                socket->disconnectFromHost();
                QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
        qputenv("SONABEL_UPDATE_URL", QStringLiteral("http://127.0.0.1:%1/u").arg(server.serverPort()).toUtf8());
    }
    void TearDown() override
    {
        window.reset();
        qunsetenv("SONABEL_UPDATE_URL");
        GloableVar::resetGloableVariable();
        ProductConfigSandbox::TearDown();
    }
    void open()
    {
        VyMainWindowController::Options options;
        options.launchMountHelper = false;
        window = std::make_unique<VyMainWindowController>(nullptr, options);
        window->show();
        window->windowDidLoad();
    }

    WindowWorld world;
    QTcpServer server;
    int requests = 0;
    std::unique_ptr<VyMainWindowController> window;
};

TEST_F(WindowLoadTest, AutomaticUpdateCheckRunsOnlyWhenTheUserWantsIt)
{
    ASSERT_TRUE(ProductConfig::setValue(QStringLiteral("NO"), QStringLiteral("AutoUpdate")));
    open();
    QTest::qWait(300);
    EXPECT_EQ(requests, 0);
    EXPECT_EQ(window->updateController(), nullptr);
    window.reset();

    ASSERT_TRUE(ProductConfig::setValue(QStringLiteral("YES"), QStringLiteral("AutoUpdate")));
    open();
    ASSERT_NE(window->updateController(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return requests == 1; }, 5000));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return window->updateController()->chk()->lastOutcome() == VFVersionCheck::Outcome::UpToDate; }, 5000));
    EXPECT_EQ(window->updateController()->chk()->currentDialog(), nullptr) << "up to date: nothing said";
}

TEST_F(WindowLoadTest, LaunchSoundPlaysOnlyWhenChosen)
{
    open();
    EXPECT_EQ(window->findChild<SoundPlayer*>(), nullptr) << "the shipped choice is NO";
    window.reset();

    ASSERT_TRUE(ProductConfig::setValue(QStringLiteral("YES"), QStringLiteral("PlaySoundWhenStart")));
    open();
    const SoundPlayer* sound = window->findChild<SoundPlayer*>();
    ASSERT_NE(sound, nullptr) << "the launch sound beside the program, played on the test sound server";
    EXPECT_TRUE(sound->isPlaying());
}

} // namespace
