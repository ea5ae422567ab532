#pragma once
// A phone without hardware: the mount folder itself stands for the media partition, and the
// lines "connect" and "disconnect" on standard input play the phone arriving and leaving.

#include <QObject>
#include <QString>

class QSocketNotifier;

class SimulatedPhone : public QObject {
    Q_OBJECT

public:
    explicit SimulatedPhone(const QString& mountPoint, QObject* parent = nullptr);

    // Nothing is mounted, so leaving only reports it.
    void stop();

private:
    void onReadable();
    void handleLine(const QByteArray& line);

    QString m_mountPoint;
    QSocketNotifier* m_notifier = nullptr;
    QByteArray m_pending;
};
