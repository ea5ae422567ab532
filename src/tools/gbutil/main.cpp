// GBUtil: turns a Groove Box pattern file into a standard MIDI file.
//
//   GBUtil            music folder + "/CorvaneGBData.xml" to music folder + "/CorvaneGBSound.mid"
//   GBUtil IN OUT     the given files
//
// Exits 0 when the MIDI file was written, 1 when the pattern is missing or malformed or
// the MIDI file cannot be written (which then is left as it was), 2 on wrong arguments.

#include "core/environment/appplaces.h"
#include "core/files/atomicfile.h"
#include "core/groovebox/gbpatternfile.h"
#include "core/groovebox/patterntomidi.h"

#include <QCoreApplication>
#include <QTextStream>

#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("GBUtil"));
    QTextStream err(stderr);

    const QStringList arguments = QCoreApplication::arguments().mid(1);
    QString input;
    QString output;
    if (arguments.isEmpty()) {
        const QString folder = AppPlaces::musicFolder();
        input = folder + u'/' + QLatin1String(GBPatternFile::kPatternFileName);
        output = folder + u'/' + QLatin1String(GBPatternFile::kMidiFileName);
    } else if (arguments.size() == 2) {
        input = arguments[0];
        output = arguments[1];
    } else {
        err << "usage: GBUtil [PATTERN.xml OUT.mid]\n";
        return 2;
    }

    QString error;
    const std::optional<GBPattern> pattern = GBPatternFile::readPatternFile(input, &error);
    if (!pattern) {
        err << "GBUtil: cannot read the pattern " << input << ": " << error << '\n';
        return 1;
    }
    if (!AtomicFile::writeData(output, patternToMidi(*pattern), AtomicFile::Existing::Replace, &error)) {
        err << "GBUtil: cannot write " << output << ": " << error << '\n';
        return 1;
    }
    return 0;
}
