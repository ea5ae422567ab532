// vIrodeVovi: mounts a connected iPhone's media partition at the application's mount point
// and reports it on the session bus ("DeviceConnected", "DeviceDisconnected"); on SIGTERM it
// unmounts, reports "DeviceUnmounted" and exits 0.
//
//   vIrodeVovi [rOdezaDeva.zar] [--mount DIR] [--simulate]

#include "core/environment/appplaces.h"
#include "core/environment/logging.h"
#include "core/environment/terminationwatch.h"
#include "core/phone/phonesignals.h"
#include "helper/devicewatcher.h"
#include "helper/helperbus.h"
#include "helper/simulatedphone.h"

#include <QCoreApplication>
#include <QDir>
#include <QTextStream>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("vIrodeVovi"));
    logging::install();

    QString mountPoint;
    bool simulate = false;
    QStringList args = QCoreApplication::arguments().mid(1);
    while (!args.isEmpty()) {
        const QString arg = args.takeFirst();
        if (arg == u"--simulate") {
            simulate = true;
        } else if (arg == u"--mount" && !args.isEmpty()) {
            mountPoint = QDir::cleanPath(args.takeFirst());
        } else if (arg == u"rOdezaDeva.zar") {
            // The application names itself so; nothing to do with it.
        } else {
            QTextStream(stderr) << "usage: vIrodeVovi [--mount DIR] [--simulate]\n";
            return 2;
        }
    }

    if (mountPoint.isEmpty())
        mountPoint = AppPlaces::mountPoint();

    TerminationWatch termination;
    SimulatedPhone* simulated = nullptr;
    DeviceWatcher* watcher = nullptr;
    if (simulate) {
        if (!QDir().mkpath(mountPoint)) {
            qCCritical(lcPhone).noquote() << "Cannot make" << mountPoint;
            return 1;
        }
        simulated = new SimulatedPhone(mountPoint, &app);
    } else {
        watcher = new DeviceWatcher(mountPoint, &app);
        watcher->start();
    }

    QObject::connect(&termination, &TerminationWatch::terminationRequested, &app, [&] {
        if (simulated != nullptr)
            simulated->stop();
        if (watcher != nullptr)
            watcher->stop();
        HelperBus::emitSignal(PhoneSignals::kDeviceUnmounted);
        HelperBus::flush();
        QCoreApplication::exit(0);
    });
    return QCoreApplication::exec();
}
