#pragma once
// Renders a loaded file's waveform once, off the screen: the background tiles, the
// time ruler with its ticks, labels and grid lines, and the waveform stroke. Runs on
// the waveform worker thread (QImage and QPainter on images are safe there).
//
// Memory is bounded: the picture is at most kMaximumPictureWidth pixels wide whatever
// the file's length and zoom (at most 64 MB at any height the editor uses); the view
// stretches it over the waveform's real width when it paints.

#include "core/environment/editingstate.h"

#include <QImage>

class QPainter;

struct WaveformRenderRequest {
    const WaveformPoints* points = nullptr; // x = clearance * index, y measured from the bottom
    double pointClearance = 0.05; // pixels between neighbouring points
    double width = 0.0; // the waveform's full width in pixels (at least 682)
    int height = 0; // the view's height; the ruler is its top band
    int showTimeClearance = 30; // seconds between labelled ruler ticks
    int seconds = 0; // labels to draw: one per whole second
    bool drawTimeMarks = true; // ticks, labels and grid lines in the picture
    bool breakAtGaps = false; // points are finished stretches: no stroke where x jumps
};

class WaveformRenderer {
public:
    static constexpr int kMaximumPictureWidth = 16384;

    // The picture for `request`; its width is min(request.width, kMaximumPictureWidth)
    // and it stands for the whole waveform width.
    [[nodiscard]] static QImage render(const WaveformRenderRequest& request);

    // The ruler's ticks and labels and the grid lines for waveform x in [fromX, toX), at
    // full scale. The view draws them live over its picture, which it may stretch: baked
    // into a stretched picture, a one-pixel line would turn into a wide band.
    static void drawTimeMarks(QPainter& painter, const WaveformRenderRequest& request, double fromX, double toX);

    // Seconds between unlabelled ticks for labels every `showTimeClearance` seconds: a
    // tenth of it, and at least every second.
    [[nodiscard]] static int minorTickEvery(int showTimeClearance);

    // The x in the picture that stands for `waveformX` of a waveform `width` wide.
    [[nodiscard]] static double pictureX(const QImage& picture, double waveformX, double width);
};
