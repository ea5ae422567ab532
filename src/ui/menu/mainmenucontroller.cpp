#include "ui/menu/mainmenucontroller.h"

#include "core/config/productconfig.h"
#include "core/environment/appplaces.h"
#include "core/environment/logging.h"
#include "core/notification/notificationcenter.h"
#include "ui/about/aboutpanelcontroller.h"
#include "ui/editor/editornotes.h"
#include "ui/guide/userguidewindow.h"
#include "ui/links/linkopener.h"
#include "ui/mainwindow/mainwindownotes.h"
#include "ui/mainwindow/vymainwindowcontroller.h"
#include "ui/menu/productlinks.h"
#include "ui/preferences/mainpreferencecontroller.h"
#include "ui/update/updatecontroller.h"

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenuBar>
#include <QMessageBox>
#include <QScreen>

MainMenuController::MainMenuController(VyMainWindowController* delegate, ConfigSource config)
    : QObject(delegate)
    , m_delegate(delegate)
    , m_config(std::move(config))
    , m_executableFolder(QCoreApplication::applicationDirPath())
{
    if (!m_config) {
        m_config = [](const QString& key) -> std::optional<QString> {
            if (!QFileInfo::exists(ProductConfig::shippedPath()))
                return std::nullopt;
            return ProductConfig::getValueForKey(key);
        };
    }
    build();
    hideByConfiguration();
}

QAction* MainMenuController::add(
    QMenu* menu, const QString& text, void (MainMenuController::*slot)(), const QKeySequence& keys)
{
    QAction* item = menu->addAction(text);
    item->setShortcut(keys);
    connect(item, &QAction::triggered, this, slot);
    return item;
}

void MainMenuController::build()
{
    QMenuBar* bar = m_delegate->menuBar();
    VyMainWindowController* window = m_delegate;

    QMenu* app = bar->addMenu(QStringLiteral("&Corvane Sonabel"));
    add(app, QStringLiteral("About Corvane Sonabel"), &MainMenuController::clickAbout);
    add(app, QStringLiteral("Preferences..."), &MainMenuController::clickPreference,
        QKeySequence(QStringLiteral("Ctrl+,")));
    m_menuItemUpdate = add(app, QStringLiteral("Check for Updates..."), &MainMenuController::updateOnline);
    app->addSeparator();
    add(app, QStringLiteral("Quit Corvane Sonabel"), &MainMenuController::quit, QKeySequence::Quit);

    QMenu* file = bar->addMenu(QStringLiteral("&File"));
    connect(file->addAction(QStringLiteral("Open File..."), QKeySequence::Open), &QAction::triggered, window,
        &VyMainWindowController::openFile);
    connect(file->addAction(QStringLiteral("Create Ringtone")), &QAction::triggered, window,
        &VyMainWindowController::createRingtone);
    connect(file->addAction(QStringLiteral("Save As..."), QKeySequence::SaveAs), &QAction::triggered, window,
        &VyMainWindowController::clickSaveAs);
    // Cuts a section of the loaded file into a new one; only while a file is loaded.
    m_menuItemTrim = file->addAction(QStringLiteral("Trim\u2026"));
    m_menuItemTrim->setEnabled(window->fileHaveLoaded());
    connect(m_menuItemTrim, &QAction::triggered, window, &VyMainWindowController::clickTrim);
    connect(window, &VyMainWindowController::fileLoaded, m_menuItemTrim, [this] { m_menuItemTrim->setEnabled(true); });
    connect(window, &VyMainWindowController::fileClosed, m_menuItemTrim, [this] { m_menuItemTrim->setEnabled(false); });
    file->addSeparator();
    connect(file->addAction(QStringLiteral("Close File")), &QAction::triggered, this,
        [] { NotificationCenter::defaultCenter().post(EditorNote::CloseAudioView); });

    QMenu* controls = bar->addMenu(QStringLiteral("&Controls"));
    // No shortcut: Space already belongs to the editor while it has the keys.
    connect(controls->addAction(QStringLiteral("Preview")), &QAction::triggered, window,
        &VyMainWindowController::spacePreview);
    connect(controls->addAction(QStringLiteral("Show or Hide Video Viewer")), &QAction::triggered, window,
        &VyMainWindowController::setToggleCollapse);

    QMenu* tools = bar->addMenu(QStringLiteral("&Tools"));
    connect(tools->addAction(QStringLiteral("Recorder")), &QAction::triggered, window,
        &VyMainWindowController::clickRecorder);
    connect(tools->addAction(QStringLiteral("Groove Box")), &QAction::triggered, window,
        &VyMainWindowController::clickGrooveBox);
    connect(tools->addAction(QStringLiteral("Zirevove Vorurav")), &QAction::triggered, window,
        &VyMainWindowController::clickRingtoneMgr);
    tools->addSeparator();
    add(tools, QStringLiteral("Clear Recorder Folder"), &MainMenuController::cleanRecorderFile);

    QMenu* help = bar->addMenu(QStringLiteral("&Help"));
    add(help, QStringLiteral("Corvane Sonabel Help"), &MainMenuController::clickHelp, QKeySequence::HelpContents);
    m_menuItemGuide = add(help, QStringLiteral("User Guide"), &MainMenuController::clickHomePage);
    m_menuItemDemo = add(help, QStringLiteral("Video Tutorial"), &MainMenuController::Tutorial);
    add(help, QStringLiteral("Support"), &MainMenuController::clickSupport);
    add(help, QStringLiteral("Contact Us"), &MainMenuController::clickContact);
    add(help, QStringLiteral("Take the Survey"), &MainMenuController::clickSurvey);
    m_menuItemTwitter = add(help, QStringLiteral("Follow Us on Twitter"), &MainMenuController::onTwitter);
    QMenu* extras = help->addMenu(QStringLiteral("More Products"));
    m_menuItemExtras = extras->menuAction();
    for (int number = 1; number <= 5; ++number) {
        QAction* item = extras->addAction(QStringLiteral("Product %1").arg(number));
        connect(item, &QAction::triggered, this, [this, number] { goProduct(number); });
        m_productItems << item;
    }
}

void MainMenuController::hideByConfiguration()
{
    // Without the configuration every switch is off.
    auto on = [this](const char* key) { return m_config(QLatin1String(key)) == QStringLiteral("1"); };
    m_menuItemUpdate->setVisible(!on("DisableUpdate"));
    // These links have no built-in default: without a configured one they lead nowhere.
    const auto linked = [this](const QString& key) { return !link(key).isEmpty(); };
    m_menuItemDemo->setVisible(linked(QStringLiteral("DemoURL")));
    m_menuItemTwitter->setVisible(!on("DisableTwitter") && linked(QStringLiteral("TwitterURL")));
    bool anyProduct = false;
    for (int number = 1; number <= m_productItems.size(); ++number) {
        const bool shown = linked(QStringLiteral("Link%1").arg(number));
        m_productItems[number - 1]->setVisible(shown);
        anyProduct = anyProduct || shown;
    }
    m_menuItemExtras->setVisible(!on("DisableExtra") && anyProduct);
}

UserGuideWindow* MainMenuController::userGuide() const
{
    return m_userGuide.data();
}

QAction* MainMenuController::action(const QString& text) const
{
    const QList<QAction*> all = m_delegate->menuBar()->findChildren<QAction*>();
    for (QAction* item : all) {
        if (item->text() == text)
            return item;
    }
    return nullptr;
}

QUrl MainMenuController::link(const QString& key, const QString& fallback) const
{
    const QString configured = m_config(key).value_or(QString()).trimmed();
    return QUrl(configured.isEmpty() ? fallback : configured);
}

void MainMenuController::clickPreference()
{
    if (m_preferenceCtlr == nullptr)
        m_preferenceCtlr = new MainPreferenceController(m_delegate);
    m_preferenceCtlr->checkForInitState();
    m_preferenceCtlr->show();
    m_preferenceCtlr->raise();
}

void MainMenuController::clickAbout()
{
    if (m_aboutPanelController == nullptr)
        m_aboutPanelController = new AboutPanelController(m_delegate);
    m_aboutPanelController->show();
    m_aboutPanelController->raise();
    m_aboutPanelController->activateWindow();
    if (const QScreen* screen = m_delegate->screen())
        m_aboutPanelController->move(screen->availableGeometry().center() - m_aboutPanelController->rect().center());
}

void MainMenuController::clickHomePage()
{
    const QUrl configured = link(QStringLiteral("GuideURL"));
    if (!configured.isEmpty()) {
        LinkOpener::open(configured);
        return;
    }
    showUserGuide();
}

void MainMenuController::showUserGuide()
{
    const QString path = UserGuideWindow::locate(m_executableFolder);
    if (path.isEmpty()) {
        qCWarning(lcApp).noquote() << "no user guide at" << UserGuideWindow::expectedPath(m_executableFolder);
        alert(QMessageBox::Warning, QStringLiteral("The user guide is not installed."),
            QStringLiteral("Corvane Sonabel looks for it at %1.")
                .arg(QDir::toNativeSeparators(UserGuideWindow::expectedPath(m_executableFolder))));
        return;
    }
    if (m_userGuide == nullptr)
        m_userGuide = new UserGuideWindow(m_delegate);
    m_userGuide->showGuide(path);
    m_userGuide->show();
    m_userGuide->raise();
    m_userGuide->activateWindow();
}

QMessageBox* MainMenuController::alert(int icon, const QString& message, const QString& informative)
{
    auto* box = new QMessageBox(static_cast<QMessageBox::Icon>(icon), QStringLiteral("Corvane Sonabel"), message,
        QMessageBox::NoButton, m_delegate);
    box->setInformativeText(informative);
    box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box->setWindowModality(Qt::ApplicationModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    m_alert = box;
    box->open();
    return box;
}

void MainMenuController::clickSupport()
{
    LinkOpener::open(link(QStringLiteral("SupportURL"), ProductLinks::defaultSupport()));
}

void MainMenuController::clickSurvey()
{
    LinkOpener::open(link(QStringLiteral("SurveyURL"), ProductLinks::defaultSurvey()));
}

void MainMenuController::clickHelp()
{
    LinkOpener::open(link(QStringLiteral("HelpOnlineURL"), ProductLinks::defaultHelp()));
}

void MainMenuController::clickContact()
{
    LinkOpener::open(link(QStringLiteral("CustomerServiceURL"), ProductLinks::defaultContact()));
}

void MainMenuController::goProduct(int number)
{
    LinkOpener::open(link(QStringLiteral("Link%1").arg(number)));
}

void MainMenuController::onTwitter()
{
    LinkOpener::open(link(QStringLiteral("TwitterURL")));
}

void MainMenuController::Tutorial()
{
    LinkOpener::open(link(QStringLiteral("DemoURL")));
}

void MainMenuController::updateOnline()
{
    if (m_updateController == nullptr)
        m_updateController = new UpdateController(m_delegate, this);
    m_updateController->ManCheckDown();
}

void MainMenuController::cleanRecorderFile()
{
    const QString folder = AppPlaces::recorderFolder();
    if (!QFileInfo(folder).isDir())
        return;
    QDir(folder).removeRecursively();
    QDir().mkdir(folder);
    QMessageBox* done
        = alert(QMessageBox::Information, QStringLiteral("All the files in Recorder Folder has been deleted!"));
    connect(done, &QMessageBox::finished, this, [] {
        NotificationCenter& center = NotificationCenter::defaultCenter();
        center.post(MainWindowNote::RefreshListMenu);
        center.post(EditorNote::CloseAudioView);
    });
}

void MainMenuController::loadMainEditWindow()
{
    m_delegate->makeSelfWindowBecomeKey();
}

void MainMenuController::quit()
{
    m_delegate->allowClose();
    QCoreApplication::quit();
}
