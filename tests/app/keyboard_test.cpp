// Working without the mouse: every control of every window says what it is and what it
// does, and a ringtone is made from a file with the keys alone.

#include "app/appcorecontroller.h"
#include "core/environment/editingstate.h"
#include "support/fixtures.h"
#include "support/productconfigsandbox.h"
#include "support/qtfixtures.h"
#include "ui/editor/audioeditorviewplugcontroller.h"
#include "ui/editor/ringtonesavecontroller.h"
#include "ui/editor/vyaudioeditorviewcontroller.h"
#include "ui/mainwindow/mainwindowlayout.h"
#include "ui/mainwindow/vymainwindowcontroller.h"
#include "ui/mainwindow/windowworld.h"
#include "ui/preferences/mainpreferencecontroller.h"
#include "ui/waveform/waveformview.h"

#include <QAbstractButton>
#include <QAbstractItemView>
#include <QAbstractSlider>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace Qt::StringLiterals;

namespace {

// The whole application as it starts, without the phone's mount helper, the fade-in,
// the launch sound or the update check.
class KeyboardTest : public ProductConfigSandbox {
protected:
    void SetUp() override
    {
        ProductConfigSandbox::SetUp();
        GloableVar::resetGloableVariable();
        AppCoreController::Options options;
        options.launchMountHelper = false;
        options.fadeIn = false;
        options.launchSound = false;
        options.automaticUpdateCheck = false;
        core = std::make_unique<AppCoreController>(options);
        core->appFinishLaunched();
        window = core->mainWindowController();
        window->activateWindow();
        ASSERT_TRUE(QTest::qWaitForWindowActive(window));
    }
    void TearDown() override
    {
        for (QWidget* top : QApplication::topLevelWidgets()) {
            if (top != window && top->isVisible())
                top->close();
        }
        core.reset();
        GloableVar::resetGloableVariable();
        ProductConfigSandbox::TearDown();
    }

    // A song of 90 s with its artist and album, named as a user's file would be.
    QString song()
    {
        const QString path = world.path(u"song5.m4a"_s);
        EXPECT_TRUE(runFfmpeg({ u"-stream_loop"_s, u"2"_s, u"-i"_s, fixture("music.wav"), u"-t"_s, u"90"_s, u"-c:a"_s,
            u"aac"_s, u"-b:a"_s, u"96k"_s, u"-metadata"_s, u"artist=Fixture Artist"_s, u"-metadata"_s,
            u"album=Fixture Album"_s, u"-f"_s, u"ipod"_s, path }));
        return path;
    }

    // A key as the keyboard sends it: to whatever has the keys now.
    static void press(Qt::Key key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QWidget* target = QApplication::focusWidget();
        if (target == nullptr)
            target = QApplication::activeWindow();
        ASSERT_NE(target, nullptr) << "nothing has the keyboard";
        QTest::keyClick(target, key, modifiers);
    }
    static void type(const QString& text)
    {
        QWidget* target = QApplication::focusWidget();
        ASSERT_NE(target, nullptr) << "nothing has the keyboard";
        QTest::keyClicks(target, text);
    }

    // A new dialog gets the keys, as a desktop's window manager gives them to it.
    static bool takesTheKeys(QWidget* dialog)
    {
        if (!dialog->isWindow() || !QTest::qWaitForWindowExposed(dialog))
            return false;
        dialog->activateWindow();
        return QTest::qWaitFor([dialog] { return QApplication::activeWindow() == dialog; }, 5000);
    }

    bool load(const QString& path)
    {
        QSignalSpy loaded(window, &VyMainWindowController::fileLoaded);
        window->loadChildItemInAudioEditView({ { u"FilePath"_s, path }, { u"isLocal"_s, u"YES"_s } });
        return loaded.wait(20000) || loaded.size() == 1;
    }

    [[nodiscard]] VyAudioEditorViewController* editor() const { return window->audioEditorViewController(); }
    [[nodiscard]] double seconds(double pixels) const { return pixels / gloableState()._moveDx.load() / 1000.0; }

    WindowWorld world;
    std::unique_ptr<AppCoreController> core;
    VyMainWindowController* window = nullptr;
};

// Controls a user works with. Scroll bars, and the headers and corner of a list, are
// parts of the view they belong to.
bool isControl(const QWidget* widget)
{
    for (const QWidget* up = widget->parentWidget(); up != nullptr; up = up->parentWidget()) {
        if (qobject_cast<const QAbstractItemView*>(up) != nullptr)
            return false;
    }
    static const QStringList custom { u"WaveformView"_s, u"DragView"_s, u"VolumView"_s, u"VyListMenu"_s,
        u"VyMediaDragView"_s, u"PlayBackView"_s, u"VyMatrix"_s, u"TrimSliderBar"_s, u"VyRingtonePlayProcessView"_s };
    if (qobject_cast<const QScrollBar*>(widget) != nullptr)
        return false;
    if (qobject_cast<const QAbstractButton*>(widget) != nullptr
        || qobject_cast<const QAbstractSlider*>(widget) != nullptr || qobject_cast<const QLineEdit*>(widget) != nullptr
        || qobject_cast<const QComboBox*>(widget) != nullptr
        || qobject_cast<const QAbstractItemView*>(widget) != nullptr)
        return true;
    for (const QString& name : custom) {
        if (widget->inherits(name.toLatin1().constData()))
            return true;
    }
    return false;
}

// "class objectName" of every visible control under `top` that lacks a name or a tip.
QStringList unnamedControls(QWidget* top)
{
    QStringList missing;
    QList<QWidget*> widgets = top->findChildren<QWidget*>();
    widgets.prepend(top);
    for (QWidget* widget : widgets) {
        // An alert over the window is a window of its own.
        if (widget->window() != top || !widget->isVisible() || !isControl(widget))
            continue;
        if (widget->accessibleName().trimmed().isEmpty() || widget->toolTip().trimmed().isEmpty())
            missing << QString::fromLatin1(widget->metaObject()->className()) + u' ' + widget->objectName() + u" in"_s
                    + u' ' + QString::fromLatin1(widget->parentWidget()->metaObject()->className());
    }
    return missing;
}

// The visible top-level window of class `className`.
QWidget* shownWindow(const char* className)
{
    for (QWidget* top : QApplication::topLevelWidgets()) {
        if (top->isVisible() && top->inherits(className))
            return top;
    }
    return nullptr;
}

struct WindowCase {
    const char* name;
    const char* className;
    std::function<void(KeyboardTest&, AppCoreController&, VyMainWindowController&)> open;
};

} // namespace

TEST_F(KeyboardTest, EveryControlOfEveryWindowHasANameAndSaysWhatItDoes)
{
    const QString file = song();
    ASSERT_TRUE(load(file));
    const auto open = [](WindowRegistry::Function function) {
        return [function](KeyboardTest&, AppCoreController& core, VyMainWindowController& window) {
            ASSERT_TRUE(core.windows().open(function, &window, gloableState()._sourceFileName));
        };
    };
    const WindowCase cases[] = {
        { "main window, file loaded", "VyMainWindowController", [](auto&, auto&, auto&) {} },
        { "Zirevove Vorurav", "UpLoadToiPhoneWindowController", open(WindowRegistry::Function::RingtoneManager) },
        { "recorder", "RecorderController", open(WindowRegistry::Function::Recorder) },
        { "Groove Box", "GrooveBoxController", open(WindowRegistry::Function::GrooveBox) },
        { "trim dialog", "TrimDlgCtl", open(WindowRegistry::Function::Trim) },
        { "preferences", "MainPreferenceController",
            [](auto&, auto&, VyMainWindowController& window) {
                auto* preferences = new MainPreferenceController(&window);
                preferences->setAttribute(Qt::WA_DeleteOnClose);
                preferences->show();
            } },
    };
    for (const WindowCase& c : cases) {
        SCOPED_TRACE(c.name);
        c.open(*this, *core, *window);
        QWidget* shown = nullptr;
        ASSERT_TRUE(QTest::qWaitFor([&] { return (shown = shownWindow(c.className)) != nullptr; }, 5000));
        QTest::qWait(50);
        const QStringList missing = unnamedControls(shown);
        EXPECT_TRUE(missing.isEmpty()) << missing.join(u", "_s).toStdString();
        if (shown != window)
            shown->close();
    }
}

TEST_F(KeyboardTest, InfoPanelShowsNameAndArtistInFullAtTheDesignSize)
{
    window->resize(window->minimumSizeHint());
    ASSERT_EQ(window->contentView()->size(), QSize(MainWindowLayout::kWidth, MainWindowLayout::kHeight));
    ASSERT_TRUE(load(song()));
    const AudioEditorViewPlugController* panel = editor()->infoPanel();
    EXPECT_EQ(panel->nameText(), u"song5.m4a"_s);
    EXPECT_EQ(panel->composerText(), u"Fixture Artist"_s);
    EXPECT_EQ(panel->albumText(), u"Fixture Album"_s);
    // Larger, the waveform and the list grow; the bottom band stays at the bottom.
    const QSize before = editor()->waveformView()->waveformScrollView()->size();
    window->resize(window->width() + 500, window->height() + 300);
    QTest::qWait(50);
    const QSize after = editor()->waveformView()->waveformScrollView()->size();
    EXPECT_EQ(after - before, QSize(500, 300));
    EXPECT_EQ(window->listViewFather()->parentWidget()->parentWidget()->height(),
        window->contentView()->height() - MainWindowLayout::kBottomBorder);
    EXPECT_EQ(window->grooveBoxButton()->parentWidget()->geometry().bottom(), window->contentView()->height() - 1);
    EXPECT_GE(editor()->waveformView()->width(), after.width() - 2) << "the waveform fills the wider area";
}

TEST_F(KeyboardTest, ARingtoneIsMadeWithTheKeysAlone)
{
    const QString file = song();
    QSignalSpy loaded(window, &VyMainWindowController::fileLoaded);

    // Open File... with its shortcut; the panel takes a typed path and Return.
    press(Qt::Key_O, Qt::ControlModifier);
    ASSERT_NE(window->openPanel(), nullptr);
    ASSERT_TRUE(takesTheKeys(window->openPanel()));
    type(file);
    press(Qt::Key_Return);
    if (window->openPanel() != nullptr && window->openPanel()->isVisible())
        press(Qt::Key_Return); // the first Return took the completion
    ASSERT_TRUE(loaded.wait(20000) || loaded.size() == 1);
    ASSERT_TRUE(takesTheKeys(window)); // the panel is gone

    // The part: the waveform has the keys. Right moves it by the key step (1 s), Shift by
    // a tenth of it; Alt with Down brings its end in, with Up its start.
    VyAudioEditorViewController* ed = editor();
    ASSERT_EQ(QApplication::focusWidget(), ed->waveformView());
    for (int i = 0; i < 3; ++i)
        press(Qt::Key_Right);
    for (int i = 0; i < 5; ++i)
        press(Qt::Key_Right, Qt::ShiftModifier);
    press(Qt::Key_Down, Qt::AltModifier);
    press(Qt::Key_Up, Qt::AltModifier | Qt::ShiftModifier);
    const PartFrame part = ed->part();
    EXPECT_NEAR(seconds(part.x), 3.6, 0.01);
    EXPECT_NEAR(seconds(part.width), 38.9, 0.01);

    // Preview: Space starts it and stops it.
    press(Qt::Key_Space);
    EXPECT_TRUE(ed->waveformView()->isPreview());
    QTest::qWait(300);
    press(Qt::Key_Space);
    EXPECT_FALSE(ed->waveformView()->isPreview());

    // Tab reaches Create Ringtone, Space presses it; the name sheet takes a name and Return.
    for (int i = 0; i < 30 && QApplication::focusWidget() != ed->saveBtn(); ++i)
        press(Qt::Key_Tab);
    ASSERT_EQ(QApplication::focusWidget(), ed->saveBtn());
    press(Qt::Key_Space);
    QDialog* sheet = ed->saveController()->nameSheet();
    ASSERT_NE(sheet, nullptr);
    ASSERT_TRUE(takesTheKeys(sheet));
    type(u"KeyBell"_s);
    press(Qt::Key_Return);

    const QString ringtone = world.path(u"home/Music/iTunes/iTunes Media/Ringtones/KeyBell.m4r"_s);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QFileInfo::exists(ringtone); }, 30000));
    const fixtures::Pcm made = fixtures::decodeAll(ringtone.toStdString());
    ASSERT_GT(made.sampleRate, 0);
    // Saved between the whole seconds the fields show: 00:00:04 to 00:00:42.
    EXPECT_NEAR(static_cast<double>(made.frames()) / made.sampleRate, 38.0, 0.15);
}
