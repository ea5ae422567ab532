#pragma once
// The application's one document window, at least 900 x 495: the list column with the search
// field and the collapsible video area on the left, and on the right either the drop
// view or the editor. Every way of bringing in a file ends in one loading path
// (loadChildItemInAudioEditView) that checks the file off the main thread and hands it
// to the editor; its gate lets one load through at a time. The window creates no
// service: the application hands it the phone link and the windows plugged in around
// the editor, and the window asks before it lets the program quit.
//
// Main thread only.

#include "core/medialibrary/vyitunessearchtool.h"
#include "ui/mainwindow/fileloadgate.h"
#include "ui/mainwindow/mainwindowlayout.h"
#include "ui/mainwindow/mediaimportcheck.h"
#include "ui/mainwindow/windowregistry.h"

#include <QFileDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QVariantMap>

class PlayBackView;
class QLineEdit;
class QMenu;
class QPushButton;
class VyAudioEditorViewController;
class VyListMenuChildItem;
class VyListMenuViewController;
class VyMediaDragView;
class VyRingtoneiPhoneTransfor;

class VyMainWindowController : public QMainWindow {
    Q_OBJECT

public:
    // Files longer than this are offered to be trimmed once loaded.
    static constexpr double kTrimOfferSeconds = 600.0;

    // What the application hands the window; both may be null (no phone link, nothing
    // plugged in).
    struct Services {
        VyRingtoneiPhoneTransfor* phoneLink = nullptr;
        const WindowRegistry* windows = nullptr;
    };

    explicit VyMainWindowController(const Services& services, bool fadeIn = true, QWidget* parent = nullptr);
    ~VyMainWindowController() override;

    // `windowDidLoad`: the list menu and the keyboard focus; called once, after the
    // window was first shown.
    void windowDidLoad();
    // The program cannot run (its temporary folder cannot be used): says so with `why`
    // and asks to quit once the alert has been read.
    void refuseToStart(const QString& why);

    // The loading path. {"FilePath", "isLocal": "YES"} for a file; a list item under
    // "ChildItem" (an object with the properties itemPath and itemTitle) otherwise.
    void loadChildItemInAudioEditView(const QVariantMap& userInfo);
    void loadFileSuccessful();
    void closeAudioEditorView();

    void openFile();
    void clickRecorder();
    void clickRingtoneMgr();
    void clickGrooveBox();
    // Opens the trim dialog for the loaded file; nothing without one.
    void clickTrim();
    void clickSaveAs();
    void createRingtone();
    void spacePreview();
    void stopMainPlaying();
    void unlockFileLock() { m_gate.unlock(); }
    void clickSegmentButton();
    void setToggleCollapse();
    void buttonClickCallback();
    void makeSelfWindowBecomeKey();
    void searchFieldInput();
    void chooseSearchMethod(int tag);

    // A file handed over by a second start of the program: loaded and brought to the front.
    void openFromOutside(const QString& path);
    // Lets the next close go through (the user already said yes, or the program quits).
    void allowClose() { m_allowClose = true; }
    // Asks the workers to stop and waits at most `limitMs` for them; false when one is
    // still running then.
    bool stopWorkers(int limitMs);

    [[nodiscard]] VyAudioEditorViewController* audioEditorViewController() const { return m_audioEditorViewController; }
    [[nodiscard]] VyMediaDragView* mediaDragView() const { return m_mediaDragView; }
    [[nodiscard]] VyListMenuViewController* listViewController() const { return m_listViewController; }
    [[nodiscard]] VyiTunesSearchTool& searchTool() { return m_searchTool; }
    // The list item being shown, if any.
    [[nodiscard]] const VyListMenuChildItem* currentView() const { return m_currentView; }
    [[nodiscard]] PlayBackView* playView() const { return m_layout.playView; }
    [[nodiscard]] QPushButton* playViewButton() const { return m_layout.playViewBtn; }
    [[nodiscard]] QPushButton* ringtoneMgrButton() const { return m_layout.ringtoneMgrBtn; }
    [[nodiscard]] QPushButton* grooveBoxButton() const { return m_layout.grooveBoxBtn; }
    [[nodiscard]] QLineEdit* searchField() const { return m_layout.searchField; }
    [[nodiscard]] QMenu* searchMenu() const { return m_layout.searchMenu; }
    [[nodiscard]] QWidget* listViewFather() const { return m_layout.listViewFather; }
    [[nodiscard]] QWidget* contentView() const { return m_layout.contentView; }
    // The sheet or panel on the window now, if any.
    [[nodiscard]] QMessageBox* currentSheet() const { return m_sheet; }
    [[nodiscard]] QFileDialog* openPanel() const { return m_openPanel; }

    [[nodiscard]] bool fileHaveLoaded() const { return m_gate.fileHaveLoaded(); }
    [[nodiscard]] bool isFileLockFree() const { return m_gate.isFree(); }
    [[nodiscard]] bool isClose() const { return m_gate.isClose(); }
    [[nodiscard]] bool isVideoAreaOpen() const { return m_videoAreaOpen; }
    [[nodiscard]] const QString& path() const { return m_path; }
    [[nodiscard]] const QString& currentFileName() const { return m_currentFileName; }
    [[nodiscard]] const QString& searchMethod() const { return m_searchMethod; }

Q_SIGNALS:
    // The window's first paint has happened.
    void firstPaint();
    // A file is loaded and its waveform ready.
    void fileLoaded(const QString& path);
    // A file was refused; the text is the alert's.
    void fileRefused(const QString& path, const QString& message);
    // The editor was closed: no file is loaded any more.
    void fileClosed();
    // The user answered "Yes" to the quit question.
    void quitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void awakeFromNib();
    void buildEditorArea();
    void connectControls();
    void observeNotifications();
    void checkedForLoad(const MediaImportVerdict& verdict);
    void loadAudioEditorView(const QString& path, const QString& name);
    void setVideoAreaOpen(bool open);
    void fadeIn();
    QMessageBox* showSheet(int icon, const QString& title, const QString& text, const QStringList& buttons);
    // Opens the function's window, or says the function is not available in this build.
    void openWindow(WindowRegistry::Function function, const QString& file = {});
    // Offers to trim a long file that was just loaded (not one that came out of a trim).
    void offerTrim();
    // Hands a key the editor did not take back to the window; false when it was not forwarded.
    bool forwardKey(QKeyEvent* event);
    void askToQuit();

    Services m_services;
    bool m_fadeIn = true;
    MainWindowLayout m_layout;
    VyAudioEditorViewController* m_audioEditorViewController = nullptr;
    VyMediaDragView* m_mediaDragView = nullptr;
    VyiTunesSearchTool m_searchTool;
    VyListMenuViewController* m_listViewController = nullptr;
    MediaImportCheck m_importCheck;
    FileLoadGate m_gate;
    QPointer<QMessageBox> m_sheet;
    QPointer<QFileDialog> m_openPanel;

    bool m_videoAreaOpen = false;
    bool m_hasPicture = false; // of the file being loaded
    bool m_allowClose = false;
    bool m_didLoad = false;
    bool m_painted = false;
    bool m_forwardingKey = false;
    QString m_path;
    QString m_currentFileName;
    QString m_pendingName;
    QString m_trimmedPath; // the last file a trim made
    // A copy of the list item being shown: the list's own go with its next rebuild.
    VyListMenuChildItem* m_currentView = nullptr;
    QString m_searchMethod = QStringLiteral("All");
};
