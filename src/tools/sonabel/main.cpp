// sonabel: the command-line side of Corvane Sonabel.

#include "core/config/stringobfuscation.h"
#include "core/environment/environmentinitialize.h"
#include "tools/sonabel/makecommand.h"
#include "tools/sonabel/phonecommand.h"
#include "tools/sonabel/probecommand.h"
#include "tools/sonabel/waveformcommand.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

namespace {

void usage(QTextStream& err)
{
    err << "usage: sonabel COMMAND [ARGS]\n"
           "commands:\n"
           "  probe FILE [--json]   print the duration, streams and audio format of a media file\n"
           "  waveform FILE [--csv] [--archive OUT.plist] [--height H]\n"
           "                        reduce a file to its waveform points\n"
           "  make IN -o OUT [--start TIME] [--length SECONDS] [--fade-in S] [--fade-out S] [--volume PERCENT]\n"
           "       [--rate HZ] [--channels N] [--bitrate BPS] [--format m4r|wav|mp3]\n"
           "                        make a ringtone of a part of a media file (default: the first 40 s)\n"
           "  phone list [--mount DIR]\n"
           "                        the ringtones on the connected phone (or a folder laid out like it)\n"
           "  phone push FILE.m4r [--mount DIR]\n"
           "                        copy a ringtone onto the phone and print the name it got there\n"
           "  obfuscate TEXT        the stored form of a link for ProductConfig.xml\n"
           "  reveal STORED         the link a stored value stands for\n";
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("sonabel"));
    QTextStream out(stdout);
    QTextStream err(stderr);

    QStringList args = QCoreApplication::arguments().mid(1);
    if (args.isEmpty() || args.first() == u"--help" || args.first() == u"-h") {
        usage(args.isEmpty() ? err : out);
        return args.isEmpty() ? 2 : 0;
    }
    const QString command = args.takeFirst();
    EnvironmentInitialize::initEnvironment();
    int status = 2;
    if (command == u"probe") {
        status = runProbe(args, out, err);
    } else if (command == u"waveform") {
        status = runWaveform(args, out, err);
    } else if (command == u"make") {
        status = runMake(args, out, err);
    } else if (command == u"phone") {
        status = runPhone(args, out, err);
    } else if ((command == u"obfuscate" || command == u"reveal") && args.size() == 1) {
        const QByteArray text = args.first().toUtf8();
        out << QString::fromUtf8(command == u"obfuscate" ? EncryptString(text) : DecryptString(text)) << '\n';
        status = 0;
    } else {
        err << "sonabel: unknown command \"" << command << "\"\n";
        usage(err);
    }
    out.flush();
    err.flush();
    EnvironmentInitialize::uninitEnvironment();
    return status;
}
