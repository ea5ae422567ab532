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

#include <gtest/gtest.h>

#include <memory>
#include <utility>
#include <vector>

class WindowWorld {
public:
    WindowWorld()
    {
        for (const char* sub : { "home", "tmp", "mnt" })
            QDir(folder()).mkpath(QLatin1String(sub));
        set("HOME", path(QStringLiteral("home")));
        set("TMPDIR", path(QStringLiteral("tmp")));
        set("SONABEL_MOUNT_POINT", mountPoint());
    }
    ~WindowWorld()
    {
        for (const auto& [name, value] : m_saved) {
            if (value.isNull())
                qunsetenv(name);
            else
                qputenv(name, value);
        }
    }
    WindowWorld(const WindowWorld&) = delete;
    WindowWorld& operator=(const WindowWorld&) = delete;

    [[nodiscard]] QString folder() const { return QString::fromStdString(m_dir.path()); }
    [[nodiscard]] QString path(const QString& name) const { return folder() + u'/' + name; }
    [[nodiscard]] QString mountPoint() const { return path(QStringLiteral("mnt/.SonabelMedia")); }

private:
    void set(const char* name, const QString& value)
    {
        m_saved.emplace_back(name, qgetenv(name));
        qputenv(name, QFile::encodeName(value));
    }

    fixtures::ScratchDir m_dir;
    std::vector<std::pair<const char*, QByteArray>> m_saved;
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
    EXPECT_TRUE(TemporaryFolder::setUp().ok()) << "the window's temporary folder";
    auto window
        = std::make_unique<VyMainWindowController>(VyMainWindowController::Services { nullptr, windows }, false);
    window->show();
    window->windowDidLoad();
    return window;
}
