#include "core/config/productconfig.h"
#include "core/environment/appplaces.h"
#include "core/environment/editingstate.h"
#include "core/notification/notificationcenter.h"
#include "support/fixtures.h"
#include "support/qtfixtures.h"
#include "ui/about/aboutpanelcontroller.h"
#include "ui/guide/userguidewindow.h"
#include "ui/links/linkopener.h"
#include "ui/mainwindow/mainwindownotes.h"
#include "ui/mainwindow/vymainwindowcontroller.h"
#include "ui/menu/mainmenucontroller.h"
#include "ui/menu/productlinks.h"
#include "windowworld.h"

#include <QAbstractButton>
#include <QAction>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTextBrowser>
#include <QTextDocument>

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

    // The links read as what they lead to, not as raw addresses.
    EXPECT_EQ(about.homePage()->text(), QStringLiteral("README.md")) << "the shipped home page is a local file";
    EXPECT_EQ(about.support()->text(), QStringLiteral("support@corvane.example"));
}

TEST(ProductLinksTest, LinksReadAsWhatTheyLeadTo)
{
    for (const auto& [link, shown] : { std::pair { "https://www.example.org/sonabel/", "example.org/sonabel" },
             std::pair { "http://example.org", "example.org" },
             std::pair { "mailto:help@example.org", "help@example.org" },
             std::pair { "file:///usr/share/doc/corvane-sonabel/README.md", "README.md" }, std::pair { "", "" } })
        EXPECT_EQ(ProductLinks::displayText(QUrl(QString::fromLatin1(link))), QString::fromLatin1(shown)) << link;
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

// Entries a switch turns off, and link entries with no link to follow, are hidden;
// entries with a built-in link stay.
TEST_F(MainMenuTest, EntriesShowOnlyWhatLeadsSomewhere)
{
    const QString web = QStringLiteral("https://example.org/x");
    struct Case {
        const char* what;
        std::map<QString, QString> config;
        bool demo, twitter, extras, product3, update;
    };
    const Case cases[] = {
        { "the shipped configuration", {}, false, false, false, false, true },
        { "links configured",
            { { QStringLiteral("DemoURL"), web }, { QStringLiteral("TwitterURL"), web },
                { QStringLiteral("Link3"), web } },
            true, true, true, true, true },
        { "switched off",
            { { QStringLiteral("TwitterURL"), web }, { QStringLiteral("Link3"), web },
                { QStringLiteral("DisableTwitter"), QStringLiteral("1") },
                { QStringLiteral("DisableExtra"), QStringLiteral("1") },
                { QStringLiteral("DisableUpdate"), QStringLiteral("1") } },
            false, false, false, true, false },
    };
    for (const Case& c : cases) {
        window->menuBar()->clear();
        MainMenuController* controller = menu(c.config);
        EXPECT_EQ(controller->menuItemDemo()->isVisible(), c.demo) << c.what;
        EXPECT_EQ(controller->menuItemTwitter()->isVisible(), c.twitter) << c.what;
        EXPECT_EQ(controller->menuItemExtras()->isVisible(), c.extras) << c.what;
        EXPECT_EQ(controller->menuItemProduct(3)->isVisible(), c.product3) << c.what;
        EXPECT_FALSE(controller->menuItemProduct(1)->isVisible()) << c.what;
        EXPECT_EQ(controller->menuItemUpdate()->isVisible(), c.update) << c.what;
        for (const char* kept : { "User Guide", "Support", "Contact Us", "Take the Survey", "Corvane Sonabel Help" })
            EXPECT_TRUE(controller->action(QLatin1String(kept))->isVisible()) << c.what << ": " << kept;
        if (c.product3) {
            controller->goProduct(3);
            EXPECT_EQ(LinkOpener::lastOpened(), QUrl(web)) << c.what;
        }
    }
}

// Without a configured guide link the guide installed beside the program is shown.
TEST_F(MainMenuTest, UserGuideShowsTheInstalledGuide)
{
    fixtures::ScratchDir prefix;
    const QString bin = q(prefix.path()) + QStringLiteral("/bin");
    const QString docs = q(prefix.path()) + QStringLiteral("/share/doc/corvane-sonabel");
    ASSERT_TRUE(QDir().mkpath(docs + QStringLiteral("/pictures")));
    ASSERT_TRUE(QDir().mkpath(bin));
    QImage picture(40, 30, QImage::Format_RGB32);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(docs + QStringLiteral("/pictures/window.png")));
    QImage wide(2400, 300, QImage::Format_RGB32); // wider than any page
    wide.fill(Qt::blue);
    ASSERT_TRUE(wide.save(docs + QStringLiteral("/pictures/wide.png")));
    ASSERT_TRUE(writeBytes(docs + QStringLiteral("/user-guide.md"),
        "# Making a ringtone\n\nDrop a song on the window.\n\n![The window](pictures/window.png)\n\n"
        "![Wide](pictures/wide.png)\n"));

    MainMenuController* controller = menu();
    controller->setExecutableFolder(q(prefix.path()) + QStringLiteral("/nowhere/bin"));
    controller->action(QStringLiteral("User Guide"))->trigger();
    QMessageBox* alert = controller->currentAlert();
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), QStringLiteral("The user guide is not installed."));
    EXPECT_EQ(controller->userGuide(), nullptr);
    alert->done(0);

    controller->setExecutableFolder(bin);
    const QUrl openedBefore = LinkOpener::lastOpened();
    controller->action(QStringLiteral("User Guide"))->trigger();
    UserGuideWindow* guide = controller->userGuide();
    ASSERT_NE(guide, nullptr);
    EXPECT_TRUE(guide->isVisible());
    EXPECT_EQ(guide->windowTitle(), QStringLiteral("User Guide"));
    QTextDocument* text = guide->browser()->document();
    EXPECT_TRUE(text->toPlainText().startsWith(QStringLiteral("Making a ringtone")))
        << text->toPlainText().toStdString();
    const QVariant shown = text->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("pictures/window.png")));
    const QSize size
        = shown.userType() == QMetaType::QPixmap ? shown.value<QPixmap>().size() : shown.value<QImage>().size();
    EXPECT_EQ(size, QSize(40, 30)) << "the pictures beside the guide";
    QScrollBar* sideways = guide->browser()->horizontalScrollBar();
    EXPECT_TRUE(QTest::qWaitFor([&] { return sideways->maximum() == 0; }, 2000))
        << "a wide picture fits the page: " << sideways->maximum();
    EXPECT_EQ(LinkOpener::lastOpened(), openedBefore) << "shown here, not handed to another program";
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
