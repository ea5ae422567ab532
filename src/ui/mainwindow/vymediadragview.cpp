#include "ui/mainwindow/vymediadragview.h"

#include "core/mediacheck/mediafiletypes.h"
#include "core/notification/notificationcenter.h"
#include "ui/mainwindow/mainwindownotes.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QMouseEvent>
#include <QPainter>
#include <QUrl>

VyDragViewRoot::VyDragViewRoot(QWidget* parent)
    : QWidget(parent)
    , m_supportedDragFileTypes(dropFileTypes())
    , m_background(QStringLiteral(":/MainwindowBack.png"))
{
    setObjectName(QStringLiteral("mediaDragView"));
    setAccessibleName(QStringLiteral("Drop a media file"));
    setToolTip(QStringLiteral("Drop a song or video here to make a ringtone of it"));
    setAcceptDrops(true);
}

const QStringList& VyDragViewRoot::openPanelFileTypes()
{
    return MediaFileTypes::openPanelFileTypes();
}

const QStringList& VyDragViewRoot::dropFileTypes()
{
    return MediaFileTypes::dropFileTypes();
}

QString VyDragViewRoot::acceptedPath(const QMimeData* data)
{
    if (data == nullptr || !data->hasUrls() || data->urls().isEmpty())
        return {};
    // Only the first file counts: several dropped files load the first one.
    const QString path = data->urls().constFirst().toLocalFile();
    if (path.isEmpty())
        return {};
    return dropFileTypes().contains(QFileInfo(path).suffix().toUpper()) ? path : QString();
}

void VyDragViewRoot::hideFunctionLayer(bool hide)
{
    m_clickIsEnabled = !hide;
    update();
}

void VyDragViewRoot::setHighlighted(bool on)
{
    m_isHighlighted = on;
    update();
}

void VyDragViewRoot::dragEnterEvent(QDragEnterEvent* event)
{
    const QString path = acceptedPath(event->mimeData());
    m_acceptDrop = !path.isEmpty();
    if (!m_acceptDrop) {
        event->ignore();
        return;
    }
    m_thePathToAdd = path;
    event->acceptProposedAction();
    setHighlighted(true);
    hideFunctionLayer(true);
}

void VyDragViewRoot::dragLeaveEvent(QDragLeaveEvent* event)
{
    m_thePathToAdd.clear();
    m_acceptDrop = false;
    setHighlighted(false);
    hideFunctionLayer(false);
    event->accept();
}

void VyDragViewRoot::dropEvent(QDropEvent* event)
{
    const QString path = acceptedPath(event->mimeData());
    setHighlighted(false);
    if (path.isEmpty()) {
        hideFunctionLayer(false);
        event->ignore();
        return;
    }
    event->acceptProposedAction();
    m_thePathToAdd.clear();
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.post(MainWindowNote::LoadChildItemInAudioEditView, nullptr, loadRequest(path));
    center.post(MainWindowNote::RefreshListMenu);
}

void VyDragViewRoot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    if (!m_background.isNull())
        painter.drawImage(rect(), m_background);
    else
        painter.fillRect(rect(), QColor(0xe8, 0xea, 0xee));
    if (m_isHighlighted) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.fillRect(rect(), QColor(0x3a, 0x7b, 0xd5, 40));
        QPen pen(QColor(0x3a, 0x7b, 0xd5), 4, Qt::DashLine);
        painter.setPen(pen);
        painter.drawRoundedRect(QRectF(rect()).adjusted(6, 6, -6, -6), 12, 12);
    }
}

VyMediaDragView::VyMediaDragView(QWidget* parent)
    : VyDragViewRoot(parent)
{
    setMouseTracking(true);
    m_buttons[Record] = { QStringLiteral("Recorder"), QStringLiteral("Record"), -135, {} };
    m_buttons[Music] = { QStringLiteral("Open File"), QStringLiteral("Music"), 0, {} };
    m_buttons[Manager] = { QStringLiteral("Manager"), QStringLiteral("RingtoneMgr"), 140, {} };
    for (Button& button : m_buttons) {
        button.images[0] = ArtworkImage(QStringLiteral(":/%1.png").arg(button.picture));
        button.images[1] = ArtworkImage(QStringLiteral(":/%1Down.png").arg(button.picture));
        button.images[2] = ArtworkImage(QStringLiteral(":/%1Enter.png").arg(button.picture));
    }
}

QString VyMediaDragView::notificationName(Region region)
{
    switch (region) {
    case Record: return MainWindowNote::ClickRecord;
    case Music: return MainWindowNote::ClickMusic;
    case Manager: return MainWindowNote::ClickMgr;
    case None: break;
    }
    return {};
}

QRect VyMediaDragView::pictureRect(Region region) const
{
    if (region == None)
        return {};
    const int centreX = width() / 2 + m_buttons.at(static_cast<size_t>(region)).centreOffset;
    const int centreY = height() / 2 - 20; // a little above the middle, leaving room for the caption
    return { centreX - kPictureSize / 2, centreY - kPictureSize / 2, kPictureSize, kPictureSize };
}

QRect VyMediaDragView::captionRect(Region region) const
{
    const QRect picture = pictureRect(region);
    return { picture.center().x() - 70, picture.bottom() + 8, 140, 28 };
}

QString VyMediaDragView::caption(Region region) const
{
    return region == None ? QString() : m_buttons.at(static_cast<size_t>(region)).caption;
}

VyMediaDragView::Region VyMediaDragView::regionAt(const QPoint& point) const
{
    for (Region region : { Record, Music, Manager }) {
        if (pictureRect(region).contains(point))
            return region;
    }
    return None;
}

void VyMediaDragView::setLook(Region region, Look look)
{
    if (region == None || m_looks.at(static_cast<size_t>(region)) == look)
        return;
    m_looks.at(static_cast<size_t>(region)) = look;
    update(pictureRect(region));
}

void VyMediaDragView::restoreLooks()
{
    for (Region region : { Record, Music, Manager })
        setLook(region, Look::Plain);
}

void VyMediaDragView::paintEvent(QPaintEvent* event)
{
    VyDragViewRoot::paintEvent(event);
    if (!m_clickIsEnabled)
        return;
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    QFont font(QStringLiteral("Helvetica"));
    font.setBold(true);
    font.setPixelSize(kCaptionPointSize); // the design's points are screen pixels
    painter.setFont(font);
    for (Region region : { Record, Music, Manager }) {
        const Button& button = m_buttons.at(static_cast<size_t>(region));
        const ArtworkImage& image = button.images.at(static_cast<size_t>(look(region)));
        const QRect target = pictureRect(region);
        if (!image.isNull()) {
            painter.drawImage(target, image);
        } else {
            // Without the artwork the button is still visible and usable.
            painter.setBrush(look(region) == Look::Plain ? QColor(0x5b, 0x8d, 0xd6) : QColor(0x2f, 0x5f, 0xa8));
            painter.setPen(Qt::NoPen);
            painter.drawEllipse(target);
        }
        painter.setPen(QColor(0x33, 0x33, 0x33));
        painter.drawText(captionRect(region), Qt::AlignHCenter | Qt::AlignTop, button.caption);
    }
}

void VyMediaDragView::mousePressEvent(QMouseEvent* event)
{
    const Region region = m_clickIsEnabled ? regionAt(event->position().toPoint()) : None;
    if (region == None) {
        QWidget::mousePressEvent(event);
        return;
    }
    m_regionMouseEnter = region;
    setLook(region, Look::Down);
    // Queued: the window opens its panel once the click has been dealt with.
    NotificationCenter::defaultCenter().enqueue(notificationName(region), this);
}

void VyMediaDragView::mouseReleaseEvent(QMouseEvent* event)
{
    restoreLooks();
    if (m_clickIsEnabled) {
        const Region region = regionAt(event->position().toPoint());
        if (region != None)
            setLook(region, Look::Enter);
    }
}

void VyMediaDragView::mouseMoveEvent(QMouseEvent* event)
{
    if (!m_clickIsEnabled || (event->buttons() & Qt::LeftButton) != 0)
        return;
    const Region region = regionAt(event->position().toPoint());
    for (Region each : { Record, Music, Manager })
        setLook(each, each == region ? Look::Enter : Look::Plain);
}

void VyMediaDragView::leaveEvent(QEvent*)
{
    restoreLooks();
}
