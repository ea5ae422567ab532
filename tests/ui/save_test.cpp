// Making a ringtone through the editor's widgets: the name sheet or the save panel, the
// conversion behind the progress dialog, and the delivery to the library or the phone.

#include "core/config/userdefaults.h"
#include "core/library/checkitunesringtonefoldertool.h"
#include "core/phone/vyringtoneiphonetransfor.h"
#include "support/editorfixture.h"
#include "support/notificationrecorder.h"
#include "ui/editor/ringtonesavecontroller.h"
#include "ui/editor/showprocessviewcontroller.h"
#include "ui/library/libraryactivationalert.h"
#include "ui/links/filereveal.h"

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QProcess>
#include <QPushButton>

#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

class SaveFlow : public EditorFixture {
protected:
    void choosePart(const QString& start, const QString& end)
    {
        type(editor.startTimeTF(), start);
        type(editor.endTimeTF(), end);
    }
};

// The fades are the next case's; numbering in the library is the library's own case.
TEST_F(SaveFlow, CreateRingtoneFilesThePartAtItsVolumeInTheLibrary)
{
    const QString tone = load(25);
    choosePart(u"00:00:05"_s, u"00:00:15"_s);
    editor.session().setVolume(50);

    editor.startTimeTF()->setText(u"half-typed"_s); // not confirmed with Return
    createRingtone(u"My/Bell"_s);
    EXPECT_EQ(editor.startTimeTF()->text(), u"00:00:05"_s) << "the fields show the part being saved";
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(finished.first(), q(temp.path()) + u"/MyBell.m4r"_s);
    EXPECT_EQ(saver()->progressDialog()->buttons().first()->text(), u"OK"_s);
    EXPECT_EQ(saver()->spvc()->progress(), 100);

    const QString ringtone = library(u"MyBell.m4r"_s);
    ASSERT_TRUE(QFileInfo::exists(ringtone));
    // The dialog says where the library filed it, and shows it there.
    EXPECT_EQ(saver()->spvc()->info(), u"Saved to ~/Music/iTunes/iTunes Media/Ringtones/MyBell.m4r"_s);
    QPushButton* reveal = saver()->spvc()->revealButton();
    ASSERT_TRUE(reveal->isVisible());
    EXPECT_EQ(reveal->text(), u"Show in Folder"_s);
    reveal->click();
    EXPECT_EQ(FileReveal::lastRevealed(), ringtone);
    EXPECT_TRUE(saver()->progressDialog()->isVisible()) << "showing the file keeps the dialog";
    const fixtures::Pcm made = fixtures::decodeAll(ringtone.toStdString());
    const fixtures::Pcm source = fixtures::decodeAll(tone.toStdString());
    ASSERT_GT(made.sampleRate, 0);
    EXPECT_NEAR(static_cast<double>(made.frames()) / made.sampleRate, 10.0, 0.15);
    EXPECT_NEAR(fixtures::rms(made, 5.0, 1.0) / fixtures::rms(source, 10.0, 1.0), 0.5, 0.08);
}

TEST_F(SaveFlow, TheSavedRingtoneThePreviewAndTheCommandLineFadeAlike)
{
    const QString source = load(25);
    choosePart(u"00:00:05"_s, u"00:00:15"_s);
    tick(editor.fadeInBtn());
    tick(editor.fadeOutBtn());
    editor.fadeInPoPupBtn()->setCurrentIndex(1); // "2s"
    editor.fadeOutPoPupBtn()->setCurrentIndex(1);
    createRingtone(u"Faded"_s);
    ASSERT_TRUE(waitFinished());
    const fixtures::Pcm saved = fixtures::decodeAll(library(u"Faded.m4r"_s).toStdString());

    const QString cliFile = q(temp.file("cli.m4r"));
    QProcess cli;
    cli.start(QStringLiteral(SONABEL_CLI_PROGRAM),
        { u"make"_s, source, u"-o"_s, cliFile, u"--start"_s, u"5"_s, u"--length"_s, u"10"_s, u"--fade-in"_s, u"2"_s,
            u"--fade-out"_s, u"2"_s });
    ASSERT_TRUE(cli.waitForFinished(30000));
    ASSERT_EQ(cli.exitCode(), 0) << cli.readAllStandardError().toStdString();
    const fixtures::Pcm made = fixtures::decodeAll(cliFile.toStdString());
    ASSERT_GT(saved.sampleRate, 0);
    ASSERT_GT(made.sampleRate, 0);
    const double length = 10.0;
    EXPECT_GE(static_cast<double>(made.frames()) / made.sampleRate, length - 0.01); // then the encoder's padding
    const double full = fixtures::levelDb(made, 5.0, 1.0);
    const double first = fixtures::levelDb(made, 0.0, 0.05);
    const double last = fixtures::levelDb(made, length - 0.05, 0.05);
    EXPECT_LT(first, full - 30.0) << "the fade-in rises from silence";
    EXPECT_LT(last, full - 30.0) << "the fade-out falls to silence";
    EXPECT_NEAR(fixtures::levelDb(saved, 0.0, 0.05), first, 1.0);
    EXPECT_NEAR(fixtures::levelDb(saved, length - 0.05, 0.05), last, 1.0);

    // The preview plays what the file holds: the same levels against its full level.
    MonitorCapture monitor;
    if (!monitor.isListening() || editor.playerState() == PlayerState::None)
        GTEST_SKIP() << "no sound output or monitor";
    MonitorCapture::waitFor([&] { return monitor.seconds() > 0.5; }, 5000);
    saver()->progressDialog()->done(0);
    QTest::mouseClick(editor.previewBtn(), Qt::LeftButton);
    // The pass is the first whole run of sound of at least 5 s: a blip the capture picks
    // up before it is not the pass.
    double passFrom = -1.0;
    double passMs = 0.0;
    MonitorCapture::waitFor(
        [&] {
            const std::vector<int> runs = MonitorCapture::runsMs(monitor.captured());
            double at = 0.0;
            for (size_t i = 0; i + 1 < runs.size(); at += runs[i], ++i) {
                if (i % 2 == 1 && runs[i] >= 5000) {
                    passFrom = at;
                    passMs = runs[i];
                    return true;
                }
            }
            return false;
        },
        30000);
    editor.clickPreviewChosePart();
    ASSERT_GE(passFrom, 0.0) << "no pass heard";
    const QByteArray heard = monitor.captured();
    const double start = MonitorCapture::fadeEdgeMs(heard, passFrom, 300.0, true);
    const double end = MonitorCapture::fadeEdgeMs(heard, passFrom + passMs, 300.0, false);
    EXPECT_NEAR(end - start, 10000.0, 20.0);
    const double heardFull = MonitorCapture::levelDb(heard, start + 5000.0, 1000.0);
    EXPECT_NEAR(MonitorCapture::levelDb(heard, start, 50.0) - heardFull, first - full, 1.0);
    EXPECT_NEAR(MonitorCapture::levelDb(heard, end - 50.0, 50.0) - heardFull, last - full, 1.0);
}

TEST_F(SaveFlow, NamesThatNameNoFileKeepTheSheetOpen)
{
    EXPECT_FALSE(editor.saveBtn()->isEnabled()) << "nothing to save before a file is loaded";
    load(12);
    EXPECT_TRUE(editor.saveBtn()->isEnabled());
    QTest::mouseClick(editor.saveBtn(), Qt::LeftButton);
    QDialog* sheet = saver()->nameSheet();
    ASSERT_TRUE(sheet != nullptr && sheet->isVisible());
    EXPECT_EQ(saver()->saveFileNameTF()->text(), u"Tone.wav"_s);
    EXPECT_EQ(saver()->saveFileNameTF()->selectedText(), u"Tone.wav"_s) << "typing replaces the offered name";
    for (const QString& name : { QString(), u"/"_s, u"//"_s }) {
        saver()->saveFileNameTF()->setText(name);
        clickOk(sheet);
        EXPECT_TRUE(sheet->isVisible()) << name.toStdString();
    }
    MonitorCapture::listenFor(RingtoneSaveController::kSaveDelayMs + 200); // no save may start
    EXPECT_TRUE(finished.isEmpty());
    EXPECT_FALSE(saver()->isSaving());
    sheet->reject();
}

TEST_F(SaveFlow, FailuresSayUnexpectedErrorAndLeaveNoHalfWrittenRingtone)
{
    const QString source = load(12);

    // A name the file system refuses (longer than a file name may be).
    createRingtone(QString(300, u'x'));
    QMessageBox* alert = waitAlert(u"Unexpected error!"_s);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->informativeText(), u"Please try again!"_s);
    EXPECT_TRUE(saver()->spvc()->info().isEmpty()) << "nothing was saved anywhere";
    EXPECT_FALSE(saver()->spvc()->revealButton()->isVisible());
    EXPECT_TRUE(finished.value(0).isEmpty());
    EXPECT_TRUE(saver()->isSaving()) << "the worker waits for the alert";
    alert->done(0);
    ASSERT_TRUE(MonitorCapture::waitFor([&] { return !saver()->isSaving(); }, 5000));
    saver()->progressDialog()->done(0);

    // Save As into a folder that does not exist (which the panel would not offer).
    saveAs(q(temp.path()) + u"/no/such/Bell.m4r"_s);
    ASSERT_NE(waitAlert(u"Unexpected error!"_s), nullptr);
    EXPECT_FALSE(QFileInfo::exists(q(temp.path()) + u"/no"_s));
    closeAlerts();

    // The source deleted after loading.
    ASSERT_TRUE(QFile::remove(source));
    createRingtone(u"Gone"_s);
    ASSERT_NE(waitAlert(u"Unexpected error!"_s), nullptr);
    EXPECT_FALSE(QFileInfo::exists(q(temp.path()) + u"/Gone.m4r"_s));
    EXPECT_TRUE(QDir(q(temp.path())).entryList(QDir::Files | QDir::Hidden).isEmpty());
}

TEST_F(SaveFlow, SaveAsNeverDeletesBeforeItHasSomethingBetter)
{
    // Over the loaded ringtone itself: it is read while the new one is written.
    const QString ringtone = q(media.file("Loaded.m4r"));
    load(12);
    saveAs(ringtone);
    ASSERT_TRUE(waitFinished());
    saver()->progressDialog()->done(0);
    startLoad(ringtone, 12.0);
    ASSERT_TRUE(waitLoaded());
    choosePart(u"00:00:02"_s, u"00:00:09"_s);
    saveAs(ringtone);
    ASSERT_TRUE(waitFinished(2));
    EXPECT_EQ(finished.last(), ringtone);
    const fixtures::Pcm again = fixtures::decodeAll(ringtone.toStdString());
    ASSERT_GT(again.sampleRate, 0);
    EXPECT_NEAR(static_cast<double>(again.frames()) / again.sampleRate, 7.0, 0.15);
    saver()->progressDialog()->done(0);

    // A file the user agreed to replace stays as it was when the conversion fails.
    const std::string kept = media.file("Kept.m4r");
    fixtures::writeFile(kept, "the user's own file");
    ASSERT_TRUE(QFile::remove(ringtone));
    saveAs(q(kept));
    ASSERT_NE(waitAlert(u"Unexpected error!"_s), nullptr);
    QFile file(q(kept));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll(), QByteArray("the user's own file"));
}

TEST_F(SaveFlow, ARingtoneThatReachedNoLibraryIsNoSuccess)
{
    load(12);
    // "Music" is a file: the ringtone folder cannot be made.
    fixtures::writeFile(home.file("Music"), "not a folder");
    const NotificationRecorder becameKey(u"BecomeKeyWindow"_s);
    createRingtone(u"Nowhere"_s);
    ASSERT_NE(waitAlert(u"Unexpected error!"_s), nullptr);
    EXPECT_TRUE(finished.value(0).isEmpty());
    EXPECT_TRUE(becameKey.posted.empty());
    EXPECT_NE(saver()->progressDialog()->buttons().first()->text(), u"OK"_s);
}

TEST_F(SaveFlow, SaveAsRefusedForAMissingPhoneLeavesCreateRingtoneAsItWas)
{
    load(12);
    editor.transferToIPhoneCkbx()->setChecked(true);
    editor.setIsSaveAs(1);
    editor.uploadToiTunes();
    ASSERT_NE(waitAlert(u"Found no iPhone connected "_s), nullptr);
    EXPECT_EQ(saver()->isSaveAs(), 0u);
    closeAlerts();
    editor.uploadToiTunes();
    EXPECT_TRUE(saver()->nameSheet()->isVisible()) << "Create Ringtone asks for a name, not a path";
    EXPECT_TRUE(saver()->savePanel() == nullptr || !saver()->savePanel()->isVisible());
    saver()->nameSheet()->reject();
}

TEST_F(SaveFlow, SaveAsWritesThePickedPathAndRemembersTheFolder)
{
    load(12);
    ASSERT_TRUE(QDir().mkpath(q(home.file("Music"))));
    editor.setIsSaveAs(1);
    editor.uploadToiTunes();
    ASSERT_NE(saver()->savePanel(), nullptr);
    EXPECT_TRUE(saver()->savePanel()->isVisible());
    EXPECT_EQ(saver()->savePanel()->directory().absolutePath(), q(home.file("Music"))) << "nothing remembered yet";
    EXPECT_TRUE(saver()->savePanel()->selectedFiles().value(0).endsWith(u"/Tone.m4r"_s));
    saver()->savePanel()->selectFile(q(media.file("Picked.mp3")));
    static_cast<QDialog*>(saver()->savePanel())->accept(); // the Save button
    ASSERT_TRUE(waitFinished());
    EXPECT_EQ(finished.first(), q(media.file("Picked.m4r")));
    EXPECT_TRUE(QFileInfo::exists(finished.first()));
    EXPECT_EQ(saver()->isSaveAs(), 0u);
    EXPECT_EQ(UserDefaults::saveAsPath(), q(media.path()));
    EXPECT_FALSE(QFileInfo::exists(q(home.file("Music/iTunes")))) << "Save As puts nothing into the library";
    EXPECT_EQ(saver()->spvc()->info(), u"Saved to "_s + QDir::toNativeSeparators(finished.first()));
    saver()->spvc()->revealButton()->click();
    EXPECT_EQ(FileReveal::lastRevealed(), finished.first());

    saver()->progressDialog()->done(0);
    editor.setIsSaveAs(1);
    editor.uploadToiTunes();
    EXPECT_EQ(saver()->savePanel()->directory().absolutePath(), q(media.path())) << "the folder saved to last";
    static_cast<QDialog*>(saver()->savePanel())->reject();
}

// When the warning is due is the save rules' table; here it holds the save until read.
TEST_F(SaveFlow, LongPartsWarnBeforeTheSave)
{
    load(50);
    choosePart(u"00:00:00"_s, u"00:00:45"_s);
    createRingtone(u"Long"_s);
    QMessageBox* warning = waitAlert(u"Ringtone Length is over 40 seconds"_s);
    ASSERT_NE(warning, nullptr);
    EXPECT_EQ(warning->icon(), QMessageBox::Warning);
    EXPECT_FALSE(saver()->isSaving()) << "the save waits for the warning";
    warning->done(0);
    ASSERT_TRUE(waitFinished());
    EXPECT_TRUE(QFileInfo::exists(library(u"Long.m4r"_s)));
}

TEST_F(SaveFlow, TheTransferBoxNeedsALinkedPhoneAndCopiesOntoIt)
{
    load(12);
    tick(editor.transferToIPhoneCkbx());
    QMessageBox* alert = waitAlert(u"Found no iPhone connected "_s);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->informativeText(), u"iPhone is disconnected, please connect iPhone to the computer first."_s);
    EXPECT_FALSE(editor.transferToIPhoneCkbx()->isChecked());
    alert->done(0);

    fixtures::ScratchDir phoneRoot;
    const QString mount = q(phoneRoot.path());
    QDir(mount).mkpath(u"iTunes_Control/Ringtones"_s);
    QDir(mount).mkpath(u"iTunes_Control/iTunes"_s);
    VyRingtoneiPhoneTransfor phone(mount);
    editor.setPhoneLink(&phone);
    phone.HandleDeviceConnected();
    editor.transferToIPhoneCkbx()->setChecked(true);
    createRingtone(u"Bell"_s);
    ASSERT_TRUE(waitFinished());
    EXPECT_TRUE(QFileInfo::exists(library(u"Bell.m4r"_s)));
    EXPECT_EQ(QFileInfo(mount + u"/iTunes_Control/Ringtones/Bell.m4r"_s).size(), QFileInfo(finished.first()).size());
    ASSERT_TRUE(phone.getFileNamesFromiPhone().has_value());
    EXPECT_EQ(phone.getFileNamesFromiPhone()->value(0).value(u"name"_s).toString(), u"Bell"_s);
    EXPECT_EQ(saver()->spvc()->info(),
        u"Saved to ~/Music/iTunes/iTunes Media/Ringtones/Bell.m4r\nCopied to the iPhone as Bell"_s);
    saver()->progressDialog()->done(0);

    // A second Bell: the library and the phone each number it past the one they hold.
    createRingtone(u"Bell"_s);
    ASSERT_TRUE(waitFinished(2));
    const QStringList lines = saver()->spvc()->info().split(u'\n');
    ASSERT_EQ(lines.size(), 2) << saver()->spvc()->info().toStdString();
    EXPECT_EQ(lines[0], u"Saved to ~/Music/iTunes/iTunes Media/Ringtones/Bell 1.m4r"_s);
    EXPECT_TRUE(lines[1].startsWith(u"Copied to the iPhone as Bell "_s)) << lines[1].toStdString();
    const QString phoneName = lines[1].mid(QStringLiteral("Copied to the iPhone as ").size());
    EXPECT_TRUE(QFileInfo::exists(mount + u"/iTunes_Control/Ringtones/"_s + phoneName + u".m4r"_s))
        << "the name it has there";
    saver()->spvc()->revealButton()->click();
    EXPECT_EQ(FileReveal::lastRevealed(), library(u"Bell 1.m4r"_s))
        << "the computer's copy: the phone has no folder to show";

    // A database the link cannot read: the ringtone is copied, and the user is told the
    // phone's list could not take it.
    saver()->progressDialog()->done(0);
    fixtures::writeFile(phone.databasePath().toStdString(), "not a property list");
    createRingtone(u"Unlisted"_s);
    ASSERT_TRUE(waitFinished(3));
    EXPECT_FALSE(finished.last().isEmpty());
    EXPECT_TRUE(QFileInfo::exists(mount + u"/iTunes_Control/Ringtones/Unlisted.m4r"_s));
    QMessageBox* unlisted = waitAlert(u"Ringtone copied, but not listed on the iPhone"_s);
    ASSERT_NE(unlisted, nullptr);
    EXPECT_EQ(unlisted->icon(), QMessageBox::Warning);
    unlisted->done(0);

    // The phone gone by the time the ringtone is made.
    saver()->progressDialog()->done(0);
    phone.HandleDeviceUmounted();
    editor.uploadToiTunes();
    alert = waitAlert(u"Found no iPhone connected "_s);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->informativeText(), u"iPhone is disconnected now, please connect iPhone to the computer first."_s);
    EXPECT_FALSE(editor.transferToIPhoneCkbx()->isChecked());
    EXPECT_FALSE(saver()->nameSheet()->isVisible());
    editor.setPhoneLink(nullptr);
}

TEST_F(SaveFlow, ALibraryThatCannotBeMadeEndsTheProgramAfterSayingSo)
{
    // "Music" is a file: no ringtone folder can be made below it.
    fixtures::writeFile(home.file("Music"), "not a folder");
    int quits = 0;
    CheckiTunesRingtoneFolderTool tool(LibraryActivationAlert::handler(&editor, [&quits] { ++quits; }));
    EXPECT_TRUE(tool.defaultMediaFolder().isEmpty());
    auto* alert = editor.findChild<QMessageBox*>(u"libraryActivationAlert"_s);
    ASSERT_NE(alert, nullptr);
    EXPECT_EQ(alert->text(), u"The main interface can not activate!"_s);
    EXPECT_EQ(alert->informativeText(),
        QStringLiteral("iTunes has not yet accessed in your computer, please activate iTunes first to relaunch "
                       "the program"));
    EXPECT_EQ(quits, 0) << "the program ends only once the alert has been read";
    alert->done(0);
    EXPECT_EQ(quits, 1);
}

} // namespace
