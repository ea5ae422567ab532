#include "tools/sonabel/waveformcommand.h"

#include "core/environment/editingstate.h"
#include "core/waveform/parallelwaveformengine.h"
#include "core/waveform/sampleblocktransfer.h"
#include "tools/sonabel/commandparser.h"

#include <QElapsedTimer>
#include <QTextStream>

namespace {

constexpr auto kUsage = "usage: sonabel waveform FILE [--csv] [--archive OUT.plist] [--height H]\n";

} // namespace

int runWaveform(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    CommandParser command(QString::fromLatin1(kUsage));
    const QCommandLineOption csvOption(
        QStringLiteral("csv"), QStringLiteral("Print the points themselves, as x,y lines."));
    const QCommandLineOption archiveOption(QStringLiteral("archive"),
        QStringLiteral("Write the point archive to OUT.plist."), QStringLiteral("OUT.plist"));
    const QCommandLineOption heightOption(QStringLiteral("height"),
        QStringLiteral("The height the points are scaled to (default 200)."), QStringLiteral("H"));
    command.parser().addOptions({ csvOption, archiveOption, heightOption });
    command.parser().addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("The media file to reduce."));
    if (const std::optional<int> status = command.parse(arguments, out, err))
        return *status;
    const std::optional<QString> file = command.onlyFile();
    if (!file)
        return command.refuse(err);
    const QString path = *file;
    const QString archive = command.parser().value(archiveOption);
    const bool csv = command.parser().isSet(csvOption);
    float height = 200.0f;
    if (command.parser().isSet(heightOption)) {
        const QString value = command.parser().value(heightOption);
        bool ok = false;
        height = value.toFloat(&ok);
        if (!ok || !(height > 0.0f))
            return command.refuse(err, QStringLiteral("bad value \"%1\" for --height").arg(value));
    }

    // The view's zoom at load: one point every 0.05 units.
    gloableState()._pointClearance = 0.05;
    QElapsedTimer timer;
    timer.start();
    ParallelWaveformEngine engine; // the same points as one thread, on every core
    const std::optional<SampleBlock> block = engine.getWaveformPointsFromFile(path, height, 0.0f);
    const qint64 elapsed = timer.elapsed();
    if (!block || block->capability() == 0.0) {
        err << "sonabel: \"" << path << "\" has no audio to draw\n";
        return 1;
    }
    out << "points: " << block->sampleBlk().size() << '\n';
    out << "time: " << elapsed << " ms\n";
    if (csv) {
        out << "x,y\n";
        for (const SamplePoint& p : block->sampleBlk())
            out << p.cgSampPoint.x << ',' << p.cgSampPoint.y << '\n';
    }
    if (!archive.isEmpty() && !SampleBlockTransfer::writeBlockToFile(*block, archive)) {
        err << "sonabel: cannot write \"" << archive << "\"\n";
        return 1;
    }
    return 0;
}
