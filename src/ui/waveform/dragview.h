#pragma once
// The selection bar: the chosen part made visible and movable. A child of the waveform
// view whose geometry is the part (x and width in waveform pixels, below the ruler). It
// draws a slider across the part with the part's waveform highlighted, the ruler's grid
// lines, and the play line when it falls inside the part; dragging it moves the part.
//
// Main thread only.

#include "ui/artwork/artwork.h"

#include <QImage>
#include <QWidget>

#include <vector>

struct PartFrame;
class WaveformView;

class DragView : public QWidget {
    Q_OBJECT

public:
    explicit DragView(WaveformView* waveform);

    void enableClick(bool accepted) { m_accptedClick = accepted; }
    void setIsEnlarge(bool enlarging);
    [[nodiscard]] bool isEnlarge() const { return m_isEnlarge; }
    // x below 0: no play line in the part. In the bar's own coordinates.
    void setTimeLinePos(double x);
    [[nodiscard]] bool drawsTimeLine() const { return m_draweTimeLine; }
    // Index of the first waveform point inside the part.
    [[nodiscard]] int dragWavePointStartPos() const { return m_dragWavePointStartPos; }
    // The part's points, re-based to the bar (x from 0, y measured from the bottom).
    [[nodiscard]] const std::vector<QPointF>& dragPoints() const { return m_dragCGPoint; }
    // The x positions (in the bar) of the grid lines drawn over the part.
    [[nodiscard]] std::vector<int> gridLines() const;
    void prepareDrawPoints();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    struct CacheKey {
        QSize size;
        double partX = -1.0;
        double clearance = 0.0;
        const void* points = nullptr;
        int gridInterval = 0;
        bool operator==(const CacheKey&) const = default;
    };
    void paintBar(QPainter& painter);

    WaveformView* m_waveform;
    QImage m_cache; // the bar and the part's waveform, without the play line
    CacheKey m_cacheKey;
    ArtworkImage m_sliderLeft;
    ArtworkImage m_sliderMid;
    ArtworkImage m_sliderRight;
    std::vector<QPointF> m_dragCGPoint;
    int m_dragWavePointStartPos = 0;
    double m_startTime = 0.0; // seconds
    int m_endTime = 0; // whole seconds
    QPointF m_downPoint;
    double m_timeLineX = -1.0;
    bool m_draweTimeLine = false;
    bool m_isEnlarge = false;
    bool m_accptedClick = true;
    int m_mouseClickCnt = 0;
};
