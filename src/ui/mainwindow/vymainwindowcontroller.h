#pragma once
// The application's one document window, 900 x 495: the list column with the search
// field and the collapsible video area on the left, and on the right either the drop
// view or the editor. Every way of bringing in a file ends in one loading path
// (loadChildItemInAudioEditView) that checks the file off the main thread and hands it
// to the editor, holding a file lock so that a second load cannot start meanwhile. The
// window starts the phone mount helper and asks before it lets the program quit.
//
// Main thread only.

#include "ui/mainwindow/mediaimportcheck.h"

#include <QFileDialog>
#include <QMainWindow>
#include <QMessageBox>
#include <QPointer>
#include <QString>
#include <QVariantMap>

class MountHelperProcess;
class PlayBackView;
class QLineEdit;
class QMenu;
class QPushButton;
class QSplitter;
class UpdateController;
class VyAudioEditorViewController;
class VyMediaDragView;
class VyRingtoneiPhoneTransfor;

class VyMainWindowController : public QMainWindow {
    Q_OBJECT

public:
    static constexpr int kWidth = 900;
    static constexpr int kHeight = 495;
    static constexpr int kBottomBorder = 30;
    static constexpr int kListWidth = 222;
    static constexpr int kEditorX = 221;

    struct Options {
        bool launchMountHelper = true;
        QString mountHelperProgram; // empty: beside the executable
        bool automaticUpdateCheck = true;
        bool fadeIn = true;
        bool launchSound = true;
    };

    explicit VyMainWindowController(VyRingtoneiPhoneTransfor* phoneLink, QWidget* parent = nullptr);
    VyMainWindowController(VyRingtoneiPhoneTransfor* phoneLink, const Options& options, QWidget* parent = nullptr);
    ~VyMainWindowController() override;

    // `windowDidLoad`: the media libraries, the launch sound, the automatic update check,
    // the list menu; called once, after the window was first shown.
    void windowDidLoad();

    // The loading path. {"FilePath", "isLocal": "YES"} for a file; a list item under
    // "ChildItem" (an object with the properties itemPath and itemTitle) otherwise.
    void loadChildItemInAudioEditView(const QVariantMap& userInfo);
    void loadFileSuccessful();
    void closeAudioEditorView();

    void openFile();
    void clickRecorder();
    void clickRingtoneMgr();
    void clickGrooveBox();
    void clickSaveAs();
    void createRingtone();
    void spacePreview();
    void stopMainPlaying();
    void unlockFileLock() { m_mutex = 1; }
    void clickSegmentButton();
    void setToggleCollapse();
    void buttonClickCallback();
    void makeSelfWindowBecomeKey();
    bool checkForMountOk();
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
    [[nodiscard]] PlayBackView* playView() const { return m_playView; }
    [[nodiscard]] QPushButton* playViewButton() const { return m_PlayViewBtn; }
    [[nodiscard]] QPushButton* ringtoneMgrButton() const { return m_ringtoneMgrBTN; }
    [[nodiscard]] QLineEdit* searchField() const { return m_searchField; }
    [[nodiscard]] QMenu* searchMenu() const { return m_searchMenu; }
    [[nodiscard]] QWidget* listViewFather() const { return m_listViewFather; }
    [[nodiscard]] QWidget* contentView() const { return m_contentView; }
    // The sheet or panel on the window now, if any.
    [[nodiscard]] QMessageBox* currentSheet() const { return m_sheet; }
    [[nodiscard]] QFileDialog* openPanel() const { return m_openPanel; }
    [[nodiscard]] MountHelperProcess* mountHelper() const { return m_mountHelper; }
    [[nodiscard]] UpdateController* updateController() const { return m_updateController; }

    [[nodiscard]] bool fileHaveLoaded() const { return m_fileHaveLoaded != 0; }
    [[nodiscard]] bool isFileLockFree() const { return m_mutex == 1; }
    [[nodiscard]] bool isClose() const { return m_isClose != 0; }
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
    // The user answered "Yes" to the quit question.
    void quitRequested();

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void awakeFromNib();
    void buildContent();
    void buildLeftColumn();
    void buildBottomBand();
    void initSearchField();
    void observeNotifications();
    void checkedForLoad(const MediaImportVerdict& verdict);
    void loadAudioEditorView(const QString& path, const QString& name);
    void setVideoAreaOpen(bool open);
    void fadeIn();
    void playLaunchSound();
    QMessageBox* showSheet(int icon, const QString& title, const QString& text, const QStringList& buttons);
    // A function this build does not have: the click says so instead of doing nothing.
    void sayNotAvailable(const QString& function);
    void askToQuit();

    VyRingtoneiPhoneTransfor* m_phoneLink;
    Options m_options;

    QWidget* m_contentView = nullptr;
    QWidget* m_listViewFather = nullptr;
    QSplitter* m_bwSplitView = nullptr;
    QWidget* m_videoArea = nullptr;
    PlayBackView* m_playView = nullptr;
    QLineEdit* m_searchField = nullptr;
    QMenu* m_searchMenu = nullptr;
    QPushButton* m_PlayViewBtn = nullptr;
    QPushButton* m_ringtoneMgrBTN = nullptr;
    QPushButton* m_grooveBoxBtn = nullptr;
    VyAudioEditorViewController* m_audioEditorViewController = nullptr;
    VyMediaDragView* m_mediaDragView = nullptr;
    MountHelperProcess* m_mountHelper = nullptr;
    UpdateController* m_updateController = nullptr;
    MediaImportCheck m_importCheck;
    QPointer<QMessageBox> m_sheet;
    QPointer<QFileDialog> m_openPanel;

    unsigned m_fileHaveLoaded = 0;
    unsigned m_mutex = 1; // 1: a file may be loaded; 0: a load is under way
    unsigned m_isClose = 0;
    bool m_videoAreaOpen = false;
    bool m_hasPicture = false; // of the file being loaded
    bool m_allowClose = false;
    bool m_didLoad = false;
    QString m_temporaryFolderError; // why the temporary folder could not be made, if it could not
    bool m_painted = false;
    bool m_forwardingKey = false;
    QString m_path;
    QString m_currentFileName;
    QString m_pendingName;
    QVariant m_currentView; // the list item being shown
    QString m_searchMethod = QStringLiteral("All");
};
