// The recorder sheet over a window: recording a take from the test sound server's
// microphone (which hears what is played into its sink), saving it, and what the sheet
// tells the library list and the editor.

#include "audio/micphonerecorder.h"
#include "audio/soundplayer.h"
#include "core/environment/appplaces.h"
#include "support/monitorcapture.h"
#include "support/notificationrecorder.h"
#include "support/qtfixtures.h"
#include "support/tonewav.h"
#include "ui/recorder/recordercontroller.h"

#include <QApplication>
#include <QCheckBox>
#include <QDir>
#include <QMessageBox>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

namespace {

// A private home (the Recorder folder lives under it) and temporary folder, a window and
// its recorder sheet.
class RecorderSheet : public ::testing::Test {
protected:
    RecorderSheet()
        : m_oldHome(qgetenv("HOME"))
    {
        qputenv("HOME", m_home.path().toUtf8());
        QDir(m_temp.path()).mkpath(QStringLiteral("Record"));
        window.resize(600, 400);
        window.show();
        sheet = std::make_unique<RecorderController>(m_temp.path(), &window);
    }
    ~RecorderSheet() override
    {
        sheet.reset();
        qputenv("HOME", m_oldHome);
    }

    [[nodiscard]] QPushButton* button(const char* name) const
    {
        return sheet->findChild<QPushButton*>(QString::fromLatin1(name));
    }
    // A take as the recorder hands it over.
    [[nodiscard]] QVariantMap take(const char* name, double seconds = 1.0) const
    {
        const QString path = m_temp.path() + QStringLiteral("/Record/") + QString::fromLatin1(name);
        fixtures::writeToneWav(path.toStdString(), seconds);
        return { { QStringLiteral("FilePath"), QUrl::fromLocalFile(path) }, { QStringLiteral("LetPlay"), false } };
    }
    [[nodiscard]] QStringList saved() const { return entries(AppPlaces::recorderFolder()); }

    QWidget window;
    std::unique_ptr<RecorderController> sheet;

private:
    QByteArray m_oldHome;
    QTemporaryDir m_home;
    QTemporaryDir m_temp;
};

struct SaveCase {
    const char* name;
    QStringList present;
    bool useIt;
    const char* expected;
};

void PrintTo(const SaveCase& c, std::ostream* out)
{
    *out << c.name;
}

class RecorderSave : public RecorderSheet, public ::testing::WithParamInterface<SaveCase> { };

TEST_P(RecorderSave, NumbersPastTakenNamesAndTellsTheListAndOnRequestTheEditor)
{
    const SaveCase& c = GetParam();
    QDir().mkpath(AppPlaces::recorderFolder());
    for (const QString& name : c.present)
        writeBytes(AppPlaces::recorderFolder() + u'/' + name, "older take");
    sheet->openOver();
    sheet->playFile(take("temp0.mov"));
    ASSERT_TRUE(button("saveBtn")->isEnabled());
    sheet->useItButton()->setChecked(c.useIt);
    NotificationRecorder posted;
    button("saveBtn")->click();

    const QString target = AppPlaces::recorderFolder() + u'/' + QString::fromLatin1(c.expected);
    EXPECT_EQ(readBytes(target), readBytes(sheet->currentFilePath()));
    QStringList expected { QStringLiteral("refreshListMenu"), QStringLiteral("CallAppLoadItem") };
    if (c.useIt)
        expected << QStringLiteral("LoadChildItemInAudioEditView");
    expected << QStringLiteral("Ozk_RecordOverNotification");
    EXPECT_EQ(posted.names(), expected);
    if (c.useIt) {
        const auto* item = posted.posted.at(2).userInfo.value(QStringLiteral("ChildItem")).value<QObject*>();
        ASSERT_NE(item, nullptr);
        EXPECT_EQ(item->property("itemPath").toString(), target);
        EXPECT_EQ(item->property("fatherItemTitle").toString(), QStringLiteral("Recorder File"));
    }
    EXPECT_FALSE(sheet->isVisible());
    EXPECT_FALSE(sheet->recorder()->isRunning()); // the microphone is closed with the sheet
}

INSTANTIATE_TEST_SUITE_P(Names, RecorderSave,
    ::testing::Values(SaveCase { "first", {}, false, "record.mov" },
        SaveCase { "after_plain", { QStringLiteral("record.mov") }, true, "record 1.mov" },
        SaveCase {
            "past_highest", { QStringLiteral("record.mov"), QStringLiteral("record 3.mov") }, false, "record 4.mov" }),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RecorderSheet, ASaveThatCannotBeWrittenSaysSoAndKeepsTheSheetAndTheTake)
{
    // A file where the Recorder folder should be: nothing can be written into it.
    QDir().mkpath(AppPlaces::musicFolder());
    writeBytes(AppPlaces::recorderFolder(), "not a folder");
    sheet->openOver();
    sheet->playFile(take("temp0.mov"));
    button("saveBtn")->click();

    EXPECT_TRUE(sheet->isVisible());
    EXPECT_TRUE(openAlerts().contains(QStringLiteral("The recording could not be saved.")));
    EXPECT_TRUE(QFileInfo::exists(sheet->currentFilePath()));
}

TEST_F(RecorderSheet, ATakeIsRecordedFromTheMicrophoneAndOnlyThenPreviewedAndSaved)
{
    sheet->openOver();
    ASSERT_TRUE(sheet->isVisible()) << "no microphone";
    EXPECT_TRUE(sheet->recorder()->isRunning());
    SoundPlayer tone;
    const QString wav = QDir::temp().filePath(QStringLiteral("recorder-tone.wav"));
    fixtures::writeToneWav(wav.toStdString(), 4.0, 44100, 0.5);
    ASSERT_TRUE(tone.open(wav));
    tone.play();
    // The test server's microphone takes a moment to start hearing the sink.
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return sheet->recorder()->getAudioLevels() > 1.0; }, 10000));
    QSignalSpy handed(sheet->recorder(), &MicPhoneRecorder::playFile);
    button("recordeBtn")->click();
    EXPECT_EQ(sheet->recordBtnState(), RecorderController::Recording);
    ASSERT_TRUE(MonitorCapture::waitFor(
        [&] { return sheet->recorder()->getLength() >= QStringLiteral("00:00:01.00"); }, 10000));
    button("recordeBtn")->click();
    // Not before the take is complete.
    EXPECT_EQ(handed.count() == 0, !button("saveBtn")->isEnabled());
    ASSERT_TRUE(handed.wait(5000));
    EXPECT_TRUE(button("previewBtn")->isEnabled());
    EXPECT_TRUE(button("saveBtn")->isEnabled());
    EXPECT_TRUE(sheet->currentFilePath().endsWith(QStringLiteral("/Record/temp0.mov")));

    // Recording again while previewing stops the preview first.
    button("previewBtn")->click();
    ASSERT_NE(sheet->player(), nullptr);
    EXPECT_TRUE(sheet->player()->isPlaying());
    button("recordeBtn")->click();
    EXPECT_FALSE(sheet->player()->isPlaying());
    EXPECT_EQ(sheet->recordBtnState(), RecorderController::Recording);

    // Minimising the window closes the sheet; the take still arrives, the microphone closes.
    ASSERT_TRUE(MonitorCapture::waitFor(
        [&] { return sheet->recorder()->getLength() >= QStringLiteral("00:00:00.50"); }, 10000));
    NotificationRecorder over(QStringLiteral("Ozk_RecordOverNotification"));
    window.showMinimized();
    EXPECT_TRUE(MonitorCapture::waitFor([&] { return !sheet->isVisible(); }, 2000));
    EXPECT_EQ(over.posted.size(), 1U);
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return handed.count() == 2; }, 5000));
    EXPECT_TRUE(sheet->currentFilePath().endsWith(QStringLiteral("/Record/temp1.mov")));
    EXPECT_FALSE(sheet->recorder()->isRunning());
}

TEST(NoMicrophone, TheSheetStaysClosedAndTheWindowSaysWhy)
{
    if (qEnvironmentVariableIntValue("SONABEL_EXPECT_NO_SOUND") != 1)
        GTEST_SKIP() << "run by recorder.no_microphone without a sound server";
    QWidget window;
    window.show();
    QTemporaryDir temp;
    RecorderController sheet(temp.path(), &window);
    sheet.openOver();
    EXPECT_FALSE(sheet.isVisible());
    const auto* alert = window.findChild<QMessageBox*>(QStringLiteral("noMicrophoneAlert"));
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), QStringLiteral("No Microphone has been found."));
    EXPECT_EQ(alert->informativeText(), QStringLiteral("Please connect microphone and start recording."));
}

} // namespace
