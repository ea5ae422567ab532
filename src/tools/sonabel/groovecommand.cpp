#include "tools/sonabel/groovecommand.h"

#include "core/environment/appplaces.h"
#include "core/groovebox/gbpatternfile.h"
#include "core/groovebox/midiloader.h"
#include "core/groovebox/soundfontpack.h"
#include "tools/sonabel/commandparser.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLoggingCategory>
#include <QProcess>
#include <QTemporaryDir>
#include <QTextStream>

namespace {

constexpr int kGbUtilTimeoutMs = 30000;

// The user's unpacked font, else the shipped one unpacked into `scratch`; empty when neither.
QString soundFont(const QString& scratch)
{
    if (QFileInfo::exists(AppPlaces::soundFontPath()))
        return AppPlaces::soundFontPath();
    const QString folder = QCoreApplication::applicationDirPath();
    for (const QString& packed : { folder + QStringLiteral("/VyRingtoneSample.sf2pack"),
             QDir::cleanPath(folder + QStringLiteral("/../share/corvane-sonabel/VyRingtoneSample.sf2pack")) }) {
        const QString font = scratch + QStringLiteral("/VyRingtoneSample.sf2");
        if (QFileInfo::exists(packed)
            && unPackSf2File(QFile::encodeName(packed).constData(), QFile::encodeName(font).constData()) == 0)
            return font;
    }
    return {};
}

} // namespace

int runGroove(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    CommandParser command(QStringLiteral("usage: sonabel groove PATTERN.xml -o OUT.wav\n"
                                         "       sonabel groove --preset N -o OUT.wav   (N: 1, 2 or 3)\n"));
    const QCommandLineOption output({ QStringLiteral("o"), QStringLiteral("output") },
        QStringLiteral("The WAV file to write."), QStringLiteral("OUT.wav"));
    const QCommandLineOption preset(
        QStringLiteral("preset"), QStringLiteral("A built-in rhythm instead of a pattern file."), QStringLiteral("N"));
    command.parser().addOptions({ output, preset });
    command.parser().addPositionalArgument(
        QStringLiteral("PATTERN.xml"), QStringLiteral("A Groove Box pattern file (CorvaneGBData.xml)."));
    if (const std::optional<int> status = command.parse(arguments, out, err))
        return *status;
    // The renderer's progress lines belong in the program's log, not on a terminal.
    QLoggingCategory::setFilterRules(QStringLiteral("sonabel.groovebox.render.info=false"));
    const QStringList files = command.parser().positionalArguments();
    const QString target = command.parser().value(output);
    if (target.isEmpty() || files.size() > 1 || (files.isEmpty() != command.parser().isSet(preset)))
        return command.refuse(err);

    GBPattern pattern;
    if (command.parser().isSet(preset)) {
        bool number = false;
        const int index = command.parser().value(preset).toInt(&number);
        if (!number || index < 1 || index > GBPattern::kPresetCount - 1)
            return command.refuse(err, QStringLiteral("--preset takes 1, 2 or 3"));
        pattern.presetTracks(index);
    } else {
        QString why;
        const std::optional<GBPattern> read = GBPatternFile::readPatternFile(files.constFirst(), &why);
        if (!read) {
            err << "sonabel: cannot use the pattern \"" << files.constFirst() << "\": " << why << '\n';
            return 1;
        }
        pattern = *read;
    }

    // Never the Groove Box's own scratch files: a sheet may be open on them.
    const QTemporaryDir scratch;
    const QString patternFile = scratch.path() + QStringLiteral("/pattern.xml");
    const QString midiFile = scratch.path() + QStringLiteral("/pattern.mid");
    QString why;
    if (!scratch.isValid() || !GBPatternFile::writePatternFile(pattern, patternFile, &why)) {
        err << "sonabel: cannot write the pattern to a temporary folder: " << why << '\n';
        return 1;
    }
    QProcess gbUtil;
    gbUtil.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    gbUtil.start(QCoreApplication::applicationDirPath() + QStringLiteral("/GBUtil"), { patternFile, midiFile });
    if (!gbUtil.waitForFinished(kGbUtilTimeoutMs) || gbUtil.exitStatus() != QProcess::NormalExit
        || gbUtil.exitCode() != 0) {
        err << "sonabel: GBUtil could not turn the pattern into MIDI\n";
        return 1;
    }
    const QString font = soundFont(scratch.path());
    if (font.isEmpty()) {
        err << "sonabel: no sound font: neither " << AppPlaces::soundFontPath()
            << " nor the packed font beside the program\n";
        return 1;
    }
    const MidiRenderResult result = midiLoader(midiFile, font, target);
    if (!result.ok) {
        err << "sonabel: cannot render \"" << target << "\": " << result.error << '\n';
        return 1;
    }
    out << target << '\t' << QString::number(result.seconds, 'f', 2) << " s\n";
    return 0;
}
