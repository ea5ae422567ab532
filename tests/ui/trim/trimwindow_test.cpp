#include "app/appcorecontroller.h"
#include "core/environment/editingstate.h"
#include "core/notification/notificationcenter.h"
#include "support/fixtures.h"
#include "support/qtfixtures.h"
#include "ui/editor/vyaudioeditorviewcontroller.h"
#include "ui/mainwindow/mainwindownotes.h"
#include "ui/mainwindow/windowworld.h"
#include "ui/menu/mainmenucontroller.h"
#include "ui/trim/trimdlgctl.h"

#include <QAbstractButton>
#include <QAction>
#include <QFileInfo>
#include <QMessageBox>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

namespace {

constexpr int kWaitMs = 30000;

// The application as it runs, without the helper, update check, fade or sound.
class TrimWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        GloableVar::resetGloableVariable();
        AppCoreController::Options options;
        options.launchMountHelper = false;
        options.automaticUpdateCheck = false;
        options.fadeIn = false;
        options.launchSound = false;
        core = std::make_unique<AppCoreController>(options);
        core->appFinishLaunched();
        window = core->mainWindowController();
    }
    void TearDown() override
    {
        core.reset();
        GloableVar::resetGloableVariable();
    }

    bool load(const QString& path)
    {
        QSignalSpy loaded(window, &VyMainWindowController::fileLoaded);
        NotificationCenter::defaultCenter().post(
            MainWindowNote::LoadChildItemInAudioEditView, nullptr, loadRequest(path));
        return QTest::qWaitFor([&] { return !loaded.isEmpty(); }, kWaitMs);
    }
    [[nodiscard]] TrimDlgCtl* dialog() const { return window->findChild<TrimDlgCtl*>(); }
    static void press(QMessageBox* box, const QString& text)
    {
        for (QAbstractButton* button : box->buttons())
            if (button->text() == text)
                button->click();
    }

    WindowWorld world;
    fixtures::ScratchDir scratch;
    std::unique_ptr<AppCoreController> core;
    VyMainWindowController* window = nullptr;
};

TEST_F(TrimWindowTest, LongFileIsOfferedForTrimmingAndTheCutIsLoaded)
{
    QAction* trimItem = core->mainMenuController()->menuItemTrim();
    ASSERT_NE(trimItem, nullptr);
    EXPECT_FALSE(trimItem->isEnabled()) << "nothing to trim yet";

    const std::string longFile = scratch.file("long talk.wav");
    fixtures::writeSilentWav(longFile, 8000, 1, 12 * 60);
    ASSERT_TRUE(load(q(longFile)));
    EXPECT_TRUE(trimItem->isEnabled());
    QMessageBox* question = window->currentSheet();
    ASSERT_NE(question, nullptr);
    EXPECT_EQ(question->text(), QStringLiteral("This file is longer than 10 minutes. Trim it first?"));
    press(question, QStringLiteral("Trim\u2026"));
    ASSERT_NE(dialog(), nullptr);
    EXPECT_TRUE(dialog()->isVisible());
    EXPECT_EQ(dialog()->mediaPath(), q(longFile));

    // Cancel leaves the editor's file.
    dialog()->clickCancel();
    EXPECT_FALSE(dialog()->isVisible());
    EXPECT_EQ(gloableState()._sourceFileName, q(longFile));

    trimItem->trigger();
    TrimDlgCtl* trim = dialog();
    ASSERT_TRUE(trim->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return trim->totalLength() > 0.0; }, kWaitMs));
    trim->slider()->setTrimEndValue(float(63.0 / trim->totalLength()), false);
    trim->slider()->setTrimStartValue(float(60.0 / trim->totalLength()), false);
    QSignalSpy loaded(window, &VyMainWindowController::fileLoaded);
    trim->clickTrim();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !loaded.isEmpty(); }, 60000));
    const QString cut = loaded.takeFirst().at(0).toString();
    EXPECT_NE(cut, q(longFile));
    EXPECT_TRUE(QFileInfo(cut).isFile());
    EXPECT_NEAR(gloableState().movieLen.load(), 3.0, 0.2);
    EXPECT_EQ(window->currentSheet(), nullptr) << "a short cut is not offered again";
}

TEST_F(TrimWindowTest, TrimOverWithoutANewFileKeepsTheEditorsFile)
{
    ASSERT_TRUE(load(fixture("tone.wav")));
    EXPECT_EQ(window->currentSheet(), nullptr) << "a short file is not offered for trimming";
    NotificationCenter::defaultCenter().post(MainWindowNote::TrimOver, nullptr, {});
    EXPECT_TRUE(window->isFileLockFree()) << "no load started";
    EXPECT_EQ(gloableState()._sourceFileName, fixture("tone.wav"));
    EXPECT_TRUE(window->fileHaveLoaded());

    QAction* trimItem = core->mainMenuController()->menuItemTrim();
    EXPECT_TRUE(trimItem->isEnabled());
    window->audioEditorViewController()->clickCloseButton();
    EXPECT_FALSE(trimItem->isEnabled()) << "nothing left to trim";
    trimItem->trigger();
    EXPECT_EQ(dialog(), nullptr);
}

} // namespace
