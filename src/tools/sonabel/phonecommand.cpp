#include "tools/sonabel/phonecommand.h"

#include "core/phone/vyringtoneiphonetransfor.h"
#include "tools/sonabel/commandparser.h"

#include <QFileInfo>
#include <QTextStream>

namespace {

constexpr auto kListUsage = "usage: sonabel phone list [--mount DIR]\n";
constexpr auto kPushUsage = "usage: sonabel phone push FILE.m4r [--mount DIR]\n";
constexpr auto kRemoveUsage = "usage: sonabel phone remove NAME [--mount DIR]\n";
constexpr auto kPullUsage = "usage: sonabel phone pull NAME -o DIR [--mount DIR]\n";

QString usageOf(const QString& action)
{
    if (action == u"list")
        return QString::fromLatin1(kListUsage);
    if (action == u"push")
        return QString::fromLatin1(kPushUsage);
    if (action == u"remove")
        return QString::fromLatin1(kRemoveUsage);
    if (action == u"pull")
        return QString::fromLatin1(kPullUsage);
    // No action, or one we do not have: every usage, the later ones aligned under the first.
    QString all = QString::fromLatin1(kListUsage);
    for (const char* usage : { kPushUsage, kRemoveUsage, kPullUsage })
        all += QStringLiteral("       ") + QString::fromLatin1(usage).mid(7);
    return all;
}

} // namespace

int runPhone(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    // The action picks the usage and options its help shows.
    const QString action
        = !arguments.isEmpty() && !arguments.constFirst().startsWith(u'-') ? arguments.constFirst() : QString();
    CommandParser command(usageOf(action));
    QCommandLineParser& parser = command.parser();
    const QCommandLineOption mountOption(QStringLiteral("mount"),
        QStringLiteral("The phone's media folder (default: where the helper mounts it)."), QStringLiteral("DIR"));
    const QCommandLineOption outputOption({ QStringLiteral("o"), QStringLiteral("output") },
        QStringLiteral("The folder to copy into."), QStringLiteral("DIR"));
    parser.addOption(mountOption);
    if (action == u"pull")
        parser.addOption(outputOption);
    if (action == u"push")
        parser.addPositionalArgument(
            QStringLiteral("FILE.m4r"), QStringLiteral("The ringtone to copy onto the phone."));
    else if (action == u"remove" || action == u"pull")
        parser.addPositionalArgument(
            QStringLiteral("NAME"), QStringLiteral("The ringtone's name as `list` prints it."));
    else if (action != u"list")
        parser.addPositionalArgument(QStringLiteral("ACTION"),
            QStringLiteral("list, push, remove or pull; `sonabel phone ACTION --help` tells more."));
    if (const std::optional<int> status = command.parse(arguments, out, err))
        return *status;
    QStringList args = parser.positionalArguments();
    if (!args.isEmpty())
        args.removeFirst(); // the action
    const bool list = action == u"list" && args.isEmpty();
    const bool oneArgument = args.size() == 1 && !args.constFirst().isEmpty();
    const bool push = action == u"push" && oneArgument;
    const bool remove = action == u"remove" && oneArgument;
    const bool pull = action == u"pull" && oneArgument && !parser.value(outputOption).isEmpty();
    if (!list && !push && !remove && !pull)
        return command.refuse(err);

    VyRingtoneiPhoneTransfor store(parser.value(mountOption));
    if (!QFileInfo(store.ringtoneFolder()).isDir()) {
        err << "sonabel: no phone ringtone folder at " << store.ringtoneFolder() << "\n";
        return 1;
    }

    if (list) {
        for (const QVariantMap& ringtone : store.listRingtones(true))
            out << ringtone.value(QStringLiteral("name")).toString() << '\t'
                << QString::number(ringtone.value(QStringLiteral("length")).toDouble(), 'f', 1) << "s\t"
                << ringtone.value(QStringLiteral("path")).toString() << '\n';
        return 0;
    }
    if (remove) {
        const PhoneRemoveResult result = store.removeRingtone(args.first());
        if (!result.entryRemoved || !result.fileRemoved) {
            err << "sonabel: cannot remove \"" << args.first() << "\": " << result.error << '\n';
            return 1;
        }
        return 0;
    }
    if (pull) {
        const QString folder = parser.value(outputOption);
        if (!QFileInfo(folder).isDir()) {
            err << "sonabel: no folder " << folder << '\n';
            return 1;
        }
        const PhonePullResult result = store.pullRingtone(args.first(), folder);
        if (result.path.isEmpty()) {
            err << "sonabel: cannot copy \"" << args.first() << "\" off the phone: " << result.error << '\n';
            return 1;
        }
        out << result.path << '\n';
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
    err << "sonabel: the phone may need a restart before the ringtone appears in its settings\n";
    return 0;
}
