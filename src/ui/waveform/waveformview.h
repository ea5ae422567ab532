#pragma once
// The loaded file's waveform inside a horizontal scroll area, with a time ruler along
// its top edge: where the user chooses the part that becomes the ringtone. It owns the
// selection bar, whose geometry is the part, and turns mouse gestures into changes of
// the part within the rules of ChosenPart; it shows the play line with its handle and
// the hover line, and passes double clicks on to playback through its delegate. It takes
// the keyboard (the editor turns its keys into changes of the part) and shows a frame then.
//
// The view is as tall as the area showing it and at least as wide; a change of height
// rescales the points and stretches the picture's waveform band (the ruler keeps its
// height), as a zoom does sideways.
//
// Threads: drawWave() runs on the editor's waveform worker; it reads the points and
// renders the picture there and hands every widget change to the main thread. Every
// other call is main-thread only.

#include "core/editing/chosenpart.h"
#include "core/editing/playerstate.h"
#include "ui/artwork/artwork.h"

#include <QImage>
#include <QPointer>
#include <QStringList>
#include <QWidget>

#include <array>
#include <atomic>
#include <functional>
#include <mutex>
#include <optional>

class DragView;
class QLineEdit;
class QScrollArea;
class ParallelWaveformEngine;

// The editor's side of the view's gestures. Times in milliseconds.
class WaveformViewDelegate {
public:
    virtual ~WaveformViewDelegate() = default;
    // Preview the part: from `fromMs` inside it, or from its start when none.
    virtual void repeatePreview(std::optional<double> fromMs) = 0;
    virtual void handlePlay(double fromMs) = 0;
    // Ends the preview, its running pass or its pending rings gap, starting nothing.
    virtual void stopPreview() = 0;
    virtual PlayerState getPlayerState() = 0;
    virtual void setPlayBeginTime(double ms) = 0;
    virtual void setCanMoveWaveform() = 0;
};

class WaveformView : public QWidget {
    Q_OBJECT

public:
    static constexpr double kHandleSize = 8.0; // the play-line handle's half width and height
    // The zoom buttons' steps, pixels between points: a load starts at the first.
    static constexpr std::array<double, 5> kZoomSteps { 0.05, 0.1, 0.25, 0.5, 1.0 };
    // The ruler's seconds between labels at `pointClearance` in a view `viewWidth` wide
    // showing a file of `fileWidth` pixels: 30 for the overview, and zoomed in close
    // enough that every view of the editor shows a label.
    [[nodiscard]] static int rulerInterval(double pointClearance, double viewWidth, double fileWidth);

    explicit WaveformView(QWidget* parent = nullptr);
    ~WaveformView() override;

    // The scroll area the view lives in (made by the view; put it in a layout).
    [[nodiscard]] QScrollArea* waveformScrollView() const { return m_scrollArea; }
    [[nodiscard]] DragView* lineView() const { return m_lineView; }
    void setDelegate(WaveformViewDelegate* delegate) { m_delegate = delegate; }
    // The editor's start and end time fields, written as the part changes.
    void setTimeFields(QLineEdit* start, QLineEdit* end);
    [[nodiscard]] QString startTimeText() const { return m_startText; }
    [[nodiscard]] QString endTimeText() const { return m_endText; }

    // Loading (worker thread). Always true; a stopped load delivers nothing, and so does
    // one that `isCurrent` (checked on the worker and again on the main thread) says a
    // newer load has replaced. While the points are computed, pictures of the finished
    // stretches are shown (the first screen first); the part and the bar come at the end.
    bool drawWave(const QString& path, const std::function<bool()>& isCurrent = {});
    void newFileInportInit();
    // The empty editor: the background picture, as tall as the area that shows it.
    void setInitImage();
    // Any thread: the running load stops after its current frame.
    void stopDrawThread();

    void setWaveformWidth(double pointClearance);
    // The index in kZoomSteps of the current scale (the nearest step).
    [[nodiscard]] int zoomStep() const;
    // Scrolls as little as needed to show the part, or, when it is wider than the view,
    // its start (`endEdge` false) or its end.
    void showPart(const PartFrame& part, bool endEdge);
    void setTimeTF(const PartFrame& part);
    // Shows the part's start and end in the editor's time fields, changing nothing else.
    void writeTimeFields(const PartFrame& part);
    [[nodiscard]] PartFrame part() const;
    void enlargeChoosePart(double pixels, int direction);
    void narrowChoosePart(double pixels, int direction);
    void setTimeLineXPos(double x);
    [[nodiscard]] double timeLineX() const { return m_timeLineX; }
    void scrollToPosition(const QPoint& point);
    void enableClick(bool accepted);
    void setIsPreview(bool preview)
    {
        m_isPreview = preview;
        update(); // the play-line handle shows only outside previews
    }
    [[nodiscard]] bool isPreview() const { return m_isPreview; }
    void setPlayerState(PlayerState state) { m_playerState = state; }
    [[nodiscard]] PlayerState playerState() const { return m_playerState; }
    [[nodiscard]] double startX() const { return m_startX; }
    void removeMouseMoveLine();
    [[nodiscard]] int showTimeClearance() const { return m_showTimeClearance.load(); }
    [[nodiscard]] const QStringList& timeLineStrings() const { return m_timeLineStringArray; }
    [[nodiscard]] ChosenPart rules() const;
    [[nodiscard]] double waveformWidth() const;
    [[nodiscard]] bool hasWaveform() const { return !m_waveformImage.isNull(); }
    // Bytes held by the rendered picture.
    [[nodiscard]] qsizetype pictureBytes() const { return m_waveformImage.sizeInBytes(); }

    // Used by the selection bar.
    void startAutoScroll(const QPoint& viewPoint);
    void barPressed(const QPoint& viewPoint, bool doubleClick);
    void barReleased(const QPoint& viewPoint);

    // File endings a drop accepts (compared without regard to case).
    [[nodiscard]] static const QStringList& acceptedExtensions();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    struct Loaded;
    // The view follows the area that shows it: as tall, and at least as wide.
    void fitToViewport();
    [[nodiscard]] int fittedWidth(double waveformWidth) const;
    // The width the rendered picture stands for at the present zoom.
    [[nodiscard]] double pictureSpan() const;
    // Rescales the shared points' y to the view's drawing height.
    void fitPointsToHeight();
    void applyLoad(const Loaded& loaded);
    // A picture of the points computed so far, shown until the load ends.
    void applyProgress(const QImage& picture, double width, int seconds);
    void getTimeLineString(double count);
    void postLength(const PartFrame& part);
    void placeLineView(const PartFrame& part);
    void updateCursor(const QPoint& point);
    void pressAt(const QPointF& point, bool doubleClick);
    void movePlayLine(double x);
    void dragTo(const QPointF& point);
    [[nodiscard]] int rulerHeight() const;
    [[nodiscard]] QRectF handleRect() const;

    QScrollArea* m_scrollArea = nullptr;
    QWidget* m_focusFrame = nullptr;
    DragView* m_lineView = nullptr;
    WaveformViewDelegate* m_delegate = nullptr;
    QPointer<QLineEdit> m_startTimeTF;
    QPointer<QLineEdit> m_endTimeTF;
    QString m_startText;
    QString m_endText;
    QImage m_waveformImage; // null: nothing loaded
    double m_pointsDrawHeight = 0.0; // the drawing height the shared points were made for
    PartFrame m_part; // the chosen part, exact (the bar's geometry is whole pixels)
    ArtworkImage m_emptyPicture;
    QImage m_backgroundTile; // behind the waveform, tiled from the bottom left
    QImage m_rulerFill; // the ruler's band, stretched
    QStringList m_timeLineStringArray;
    double m_soundTimeLen = 0.0; // ms
    double m_timeLineX = 0.0;
    double m_startX = 0.0;
    QPointF m_mouseDownPoint;
    QPointF m_mouseMoveLinePnt { -1, -1 };
    ChosenPart::ResizeDrag m_resize;
    bool m_isEnlarge = false;
    bool m_acceptDrage = true;
    bool m_startMovePlayLine = false;
    bool m_handleHeld = false;
    bool m_isPreview = false;
    bool m_accptedClick = true;
    bool m_pressed = false;
    double m_lastMoveX = 0.0;
    std::atomic<int> m_showTimeClearance { 30 }; // read by the worker
    PlayerState m_playerState = PlayerState::Stopped;
    std::atomic<int> m_height { 217 }; // read by the worker

    double m_progressSpan = 0.0; // while a load shows its progress: the width its picture stands for
    std::atomic<int> m_visibleWidth { 682 }; // the scroll area's, read by the worker
    std::mutex m_engineMutex; // the running load's engine, for stopDrawThread
    ParallelWaveformEngine* m_engine = nullptr;
};
