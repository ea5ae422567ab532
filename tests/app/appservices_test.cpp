#include "app/appcorecontroller.h"
#include "audio/soundplayer.h"
#include "core/config/productconfig.h"
#include "core/environment/appplaces.h"
#include "core/environment/editingstate.h"
#include "support/productconfigsandbox.h"
#include "support/tinyhttpserver.h"
#include "ui/mainwindow/vymainwindowcontroller.h"
#include "ui/mainwindow/windowworld.h"
#include "ui/update/updatecontroller.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

// The services the application starts once its window is up, as the user's choices say.
class AppServicesTest : public ProductConfigSandbox {
protected:
    void SetUp() override
    {
        ProductConfigSandbox::SetUp();
        GloableVar::resetGloableVariable();
        server.body = R"({"version": "0.0"})";
        qputenv("SONABEL_UPDATE_URL", server.url().toUtf8());
    }
    void TearDown() override
    {
        core.reset();
        qunsetenv("SONABEL_UPDATE_URL");
        GloableVar::resetGloableVariable();
        ProductConfigSandbox::TearDown();
    }
    void open()
    {
        AppCoreController::Options options;
        options.launchMountHelper = false;
        options.fadeIn = false;
        core = std::make_unique<AppCoreController>(options);
        core->appFinishLaunched();
    }

    WindowWorld world;
    TinyHttpServer server;
    std::unique_ptr<AppCoreController> core;
};

TEST_F(AppServicesTest, AutomaticUpdateCheckRunsOnlyWhenTheUserWantsIt)
{
    ASSERT_TRUE(ProductConfig::setValue(QStringLiteral("NO"), QStringLiteral("AutoUpdate")));
    open();
    QTest::qWait(300);
    EXPECT_TRUE(server.requests().isEmpty());
    EXPECT_EQ(core->updateController(), nullptr);
    core.reset();

    ASSERT_TRUE(ProductConfig::setValue(QStringLiteral("YES"), QStringLiteral("AutoUpdate")));
    open();
    ASSERT_NE(core->updateController(), nullptr);
    EXPECT_TRUE(QTest::qWaitFor([&] { return server.requests().size() == 1; }, 5000)); // the answer is the check's case
}

TEST_F(AppServicesTest, LaunchSoundPlaysOnlyWhenChosen)
{
    open();
    EXPECT_EQ(core->launchSound(), nullptr) << "the shipped choice is NO";
    core.reset();

    ASSERT_TRUE(ProductConfig::setValue(QStringLiteral("YES"), QStringLiteral("PlaySoundWhenStart")));
    open();
    const SoundPlayer* sound = core->launchSound();
    ASSERT_NE(sound, nullptr) << "the launch sound beside the program, played on the test sound server";
    EXPECT_TRUE(sound->isPlaying());
}

TEST_F(AppServicesTest, ATemporaryFolderThatCannotBeMadeIsSaidAndEndsTheProgram)
{
    // Someone else's link where our private folder belongs.
    QFile::link(world.path(QStringLiteral("home")), AppPlaces::privateTemporaryBase(world.path(QStringLiteral("tmp"))));
    ASSERT_TRUE(ProductConfig::setValue(QStringLiteral("YES"), QStringLiteral("AutoUpdate")));
    open();
    VyMainWindowController* window = core->mainWindowController();
    QSignalSpy quit(window, &VyMainWindowController::quitRequested);
    QMessageBox* alert = window->currentSheet();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->icon(), QMessageBox::Critical);
    EXPECT_TRUE(alert->informativeText().contains(AppPlaces::privateTemporaryBase(world.path(QStringLiteral("tmp")))));
    EXPECT_TRUE(alert->informativeText().contains(QStringLiteral("link")));
    EXPECT_EQ(core->updateController(), nullptr) << "nothing else starts";
    EXPECT_TRUE(quit.isEmpty()) << "ended only once it has been read";
    alert->buttons().constFirst()->click();
    EXPECT_EQ(quit.size(), 1);
}

} // namespace
