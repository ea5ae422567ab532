#include "helper/helperbus.h"

#include "core/environment/logging.h"
#include "core/phone/phonesignals.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>

namespace HelperBus {

namespace {

bool busAvailable()
{
    static const bool available = [] {
        const bool connected = QDBusConnection::sessionBus().isConnected();
        if (!connected)
            qCWarning(lcPhone) << "No session bus: the application will not hear about the phone";
        return connected;
    }();
    return available;
}

} // namespace

void emitSignal(const char* name)
{
    qCInfo(lcPhone) << "Signal" << name;
    if (!busAvailable())
        return;
    QDBusMessage message = QDBusMessage::createSignal(QString::fromLatin1(PhoneSignals::kPath),
        QString::fromLatin1(PhoneSignals::kInterface), QString::fromLatin1(name));
    QDBusConnection::sessionBus().send(message);
}

void flush()
{
    if (!busAvailable())
        return;
    // A blocking call travels behind every message already queued on the connection.
    QDBusConnection::sessionBus().interface()->isServiceRegistered(QStringLiteral("org.freedesktop.DBus"));
}

} // namespace HelperBus
