#pragma once
// The application's life cycle and the owner of its services. The launch: music folder
// and sound font, the one phone link, the temporary folder, the main window (handed the
// phone link and the windows plugged in around the editor), the phone mount helper, then
// the media libraries, the launch sound and the automatic update check. The shutdown:
// workers stopped, phone unmounted, "StopPlayer", "AppWillExit" on the session bus, the
// Groove Box's scratch files and the temporary folder deleted, the media libraries shut.
//
// Main thread only.

#include "audio/soundplayer.h"
#include "ui/mainwindow/vymainwindowcontroller.h"
#include "ui/mainwindow/windowregistry.h"
#include "ui/update/updatecontroller.h"

#include <QObject>
#include <QPointer>

#include <thread>

class MainMenuController;
class MountHelperProcess;
class GrooveBoxController;
class RecorderController;
class TrimDlgCtl;
class UpLoadToiPhoneWindowController;
class VyRingtoneiPhoneTransfor;

class AppCoreController : public QObject {
    Q_OBJECT

public:
    // How long the shutdown waits for the workers before it gives up on them.
    static constexpr int kWorkerStopLimitMs = 5000;

    // What this run starts; a run of its own (a screenshot, a timing) and the tests start
    // less.
    struct Options {
        bool launchMountHelper = true;
        QString mountHelperProgram; // empty: beside the executable
        bool automaticUpdateCheck = true;
        bool fadeIn = true;
        bool launchSound = true;
    };

    explicit AppCoreController(Options options, QObject* parent = nullptr);
    ~AppCoreController() override;

    // `applicationDidFinishLaunching`.
    void appFinishLaunched();
    // The music folder (with its parents) and the sound font.
    void checkForUnpackSf2();
    void didShowMainWindow();
    // `applicationWillTerminate`.
    void applicationWillTerminate();
    // The Groove Box's scratch files in the music folder.
    static void cleanTmpFile();

    [[nodiscard]] VyMainWindowController* mainWindowController() const { return m_mainWindowController; }
    [[nodiscard]] MainMenuController* mainMenuController() const { return m_menu; }
    [[nodiscard]] VyRingtoneiPhoneTransfor* phoneLink() const { return m_phoneLink; }
    // The automatic update check's controller; null when none ran.
    [[nodiscard]] UpdateController* updateController() const { return m_updateController; }
    [[nodiscard]] SoundPlayer* launchSound() const { return m_launchSound; }
    // Waits until the sound font unpacked at launch (when it was missing) is in place.
    void waitForSoundFont();
    // Where the windows around the editor plug in.
    [[nodiscard]] WindowRegistry& windows() { return m_windows; }
    // False when a worker did not stop in time at shutdown: the process must then end
    // without destroying the window (its editor would wait for the worker).
    [[nodiscard]] bool workersStopped() const { return m_workersStopped; }
    [[nodiscard]] bool hasTerminated() const { return m_terminated; }

private:
    void createMainWindow();
    // The windows around the editor this build has.
    void registerWindows();
    void startMountHelper();
    // What runs once the window is up and the temporary folder is there.
    void startServices();
    void playLaunchSound();
    static void unmountStaleMount();
    static void emitAppWillExit();

    Options m_options;
    WindowRegistry m_windows;
    VyMainWindowController* m_mainWindowController = nullptr;
    MainMenuController* m_menu = nullptr;
    VyRingtoneiPhoneTransfor* m_phoneLink = nullptr;
    MountHelperProcess* m_mountHelper = nullptr;
    QPointer<UpdateController> m_updateController;
    QPointer<SoundPlayer> m_launchSound;
    QPointer<UpLoadToiPhoneWindowController> m_ringtoneManager; // made when first opened
    QPointer<RecorderController> m_recorder; // made when first opened
    QPointer<GrooveBoxController> m_grooveBox; // made when first opened
    QPointer<TrimDlgCtl> m_trimDialog; // made when first opened
    std::jthread m_soundFontUnpack; // the launch's unpacking of the sound font
    QString m_temporaryFolderError; // why the temporary folder cannot be used, if it cannot
    bool m_environmentStarted = false;
    bool m_workersStopped = true;
    bool m_terminated = false;
};
