#include "tools/sonabel/phonecommand.h"

#include "core/phone/vyringtoneiphonetransfor.h"
#include "tools/sonabel/commandparser.h"

#include <QFileInfo>
#include <QTextStream>

namespace {

constexpr auto kUsage = "usage: sonabel phone list [--mount DIR]\n"
                        "       sonabel phone push FILE.m4r [--mount DIR]\n";

} // namespace

int runPhone(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    CommandParser command(QString::fromLatin1(kUsage));
    const QCommandLineOption mountOption(QStringLiteral("mount"),
        QStringLiteral("The phone's media folder (default: where the helper mounts it)."), QStringLiteral("DIR"));
    command.parser().addOption(mountOption);
    command.parser().addPositionalArgument(
        QStringLiteral("list|push"), QStringLiteral("List the ringtones, or push FILE.m4r onto the phone."));
    if (const std::optional<int> status = command.parse(arguments, out, err))
        return *status;
    QStringList args = command.parser().positionalArguments();
    const QString action = args.isEmpty() ? QString() : args.takeFirst();
    const bool list = action == u"list" && args.isEmpty();
    const bool push = action == u"push" && args.size() == 1;
    if (!list && !push)
        return command.refuse(err);

    VyRingtoneiPhoneTransfor store(command.parser().value(mountOption));
    if (!QFileInfo(store.ringtoneFolder()).isDir()) {
        err << "sonabel: no phone ringtone folder at " << store.ringtoneFolder() << "\n";
        return 1;
    }

    if (list) {
        for (const QVariantMap& ringtone : store.listRingtones())
            out << ringtone.value(QStringLiteral("name")).toString() << '\t'
                << ringtone.value(QStringLiteral("path")).toString() << '\n';
        return 0;
    }
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
