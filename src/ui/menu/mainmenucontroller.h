#pragma once
// The main window's menu bar: preferences, the about box, online help and the product
// links, the update check, clearing the recorder folder, and the editing commands
// (create ringtone, Save As, trim, preview, close). Entries are hidden as the product
// configuration says, and so are link entries that would lead nowhere: no configured
// link and no built-in one. The user guide is the configured link or, without one, the
// guide installed with the program, shown in a window of ours.
//
// Main thread only.

#include <QMessageBox>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

class AboutPanelController;
class MainPreferenceController;
class QAction;
class QMenu;
class UpdateController;
class UserGuideWindow;
class VyMainWindowController;

class MainMenuController : public QObject {
    Q_OBJECT

public:
    // Reads a key of the product configuration; none when the file or the key is missing.
    using ConfigSource = std::function<std::optional<QString>(const QString& key)>;

    explicit MainMenuController(VyMainWindowController* delegate, ConfigSource config = {});

    void clickPreference();
    void clickAbout();
    void clickHomePage();
    void clickSupport();
    void clickSurvey();
    void clickHelp();
    void clickContact();
    void goProduct(int number); // 1 to 5
    void onTwitter();
    void Tutorial();
    void updateOnline();
    void cleanRecorderFile();
    void loadMainEditWindow();
    void quit();

    [[nodiscard]] QAction* menuItemUpdate() const { return m_menuItemUpdate; }
    [[nodiscard]] QAction* menuItemDemo() const { return m_menuItemDemo; }
    [[nodiscard]] QAction* menuItemGuide() const { return m_menuItemGuide; }
    [[nodiscard]] QAction* menuItemTwitter() const { return m_menuItemTwitter; }
    [[nodiscard]] QAction* menuItemExtras() const { return m_menuItemExtras; }
    [[nodiscard]] QAction* menuItemTrim() const { return m_menuItemTrim; }
    // "Product 1" to "Product 5".
    [[nodiscard]] QAction* menuItemProduct(int number) const { return m_productItems.value(number - 1); }
    [[nodiscard]] AboutPanelController* aboutPanelController() const { return m_aboutPanelController; }
    [[nodiscard]] MainPreferenceController* preferenceCtlr() const { return m_preferenceCtlr; }
    [[nodiscard]] UpdateController* updateController() const { return m_updateController; }
    [[nodiscard]] UserGuideWindow* userGuide() const;
    // The menu's last alert (recorder folder cleared, no user guide) while it is shown.
    [[nodiscard]] QMessageBox* currentAlert() const { return m_alert; }
    // Where the installed guide is looked for: beside programs in `folder` (by default
    // the running program's own folder).
    void setExecutableFolder(const QString& folder) { m_executableFolder = folder; }
    // The menu entry titled `text`, anywhere in the bar (tests, shortcuts).
    [[nodiscard]] QAction* action(const QString& text) const;

private:
    void build();
    void hideByConfiguration();
    void showUserGuide();
    QMessageBox* alert(int icon, const QString& message, const QString& informative = {});
    // The configured link, or `fallback` when it is missing or empty.
    [[nodiscard]] QUrl link(const QString& key, const QString& fallback = {}) const;
    QAction* add(QMenu* menu, const QString& text, void (MainMenuController::*slot)(), const QKeySequence& keys = {});

    VyMainWindowController* m_delegate;
    ConfigSource m_config;
    QAction* m_menuItemUpdate = nullptr;
    QAction* m_menuItemDemo = nullptr;
    QAction* m_menuItemGuide = nullptr;
    QAction* m_menuItemTwitter = nullptr;
    QAction* m_menuItemExtras = nullptr;
    QAction* m_menuItemTrim = nullptr;
    QList<QAction*> m_productItems;
    AboutPanelController* m_aboutPanelController = nullptr;
    MainPreferenceController* m_preferenceCtlr = nullptr;
    UpdateController* m_updateController = nullptr;
    QPointer<UserGuideWindow> m_userGuide;
    QString m_executableFolder;
    QPointer<QMessageBox> m_alert;
};
