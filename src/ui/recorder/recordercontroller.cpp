#include "ui/recorder/recordercontroller.h"

#include "audio/micphonerecorder.h"
#include "audio/soundplayer.h"
#include "core/environment/appplaces.h"
#include "core/environment/logging.h"
#include "core/files/atomicfile.h"
#include "core/notification/notificationcenter.h"
#include "core/text/commonfunctions.h"
#include "ui/alerts/sheetalert.h"
#include "ui/editor/editornotes.h"
#include "ui/library/savedfile.h"
#include "ui/recorder/bmpview.h"
#include "ui/recorder/digitshowview.h"
#include "ui/recorder/recorderbackgrounds.h"

#include <QCheckBox>
#include <QDir>
#include <QEvent>
#include <QHBoxLayout>
#include <QPalette>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>
#include <QWindowStateChangeEvent>

namespace {

constexpr int kTickMs = 100;
constexpr int kRestartMs = 2000;
const QString kZeroClock = QStringLiteral("00:00:00.00");
const QString kRecorderFile = QStringLiteral("Recorder File");

QPushButton* sheetButton(QWidget* parent, const char* name, const QString& tip)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setFlat(true);
    button->setIconSize({ 48, 48 });
    return button;
}

} // namespace

RecorderController::RecorderController(const QString& tempFolderPath, QWidget* mainWindow)
    : QDialog(mainWindow)
    , m_tempFolderPath(tempFolderPath)
    , m_mainWindow(mainWindow)
{
    setObjectName(QStringLiteral("micphoneRecord"));
    setWindowTitle(QStringLiteral("Recorder"));
    setWindowModality(Qt::WindowModal);
    buildSheet();
    m_audioLevelTimer.setInterval(kTickMs);
    m_clockTimer.setInterval(kTickMs);
    m_restartTimer.setInterval(kRestartMs);
    connect(&m_audioLevelTimer, &QTimer::timeout, this, &RecorderController::updateAudioLevels);
    connect(&m_clockTimer, &QTimer::timeout, this, &RecorderController::reflushPlayTime);
    connect(&m_restartTimer, &QTimer::timeout, this, &RecorderController::reinitRecorder);
    resetButton();
    // Minimising the main window (or the sheet) closes the sheet.
    if (mainWindow != nullptr)
        mainWindow->installEventFilter(this);
    installEventFilter(this);
}

RecorderController::~RecorderController() = default;

void RecorderController::buildSheet()
{
    auto* back = new RecorderBgView(this);
    auto* lower = new Ozk_RecorderBackView(back);
    m_digitView = new DigitShowView(back);
    m_digitView->setObjectName(QStringLiteral("digitView"));
    m_BMPView = new BMPView(back);
    m_BMPView->setObjectName(QStringLiteral("m_BMPView"));
    m_recordeBtn = sheetButton(lower, "recordeBtn", QStringLiteral("Start or stop recording"));
    m_previewBtn = sheetButton(lower, "previewBtn", QStringLiteral("Listen to the recording"));
    m_saveBtn = sheetButton(lower, "saveBtn", QStringLiteral("Save the recording"));
    m_UseItBtn = new QCheckBox(QStringLiteral("Open in the editor after saving"), lower);
    m_UseItBtn->setObjectName(QStringLiteral("m_UseItBtn"));
    m_UseItBtn->setAccessibleName(m_UseItBtn->text());
    m_UseItBtn->setToolTip(QStringLiteral("Open the saved recording in the editor at once"));
    // Light text on the sheet's dark lower band.
    QPalette light = m_UseItBtn->palette();
    light.setColor(QPalette::WindowText, QColor(0xe6, 0xe6, 0xe6));
    m_UseItBtn->setPalette(light);
    auto* close = new QPushButton(QStringLiteral("Close"), lower);
    close->setObjectName(QStringLiteral("closeBtn"));
    close->setAccessibleName(QStringLiteral("Close"));
    close->setToolTip(QStringLiteral("Close the recorder"));

    auto* buttons = new QHBoxLayout;
    buttons->addWidget(m_recordeBtn);
    buttons->addWidget(m_previewBtn);
    buttons->addWidget(m_saveBtn);
    buttons->addStretch();
    auto* lowerLayout = new QVBoxLayout(lower);
    lowerLayout->addLayout(buttons);
    auto* options = new QHBoxLayout;
    options->addWidget(m_UseItBtn);
    options->addStretch();
    options->addWidget(close);
    lowerLayout->addLayout(options);

    auto* backLayout = new QVBoxLayout(back);
    backLayout->setContentsMargins(12, 12, 12, 0);
    backLayout->addWidget(m_digitView);
    backLayout->addWidget(m_BMPView);
    backLayout->addWidget(lower);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(back);
    setFixedSize(360, 230);

    connect(m_recordeBtn, &QPushButton::clicked, this, &RecorderController::controlRecorde);
    connect(m_previewBtn, &QPushButton::clicked, this, &RecorderController::clickPreview);
    connect(m_saveBtn, &QPushButton::clicked, this, &RecorderController::clickSave);
    connect(close, &QPushButton::clicked, this, &RecorderController::closeSheet);
}

void RecorderController::setButtonImage(QPushButton* button, const char* image)
{
    button->setIcon(QIcon(QStringLiteral(":/") + QString::fromLatin1(image)));
}

void RecorderController::createRecorder()
{
    m_recorder = std::make_unique<MicPhoneRecorder>(m_tempFolderPath);
    connect(m_recorder.get(), &MicPhoneRecorder::playFile, this, &RecorderController::playFile);
    connect(m_recorder.get(), &MicPhoneRecorder::errorOccurred, this, &RecorderController::showError);
    setRecordVolume(0.5F);
}

bool RecorderController::checkMicExist()
{
    if (!m_recorder)
        createRecorder();
    return m_recorder->chkHasMic() > -1;
}

void RecorderController::openOver()
{
    if (!checkMicExist()) {
        SheetAlert::show(m_mainWindow, QMessageBox::Critical, QStringLiteral("No Microphone has been found."),
            QStringLiteral("Please connect microphone and start recording."))
            ->setObjectName(QStringLiteral("noMicrophoneAlert"));
        return;
    }
    resetButton();
    // The microphone is open only while the sheet is shown.
    m_recorder->startRunning();
    windowDidLoad();
    open();
    activateWindow();
}

void RecorderController::resetButton()
{
    m_recordBtnState = Idle;
    m_previewBtnState = PlayingOrEmpty;
    m_previewBtn->setEnabled(false);
    m_saveBtn->setEnabled(false);
    setButtonImage(m_recordeBtn, "RecordStop.png");
    setButtonImage(m_previewBtn, "RecordPlayDisable.png");
    setButtonImage(m_saveBtn, "RecordSaveDisable.png");
    m_UseItBtn->setChecked(false);
    m_digitView->setDigitStr(kZeroClock);
    m_BMPView->setDrawLength(0.0F);
}

void RecorderController::windowDidLoad()
{
    if (!m_audioLevelTimer.isActive())
        m_audioLevelTimer.start();
}

void RecorderController::setRecordVolume(float volume)
{
    m_recordVolume = volume;
    if (m_recordeSoundPlayer)
        m_recordeSoundPlayer->setVolume(volume);
}

void RecorderController::controlRecorde()
{
    if (m_recordeSoundPlayer)
        m_recordeSoundPlayer->stop();
    m_refreshPlayTime = false;
    if (!m_recorder)
        createRecorder();
    if (m_recordBtnState != Idle) {
        m_recordBtnState = Idle;
        setButtonImage(m_recordeBtn, "RecordStop.png");
        // Preview and Save wait for the take to be handed over complete (playFile).
        m_previewBtnState = TakeLoaded;
        m_recorder->setRecording(false);
        m_BMPView->setDrawLength(0.0F);
        m_digitView->setDigitStr(kZeroClock);
        m_restartTimer.start(); // one at a time: a second Stop restarts it
        return;
    }
    m_recordBtnState = Recording;
    m_recorder->setRecording(true);
    m_previewBtn->setEnabled(false);
    m_saveBtn->setEnabled(false);
    setButtonImage(m_recordeBtn, "RecordStart.png");
    setButtonImage(m_previewBtn, "RecordPlayDisable.png");
    setButtonImage(m_saveBtn, "RecordSaveDisable.png");
    windowDidLoad();
}

void RecorderController::playFile(const QVariantMap& take)
{
    const QString path = take.value(QStringLiteral("FilePath")).toUrl().toLocalFile();
    if (m_recordeSoundPlayer)
        m_recordeSoundPlayer->stop();
    m_recordeSoundPlayer = std::make_unique<SoundPlayer>();
    m_recordeSoundPlayer->setLoops(true);
    m_recordeSoundPlayer->setVolume(m_recordVolume);
    if (!m_recordeSoundPlayer->open(path, SoundPlayer::Source::ByCopy)) {
        qCWarning(lcApp) << "Create sound is error ";
        m_recordeSoundPlayer.reset();
        return;
    }
    m_currentFilePath = path;
    if (m_recordBtnState == Idle && isVisible()) {
        m_previewBtn->setEnabled(true);
        m_saveBtn->setEnabled(true);
    }
    if (take.value(QStringLiteral("LetPlay")).toBool()) {
        m_refreshPlayTime = true;
        m_clockTimer.start();
        m_recordeSoundPlayer->play();
    }
}

void RecorderController::clickPreview()
{
    if (m_previewBtnState != TakeLoaded) {
        m_previewBtnState = TakeLoaded;
        setButtonImage(m_previewBtn, "RecordPlayDisable.png");
        if (m_recordeSoundPlayer)
            m_recordeSoundPlayer->stop();
        m_refreshPlayTime = false;
        return;
    }
    m_previewBtnState = PlayingOrEmpty;
    if (m_recorder)
        m_recorder->setRecording(false);
    setButtonImage(m_previewBtn, "RecordPlayEnable.png");
    m_audioLevelTimer.stop();
    m_BMPView->setDrawLength(0.0F);
    if (m_recordeSoundPlayer && !m_recordeSoundPlayer->isPlaying()) {
        m_refreshPlayTime = true;
        m_clockTimer.start();
        m_recordeSoundPlayer->play();
    }
}

void RecorderController::updateAudioLevels()
{
    if (!m_recorder)
        return;
    m_BMPView->setDrawLength(static_cast<float>(m_recorder->getAudioLevels() * 100.0));
    if (m_recordBtnState == Recording)
        m_digitView->setDigitStr(m_recorder->getLength());
}

void RecorderController::reflushPlayTime()
{
    if (!m_refreshPlayTime || !m_recordeSoundPlayer) {
        m_clockTimer.stop();
        m_digitView->setDigitStr(kZeroClock);
        return;
    }
    const int seconds = static_cast<int>(m_recordeSoundPlayer->currentTime());
    m_digitView->setDigitStr(CommonFunctions::secondsToShortString(seconds, 3)
        + QStringLiteral(".%1").arg(static_cast<int>(m_flicker() % 100), 2, 10, QLatin1Char('0')));
}

void RecorderController::reinitRecorder()
{
    m_restartTimer.stop();
    if (!isVisible())
        return; // closed meanwhile: the microphone stays closed
    if (!m_recorder)
        createRecorder();
    m_recorder->startRunning();
}

void RecorderController::clickSave()
{
    setButtonImage(m_saveBtn, "RecordSaveEnable.png");
    const QString folder = AppPlaces::recorderFolder();
    QDir().mkpath(folder);
    const int number = CommonFunctions::checkFileExist(QStringLiteral("record.mov"), folder);
    const QString target
        = number == 0 ? folder + QStringLiteral("/record.mov") : folder + QStringLiteral("/record %1.mov").arg(number);
    QString why;
    // Through a temporary name: the take lives only in the temporary folder, which goes at quit.
    if (!AtomicFile::writeCopy(m_currentFilePath, target, AtomicFile::Existing::Keep, &why)) {
        qCWarning(lcApp).noquote() << "Saving the recording to" << target << "failed:" << why;
        setButtonImage(m_saveBtn, "RecordSaveDisable.png");
        showError(QStringLiteral("The recording could not be saved."),
            QStringLiteral("%1\nCheck that the folder %2 can be written to and try again.").arg(why, folder));
        return;
    }
    tellAppLoadFile(target);
    closeSheet();
}

void RecorderController::tellAppLoadFile(const QString& path)
{
    announceSavedFile(path, kRecorderFile, m_UseItBtn->isChecked(), this);
}

void RecorderController::closeSheet()
{
    if (m_recordeSoundPlayer)
        m_recordeSoundPlayer->stop();
    m_refreshPlayTime = false;
    if (m_recorder) {
        // A running take is still finished and handed over; then the microphone closes.
        m_recorder->setRecording(false);
        m_recorder->stopSession();
    }
    m_audioLevelTimer.stop();
    m_restartTimer.stop();
    resetButton();
    const bool wasOpen = isVisible();
    QDialog::done(QDialog::Rejected);
    if (wasOpen)
        NotificationCenter::defaultCenter().post(EditorNote::RecordOver);
}

void RecorderController::reject()
{
    closeSheet();
}

void RecorderController::showError(const QString& message, const QString& detail)
{
    SheetAlert::show(
        isVisible() ? static_cast<QWidget*>(this) : m_mainWindow.data(), QMessageBox::Critical, message, detail);
}

bool RecorderController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::WindowStateChange && isVisible()) {
        auto* widget = qobject_cast<QWidget*>(watched);
        if (widget != nullptr && widget->isMinimized())
            closeSheet();
    }
    return QDialog::eventFilter(watched, event);
}
