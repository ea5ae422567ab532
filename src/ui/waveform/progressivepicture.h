#pragma once
// The picture of a waveform whose points are still being computed: the stretches the
// engine has finished, drawn where they belong, the rest left empty. Lives on the load's
// worker thread, which renders the pictures; the view shows them until the load ends.

#include "core/waveform/parallelwaveformengine.h"
#include "ui/waveform/waveformrenderer.h"

#include <QElapsedTimer>
#include <QImage>

#include <optional>

class ProgressivePicture {
public:
    // The pictures are rendered like the final one: `request` without its points.
    explicit ProgressivePicture(const WaveformRenderRequest& request);

    // Places a finished stretch. A picture is due for the first stretch and then at most
    // every kRenderInterval, so that drawing takes little from the computing.
    void take(const WaveformProgress& step);
    [[nodiscard]] bool pictureDue() const;

    struct Picture {
        QImage image;
        double width = 0.0; // the waveform width the picture stands for
        int seconds = 0; // ruler labels
    };
    [[nodiscard]] Picture render();

    static constexpr qint64 kRenderIntervalMs = 250;

private:
    WaveformRenderRequest m_request;
    WaveformPoints m_points; // the whole file's, at its stated length; unfinished ones empty
    std::vector<bool> m_known;
    bool m_fresh = false; // a stretch arrived since the last picture
    QElapsedTimer m_sinceRender;
};
