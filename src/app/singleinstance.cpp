#include "app/singleinstance.h"

#include "core/environment/logging.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusReply>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QStandardPaths>

#include <unistd.h>

SingleInstance::SingleInstance(QObject* parent)
    : QObject(parent)
{
}

SingleInstance::~SingleInstance()
{
    if (m_usesBus) {
        QDBusConnection bus = QDBusConnection::sessionBus();
        bus.unregisterObject(QLatin1String(kObjectPath));
        bus.unregisterService(QLatin1String(kServiceName));
    }
}

QString SingleInstance::lockPath()
{
    // The runtime folder is the user's own (mode 0700); the temporary one is shared.
    QString folder = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (folder.isEmpty())
        folder = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
    if (folder.isEmpty())
        folder = QDir::tempPath();
    return folder + QStringLiteral("/corvane-sonabel-%1.lock").arg(::geteuid());
}

QString SingleInstance::socketPath()
{
    QString path = lockPath();
    path.chop(5);
    return path + QStringLiteral(".socket");
}

SingleInstance::Role SingleInstance::claim(Transport transport)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (transport == Transport::LockFile || !bus.isConnected() || bus.interface() == nullptr)
        return claimWithLockFile();
    const QDBusReply<QDBusConnectionInterface::RegisterServiceReply> reply
        = bus.interface()->registerService(QLatin1String(kServiceName), QDBusConnectionInterface::DontQueueService,
            QDBusConnectionInterface::DontAllowReplacement);
    if (!reply.isValid())
        return claimWithLockFile();
    m_usesBus = true;
    if (reply.value() != QDBusConnectionInterface::ServiceRegistered)
        return Role::Secondary;
    bus.registerObject(QLatin1String(kObjectPath), this, QDBusConnection::ExportScriptableSlots);
    return Role::Primary;
}

SingleInstance::Role SingleInstance::claimWithLockFile()
{
    m_usesBus = false;
    m_lock = std::make_unique<QLockFile>(lockPath());
    m_lock->setStaleLockTime(0); // stale only when its process is gone
    if (!m_lock->tryLock(0))
        return Role::Secondary;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    QLocalServer::removeServer(socketPath());
    if (!m_server->listen(socketPath()))
        qCWarning(lcApp).noquote()
            << QStringLiteral("cannot listen for second starts: %1").arg(m_server->errorString());
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
                while (socket->canReadLine()) {
                    const QString line = QString::fromUtf8(socket->readLine()).trimmed();
                    if (line.isEmpty())
                        Activate();
                    else
                        OpenFile(line);
                }
            });
        }
    });
    return Role::Primary;
}

bool SingleInstance::handOver(const QString& file)
{
    const QString path = file.isEmpty() ? QString() : QFileInfo(file).absoluteFilePath();
    if (m_usesBus) {
        QDBusMessage call = QDBusMessage::createMethodCall(QLatin1String(kServiceName), QLatin1String(kObjectPath),
            QLatin1String(kInterface), path.isEmpty() ? QStringLiteral("Activate") : QStringLiteral("OpenFile"));
        if (!path.isEmpty())
            call << path;
        const QDBusMessage reply = QDBusConnection::sessionBus().call(call, QDBus::Block, 10000);
        return reply.type() == QDBusMessage::ReplyMessage;
    }
    QLocalSocket socket;
    socket.connectToServer(socketPath());
    if (!socket.waitForConnected(5000))
        return false;
    socket.write(path.toUtf8() + '\n');
    const bool written = socket.waitForBytesWritten(5000);
    socket.disconnectFromServer();
    return written;
}

void SingleInstance::OpenFile(const QString& path)
{
    Q_EMIT fileHandedOver(path);
}

void SingleInstance::Activate()
{
    Q_EMIT activationRequested();
}
