#include "tools/sonabel/phonecommand.h"

#include "core/phone/vyringtoneiphonetransfor.h"

#include <QFileInfo>
#include <QTextStream>

namespace {

constexpr auto kUsage = "usage: sonabel phone list [--mount DIR]\n"
                        "       sonabel phone push FILE.m4r [--mount DIR]\n";

} // namespace

int runPhone(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QStringList args = arguments;
    QString mount;
    const qsizetype mountAt = args.indexOf(QStringLiteral("--mount"));
    if (mountAt >= 0) {
        if (mountAt + 1 >= args.size()) {
            err << kUsage;
            return 2;
        }
        mount = args.at(mountAt + 1);
        args.remove(mountAt, 2);
    }
    if (args.isEmpty()) {
        err << kUsage;
        return 2;
    }
    const QString action = args.takeFirst();
    VyRingtoneiPhoneTransfor store(mount);
    if (!QFileInfo(store.ringtoneFolder()).isDir()) {
        err << "sonabel: no phone ringtone folder at " << store.ringtoneFolder() << "\n";
        return 1;
    }

    if (action == u"list" && args.isEmpty()) {
        for (const QVariantMap& ringtone : store.listRingtones())
            out << ringtone.value(QStringLiteral("name")).toString() << '\t'
                << ringtone.value(QStringLiteral("path")).toString() << '\n';
        return 0;
    }
    if (action == u"push" && args.size() == 1) {
        const PhoneTransferResult result = store.transferRingtone(args.first());
        if (!result.copied) {
            err << "sonabel: cannot copy \"" << args.first() << "\" to the phone: " << result.error << '\n';
            return 1;
        }
        out << result.phoneName << '\n';
        if (!result.registered) {
            err << "sonabel: " << result.error << '\n';
            return 1;
        }
        return 0;
    }
    err << kUsage;
    return 2;
}
