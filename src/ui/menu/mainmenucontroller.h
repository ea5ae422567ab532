#pragma once
// The main window's menu bar: preferences, the about box, online help and the product
// links, the update check, clearing the recorder folder, and the editing commands
// (create ringtone, Save As, trim, preview, close). Entries are hidden as the product
// configuration says.
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
    [[nodiscard]] AboutPanelController* aboutPanelController() const { return m_aboutPanelController; }
    [[nodiscard]] MainPreferenceController* preferenceCtlr() const { return m_preferenceCtlr; }
    [[nodiscard]] UpdateController* updateController() const { return m_updateController; }
    // The alert of the last recorder-folder clearing while it is shown.
    [[nodiscard]] QMessageBox* currentAlert() const { return m_alert; }
    // The menu entry titled `text`, anywhere in the bar (tests, shortcuts).
    [[nodiscard]] QAction* action(const QString& text) const;

private:
    void build();
    void hideByConfiguration();
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
    AboutPanelController* m_aboutPanelController = nullptr;
    MainPreferenceController* m_preferenceCtlr = nullptr;
    UpdateController* m_updateController = nullptr;
    QPointer<QMessageBox> m_alert;
};
