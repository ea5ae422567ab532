#include "ui/waveform/waveformview.h"

#include "core/editing/partediting.h"
#include "core/environment/editingstate.h"
#include "core/mediacheck/mediafiletypes.h"
#include "core/notification/notificationcenter.h"
#include "core/text/commonfunctions.h"
#include "core/waveform/parallelwaveformengine.h"
#include "ui/artwork/artwork.h"
#include "ui/waveform/dragview.h"
#include "ui/waveform/progressivepicture.h"
#include "ui/waveform/waveformgeometry.h"
#include "ui/waveform/waveformnotes.h"
#include "ui/waveform/waveformrenderer.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QLineEdit>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QScrollArea>
#include <QScrollBar>

#include <cmath>

namespace {

EditingState& state()
{
    return gloableState();
}

double moveDx()
{
    return state()._moveDx.load();
}

// Shows that the waveform has the keyboard: a frame along the visible area, which stays in
// place while the waveform scrolls under it.
class FocusFrame : public QWidget {
public:
    FocusFrame(QWidget* viewport, const QWidget* owner)
        : QWidget(viewport)
        , m_owner(owner)
    {
        setAttribute(Qt::WA_TransparentForMouseEvents);
        setAttribute(Qt::WA_NoSystemBackground);
        setFocusPolicy(Qt::NoFocus);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        if (!m_owner->hasFocus())
            return;
        QPainter painter(this);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 2));
        painter.drawRect(QRectF(rect()).adjusted(1, 1, -1, -1));
    }

private:
    const QWidget* m_owner;
};

} // namespace

struct WaveformView::Loaded {
    QImage picture;
    PartFrame part;
    bool wholeFile = false;
    double viewWidth = 0.0;
    double fileMs = 0.0;
    int seconds = 0;
    double drawHeight = 0.0; // the points' y are measured in this height
};

WaveformView::WaveformView(QWidget* parent)
    : QWidget(nullptr)
{
    m_scrollArea = new QScrollArea(parent);
    m_scrollArea->setObjectName(QStringLiteral("waveformScrollView"));
    m_scrollArea->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scrollArea->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_scrollArea->setWidget(this);
    m_scrollArea->setWidgetResizable(false);
    QScrollBar* scroller = m_scrollArea->horizontalScrollBar();
    auto announce = [scroller] { NotificationCenter::defaultCenter().post(WaveformNote::ScrollerClicked, scroller); };
    connect(scroller, &QScrollBar::sliderPressed, this, announce);
    connect(scroller, &QScrollBar::actionTriggered, this, [announce](int action) {
        if (action != QAbstractSlider::SliderMove)
            announce();
    });

    // The waveform is as tall as the area that shows it.
    m_scrollArea->viewport()->installEventFilter(this);
    m_lineView = new DragView(this);
    m_lineView->hide();
    m_emptyPicture = ArtworkImage(QStringLiteral(":/BackgroundPic.png"));
    m_backgroundTile = QImage(QStringLiteral(":/WaveViewBackground.png"));
    m_rulerFill = QImage(QStringLiteral(":/TimeFillFragment.png"));
    setObjectName(QStringLiteral("WaveformView"));
    setAccessibleName(tr("Waveform"));
    setAccessibleDescription(tr("The sound of the loaded file; the highlighted bar is the part that becomes the "
                                "ringtone"));
    setToolTip(tr("Choose the part that becomes the ringtone: Left and Right move it (with Shift in small steps), "
                  "Alt+Left and Alt+Right widen it, Alt+Up and Alt+Down narrow it, Space previews it"));
    setFocusPolicy(Qt::StrongFocus);
    m_focusFrame = new FocusFrame(m_scrollArea->viewport(), this);
    setMouseTracking(true);
    setAcceptDrops(true);
    resize(WaveformArt::kEmptyPicture);
    m_height = height();
    state()._pointClearance = 0.05;
    newFileInportInit();
}

WaveformView::~WaveformView()
{
    stopDrawThread();
}

const QStringList& WaveformView::acceptedExtensions()
{
    return MediaFileTypes::dropFileTypes();
}

bool WaveformView::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_scrollArea->viewport() && event->type() == QEvent::Resize) {
        fitToViewport();
        m_visibleWidth = m_scrollArea->viewport()->width();
    }
    return QWidget::eventFilter(watched, event);
}

int WaveformView::fittedWidth(double waveformWidth) const
{
    return std::max(static_cast<int>(std::ceil(waveformWidth)), m_scrollArea->viewport()->width());
}

double WaveformView::pictureSpan() const
{
    if (m_progressSpan > 0.0)
        return m_progressSpan; // a picture of the points computed so far
    return std::max(waveformWidth(), static_cast<double>(WaveformArt::kMinimumWidth));
}

void WaveformView::fitToViewport()
{
    // As tall as the area that shows it, and never narrower.
    const QWidget* viewport = m_scrollArea->viewport();
    m_focusFrame->setGeometry(viewport->rect());
    m_focusFrame->raise();
    const double span = m_waveformImage.isNull() ? WaveformArt::kClosedWidth : pictureSpan();
    const double dx = moveDx();
    if (dx > 0.0) {
        m_showTimeClearance
            = rulerInterval(state()._pointClearance.load(), viewport->width(), state().movieLen.load() * dx * 1000.0);
    }
    resize(fittedWidth(span), std::max(rulerHeight() * 3, viewport->height()));
}

void WaveformView::fitPointsToHeight()
{
    const double drawHeight = height() - rulerHeight();
    if (!(m_pointsDrawHeight > 0.0) || !(drawHeight > 0.0) || drawHeight == m_pointsDrawHeight)
        return;
    // The points' y grow with the drawing height: scaled, they match the taller or
    // shorter view as a new load at this height would.
    EditingState& s = state();
    if (auto points = s._cgPointArray()) {
        auto scaled = std::make_shared<WaveformPoints>(*points);
        const double factor = drawHeight / m_pointsDrawHeight;
        for (auto& point : *scaled)
            point.y = static_cast<float>(point.y * factor);
        s.publishPointArray(scaled);
    }
    m_pointsDrawHeight = drawHeight;
}

void WaveformView::focusInEvent(QFocusEvent* event)
{
    QWidget::focusInEvent(event);
    m_focusFrame->update();
}

void WaveformView::focusOutEvent(QFocusEvent* event)
{
    QWidget::focusOutEvent(event);
    m_focusFrame->update();
}

void WaveformView::setTimeFields(QLineEdit* start, QLineEdit* end)
{
    m_startTimeTF = start;
    m_endTimeTF = end;
    if (m_startTimeTF)
        m_startTimeTF->setText(m_startText);
    if (m_endTimeTF)
        m_endTimeTF->setText(m_endText);
}

int WaveformView::rulerHeight() const
{
    return WaveformArt::kRulerHeight;
}

ChosenPart WaveformView::rules() const
{
    return ChosenPart(moveDx(), waveformWidth());
}

double WaveformView::waveformWidth() const
{
    return state()._pointClearance.load() * state()._waveformPointsCount.load();
}

PartFrame WaveformView::part() const
{
    return m_part;
}

void WaveformView::newFileInportInit()
{
    m_soundTimeLen = 0.0;
    m_progressSpan = 0.0;
    m_lineView->hide();
    m_part = PartFrame {};
    m_startText = QStringLiteral("00:00:00");
    m_endText = QStringLiteral("00:00:%1").arg(40);
    writeTimeFields(PartFrame { -1.0, 0.0 });
    m_timeLineX = 0.0;
    m_isPreview = false;
    m_isEnlarge = false;
    update();
}

void WaveformView::setInitImage()
{
    m_waveformImage = QImage();
    m_lineView->hide();
    // The next file's picture is rendered at this height: keep the area's.
    m_pointsDrawHeight = 0.0;
    resize(fittedWidth(WaveformArt::kClosedWidth), std::max(rulerHeight() * 3, m_scrollArea->viewport()->height()));
    update();
}

void WaveformView::stopDrawThread()
{
    const std::lock_guard lock(m_engineMutex);
    if (m_engine != nullptr)
        m_engine->setStopGetData();
}

bool WaveformView::drawWave(const QString& path, const std::function<bool()>& isCurrent)
{
    const auto current = [&isCurrent] { return !isCurrent || isCurrent(); };
    EditingState& s = state();
    // The shared values are reset here, on the worker, so the reset cannot land after
    // the new values; the widgets are reset on the main thread, before the result.
    s._moveDx = 0.0;
    s._waveformPointsCount = 0.0f;
    QMetaObject::invokeMethod(
        this, [this] { newFileInportInit(); }, Qt::AutoConnection);

    ParallelWaveformEngine engine;
    {
        const std::lock_guard lock(m_engineMutex);
        m_engine = &engine;
    }
    // One height for the points and the pictures, whatever the view does meanwhile.
    const int height = m_height.load();
    // The finished stretches are drawn while the rest is computed, the first screen first;
    // the pictures reach the view through its event queue, in order, before the result.
    const double loadClearance = s._pointClearance.load();
    WaveformRenderRequest look;
    look.pointClearance = loadClearance;
    look.height = height;
    look.showTimeClearance = m_showTimeClearance.load();
    look.drawTimeMarks = false;
    ProgressivePicture progress(look);
    const auto showProgress = [&](const WaveformProgress& step) {
        progress.take(step);
        if (!progress.pictureDue() || !current())
            return;
        ProgressivePicture::Picture picture = progress.render();
        QMetaObject::invokeMethod(
            this,
            [this, picture, isCurrent] {
                if (!isCurrent || isCurrent())
                    applyProgress(picture.image, picture.width, picture.seconds);
            },
            Qt::AutoConnection);
    };
    const auto firstScreen = static_cast<int64_t>(std::ceil(m_visibleWidth.load() / loadClearance));
    const std::optional<SampleBlock> block
        = engine.getWaveformPointsFromFile(path, static_cast<float>(height), rulerHeight(), showProgress, firstScreen);
    {
        const std::lock_guard lock(m_engineMutex);
        m_engine = nullptr;
    }
    if (!block || !current())
        return true; // stopped or replaced: the next file's load takes over

    auto points = std::make_shared<WaveformPoints>(block->toWaveformPoints());
    const double clearance = s._pointClearance.load();
    const double dx = EditingState::pointCountPerSecond * clearance / 1000.0;
    s._waveformPointsCount = static_cast<float>(block->capability());
    s.publishPointArray(points);
    s._moveDx = dx;

    Loaded loaded;
    loaded.drawHeight = height - rulerHeight();
    const double width = clearance * static_cast<double>(points->size());
    loaded.part = ChosenPart(dx, width).initialPart(&loaded.wholeFile);
    loaded.viewWidth = std::max(width, static_cast<double>(WaveformArt::kMinimumWidth));
    loaded.fileMs = s.movieLen.load() * 1000.0;
    loaded.seconds = static_cast<int>(std::ceil(loaded.viewWidth / (1000.0 * dx)));
    WaveformRenderRequest request;
    request.points = points.get();
    request.pointClearance = clearance;
    request.width = loaded.viewWidth;
    request.height = height;
    request.showTimeClearance = m_showTimeClearance.load();
    request.seconds = loaded.seconds;
    request.drawTimeMarks = false; // drawn live over the picture, which zoom stretches
    loaded.picture = WaveformRenderer::render(request);
    QMetaObject::invokeMethod(
        this,
        [this, loaded, isCurrent] {
            if (!isCurrent || isCurrent())
                applyLoad(loaded);
        },
        Qt::AutoConnection);
    return true;
}

void WaveformView::applyLoad(const Loaded& loaded)
{
    m_soundTimeLen = loaded.fileMs;
    m_waveformImage = loaded.picture;
    m_progressSpan = 0.0;
    m_pointsDrawHeight = loaded.drawHeight;
    fitPointsToHeight(); // the view may have changed height while the file loaded
    resize(fittedWidth(loaded.viewWidth), height());
    getTimeLineString(loaded.seconds);
    if (loaded.wholeFile) {
        setTimeTF(loaded.part);
    } else {
        m_part = loaded.part;
        placeLineView(m_part);
    }
    m_lineView->show();
    update();
    scrollToPosition(QPoint(0, 0));
}

void WaveformView::applyProgress(const QImage& picture, double width, int seconds)
{
    m_waveformImage = picture;
    m_progressSpan = width;
    resize(fittedWidth(width), height());
    getTimeLineString(seconds);
    update();
}

void WaveformView::getTimeLineString(double count)
{
    m_timeLineStringArray.clear();
    for (int i = 0; i < count; ++i)
        m_timeLineStringArray.append(CommonFunctions::secondsToShortString(i, 3));
}

void WaveformView::placeLineView(const PartFrame& part)
{
    m_lineView->setGeometry(static_cast<int>(std::lround(part.x)), rulerHeight(),
        std::max(1, static_cast<int>(std::lround(part.width))), height() - rulerHeight());
    m_lineView->update();
}

void WaveformView::writeTimeFields(const PartFrame& part)
{
    if (part.x >= 0.0 && moveDx() > 0.0) {
        m_startText = PartEditing::startFieldText(part.x / moveDx());
        m_endText = PartEditing::endFieldText(part.right() / moveDx());
    }
    if (m_startTimeTF)
        m_startTimeTF->setText(m_startText);
    if (m_endTimeTF)
        m_endTimeTF->setText(m_endText);
}

void WaveformView::postLength(const PartFrame& part)
{
    const double seconds = moveDx() > 0.0 ? part.width / (1000.0 * moveDx()) : 0.0;
    NotificationCenter::defaultCenter().post(WaveformNote::ResizeChooseTimeLen, this,
        { { WaveformKey::ChooseTimeLen, QString::asprintf("%.0fs", seconds) } });
}

void WaveformView::setTimeTF(const PartFrame& part)
{
    m_part = part;
    placeLineView(part);
    writeTimeFields(part);
    if (m_isPreview && m_delegate != nullptr)
        m_delegate->repeatePreview(std::nullopt);
    postLength(part);
}

void WaveformView::enlargeChoosePart(double pixels, int direction)
{
    setTimeTF(rules().enlarge(m_part, pixels, direction));
    update();
}

void WaveformView::narrowChoosePart(double pixels, int direction)
{
    setTimeTF(rules().narrow(m_part, pixels, direction));
    update();
}

void WaveformView::setWaveformWidth(double pointClearance)
{
    if (pointClearance < 0.00001)
        return;
    EditingState& s = state();
    const double oldDx = s._moveDx.load();
    s._pointClearance = pointClearance;
    const double newDx = EditingState::pointCountPerSecond * pointClearance / 1000.0;
    if (auto points = s._cgPointArray()) {
        auto moved = std::make_shared<WaveformPoints>(*points);
        for (size_t i = 0; i < moved->size(); ++i)
            (*moved)[i].x = static_cast<float>(pointClearance * static_cast<double>(i));
        s.publishPointArray(moved);
    }
    if (oldDx > 0.0) {
        s._moveDx = newDx;
        m_part = PartFrame { ChosenPart::rescale(m_part.x, oldDx, newDx),
            ChosenPart::rescale(m_part.width, oldDx, newDx) };
        m_timeLineX = ChosenPart::rescale(m_timeLineX, oldDx, newDx);
    }
    const double width = std::max(waveformWidth(), static_cast<double>(WaveformArt::kMinimumWidth));
    m_showTimeClearance
        = rulerInterval(pointClearance, m_scrollArea->viewport()->width(), s.movieLen.load() * newDx * 1000.0);
    resize(fittedWidth(width), height());
    placeLineView(m_part);
    update();
}

int WaveformView::rulerInterval(double pointClearance, double viewWidth, double fileWidth)
{
    if (viewWidth > fileWidth || pointClearance < 0.25)
        return 30;
    // Closer in, labels at most this far apart: the editor's narrowest view shows one
    // wherever it is scrolled.
    constexpr double kLongestLabelGap = 600.0;
    const double secondWidth = pointClearance * EditingState::pointCountPerSecond;
    for (const int seconds : { 20, 10, 5, 2 }) {
        if (seconds * secondWidth <= kLongestLabelGap)
            return seconds;
    }
    return 1;
}

int WaveformView::zoomStep() const
{
    const double clearance = state()._pointClearance.load();
    int best = 0;
    for (int i = 1; i < static_cast<int>(kZoomSteps.size()); ++i) {
        if (std::abs(kZoomSteps[i] - clearance) < std::abs(kZoomSteps[best] - clearance))
            best = i;
    }
    return best;
}

void WaveformView::showPart(const PartFrame& part, bool endEdge)
{
    QScrollBar* scroller = m_scrollArea->horizontalScrollBar();
    const double view = m_scrollArea->viewport()->width();
    const double left = scroller->value();
    constexpr double margin = 20.0; // the edge is not flush with the view's
    if (part.x >= left && part.right() <= left + view)
        return;
    double target = 0.0;
    if (part.width + 2 * margin <= view)
        target = part.x < left ? part.x - margin : part.right() + margin - view;
    else
        target = endEdge ? part.right() + margin - view : part.x - margin;
    scroller->setValue(static_cast<int>(std::floor(target)));
}

void WaveformView::setTimeLineXPos(double x)
{
    // Only the strips under the old and the new line (with the handle) need painting:
    // the play line moves ten times a second.
    const int reach = static_cast<int>(kHandleSize) + 2;
    const int oldX = static_cast<int>(m_timeLineX);
    m_timeLineX = x;
    update(QRect(oldX - reach, 0, 2 * reach, height()));
    update(QRect(static_cast<int>(x) - reach, 0, 2 * reach, height()));
}

void WaveformView::scrollToPosition(const QPoint& point)
{
    m_scrollArea->horizontalScrollBar()->setValue(point.x());
}

void WaveformView::enableClick(bool accepted)
{
    m_accptedClick = accepted;
    m_lineView->enableClick(accepted);
}

void WaveformView::removeMouseMoveLine()
{
    m_mouseMoveLinePnt = QPointF(-1, -1);
    update();
}

void WaveformView::startAutoScroll(const QPoint& viewPoint)
{
    m_scrollArea->ensureVisible(viewPoint.x(), height() / 2, 20, 0);
}

QRectF WaveformView::handleRect() const
{
    return QRectF(m_timeLineX - kHandleSize, 0.0, 2 * kHandleSize, kHandleSize);
}
