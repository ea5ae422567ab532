#pragma once
// Where the windows around the editor plug in. The application registers an opener for
// each function this build has; the main window asks the registry to open one and, when
// nothing is registered for it, tells the user the function is not available instead of
// doing nothing. A new window is added here, not to the main window.
//
// Main thread only.

#include <QString>

#include <functional>
#include <map>

class QWidget;

class WindowRegistry {
public:
    enum class Function { Recorder, RingtoneManager, GrooveBox, Trim, Library };
    // Opens (or brings to the front) the function's window over `mainWindow`.
    using Opener = std::function<void(QWidget* mainWindow)>;
    // For a window that works on the file the editor holds (trimming): that file's path.
    using FileOpener = std::function<void(QWidget* mainWindow, const QString& file)>;

    void add(Function function, Opener opener);
    void addFileOpener(Function function, FileOpener opener);
    // False when this build has no window for `function`. `file` goes to a file opener.
    bool open(Function function, QWidget* mainWindow, const QString& file = {}) const;
    [[nodiscard]] bool has(Function function) const { return m_openers.count(function) != 0; }

    // The function as the "not available" message names it, e.g. "The recorder".
    [[nodiscard]] static QString displayName(Function function);

private:
    std::map<Function, FileOpener> m_openers;
};
