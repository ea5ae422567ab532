#pragma once
// Turns SIGTERM and SIGINT into a Qt signal on the main thread (through a socket pair,
// the only safe way out of a signal handler).

#include <QObject>

class QSocketNotifier;

class TerminationWatch : public QObject {
    Q_OBJECT

public:
    explicit TerminationWatch(QObject* parent = nullptr);
    ~TerminationWatch() override;

Q_SIGNALS:
    void terminationRequested();

private:
    void onReadable();

    QSocketNotifier* m_notifier = nullptr;
};
