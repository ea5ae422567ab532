#include "core/environment/editingstate.h"
#include "core/notification/notificationcenter.h"
#include "support/fixtures.h"
#include "support/qtfixtures.h"
#include "support/tonewav.h"
#include "ui/editor/ringtonesavecontroller.h"
#include "ui/editor/vyaudioeditorviewcontroller.h"
#include "ui/mainwindow/fileloadgate.h"
#include "ui/mainwindow/mainwindownotes.h"
#include "ui/mainwindow/vymainwindowcontroller.h"
#include "ui/mainwindow/vymediadragview.h"
#include "ui/player/playbackview.h"
#include "ui/waveform/dragview.h"
#include "ui/waveform/waveformview.h"
#include "windowworld.h"

#include <QAbstractButton>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GloableVar::resetGloableVariable();
        window = openQuietWindow();
    }
    void TearDown() override
    {
        window.reset();
        GloableVar::resetGloableVariable();
    }

    void post(const QString& path)
    {
        NotificationCenter::defaultCenter().post(
            MainWindowNote::LoadChildItemInAudioEditView, nullptr, loadRequest(path));
    }
    bool load(const QString& path)
    {
        QSignalSpy loaded(window.get(), &VyMainWindowController::fileLoaded);
        post(path);
        return QTest::qWaitFor([&] { return !loaded.isEmpty(); }, 20000);
    }
    QMessageBox* waitForSheet()
    {
        return QTest::qWaitFor([&] { return window->currentSheet() != nullptr; }, 20000) ? window->currentSheet()
                                                                                         : nullptr;
    }
    static QStringList buttons(QMessageBox* box)
    {
        QStringList texts;
        for (QAbstractButton* button : box->buttons())
            texts << button->text();
        return texts;
    }
    static void press(QMessageBox* box, const QString& text)
    {
        for (QAbstractButton* button : box->buttons()) {
            if (button->text() == text)
                button->click();
        }
    }
    QString tone(double seconds)
    {
        const std::string file = scratch.file("tone-" + std::to_string(static_cast<int>(seconds * 10)) + ".wav");
        fixtures::writeToneWav(file, seconds);
        return QString::fromStdString(file);
    }

    WindowWorld world;
    fixtures::ScratchDir scratch;
    std::unique_ptr<VyMainWindowController> window;
};

TEST_F(MainWindowTest, WindowHasItsTitleSizeAndPlaces)
{
    EXPECT_EQ(window->windowTitle(), QStringLiteral("Corvane Sonabel"));
    EXPECT_EQ(window->contentView()->size(), QSize(900, 495));
    EXPECT_EQ(window->contentView()->minimumSize(), QSize(900, 495)) << "the design size is the smallest";
    EXPECT_GT(window->maximumWidth(), window->width()) << "the window can be made larger";
    const QRect editorArea(221, 0, 679, 465);
    EXPECT_EQ(window->audioEditorViewController()->geometry(), editorArea);
    EXPECT_EQ(window->mediaDragView()->geometry(), editorArea);
    EXPECT_TRUE(window->mediaDragView()->isVisible());
    EXPECT_EQ(window->listViewFather()->width(), 222);
    EXPECT_EQ(window->playViewButton()->toolTip(), QStringLiteral("Show or hide video viewer."));
    EXPECT_FALSE(window->isVideoAreaOpen());
    EXPECT_EQ(window->searchField()->placeholderText(), QStringLiteral("Search"));
    QStringList searchModes;
    for (const QAction* item : window->searchMenu()->actions())
        searchModes << item->text();
    EXPECT_EQ(searchModes,
        (QStringList { QStringLiteral("Search"), QStringLiteral("  All"), QStringLiteral("  Artist"),
            QStringLiteral("  Album"), QStringLiteral("  Composer"), QStringLiteral("  Song") }));
}

TEST_F(MainWindowTest, LoadingHandsTheFileToTheEditorAndCloseBringsBackTheDropView)
{
    ASSERT_TRUE(load(fixture("tagged.mp3")));
    EXPECT_TRUE(window->fileHaveLoaded());
    EXPECT_TRUE(window->isFileLockFree());
    EXPECT_FALSE(window->mediaDragView()->isVisible());
    EXPECT_TRUE(window->audioEditorViewController()->isVisible());
    EXPECT_EQ(gloableState()._sourceFileName, fixture("tagged.mp3"));
    EXPECT_EQ(window->currentFileName(), QStringLiteral("tagged.mp3"));
    EXPECT_GT(gloableState().movieLen.load(), 1.0);
    EXPECT_TRUE(window->isVideoAreaOpen()) << "a file with a cover opens the video area";

    window->audioEditorViewController()->clickCloseButton();
    EXPECT_FALSE(window->fileHaveLoaded());
    EXPECT_TRUE(window->isClose());
    EXPECT_TRUE(window->mediaDragView()->isVisible());
    EXPECT_TRUE(window->mediaDragView()->clickIsEnabled());
    EXPECT_FALSE(window->audioEditorViewController()->isVisible());
    EXPECT_FALSE(window->isVideoAreaOpen());
    EXPECT_TRUE(gloableState()._sourceFileName.isEmpty());
}

// One file for each message; which message a file gets is the media check's table.
class MainWindowRefusalTest : public MainWindowTest, public ::testing::WithParamInterface<bool> { };

TEST_P(MainWindowRefusalTest, RefusedFileShowsItsSheetAndLeavesTheWindowUsable)
{
    const bool tooShort = GetParam();
    QString file = tone(0.9);
    if (!tooShort) {
        file = QString::fromStdString(scratch.file("noise.mp3"));
        fixtures::writeFile(file.toStdString(), fixtures::randomBytes(20000, 7));
    }
    QSignalSpy refused(window.get(), &VyMainWindowController::fileRefused);
    post(file);
    QMessageBox* sheet = waitForSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Error!"));
    EXPECT_EQ(sheet->text(),
        tooShort ? QStringLiteral("Sorry!This file has no audio track.")
                 : QStringLiteral("The file can not be imported!"));
    EXPECT_EQ(sheet->icon(), QMessageBox::Critical);
    EXPECT_EQ(buttons(sheet), QStringList { QStringLiteral("OK") });
    EXPECT_EQ(sheet->windowModality(), Qt::WindowModal) << "a sheet on the window, not a separate window";
    EXPECT_EQ(sheet->parentWidget(), window.get());
    EXPECT_EQ(refused.size(), 1);
    EXPECT_TRUE(window->isFileLockFree());
    EXPECT_FALSE(window->fileHaveLoaded());
    EXPECT_TRUE(window->mediaDragView()->clickIsEnabled()) << "the drop view shows its buttons again";
    press(sheet, QStringLiteral("OK"));
    ASSERT_TRUE(load(fixture("tone.mp3"))) << "the window stays usable";
}

INSTANTIATE_TEST_SUITE_P(BadFiles, MainWindowRefusalTest, ::testing::Bool(),
    [](const auto& info) { return info.param ? "TooShort" : "NotMedia"; });

TEST(FileLoadGate, LetsOneRequestThroughAtATime)
{
    const auto file = [](const QString& path) {
        return QVariantMap { { QStringLiteral("FilePath"), path },
            { QStringLiteral("isLocal"), QStringLiteral("YES") } };
    };
    FileLoadGate gate;
    EXPECT_FALSE(gate.admit({}, QString())) << "no file named";
    EXPECT_FALSE(gate.admit(file(QStringLiteral("/m/a.mp3")), QStringLiteral("/m/a.mp3"))) << "already loaded";
    EXPECT_TRUE(gate.isFree());

    const auto first = gate.admit(file(QStringLiteral("/m/b.mp3")), QStringLiteral("/m/a.mp3"));
    ASSERT_TRUE(first);
    EXPECT_EQ(first->name, QStringLiteral("b.mp3"));
    EXPECT_FALSE(gate.isFree());
    EXPECT_FALSE(gate.admit(file(QStringLiteral("/m/c.mp3")), QString())) << "one load at a time";
    gate.refused();
    EXPECT_TRUE(gate.admit(file(QStringLiteral("/m/c.mp3")), QString())) << "a refusal opens the gate";
    gate.loaded();
    EXPECT_TRUE(gate.isFree());
    EXPECT_TRUE(gate.fileHaveLoaded());
    gate.closed();
    EXPECT_TRUE(gate.isClose());
    EXPECT_FALSE(gate.fileHaveLoaded());

    // A list item names its file and title through its properties.
    QObject item;
    item.setProperty("itemPath", QStringLiteral("/m/d.m4a"));
    item.setProperty("itemTitle", QStringLiteral("Song D"));
    const auto listed = gate.admit({ { QStringLiteral("ChildItem"), QVariant::fromValue(&item) } }, QString());
    ASSERT_TRUE(listed);
    EXPECT_EQ(listed->path, QStringLiteral("/m/d.m4a"));
    EXPECT_EQ(listed->name, QStringLiteral("Song D"));
}

TEST_F(MainWindowTest, SaveAsSaysWhatIsMissing)
{
    window->clickSaveAs();
    QMessageBox* sheet = window->currentSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Error"));
    EXPECT_EQ(sheet->text(), QStringLiteral("Please choose a media file first!"));
    press(sheet, QStringLiteral("OK"));

    // While a second file is being checked and loaded over the first.
    ASSERT_TRUE(load(fixture("tone.mp3")));
    post(fixture("long.mp3"));
    window->clickSaveAs();
    ASSERT_NE(window->currentSheet(), nullptr);
    EXPECT_EQ(window->currentSheet()->windowTitle(), QStringLiteral("Loading file."));
    EXPECT_EQ(window->currentSheet()->text(), QStringLiteral("Loading file,please waitting for a moment!"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->fileHaveLoaded() && window->isFileLockFree(); }, 30000));
    window->clickSaveAs();
    EXPECT_NE(window->audioEditorViewController()->saveController()->savePanel(), nullptr)
        << "a loaded file goes on to the save panel";
}

TEST_F(MainWindowTest, ClosingAsksAndOnlyYesQuits)
{
    QSignalSpy quit(window.get(), &VyMainWindowController::quitRequested);
    EXPECT_FALSE(window->close());
    EXPECT_TRUE(window->isVisible());
    QMessageBox* question = window->currentSheet();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text(), QStringLiteral("Are you sure to quit the program?"));
    EXPECT_EQ(buttons(question), (QStringList { QStringLiteral("Yes"), QStringLiteral("No") }));
    EXPECT_EQ(question->icon(), QMessageBox::Critical);
    press(question, QStringLiteral("No"));
    EXPECT_TRUE(window->isVisible());
    EXPECT_TRUE(quit.isEmpty());

    EXPECT_FALSE(window->close());
    press(window->currentSheet(), QStringLiteral("Yes"));
    EXPECT_EQ(quit.size(), 1);
    EXPECT_TRUE(window->isVisible()) << "quitting runs the shutdown; the sheet does not close the window itself";
}

TEST_F(MainWindowTest, AFunctionOpensItsWindowOrSaysItIsNotAvailable)
{
    WindowRegistry windows;
    QWidget* openedOver = nullptr;
    windows.add(WindowRegistry::Function::GrooveBox, [&](QWidget* mainWindow) { openedOver = mainWindow; });
    window = openQuietWindow(&windows);
    window->grooveBoxButton()->click();
    EXPECT_EQ(openedOver, window.get());
    EXPECT_EQ(window->currentSheet(), nullptr);

    window->clickRecorder();
    QMessageBox* sheet = window->currentSheet();
    ASSERT_NE(sheet, nullptr);
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Not available"));
    EXPECT_EQ(sheet->text(), QStringLiteral("The recorder is not available in this version of the program."));
    window.reset(); // before the registry it points to
}

// The drop view's own case pins that its buttons are queued; here the window answers them.
TEST_F(MainWindowTest, DropViewButtonsReachTheWindow)
{
    VyMediaDragView* drop = window->mediaDragView();
    QTest::mouseClick(drop, Qt::LeftButton, Qt::NoModifier, drop->pictureRect(VyMediaDragView::Manager).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->currentSheet() != nullptr; }, 2000));
    QMessageBox* sheet = window->currentSheet();
    EXPECT_EQ(sheet->windowTitle(), QStringLiteral("Found no iPhone connected ")) << "no phone for the manager";
    EXPECT_EQ(sheet->text(),
        QStringLiteral("Use Zirevove Vorurav function needs to connect iPhone first, please "
                       "connect iPhone to the computer."));
    EXPECT_EQ(sheet->icon(), QMessageBox::Critical);
    sheet->close();

    QTest::mouseClick(drop, Qt::LeftButton, Qt::NoModifier, drop->pictureRect(VyMediaDragView::Music).center());
    ASSERT_TRUE(QTest::qWaitFor([&] { return window->openPanel() != nullptr; }, 2000));
    EXPECT_TRUE(window->openPanel()->nameFilters().constFirst().contains(QStringLiteral("*.mp3")));
}

// What the click says is the registry's case; here it ends the preview loop for real.
TEST_F(MainWindowTest, ARecordClickDuringTheRingsGapStartsNoPass)
{
    ASSERT_TRUE(load(tone(12)));
    VyAudioEditorViewController* editor = window->audioEditorViewController();
    if (editor->playerState() == PlayerState::None)
        GTEST_SKIP() << "no sound output";
    NotificationCenter::defaultCenter().post(
        QStringLiteral("SetRingsGapTime"), nullptr, { { QStringLiteral("RingsGap"), 1.0 } });
    const double endMs = (editor->part().x + editor->part().width) / gloableState()._moveDx.load();
    editor->repeatePreview(endMs - 300.0);
    ASSERT_TRUE(QTest::qWaitFor([&] { return editor->session().gapPending(); }, 20000));
    NotificationCenter::defaultCenter().post(QStringLiteral("ClickRecord"));
    EXPECT_FALSE(editor->session().gapPending());
    QTest::qWait(1500); // longer than the gap
    EXPECT_NE(editor->playerState(), PlayerState::Playing);
}

TEST_F(MainWindowTest, KeysReachingTheWindowGoToTheLoadedFile)
{
    QKeyEvent early(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &early); // nothing loaded: nothing to move, no harm
    ASSERT_TRUE(load(tone(90)));
    const double before = window->audioEditorViewController()->part().x;
    QKeyEvent right(QEvent::KeyPress, Qt::Key_Right, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &right);
    EXPECT_GT(window->audioEditorViewController()->part().x, before);
    QKeyEvent other(QEvent::KeyPress, Qt::Key_A, Qt::NoModifier);
    QCoreApplication::sendEvent(window.get(), &other); // the editor hands it back: no endless loop
}

// The window's places are the first case's and the part's rules the waveform's; here the
// real window paints the part over the waveform and the picture in the video area.
TEST_F(MainWindowTest, RenderShowsThePartAndThePictureWhereTheyBelong)
{
    ASSERT_TRUE(load(tone(90)));
    ASSERT_FALSE(window->isVideoAreaOpen()) << "a file without a picture leaves the video area shut";
    window->playViewButton()->click();
    ASSERT_TRUE(window->isVideoAreaOpen());
    ASSERT_TRUE(window->playView()->isVisible());
    QTest::qWait(50);
    const QImage shot = window->grab().toImage();
    const QPoint content = window->contentView()->mapTo(window.get(), QPoint(0, 0));
    ASSERT_EQ(shot.width(), 900);
    ASSERT_EQ(shot.height(), 495 + content.y());

    // The chosen part: the selection bar over the waveform, lighter than the waveform beside it.
    DragView* bar = window->audioEditorViewController()->waveformView()->findChild<DragView*>();
    ASSERT_NE(bar, nullptr);
    const QRect part(bar->mapTo(window.get(), QPoint(0, 0)), bar->size());
    const QColor inside = shot.pixelColor(part.center());
    const QColor outside = shot.pixelColor(QPoint(part.right() + 40, part.center().y()));
    EXPECT_GT(inside.lightness(), outside.lightness() + 40);

    // The picture pane in the left column's video area, showing a picture.
    const QRect pane(window->playView()->mapTo(window.get(), QPoint(0, 0)), window->playView()->size());
    EXPECT_LE(pane.right(), content.x() + 222);
    EXPECT_GT(pane.top(), content.y() + 200);
    const QRect picture = window->playView()->pictureRect().translated(pane.topLeft());
    EXPECT_TRUE(pane.contains(picture.center()));
    window->playViewButton()->click();
    EXPECT_FALSE(window->isVideoAreaOpen());
}

} // namespace
