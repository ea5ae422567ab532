#include "support/editorfixture.h"

#include "core/notification/notificationcenter.h"
#include "support/tonewav.h"
#include "ui/editor/ringtonesavecontroller.h"

#include <QDialog>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>

using namespace Qt::StringLiterals;

void EditorFixture::SetUp()
{
    ProductConfigSandbox::SetUp();
    m_savedHome = qgetenv("HOME");
    qputenv("HOME", QByteArray::fromStdString(home.path()));
    qputenv("SONABEL_NO_EXTERNAL_OPEN", "1");
    GloableVar::resetGloableVariable();
    gloableState()._pointClearance = 0.05;
    gloableState()._tempFolderPath = QString::fromStdString(temp.path());
    QObject::connect(&editor, &VyAudioEditorViewController::loadFileSuccessful, [this] { ++loaded; });
    QObject::connect(saver(), &RingtoneSaveController::saveFinished, [this](const QString& path) { finished << path; });
    editor.resize(900, 420);
    editor.show();
    editor.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&editor));
}

void EditorFixture::TearDown()
{
    closeAlerts();
    editor.clickStopSound();
    GloableVar::resetGloableVariable();
    qputenv("HOME", m_savedHome);
    ProductConfigSandbox::TearDown();
}

QString EditorFixture::tone(double seconds, int rate)
{
    const QString path = QString::fromStdString(
        media.file("tone-" + std::to_string(static_cast<int>(seconds * 10)) + "-" + std::to_string(rate) + ".wav"));
    if (!QFile::exists(path))
        fixtures::writeToneWav(path.toStdString(), seconds, rate);
    return path;
}

void EditorFixture::startLoad(const QString& path, double seconds)
{
    loadedBefore = loaded;
    gloableState().movieLen = seconds;
    EXPECT_EQ(editor.chooseFileEnd(path, u"Tone.wav"_s), VyAudioEditorViewController::LoadStarted);
}

QString EditorFixture::load(double seconds, int rate)
{
    const QString path = tone(seconds, rate);
    startLoad(path, seconds);
    EXPECT_TRUE(waitLoaded());
    return path;
}

void EditorFixture::setRingsGap(double seconds)
{
    NotificationCenter::defaultCenter().post(u"SetRingsGapTime"_s, nullptr, { { u"RingsGap"_s, seconds } });
}

std::vector<int> EditorFixture::waitForRuns(const MonitorCapture& monitor, size_t count, int timeoutMs)
{
    std::vector<int> runs;
    MonitorCapture::waitFor(
        [&] {
            runs = MonitorCapture::runsMs(monitor.captured());
            return runs.size() >= count;
        },
        timeoutMs);
    return runs;
}

void EditorFixture::type(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

void EditorFixture::createRingtone(const QString& name)
{
    QTest::mouseClick(editor.saveBtn(), Qt::LeftButton);
    ASSERT_NE(saver()->nameSheet(), nullptr);
    ASSERT_TRUE(saver()->nameSheet()->isVisible());
    saver()->saveFileNameTF()->selectAll();
    QTest::keyClicks(saver()->saveFileNameTF(), name);
    clickOk(saver()->nameSheet());
}

void EditorFixture::clickOk(QDialog* sheet)
{
    auto* buttons = sheet->findChild<QDialogButtonBox*>();
    ASSERT_NE(buttons, nullptr);
    QTest::mouseClick(buttons->button(QDialogButtonBox::Ok), Qt::LeftButton);
}

void EditorFixture::saveAs(const QString& path)
{
    editor.setIsSaveAs(1);
    editor.uploadToiTunes();
    ASSERT_NE(saver()->savePanel(), nullptr);
    saver()->savePanel()->hide();
    saver()->savePanelDidEnd(QDialog::Accepted, path);
}

QMessageBox* EditorFixture::waitAlert(const QString& text)
{
    const auto shown = [&] {
        QMessageBox* box = saver()->lastAlert();
        return box != nullptr && box->isVisible() && box->text() == text ? box : nullptr;
    };
    MonitorCapture::waitFor([&] { return shown() != nullptr; }, 30000);
    return shown();
}

void EditorFixture::closeAlerts()
{
    if (QMessageBox* box = saver()->lastAlert())
        box->done(0);
    if (saver()->progressDialog() != nullptr)
        saver()->progressDialog()->done(0);
    saver()->stopWorkers(30000);
}
