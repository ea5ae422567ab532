#pragma once
// Turns SIGTERM, SIGINT and SIGHUP (a logout, a service manager, Ctrl+C, a closed terminal)
// into a Qt signal on the main thread, through a socket pair: the only safe way out of a
// signal handler. One watch per process.

#include <QObject>

#include <sys/types.h>

class QSocketNotifier;

class TerminationWatch : public QObject {
    Q_OBJECT

public:
    explicit TerminationWatch(QObject* parent = nullptr);
    ~TerminationWatch() override;

    // For a child process, after fork and before exec: asks the kernel to send SIGTERM
    // when `parent` ends, and ends at once when it already has. Async-signal-safe.
    static void endWithParent(pid_t parent);

Q_SIGNALS:
    void terminationRequested();

private:
    void onReadable();

    QSocketNotifier* m_notifier = nullptr;
};
