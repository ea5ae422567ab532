#include "ui/player/videosurface.h"

#include <QPainter>
#include <QPointer>

#include <map>
#include <vector>

namespace {

// The surfaces of every player, by identifier (index + 1). Main thread only.
std::map<Player, std::vector<QPointer<VideoSurface>>>& surfaces()
{
    static std::map<Player, std::vector<QPointer<VideoSurface>>> all;
    return all;
}

} // namespace

VideoSurface::VideoSurface(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void VideoSurface::fillBlack()
{
    m_picture = QImage();
    update();
}

void VideoSurface::setPicture(const QImage& picture)
{
    m_picture = picture;
    update();
}

void VideoSurface::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    if (m_picture.isNull())
        return;
    QSize size = m_picture.size();
    size.scale(this->size(), Qt::KeepAspectRatio);
    const QRect target(QPoint((width() - size.width()) / 2, (height() - size.height()) / 2), size);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);
    painter.drawImage(target, m_picture);
}

uint32_t VPCreateView(Player player, QWidget* parent, const VPRect& rect, int)
{
    if (player == nullptr)
        return 0;
    auto* surface = new VideoSurface(parent);
    surface->setGeometry(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top);
    PlayerFrameRelay* relay = VPGetFrameRelay(player);
    QObject::connect(relay, &PlayerFrameRelay::frameReady, surface, &VideoSurface::setPicture, Qt::QueuedConnection);
    QObject::connect(relay, &PlayerFrameRelay::cleared, surface, &VideoSurface::fillBlack, Qt::QueuedConnection);
    auto& list = surfaces()[player];
    list.emplace_back(surface);
    return static_cast<uint32_t>(list.size());
}

uint32_t VPCreateViewEx(Player player, QWidget* parent, const VPRect& rect, const int parameters[4], int reserved)
{
    const uint32_t id = VPCreateView(player, parent, rect, reserved);
    if (VideoSurface* surface = VPGetPlayerHwnd(player, id); surface != nullptr && parameters != nullptr)
        surface->setMinimumSize(QSize(parameters[0], parameters[1]).boundedTo(surface->size()));
    return id;
}

VideoSurface* VPGetPlayerHwnd(Player player, uint32_t viewId)
{
    const auto found = surfaces().find(player);
    if (found == surfaces().end() || viewId == 0 || viewId > found->second.size())
        return nullptr;
    return found->second[viewId - 1].data();
}
