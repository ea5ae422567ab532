#pragma once
// The main window's load gate: which load requests go through and what the window is
// showing. One file is checked and loaded at a time; a request meanwhile, an empty one
// and one for the file already loaded are dropped. No widgets: a test drives it alone.
//
// Main thread only.

#include <QString>
#include <QVariant>
#include <QVariantMap>

#include <optional>

class FileLoadGate {
public:
    struct Request {
        QString path;
        QString name; // as the editor shows it
        QVariant currentView; // the list item asked for, if any
    };

    // A request's file: {"FilePath", "isLocal": "YES"}, or a list item under
    // "ChildItem" (an object with the properties itemPath and itemTitle). Empty when
    // the request names no file.
    [[nodiscard]] static Request read(const QVariantMap& userInfo);

    // The request when it may go on to be checked, the gate then closed behind it.
    std::optional<Request> admit(const QVariantMap& userInfo, const QString& loadedFile);

    // The file was refused, or the editor could not start on it.
    void refused() { m_mutex = 1; }
    // The editor has the file, its waveform ready.
    void loaded()
    {
        m_mutex = 1;
        m_fileHaveLoaded = 1;
    }
    // The editor is shown for a checked file.
    void opened() { m_isClose = 0; }
    // The editor was closed: back to the drop view.
    void closed()
    {
        m_isClose = 1;
        m_fileHaveLoaded = 0;
        m_mutex = 1;
    }
    void unlock() { m_mutex = 1; }

    [[nodiscard]] bool fileHaveLoaded() const { return m_fileHaveLoaded != 0; }
    [[nodiscard]] bool isFree() const { return m_mutex == 1; }
    [[nodiscard]] bool isClose() const { return m_isClose != 0; }

private:
    // A 0/1 flag, not a lock (everything runs on the main thread): 1 while a file may
    // be loaded, 0 while a load is under way.
    unsigned m_mutex = 1;
    unsigned m_fileHaveLoaded = 0;
    unsigned m_isClose = 0;
};
