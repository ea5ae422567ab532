#include "ui/player/playbackview.h"

#include "core/notification/notificationcenter.h"
#include "core/text/commonfunctions.h"
#include "ui/editor/editornotes.h"
#include "ui/player/playernotes.h"
#include "ui/player/showareaview.h"

#include <QEnterEvent>
#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace {

QImage genericPicture()
{
    return QImage(QStringLiteral(":/AudioPic.png"));
}

} // namespace

PlayBackView::PlayBackView(QWidget* parent)
    : PlayBackView(Role::Pane, parent)
{
}

PlayBackView::PlayBackView(Role role, QWidget* parent)
    : QWidget(parent)
    , m_playImage(QStringLiteral(":/PlayBackViewPlay.png"))
    , m_stopImage(QStringLiteral(":/PlayBackViewStop.png"))
{
    setAccessibleName(QStringLiteral("Picture"));
    setToolTip(QStringLiteral("The file's picture or video; its button plays or stops the file"));
    if (role == Role::Pane) {
        m_showView = new ShowAreaView(this);
        // The generic picture stands for an audio file, so it gets the audio box; without a
        // size it would be drawn nowhere.
        setImage(QImage(), true);
        // Every pixel is painted, black or picture.
        setAttribute(Qt::WA_OpaquePaintEvent);
    } else {
        // Over the video surface only the button is drawn; the video shows around it.
        m_actionImage = ActionImageKind::None;
        setAttribute(Qt::WA_TranslucentBackground);
    }
    observePlayer();
}

void PlayBackView::observePlayer()
{
    NotificationCenter& center = NotificationCenter::defaultCenter();
    // The view is the context: its observers go away with it.
    center.addObserver(this, PlayerNote::StartPlay, nullptr, [this](const Notification&) { handleStartPlay(); });
    center.addObserver(this, PlayerNote::StopPlay, nullptr, [this](const Notification&) { handleStopPlay(); });
    center.addObserver(this, PlayerNote::PausePlay, nullptr, [this](const Notification&) { handleStopPlay(); });
}

QSize PlayBackView::sizeHint() const
{
    return kComposedBox;
}

void PlayBackView::setImage(const QImage& image, bool shouldCompose)
{
    m_image = image.isNull() ? genericPicture() : image;
    const QSize box = shouldCompose ? kComposedBox : kPlainBox;
    CommonFunctions::resetImage(m_image, box.width(), box.height(), &m_newWidth, &m_newHeight);
    update();
}

void PlayBackView::handleStartPlay()
{
    m_playerState = PlayerState::Playing;
    setActionImage(ActionImageKind::Stop);
    // Someone pointing at the pane may want to stop; otherwise keep the picture clear.
    if (!m_pointerInside)
        pointerLeft();
}

void PlayBackView::handleStopPlay()
{
    m_playerState = PlayerState::Stopped;
    setActionImage(ActionImageKind::Play);
}

QRect PlayBackView::fromBottomLeft(const QRect& rect) const
{
    return QRect(rect.x(), height() - rect.y() - rect.height(), rect.width(), rect.height());
}

QRect PlayBackView::pictureRect() const
{
    // Sits on the bottom edge; the top kCaptionHeight rows of its height are given up so
    // that a picture of the full box height stays clear of the caption strip.
    const int pictureHeight = std::max(0, m_newHeight - kCaptionHeight);
    return fromBottomLeft(QRect((width() - m_newWidth) / 2, 0, m_newWidth, pictureHeight));
}

QRect PlayBackView::actionRect() const
{
    const ArtworkImage* image = actionImage();
    if (!image)
        return {};
    const QSize size = image->size();
    return fromBottomLeft(
        QRect((width() - size.width()) / 2, (height() - size.height()) / 2, size.width(), size.height()));
}

const ArtworkImage* PlayBackView::actionImage() const
{
    switch (m_actionImage) {
    case ActionImageKind::Play: return &m_playImage;
    case ActionImageKind::Stop: return &m_stopImage;
    case ActionImageKind::None: break;
    }
    return nullptr;
}

void PlayBackView::setActionImage(ActionImageKind kind)
{
    m_actionImage = kind;
    update();
}

void PlayBackView::pointerLeft()
{
    if (m_playerState == PlayerState::Playing)
        setActionImage(ActionImageKind::None);
}

void PlayBackView::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (m_showView)
        m_showView->setGeometry(fromBottomLeft(QRect(0, height() - kCaptionHeight, width(), kCaptionHeight)));
}

void PlayBackView::enterEvent(QEnterEvent* event)
{
    QWidget::enterEvent(event);
    m_pointerInside = true;
    setActionImage(m_playerState == PlayerState::Playing ? ActionImageKind::Stop : ActionImageKind::Play);
}

void PlayBackView::leaveEvent(QEvent* event)
{
    QWidget::leaveEvent(event);
    m_pointerInside = false;
    pointerLeft();
}

void PlayBackView::mousePressEvent(QMouseEvent* event)
{
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // A click here ends typing in a field, so the editor's keys reach the window again.
    if (QWidget* focused = window()->focusWidget())
        focused->clearFocus();

    if (!actionRect().contains(event->position().toPoint()))
        return;
    NotificationCenter& center = NotificationCenter::defaultCenter();
    if (m_actionImage == ActionImageKind::Play) {
        center.post(EditorNote::StartPlayer, this);
        setActionImage(ActionImageKind::Stop);
    } else {
        center.post(EditorNote::StopPlayer, this);
        setActionImage(ActionImageKind::Play);
    }
}

void PlayBackView::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    painter.fillRect(event->rect(), Qt::black);
    const QRect target = pictureRect();
    if (!target.isEmpty()) {
        painter.setRenderHint(QPainter::SmoothPixmapTransform);
        painter.drawImage(target, m_image);
    }
    drawActionImage(painter);
}

void PlayBackView::drawActionImage(QPainter& painter) const
{
    if (const ArtworkImage* image = actionImage())
        painter.drawImage(actionRect().topLeft(), *image);
}

PlayBackViewCover::PlayBackViewCover(QWidget* parent)
    : PlayBackView(Role::Cover, parent)
{
}

void PlayBackViewCover::paintEvent(QPaintEvent* /*event*/)
{
    QPainter painter(this);
    drawActionImage(painter);
}
