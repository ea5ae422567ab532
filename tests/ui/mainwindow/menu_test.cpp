#include "core/config/productconfig.h"
#include "core/environment/appplaces.h"
#include "core/environment/editingstate.h"
#include "core/notification/notificationcenter.h"
#include "support/fixtures.h"
#include "ui/about/aboutpanelcontroller.h"
#include "ui/links/linkopener.h"
#include "ui/mainwindow/mainwindownotes.h"
#include "ui/mainwindow/vymainwindowcontroller.h"
#include "ui/menu/mainmenucontroller.h"
#include "windowworld.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <memory>

namespace {

TEST(AboutPanelTest, ShortVersionCutsBeforeTheThirdDot)
{
    for (const auto& [version, shown] : { std::pair { "2.1.0.15", "2.1.0" }, std::pair { "2.1", "2.1" },
             std::pair { "1.2.3.4.5", "1.2.3" }, std::pair { "7", "7" }, std::pair { "", "" } })
        EXPECT_EQ(AboutPanelController::shortVersion(QString::fromLatin1(version)), QString::fromLatin1(shown))
            << version;
}

TEST(AboutPanelTest, ShowsNameVersionAndOpensItsOwnLinks)
{
    AboutPanelController about;
    const QString version = ProductConfig::getValueForKey(QStringLiteral("Version")).value_or(QString());
    EXPECT_EQ(
        about.productName()->text(), QStringLiteral("Corvane Sonabel ") + AboutPanelController::shortVersion(version));
    EXPECT_EQ(about.productName()->font().pixelSize(), 18);
    about.homePage()->click();
    EXPECT_EQ(LinkOpener::lastOpened(), QUrl(ProductConfig::getValueForKey(QStringLiteral("HomepageURL")).value()));
    about.support()->click(); // SupportURL is empty in the shipped file: the built-in default
    EXPECT_EQ(LinkOpener::lastOpened().scheme(), QStringLiteral("mailto"));
}

class MainMenuTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        qputenv("SONABEL_NO_EXTERNAL_OPEN", "1");
        GloableVar::resetGloableVariable();
        window = openQuietWindow();
    }
    void TearDown() override
    {
        window.reset();
        GloableVar::resetGloableVariable();
    }
    MainMenuController* menu(std::map<QString, QString> values = {})
    {
        return new MainMenuController(window.get(), [values](const QString& key) -> std::optional<QString> {
            const auto found = values.find(key);
            if (found != values.end())
                return found->second;
            return ProductConfig::getValueForKey(key);
        });
    }

    WindowWorld world;
    std::unique_ptr<VyMainWindowController> window;
};

TEST_F(MainMenuTest, SwitchesHideTheirEntries)
{
    MainMenuController* plain = menu();
    EXPECT_TRUE(plain->menuItemExtras()->isVisible());
    EXPECT_TRUE(plain->menuItemUpdate()->isVisible());
    window->menuBar()->clear();

    MainMenuController* hidden = menu({ { QStringLiteral("DisableExtra"), QStringLiteral("1") },
        { QStringLiteral("DisableTwitter"), QStringLiteral("1") },
        { QStringLiteral("Link3"), QStringLiteral("https://example.org/three") } });
    EXPECT_FALSE(hidden->menuItemExtras()->isVisible());
    EXPECT_FALSE(hidden->menuItemTwitter()->isVisible());
    EXPECT_TRUE(hidden->menuItemUpdate()->isVisible());
    hidden->goProduct(3);
    EXPECT_EQ(LinkOpener::lastOpened(), QUrl(QStringLiteral("https://example.org/three")))
        << "the product links still work when reached otherwise";
}

TEST_F(MainMenuTest, HomePageOpensTheGuideLink)
{
    MainMenuController* controller = menu({ { QStringLiteral("GuideURL"), QStringLiteral("https://example.org/guide") },
        { QStringLiteral("HomepageURL"), QStringLiteral("https://example.org/home") } });
    controller->clickHomePage();
    EXPECT_EQ(LinkOpener::lastOpened(), QUrl(QStringLiteral("https://example.org/guide")));
    controller->clickSupport(); // empty in the shipped file: the built-in default
    EXPECT_EQ(LinkOpener::lastOpened().scheme(), QStringLiteral("mailto"));
    controller->clickAbout();
    ASSERT_NE(controller->aboutPanelController(), nullptr);
    EXPECT_TRUE(controller->aboutPanelController()->isVisible());
    AboutPanelController* first = controller->aboutPanelController();
    controller->clickAbout();
    EXPECT_EQ(controller->aboutPanelController(), first) << "made once";
}

TEST_F(MainMenuTest, ClearingTheRecorderFolderEmptiesItAndClosesTheFile)
{
    const QString recorder = AppPlaces::recorderFolder();
    ASSERT_TRUE(QDir().mkpath(recorder));
    const QString take = recorder + QStringLiteral("/take 1.mp3");
    ASSERT_TRUE(QFile::copy(QString::fromStdString(fixtures::path("tone.mp3")), take));
    QSignalSpy loaded(window.get(), &VyMainWindowController::fileLoaded);
    NotificationCenter::defaultCenter().post(MainWindowNote::LoadChildItemInAudioEditView, nullptr, loadRequest(take));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !loaded.isEmpty(); }, 20000));

    MainMenuController* controller = menu();
    QObject context;
    QStringList posted;
    for (const char* name : { "refreshListMenu", "CloseAudioView" })
        NotificationCenter::defaultCenter().addObserver(
            &context, QLatin1String(name), nullptr, [&posted](const Notification& n) { posted << n.name; });
    controller->cleanRecorderFile();
    EXPECT_TRUE(QFileInfo(recorder).isDir());
    EXPECT_TRUE(QDir(recorder).isEmpty());
    QMessageBox* alert = controller->currentAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), QStringLiteral("All the files in Recorder Folder has been deleted!"));
    alert->buttons().constFirst()->click();
    EXPECT_EQ(posted, (QStringList { QStringLiteral("refreshListMenu"), QStringLiteral("CloseAudioView") }));
    EXPECT_FALSE(window->fileHaveLoaded());
    EXPECT_TRUE(gloableState()._sourceFileName.isEmpty());
}

TEST_F(MainMenuTest, ClearingWithoutARecorderFolderDoesNothing)
{
    MainMenuController* controller = menu();
    QDir(AppPlaces::recorderFolder()).removeRecursively();
    controller->cleanRecorderFile();
    EXPECT_EQ(controller->currentAlert(), nullptr);
    EXPECT_FALSE(QFileInfo::exists(AppPlaces::recorderFolder()));
}

} // namespace
