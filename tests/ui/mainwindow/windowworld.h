#pragma once
// A private world for window tests: HOME, TMPDIR and the phone's mount point moved into
// a scratch folder for the test's lifetime, so nothing touches the user's folders.

#include "core/environment/editingstate.h"
#include "core/environment/environmentinitialize.h"
#include "core/environment/temporaryfolder.h"
#include "support/fixtures.h"
#include "ui/mainwindow/vymainwindowcontroller.h"

#include <QByteArray>
#include <QDir>
#include <QString>

#include <memory>

class WindowWorld {
public:
    WindowWorld()
        : m_oldHome(qgetenv("HOME"))
        , m_oldTmp(qgetenv("TMPDIR"))
        , m_oldMount(qgetenv("SONABEL_MOUNT_POINT"))
    {
        QDir root(folder());
        root.mkpath(QStringLiteral("home"));
        root.mkpath(QStringLiteral("tmp"));
        root.mkpath(QStringLiteral("mnt"));
        qputenv("HOME", QFile::encodeName(path(QStringLiteral("home"))));
        qputenv("TMPDIR", QFile::encodeName(path(QStringLiteral("tmp"))));
        qputenv("SONABEL_MOUNT_POINT", QFile::encodeName(mountPoint()));
    }
    ~WindowWorld()
    {
        restore("HOME", m_oldHome);
        restore("TMPDIR", m_oldTmp);
        restore("SONABEL_MOUNT_POINT", m_oldMount);
    }
    WindowWorld(const WindowWorld&) = delete;
    WindowWorld& operator=(const WindowWorld&) = delete;

    [[nodiscard]] QString folder() const { return QString::fromStdString(m_dir.path()); }
    [[nodiscard]] QString path(const QString& name) const { return folder() + u'/' + name; }
    [[nodiscard]] QString mountPoint() const { return path(QStringLiteral("mnt/.SonabelMedia")); }

private:
    static void restore(const char* name, const QByteArray& value)
    {
        if (value.isNull())
            qunsetenv(name);
        else
            qputenv(name, value);
    }

    fixtures::ScratchDir m_dir;
    QByteArray m_oldHome;
    QByteArray m_oldTmp;
    QByteArray m_oldMount;
};

// A window as the application hands it over (the editing state fresh, the temporary
// folder made, the media libraries up), without the fade-in, shown and loaded.
inline std::unique_ptr<VyMainWindowController> openQuietWindow(const WindowRegistry* windows = nullptr)
{
    static const bool mediaUp = [] {
        EnvironmentInitialize::initEnvironment();
        return true;
    }();
    (void)mediaUp;
    GloableVar::resetGloableVariable();
    TemporaryFolder::setUp();
    auto window
        = std::make_unique<VyMainWindowController>(VyMainWindowController::Services { nullptr, windows }, false);
    window->show();
    window->windowDidLoad();
    return window;
}
