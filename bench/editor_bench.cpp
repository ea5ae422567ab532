// The editor with an hour-long file: main-thread time of the 0.1 s play-line tick with
// its redraw while the file plays, and the sound output's underruns during a 5-second
// drag of the selection bar while a preview plays. Needs a sound server
// (bench/measure-editor.sh starts a private one).

#include "bench/qtbenchsupport.h"
#include "core/environment/editingstate.h"
#include "media/decoderlib.h"
#include "ui/editor/vyaudioeditorviewcontroller.h"
#include "ui/waveform/dragview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

void sendMove(QWidget* target, QPoint at)
{
    QMouseEvent move(QEvent::MouseMove, at, target->mapToGlobal(at), Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(target, &move);
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    DecMgrInit();
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("hour.wav"));
    writeHourWav(path, 44100, 2, false);
    VyAudioEditorViewController editor;
    editor.resize(900, 420);
    editor.show();
    bool loaded = false;
    QObject::connect(&editor, &VyAudioEditorViewController::loadFileSuccessful, [&] { loaded = true; });
    gloableState().movieLen = 3600.0;
    gloableState()._pointClearance = 0.05;
    editor.chooseFileEnd(path, QStringLiteral("hour"));
    while (!loaded)
        pump(10);
    if (argc > 1) // a picture of the editor, for a look at the layout
        editor.grab().save(QString::fromLocal8Bit(argv[1]));
    if (editor.playerState() == PlayerState::None) {
        std::fprintf(stderr, "no sound output\n");
        return 1;
    }

    // The tick, as its timer runs it, while the whole file plays.
    editor.clickPlaySound();
    pump(300);
    std::vector<double> ticks;
    for (int i = 0; i < 50; ++i) {
        QElapsedTimer t;
        t.start();
        editor.session().reflashTimeLinePos();
        // What the tick marked dirty is painted now, as the event loop would.
        QCoreApplication::sendPostedEvents(editor.window(), QEvent::UpdateRequest);
        ticks.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        pump(20);
    }
    std::sort(ticks.begin(), ticks.end());
    std::printf("play-line tick with redraw: median %.2f ms, worst %.2f ms (main thread)\n", ticks[ticks.size() / 2],
        ticks.back());
    editor.clickStopSound();

    // A 5-second drag of the bar while the preview plays.
    editor.clickPreviewChosePart();
    pump(300);
    const int before = editor.underrunCount();
    DragView* bar = editor.waveformView()->lineView();
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(20, 20), bar->mapToGlobal(QPointF(20, 20)), Qt::LeftButton,
        Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(bar, &press);
    QElapsedTimer drag;
    drag.start();
    int step = 0;
    while (drag.elapsed() < 5000) {
        sendMove(bar, QPoint(20 + ((step++ % 40) < 20 ? 3 : -3), 20));
        pump(20);
    }
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(20, 20), bar->mapToGlobal(QPointF(20, 20)), Qt::LeftButton,
        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(bar, &release);
    std::printf("underruns during a 5 s drag while previewing: %d\n", editor.underrunCount() - before);
    editor.clickStopSound();
    return 0;
}
