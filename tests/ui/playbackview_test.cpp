#include "core/notification/notificationcenter.h"
#include "support/notificationrecorder.h"
#include "support/widgetpixels.h"
#include "ui/player/playbackview.h"
#include "ui/player/showareaview.h"

#include <QApplication>
#include <QColor>
#include <QEnterEvent>
#include <QImage>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>
#include <tuple>

using namespace Qt::StringLiterals;

namespace {

using Kind = PlayBackView::ActionImageKind;

const QSize kPaneSize(255, 148);

// Stands for the player controller, which is who posts the play-state notifications.
const int kSomePlayer = 0;

void postFromPlayer(const char16_t* name)
{
    NotificationCenter::defaultCenter().post(QString::fromUtf16(name), &kSomePlayer);
}

void pointerEnters(QWidget* widget)
{
    const QPointF inside(widget->width() / 2.0, widget->height() / 2.0);
    QEnterEvent enter(inside, inside, widget->mapToGlobal(inside));
    QApplication::sendEvent(widget, &enter);
}

void pointerLeaves(QWidget* widget)
{
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(widget, &leave);
}

void clickAt(QWidget* widget, QPoint position, Qt::MouseButton button = Qt::LeftButton)
{
    QTest::mouseClick(widget, button, {}, position);
}

QImage filled(QSize size, QColor color)
{
    QImage image(size, QImage::Format_ARGB32);
    image.fill(color);
    return image;
}

bool isNearWhite(QColor color)
{
    return color.red() > 220 && color.green() > 220 && color.blue() > 220;
}

void expectButton(const PlayBackView& view, PlayerState state, Kind kind)
{
    EXPECT_EQ(view.playerState(), state);
    EXPECT_EQ(view.actionImageKind(), kind);
}

class PlayBackViewTest : public ::testing::Test {
protected:
    void SetUp() override { view.resize(kPaneSize); }
    PlayBackView view;
};

TEST_F(PlayBackViewTest, ClickingTheButtonStartsThenStopsPlayAndClicksBesideOrWithoutItDoNothing)
{
    expectButton(view, PlayerState::Stopped, Kind::Play);
    const NotificationRecorder recorder({}, &view); // its button notifications: ...Player
    const QRect button = view.actionRect();
    EXPECT_EQ(button, QRect(103, 50, 48, 48));
    clickAt(&view, button.topLeft() - QPoint(1, 0));
    clickAt(&view, button.bottomRight() + QPoint(0, 1));
    clickAt(&view, view.rect().center(), Qt::RightButton);
    EXPECT_TRUE(recorder.names(u"Player"_s).empty());
    EXPECT_EQ(view.actionImageKind(), Kind::Play);

    clickAt(&view, view.rect().center());
    EXPECT_EQ(recorder.names(u"Player"_s), QStringList { u"StartPlayer"_s });
    EXPECT_EQ(view.actionImageKind(), Kind::Stop);
    clickAt(&view, button.topLeft());
    EXPECT_EQ(recorder.names(u"Player"_s), (QStringList { u"StartPlayer"_s, u"StopPlayer"_s }));
    // The click only asks; the state follows the player's own notifications.
    expectButton(view, PlayerState::Stopped, Kind::Play);

    // Playing with the pointer away: the button is hidden, so its place is not clickable.
    postFromPlayer(u"StartPlay");
    ASSERT_EQ(view.actionImageKind(), Kind::None);
    clickAt(&view, view.rect().center());
    EXPECT_EQ(recorder.names(u"Player"_s).size(), 2);
}

TEST_F(PlayBackViewTest, FollowsThePlayerWhoeverStartsAndStopsItAndHoverShowsTheButton)
{
    // Stopped, the play button stays when the pointer goes.
    pointerEnters(&view);
    expectButton(view, PlayerState::Stopped, Kind::Play);
    pointerLeaves(&view);
    expectButton(view, PlayerState::Stopped, Kind::Play);

    postFromPlayer(u"StartPlay");
    expectButton(view, PlayerState::Playing, Kind::None);
    EXPECT_TRUE(view.actionRect().isEmpty());
    pointerEnters(&view);
    expectButton(view, PlayerState::Playing, Kind::Stop);
    pointerLeaves(&view);
    expectButton(view, PlayerState::Playing, Kind::None);
    postFromPlayer(u"StopPlay");
    expectButton(view, PlayerState::Stopped, Kind::Play);
    postFromPlayer(u"StartPlay");
    postFromPlayer(u"PausePlay");
    expectButton(view, PlayerState::Stopped, Kind::Play);

    // Play started while pointing at the pane keeps the stop button within reach; a
    // notification without a sender counts as well.
    pointerEnters(&view);
    NotificationCenter::defaultCenter().post(u"StartPlay"_s);
    expectButton(view, PlayerState::Playing, Kind::Stop);
}

TEST_F(PlayBackViewTest, EveryPictureGetsItsDrawingSize)
{
    // {newWidth, newHeight, pictureRect}: the generic 120 x 90 picture fitted into the audio box.
    const auto drawing = [this] { return std::tuple(view.newWidth(), view.newHeight(), view.pictureRect()); };
    EXPECT_EQ(view.sizeHint(), kPaneSize);
    EXPECT_EQ(drawing(), std::tuple(197, 148, QRect(29, 15, 197, 133)));
    // The very first picture is sized too, not only the later ones; video thumbnails (no
    // compose) get the narrower box.
    const auto drawn = [&](QSize size, bool compose) {
        view.setImage(filled(size, Qt::green), compose);
        return drawing();
    };
    EXPECT_EQ(drawn({ 510, 148 }, true), std::tuple(255, 74, QRect(0, 148 - 59, 255, 59)));
    EXPECT_EQ(drawn({ 37, 74 }, true), std::tuple(74, 148, QRect(90, 15, 74, 133)));
    EXPECT_EQ(drawn({ 350, 148 }, false), std::tuple(175, 74, QRect(40, 148 - 59, 175, 59)));
    // A picture less tall than the caption strip leaves nothing to draw, not a flipped rectangle.
    const auto [width, height, picture] = drawn({ 2550, 100 }, true);
    EXPECT_EQ(height, 10);
    EXPECT_TRUE(picture.isEmpty());
}

TEST_F(PlayBackViewTest, PictureSitsAtTheBottomUnderTheCaptionStripAndTheHiddenButtonUncoversThePane)
{
    view.setImage(filled({ 510, 148 }, Qt::red), true); // drawn over the bottom 59 rows
    QImage pane = grabbed(view);
    EXPECT_TRUE(looksLike(pane.pixelColor(252, 90), Qt::red));
    EXPECT_TRUE(looksLike(pane.pixelColor(2, 87), Qt::black));
    // The caption strip covers the top 15 rows, full width.
    ASSERT_NE(view.showView(), nullptr);
    EXPECT_EQ(view.showView()->geometry(), QRect(0, 0, 255, 15));
    // The play button in the middle, at its own size.
    EXPECT_TRUE(isNearWhite(pane.pixelColor(view.actionRect().center())));
    EXPECT_TRUE(looksLike(pane.pixelColor(view.actionRect().left() - 1, view.actionRect().center().y()), Qt::black));

    // Playing with the pointer away, the hidden button uncovers the pane; hovering brings it back.
    postFromPlayer(u"StartPlay");
    EXPECT_TRUE(looksLike(grabbed(view).pixelColor(view.rect().center()), Qt::black));
    pointerEnters(&view);
    EXPECT_TRUE(isNearWhite(grabbed(view).pixelColor(view.actionRect().center())));

    // Without a picture the generic one stands in (a corner of it, away from its note).
    const QImage generic(u":/AudioPic.png"_s);
    view.setImage(QImage(), false);
    pane = grabbed(view);
    const QRect picture = view.pictureRect();
    EXPECT_TRUE(looksLike(
        pane.pixelColor(picture.left() + 3, picture.bottom() - 3), generic.pixelColor(1, generic.height() - 2), 12));
    EXPECT_TRUE(looksLike(pane.pixelColor(picture.left() - 3, picture.bottom() - 3), Qt::black));
}

TEST(PlayBackViewCoverTest, StartsWithoutAButtonAndLetsTheVideoShowThrough)
{
    const QColor videoColour(40, 160, 60);
    QWidget video;
    video.resize(210, 143);
    video.setAutoFillBackground(true);
    QPalette palette = video.palette();
    palette.setColor(QPalette::Window, videoColour);
    video.setPalette(palette);
    auto* cover = new PlayBackViewCover(&video);
    cover->resize(video.size());

    expectButton(*cover, PlayerState::Stopped, Kind::None);
    EXPECT_EQ(cover->showView(), nullptr);
    EXPECT_TRUE(looksLike(grabbed(video).pixelColor(105, 71), videoColour));

    pointerEnters(cover);
    ASSERT_EQ(cover->actionImageKind(), Kind::Play);
    const QImage hovered = grabbed(video);
    EXPECT_TRUE(isNearWhite(hovered.pixelColor(cover->actionRect().center())));
    EXPECT_TRUE(looksLike(hovered.pixelColor(cover->actionRect().topLeft() - QPoint(1, 1)), videoColour));

    const NotificationRecorder recorder({}, cover);
    clickAt(cover, cover->actionRect().center());
    EXPECT_EQ(recorder.names(u"Player"_s), QStringList { u"StartPlayer"_s });
}

TEST(ShowAreaViewTest, ShowsTheCaptionInTheMiddle)
{
    ShowAreaView strip;
    EXPECT_EQ(strip.caption(), u"Selected Item"_s);
    strip.resize(255, 15);
    const QImage shown = grabbed(strip);
    // White text in the middle, none near the ends.
    int whiteInMiddle = 0;
    int whiteAtEnds = 0;
    for (int y = 0; y < 15; ++y) {
        for (int x = 0; x < 255; ++x) {
            const bool white = isNearWhite(shown.pixelColor(x, y));
            whiteInMiddle += x >= 90 && x < 165 && white;
            whiteAtEnds += (x < 40 || x >= 215) && white;
        }
    }
    EXPECT_GT(whiteInMiddle, 10);
    EXPECT_EQ(whiteAtEnds, 0);
}

} // namespace
