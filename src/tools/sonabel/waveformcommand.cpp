#include "tools/sonabel/waveformcommand.h"

#include "core/environment/editingstate.h"
#include "core/waveform/sampleblocktransfer.h"
#include "core/waveform/waveformdataengine.h"

#include <QElapsedTimer>
#include <QTextStream>

namespace {

constexpr auto kUsage = "usage: sonabel waveform FILE [--csv] [--archive OUT.plist] [--height H]\n";

} // namespace

int runWaveform(const QStringList& arguments, QTextStream& out, QTextStream& err)
{
    QString path;
    QString archive;
    bool csv = false;
    float height = 200.0f;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QStringLiteral("--csv")) {
            csv = true;
        } else if (a == QStringLiteral("--archive") && i + 1 < arguments.size()) {
            archive = arguments[++i];
        } else if (a == QStringLiteral("--height") && i + 1 < arguments.size()) {
            bool ok = false;
            height = arguments[++i].toFloat(&ok);
            if (!ok || height <= 0.0f) {
                err << kUsage;
                return 2;
            }
        } else if (path.isEmpty() && !a.startsWith(u'-')) {
            path = a;
        } else {
            err << kUsage;
            return 2;
        }
    }
    if (path.isEmpty()) {
        err << kUsage;
        return 2;
    }

    // The view's zoom at load: one point every 0.05 units.
    gloableState()._pointClearance = 0.05;
    QElapsedTimer timer;
    timer.start();
    WaveformDataEngine engine;
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
