// sonabel: the command-line side of Corvane Sonabel.

#include "core/config/stringobfuscation.h"
#include "core/environment/environmentinitialize.h"
#include "tools/sonabel/commandparser.h"
#include "tools/sonabel/groovecommand.h"
#include "tools/sonabel/librarycommand.h"
#include "tools/sonabel/makecommand.h"
#include "tools/sonabel/phonecommand.h"
#include "tools/sonabel/probecommand.h"
#include "tools/sonabel/trimcommand.h"
#include "tools/sonabel/waveformcommand.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

namespace {

void usage(QTextStream& err)
{
    // The layout help2man reads into the manual page: a usage line, then sections.
    err << "Usage: sonabel COMMAND [ARGS]\n"
           "\n"
           "Commands:\n"
           "  probe FILE [--json]   print the duration, streams and audio format of a media file\n"
           "  waveform FILE [--csv] [--archive OUT.plist] [--height H]\n"
           "                        reduce a file to its waveform points\n"
           "  make IN -o OUT [--start TIME] [--length SECONDS] [--fade-in S] [--fade-out S] [--volume PERCENT] "
           "[--rate HZ] [--channels N] [--bitrate BPS] [--format m4r|wav|mp3]\n"
           "                        make a ringtone of a part of a media file (default: the first 40 s)\n"
           "  trim IN -o OUT.mov [--start TIME] [--length SECONDS]\n"
           "                        cut a section of a media file into a MOV file (default: up to the end)\n"
           "  phone list [--mount DIR]\n"
           "                        the ringtones on the connected phone (or a folder laid out like it)\n"
           "                        with their lengths\n"
           "  phone push FILE.m4r [--mount DIR]\n"
           "                        copy a ringtone onto the phone and print the name it got there\n"
           "  phone remove NAME [--mount DIR]\n"
           "                        remove a ringtone (its file and its entry) from the phone\n"
           "  phone pull NAME -o DIR [--mount DIR]\n"
           "                        copy a ringtone off the phone into DIR as NAME.m4r (numbered when taken)\n"
           "  groove PATTERN.xml -o OUT.wav | groove --preset N -o OUT.wav\n"
           "                        render a Groove Box pattern (or built-in rhythm 1-3) to WAV\n"
           "  library [--itunes FILE.xml] list\n"
           "                        the library list's entries and how many files each holds\n"
           "  library [--itunes FILE.xml] search TEXT [--by All|Artist|Album|Composer|Song]\n"
           "                        the files the library search finds, one path a line\n"
           "  obfuscate TEXT        the stored form of a link for ProductConfig.xml\n"
           "  reveal STORED         the link a stored value stands for\n"
           "\n"
           "Options:\n"
           "  -h, --help            this text; COMMAND --help describes a command's options\n"
           "  -v, --version         the version\n";
}

// `sonabel obfuscate TEXT` and `sonabel reveal STORED`: a link and its stored form.
int runObfuscation(const QString& command, const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    const bool obfuscate = command == u"obfuscate";
    CommandParser parser(obfuscate ? QStringLiteral("usage: sonabel obfuscate TEXT\n")
                                   : QStringLiteral("usage: sonabel reveal STORED\n"));
    parser.parser().addPositionalArgument(obfuscate ? QStringLiteral("TEXT") : QStringLiteral("STORED"),
        obfuscate ? QStringLiteral("The link to store.") : QStringLiteral("The stored value to read."));
    if (const std::optional<int> status = parser.parse(arguments, out, err))
        return *status;
    const QStringList texts = parser.parser().positionalArguments();
    if (texts.size() != 1)
        return parser.refuse(err);
    const QByteArray text = texts.constFirst().toUtf8();
    out << QString::fromUtf8(obfuscate ? EncryptString(text) : DecryptString(text)) << '\n';
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("sonabel"));
    QCoreApplication::setApplicationVersion(QStringLiteral(SONABEL_VERSION));
    QTextStream out(stdout);
    QTextStream err(stderr);

    // The program's own options come before the command; everything after the command is
    // the command's to read.
    QCommandLineParser parser;
    parser.setOptionsAfterPositionalArgumentsMode(QCommandLineParser::ParseAsPositionalArguments);
    const QCommandLineOption help({ QStringLiteral("h"), QStringLiteral("help") }, QString());
    const QCommandLineOption version({ QStringLiteral("v"), QStringLiteral("version") }, QString());
    parser.addOptions({ help, version });
    if (!parser.parse(QCoreApplication::arguments())) {
        err << "sonabel: " << CommandParser::complaintOf(parser) << '\n';
        usage(err);
        return 2;
    }
    if (parser.isSet(version)) {
        out << QCoreApplication::applicationName() << ' ' << QCoreApplication::applicationVersion() << '\n';
        return 0;
    }
    QStringList args = parser.positionalArguments();
    if (parser.isSet(help) || args.isEmpty()) {
        usage(parser.isSet(help) ? out : err);
        return parser.isSet(help) ? 0 : 2;
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
    } else if (command == u"trim") {
        status = runTrim(args, out, err);
    } else if (command == u"phone") {
        status = runPhone(args, out, err);
    } else if (command == u"groove") {
        status = runGroove(args, out, err);
    } else if (command == u"library") {
        status = runLibrary(args, out, err);
    } else if (command == u"obfuscate" || command == u"reveal") {
        status = runObfuscation(command, args, out, err);
    } else {
        err << "sonabel: unknown command \"" << command << "\"\n";
        usage(err);
    }
    out.flush();
    err.flush();
    EnvironmentInitialize::uninitEnvironment();
    return status;
}
