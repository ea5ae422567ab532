#pragma once
// One running program per user. The first start owns the name "org.corvane.Sonabel" on
// the session bus and answers OpenFile/Activate there; a later start hands its file to
// it and ends. Two running copies would unmount each other's phone and delete each
// other's temporary folder. Without a session bus a lock file in the user's runtime
// folder, with a local socket beside it, does the same.
//
// Main thread only.

#include <QLockFile>
#include <QObject>
#include <QString>

#include <memory>

class QLocalServer;

class SingleInstance : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.corvane.Sonabel.Application")

public:
    static constexpr auto kServiceName = "org.corvane.Sonabel";
    static constexpr auto kObjectPath = "/org/corvane/Sonabel/Application";
    static constexpr auto kInterface = "org.corvane.Sonabel.Application";

    enum class Role { Primary, Secondary };
    enum class Transport { Automatic, LockFile };

    explicit SingleInstance(QObject* parent = nullptr);
    ~SingleInstance() override;

    // Becomes the running instance, or finds the one that is.
    // Automatic: the session bus when there is one, else the lock file.
    Role claim(Transport transport = Transport::Automatic);
    // From a second start: hands `file` (empty: just come to the front) to the running
    // instance. False when it could not be reached.
    bool handOver(const QString& file);
    [[nodiscard]] bool usesBus() const { return m_usesBus; }

    // The lock file and socket used without a session bus.
    [[nodiscard]] static QString lockPath();
    [[nodiscard]] static QString socketPath();

public Q_SLOTS:
    Q_SCRIPTABLE void OpenFile(const QString& path);
    Q_SCRIPTABLE void Activate();

Q_SIGNALS:
    void fileHandedOver(const QString& path);
    void activationRequested();

private:
    Role claimWithLockFile();

    bool m_usesBus = false;
    std::unique_ptr<QLockFile> m_lock;
    QLocalServer* m_server = nullptr;
};
