// The Groove Box sheet over a window: its pattern becomes sound through GBUtil and the
// renderer, Preview plays the pattern on screen, Save writes a numbered WAV and hands it to
// the editor, and a save that cannot be written keeps the sheet and the pattern.

#include "audio/soundplayer.h"
#include "core/environment/appplaces.h"
#include "core/groovebox/gbpatternfile.h"
#include "core/groovebox/grooveproducer.h"
#include "support/monitorcapture.h"
#include "support/notificationrecorder.h"
#include "support/qtfixtures.h"
#include "ui/groovebox/grooveboxcontroller.h"
#include "ui/groovebox/vymatrix.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QMessageBox>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

namespace {

class GrooveBoxSheet : public ::testing::Test {
protected:
    GrooveBoxSheet()
        : m_oldHome(qgetenv("HOME"))
    {
        qputenv("HOME", m_home.path().toUtf8());
        QDir().mkpath(AppPlaces::musicFolder());
        QFile::copy(QStringLiteral("/usr/share/sounds/sf2/TimGM6mb.sf2"), AppPlaces::soundFontPath());
        window.resize(600, 400);
        window.show();
        sheet = std::make_unique<GrooveBoxController>(&window, QStringLiteral(SONABEL_GBUTIL_PATH));
        sheet->openOver();
    }
    ~GrooveBoxSheet() override
    {
        sheet.reset();
        qputenv("HOME", m_oldHome);
    }

    [[nodiscard]] QPushButton* button(const char* name) const
    {
        return sheet->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    void clickStep(int row, int column) const
    {
        QTest::mouseClick(sheet->matrix(), Qt::LeftButton, {}, sheet->matrix()->cellRect(row, column).center());
    }
    [[nodiscard]] bool settle() const
    {
        return MonitorCapture::waitFor([this] { return !sheet->producer()->busy(); }, 20000);
    }

    QWidget window;
    std::unique_ptr<GrooveBoxController> sheet;

private:
    QByteArray m_oldHome;
    QTemporaryDir m_home;
};

TEST_F(GrooveBoxSheet, PreviewRightAfterAnEditPlaysTheEditedPattern)
{
    button("previewButton")->click();
    EXPECT_TRUE(openAlerts().contains(QStringLiteral("emm...May be you should click something in the table!")));

    clickStep(1, 1); // the bass drum on the first step
    clickStep(4, 5); // the snare on the second beat
    button("previewButton")->click();
    ASSERT_TRUE(MonitorCapture::waitFor([this] { return sheet->isSoundPlaying(); }, 20000));
    const auto written = GBPatternFile::readPatternFile(sheet->producer()->places().patternFile);
    ASSERT_TRUE(written);
    EXPECT_TRUE(written->isOn(35, 0));
    EXPECT_TRUE(written->isOn(38, 4));
    EXPECT_EQ(written->onCount(), 2);
    EXPECT_EQ(button("previewButton")->text(), QStringLiteral("Stop"));
    button("previewButton")->click();
    EXPECT_EQ(button("previewButton")->text(), QStringLiteral("Preview"));
}

TEST_F(GrooveBoxSheet, APresetIsSavedUnderTheNextFreeNumberAndOpenedInTheEditor)
{
    const QString folder = AppPlaces::grooveBoxFolder();
    QDir().mkpath(folder);
    writeBytes(folder + QStringLiteral("/Groove Box 2.wav"), "an older take");
    sheet->popupButtonSelected(1);
    NotificationRecorder posted;
    QString saved;
    QObject::connect(sheet.get(), &GrooveBoxController::saveEnded, [&](const QString& path) { saved = path; });
    button("saveButton")->click();
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return !saved.isEmpty(); }, 30000));

    EXPECT_EQ(saved, folder + QStringLiteral("/Groove Box 3.wav"));
    EXPECT_EQ(readBytes(folder + QStringLiteral("/Groove Box 2.wav")), QByteArray("an older take"));
    EXPECT_EQ(posted.names(),
        QStringList({ QStringLiteral("refreshListMenu"), QStringLiteral("CallAppLoadItem"),
            QStringLiteral("LoadChildItemInAudioEditView") }));
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_EQ(sheet->pattern().onCount(), 0); // closing clears the pattern
    // The saved rhythm sounds.
    SoundPlayer player;
    ASSERT_TRUE(player.open(saved));
    EXPECT_GT(player.duration(), 4.0);
    EXPECT_TRUE(settle());
}

TEST_F(GrooveBoxSheet, ASaveThatCannotBeWrittenKeepsTheSheetAndThePattern)
{
    writeBytes(AppPlaces::grooveBoxFolder(), "not a folder");
    sheet->popupButtonSelected(2);
    const int steps = sheet->pattern().onCount();
    button("saveButton")->click();
    ASSERT_TRUE(MonitorCapture::waitFor([] { return !openAlerts().isEmpty(); }, 30000));
    EXPECT_TRUE(openAlerts().contains(QStringLiteral("The Groove Box could not save the sound.")));
    EXPECT_TRUE(sheet->isVisible());
    EXPECT_EQ(sheet->pattern().onCount(), steps);
    EXPECT_TRUE(settle());
}

TEST_F(GrooveBoxSheet, RandomIsIgnoredUntilTheSoundOfTheLastOneIsMade)
{
    button("randomButton")->click();
    const GBPattern first = sheet->pattern();
    EXPECT_GT(first.onCount(), 0);
    button("randomButton")->click();
    EXPECT_TRUE(sheet->pattern() == first);
    ASSERT_TRUE(MonitorCapture::waitFor([this] { return !sheet->isProcessData(); }, 20000));
    button("randomButton")->click();
    EXPECT_FALSE(sheet->pattern() == first);
    EXPECT_TRUE(settle());
}

TEST(GrooveBoxNames, ASaveGoesOneAboveTheHighestNumberPresent)
{
    QTemporaryDir folder;
    EXPECT_EQ(GrooveBoxController::nextSavePath(folder.path()), folder.path() + QStringLiteral("/Groove Box 1.wav"));
    for (const char* name : { "Groove Box 1.wav", "Groove Box 2.wav" })
        writeBytes(folder.path() + u'/' + QString::fromLatin1(name), "x");
    EXPECT_EQ(GrooveBoxController::nextSavePath(folder.path()), folder.path() + QStringLiteral("/Groove Box 3.wav"));
    QFile::remove(folder.path() + QStringLiteral("/Groove Box 1.wav"));
    EXPECT_EQ(GrooveBoxController::nextSavePath(folder.path()), folder.path() + QStringLiteral("/Groove Box 3.wav"));
}

} // namespace
