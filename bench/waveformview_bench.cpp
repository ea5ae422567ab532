// The waveform view with a 60-minute file: the offscreen render at load, a paint of a
// 900 x 250 window onto it at the smallest and the largest zoom, and the memory its
// pictures take after zooming out. Runs on the offscreen platform.
//   waveformview_bench [SHOT.png]   (with a path: also saves what a window shows)

#include "bench/qtbenchsupport.h"
#include "core/environment/editingstate.h"
#include "media/decoderlib.h"
#include "ui/waveform/waveformrenderer.h"
#include "ui/waveform/waveformview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QImage>
#include <QPainter>
#include <QScrollArea>
#include <QScrollBar>
#include <QTemporaryDir>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double medianMs(std::vector<double> v)
{
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double paintMs(WaveformView& view, int scrollX)
{
    view.waveformScrollView()->horizontalScrollBar()->setValue(scrollX);
    QImage target(900, 250, QImage::Format_ARGB32_Premultiplied);
    std::vector<double> times;
    for (int i = 0; i < 30; ++i) {
        QElapsedTimer t;
        t.start();
        QPainter painter(&target);
        view.render(&painter, QPoint(), QRegion(scrollX, 0, 900, view.height()));
        painter.end();
        times.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
    }
    return medianMs(times);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    DecMgrInit();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hour.wav"));
    writeHourWav(path, 8000, 1, true);

    QWidget window;
    WaveformView view(&window);
    view.waveformScrollView()->resize(900, 250);
    view.resize(682, 230);
    window.resize(900, 250);
    gloableState().movieLen = 3600.0;
    gloableState()._pointClearance = 0.05;
    view.drawWave(path);
    QCoreApplication::processEvents();

    // The render alone, as the load runs it, for both zoom levels.
    auto points = gloableState()._cgPointArray();
    for (double clearance : { 0.05, 1.0 }) {
        WaveformRenderRequest request;
        request.points = points.get();
        request.pointClearance = clearance;
        request.width = clearance * static_cast<double>(points->size());
        request.height = view.height();
        request.seconds = 3600;
        std::vector<double> times;
        QImage picture;
        for (int i = 0; i < 5; ++i) {
            QElapsedTimer t;
            t.start();
            picture = WaveformRenderer::render(request);
            times.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        }
        std::printf("offscreen render, %zu points at %.2f px a point: %.1f ms (picture %dx%d)\n", points->size(),
            clearance, medianMs(times), picture.width(), picture.height());
    }

    std::printf("paint 900x%d at the smallest zoom (0.05): %.2f ms\n", view.height(), paintMs(view, view.width() / 2));
    view.setWaveformWidth(1.0);
    std::printf("paint 900x%d at the largest zoom (1.0): %.2f ms\n", view.height(), paintMs(view, view.width() / 2));
    view.setWaveformWidth(0.05);
    std::printf("pictures after zooming out: %.1f MB\n", static_cast<double>(view.pictureBytes()) / (1024.0 * 1024.0));
    if (argc > 1) {
        view.setTimeTF(PartFrame { 100.0, 300.0 });
        view.setTimeLineXPos(150.0);
        view.grab(QRect(0, 0, 900, view.height())).save(QString::fromLocal8Bit(argv[1]));
    }
    return 0;
}
