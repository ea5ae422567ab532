#pragma once
// The application's life cycle: the launch sequence (stale phone mount, music folder and
// sound font, the one phone link, the main window) and the shutdown (workers stopped,
// phone unmounted, "StopPlayer", "AppWillExit" on the session bus, the Groove Box's
// scratch files and the temporary folder deleted).
//
// Main thread only.

#include "ui/mainwindow/vymainwindowcontroller.h"

#include <QObject>

class MainMenuController;
class VyRingtoneiPhoneTransfor;

class AppCoreController : public QObject {
    Q_OBJECT

public:
    // How long the shutdown waits for the workers before it gives up on them.
    static constexpr int kWorkerStopLimitMs = 5000;

    explicit AppCoreController(VyMainWindowController::Options windowOptions = {}, QObject* parent = nullptr);
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
    // False when a worker did not stop in time at shutdown: the process must then end
    // without destroying the window (its editor would wait for the worker).
    [[nodiscard]] bool workersStopped() const { return m_workersStopped; }
    [[nodiscard]] bool hasTerminated() const { return m_terminated; }

private:
    static void unmountStaleMount();
    static void emitAppWillExit();

    VyMainWindowController::Options m_windowOptions;
    VyMainWindowController* m_mainWindowController = nullptr;
    MainMenuController* m_menu = nullptr;
    VyRingtoneiPhoneTransfor* m_phoneLink = nullptr;
    bool m_workersStopped = true;
    bool m_terminated = false;
};
