#include "helper/simulatedphone.h"

#include "core/environment/logging.h"
#include "core/phone/phonesignals.h"
#include "helper/helperbus.h"
#include "helper/phonepartition.h"

#include <QSocketNotifier>

#include <unistd.h>

SimulatedPhone::SimulatedPhone(const QString& mountPoint, QObject* parent)
    : QObject(parent)
    , m_mountPoint(mountPoint)
{
    m_notifier = new QSocketNotifier(STDIN_FILENO, QSocketNotifier::Read, this);
    connect(m_notifier, &QSocketNotifier::activated, this, &SimulatedPhone::onReadable);
    qCInfo(lcPhone).noquote() << "Simulating a phone at" << m_mountPoint << "- type \"connect\" or \"disconnect\"";
}

void SimulatedPhone::stop()
{
    m_notifier->setEnabled(false);
}

void SimulatedPhone::onReadable()
{
    char buffer[256];
    const ssize_t got = ::read(STDIN_FILENO, buffer, sizeof buffer);
    if (got <= 0) {
        // End of input: keep running until terminated, as with a real phone.
        m_notifier->setEnabled(false);
        return;
    }
    m_pending.append(buffer, got);
    qsizetype end = 0;
    while ((end = m_pending.indexOf('\n')) >= 0) {
        handleLine(m_pending.left(end).trimmed());
        m_pending.remove(0, end + 1);
    }
}

void SimulatedPhone::handleLine(const QByteArray& line)
{
    if (line == "connect") {
        if (PhonePartition::prepare(m_mountPoint, true))
            HelperBus::emitSignal(PhoneSignals::kDeviceConnected);
    } else if (line == "disconnect") {
        HelperBus::emitSignal(PhoneSignals::kDeviceDisconnected);
    } else if (!line.isEmpty()) {
        qCWarning(lcPhone).noquote() << "Unknown command" << QString::fromUtf8(line);
    }
}
