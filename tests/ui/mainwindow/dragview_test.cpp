#include "support/notificationrecorder.h"
#include "ui/mainwindow/vymediadragview.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <tuple>

namespace {

std::unique_ptr<QMimeData> files(const QStringList& paths)
{
    auto data = std::make_unique<QMimeData>();
    QList<QUrl> urls;
    for (const QString& path : paths)
        urls << QUrl::fromLocalFile(path);
    data->setUrls(urls);
    return data;
}

// Dropped and offered by the open panel, whatever the ending's case; flv is only dropped.
TEST(DropListTest, EndingsAreTakenWithoutRegardToCase)
{
    const std::tuple<const char*, bool, bool> endings[]
        = { { "DivX", true, true }, { "xvid", true, true }, { "FLV", true, false }, { "mP3", true, true },
              { "avchd", true, true }, { "txt", false, false }, { "mp3.txt", false, false } };
    for (const auto& [ending, dropped, offered] : endings) {
        const QString name = QString::fromLatin1(ending);
        EXPECT_EQ(
            !VyDragViewRoot::acceptedPath(files({ QStringLiteral("/music/file.") + name }).get()).isEmpty(), dropped)
            << ending;
        EXPECT_EQ(VyDragViewRoot::openPanelFileTypes().contains(name.toUpper()), offered) << ending;
    }
}

TEST(DropListTest, OfSeveralFilesTheFirstDecides)
{
    EXPECT_TRUE(VyDragViewRoot::acceptedPath(files({}).get()).isEmpty());
    EXPECT_EQ(VyDragViewRoot::acceptedPath(files({ QStringLiteral("/a/one.wav"), QStringLiteral("/a/two.mp3") }).get()),
        QStringLiteral("/a/one.wav"))
        << "several files: the first";
    EXPECT_TRUE(
        VyDragViewRoot::acceptedPath(files({ QStringLiteral("/a/notes.txt"), QStringLiteral("/a/two.mp3") }).get())
            .isEmpty())
        << "the first file decides";
}

class DropViewTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        view.resize(679, 465);
        view.show();
    }
    bool enter(const QStringList& paths)
    {
        data = files(paths);
        QDragEnterEvent event(QPoint(10, 10), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        event.ignore();
        QCoreApplication::sendEvent(&view, &event);
        return event.isAccepted();
    }
    void drop()
    {
        QDropEvent event(QPointF(10, 10), Qt::CopyAction, data.get(), Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(&view, &event);
    }

    NotificationRecorder posted; // what the view posts
    VyMediaDragView view;
    std::unique_ptr<QMimeData> data;
};

TEST_F(DropViewTest, DroppingPostsTheLoadThenTheListRefresh)
{
    ASSERT_TRUE(enter({ QStringLiteral("/music/Song.DivX"), QStringLiteral("/music/other.mp3") }));
    EXPECT_TRUE(view.isHighlighted());
    EXPECT_FALSE(view.clickIsEnabled()) << "the buttons hide while a file hovers";
    drop();
    EXPECT_EQ(posted.names(),
        (QStringList { QStringLiteral("LoadChildItemInAudioEditView"), QStringLiteral("refreshListMenu") }));
    EXPECT_FALSE(view.isHighlighted());
    EXPECT_EQ(posted.posted.front().userInfo,
        (QVariantMap { { QStringLiteral("FilePath"), QStringLiteral("/music/Song.DivX") },
            { QStringLiteral("isLocal"), QStringLiteral("YES") } }));
}

TEST_F(DropViewTest, UnknownEndingIsRefusedAndLeavingRestoresTheButtons)
{
    EXPECT_FALSE(enter({ QStringLiteral("/music/readme.txt") }));
    EXPECT_FALSE(view.isHighlighted());
    EXPECT_TRUE(view.clickIsEnabled());

    ASSERT_TRUE(enter({ QStringLiteral("/music/clip.flv") }));
    EXPECT_EQ(view.thePathToAdd(), QStringLiteral("/music/clip.flv"));
    QDragLeaveEvent leave;
    QCoreApplication::sendEvent(&view, &leave);
    EXPECT_TRUE(view.thePathToAdd().isEmpty());
    EXPECT_FALSE(view.isHighlighted());
    EXPECT_TRUE(view.clickIsEnabled());
    EXPECT_TRUE(posted.names().isEmpty());
}

TEST_F(DropViewTest, ButtonsQueueTheirNotificationsAndChangeTheirLook)
{
    const QPoint record = view.pictureRect(VyMediaDragView::Record).center();
    const QPoint music = view.pictureRect(VyMediaDragView::Music).center();
    const QPoint manager = view.pictureRect(VyMediaDragView::Manager).center();
    EXPECT_LE(std::abs(music.x() - view.width() / 2), 1);
    EXPECT_EQ(music.x() - record.x(), 135);
    EXPECT_EQ(manager.x() - music.x(), 140);
    EXPECT_EQ(view.pictureRect(VyMediaDragView::Music).size(), QSize(84, 84));

    QTest::mousePress(&view, Qt::LeftButton, Qt::NoModifier, record);
    EXPECT_EQ(view.look(VyMediaDragView::Record), VyMediaDragView::Look::Down);
    EXPECT_EQ(view.regionMouseEnter(), VyMediaDragView::Record);
    EXPECT_TRUE(posted.names().isEmpty()) << "queued until the loop is idle";
    QTest::mouseRelease(&view, Qt::LeftButton, Qt::NoModifier, record);
    EXPECT_NE(view.look(VyMediaDragView::Record), VyMediaDragView::Look::Down);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !posted.names().isEmpty(); }, 2000));
    EXPECT_EQ(posted.names(), QStringList { QStringLiteral("ClickRecord") });

    QTest::mouseMove(&view, manager);
    EXPECT_EQ(view.look(VyMediaDragView::Manager), VyMediaDragView::Look::Enter);
    EXPECT_EQ(view.look(VyMediaDragView::Music), VyMediaDragView::Look::Plain);

    posted.posted.clear();
    view.hideFunctionLayer(true);
    QTest::mouseClick(&view, Qt::LeftButton, Qt::NoModifier, music);
    QTest::qWait(50);
    EXPECT_TRUE(posted.names().isEmpty()) << "hidden buttons do not react";
}

} // namespace
