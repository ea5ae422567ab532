#include "ui/groovebox/grooveboxcontroller.h"

#include "audio/soundplayer.h"
#include "core/environment/appplaces.h"
#include "core/environment/logging.h"
#include "core/groovebox/gbpatternfile.h"
#include "core/groovebox/grooveproducer.h"
#include "core/groovebox/vygbdata.h"
#include "core/text/commonfunctions.h"
#include "ui/alerts/sheetalert.h"
#include "ui/groovebox/vymatrix.h"
#include "ui/library/savedfile.h"

#include <QApplication>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QScrollArea>
#include <QScrollBar>
#include <QSlider>
#include <QVBoxLayout>

namespace {

constexpr int kRegenerateDelayMs = 500;
const QString kGrooveBoxFile = QStringLiteral("Groove Box File");
const QString kPreview = QStringLiteral("Preview");
const QString kStop = QStringLiteral("Stop");

GrooveProducer::Places scratchPlaces(const QString& gbUtil)
{
    const QString music = AppPlaces::musicFolder();
    return { music + u'/' + QString::fromLatin1(GBPatternFile::kPatternFileName),
        music + u'/' + QString::fromLatin1(GBPatternFile::kMidiFileName), music + QStringLiteral("/CorvaneGBSound.wav"),
        AppPlaces::soundFontPath(),
        gbUtil.isEmpty() ? QCoreApplication::applicationDirPath() + QStringLiteral("/GBUtil") : gbUtil };
}

} // namespace

GrooveBoxController::GrooveBoxController(QWidget* mainWindow, const QString& gbUtil)
    : QDialog(mainWindow)
    , m_producer(std::make_unique<GrooveProducer>(scratchPlaces(gbUtil)))
{
    setObjectName(QStringLiteral("VyGBWindow"));
    setWindowTitle(QStringLiteral("Groove Box"));
    setWindowModality(Qt::WindowModal);
    buildSheet();
    m_regenerateTimer.setSingleShot(true);
    m_regenerateTimer.setInterval(kRegenerateDelayMs);
    connect(&m_regenerateTimer, &QTimer::timeout, this, &GrooveBoxController::callBackForGetData);
    connect(m_producer.get(), &GrooveProducer::produced, this, &GrooveBoxController::produced);
    connect(m_producer.get(), &GrooveProducer::rendered, this, &GrooveBoxController::rendered);
}

GrooveBoxController::~GrooveBoxController() = default;

void GrooveBoxController::buildSheet()
{
    m_matrix = new VyMatrix;
    QStringList names;
    for (int key = GBPattern::kFirstKey; key <= GBPattern::kLastKey; ++key)
        names.append(instrumentName(key));
    m_matrix->setInstrumentNames(names);
    m_scrollView = new QScrollArea(this);
    m_scrollView->setObjectName(QStringLiteral("scrollView"));
    m_scrollView->setWidget(m_matrix);
    m_scrollView->setMinimumSize(720, 380);

    m_presets = new QComboBox(this);
    m_presets->setObjectName(QStringLiteral("presets"));
    m_presets->addItems({ QStringLiteral("Empty"), QStringLiteral("Straight rock"), QStringLiteral("Dance"),
        QStringLiteral("Hip-hop") });
    m_presets->setToolTip(QStringLiteral("Start from a ready-made rhythm"));
    m_presets->setAccessibleName(QStringLiteral("Ready-made rhythms"));
    m_randomButton = new QPushButton(QStringLiteral("Random"), this);
    m_randomButton->setObjectName(QStringLiteral("randomButton"));
    m_randomButton->setToolTip(QStringLiteral("Make a random rhythm"));
    m_randomButton->setAccessibleName(QStringLiteral("Random"));
    auto* clear = new QPushButton(QStringLiteral("Clear"), this);
    clear->setObjectName(QStringLiteral("clearButton"));
    clear->setToolTip(QStringLiteral("Silence every step"));
    clear->setAccessibleName(QStringLiteral("Clear"));
    m_speedSlider = new QSlider(Qt::Horizontal, this);
    m_speedSlider->setObjectName(QStringLiteral("speedSlider"));
    m_speedSlider->setRange(1, 8);
    m_speedSlider->setPageStep(1);
    m_speedSlider->setToolTip(QStringLiteral("Speed"));
    m_speedSlider->setAccessibleName(QStringLiteral("Speed"));
    m_previewButton = new QPushButton(kPreview, this);
    m_previewButton->setObjectName(QStringLiteral("previewButton"));
    m_previewButton->setToolTip(QStringLiteral("Listen to the rhythm"));
    m_previewButton->setAccessibleName(QStringLiteral("Preview"));
    m_saveButton = new QPushButton(QStringLiteral("Save"), this);
    m_saveButton->setObjectName(QStringLiteral("saveButton"));
    m_saveButton->setToolTip(QStringLiteral("Save the rhythm and open it in the editor"));
    m_saveButton->setAccessibleName(QStringLiteral("Save"));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QStringLiteral("okButton"));
    ok->setToolTip(QStringLiteral("Close the Groove Box"));
    ok->setAccessibleName(QStringLiteral("OK"));

    auto* controls = new QHBoxLayout;
    controls->addWidget(m_presets);
    controls->addWidget(m_randomButton);
    controls->addWidget(clear);
    controls->addSpacing(12);
    controls->addWidget(new QLabel(QStringLiteral("Speed"), this));
    controls->addWidget(m_speedSlider, 1);
    controls->addSpacing(12);
    controls->addWidget(m_previewButton);
    controls->addWidget(m_saveButton);
    controls->addWidget(ok);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_scrollView, 1);
    layout->addLayout(controls);
    resize(900, 520);

    connect(m_presets, qOverload<int>(&QComboBox::activated), this, &GrooveBoxController::popupButtonSelected);
    connect(m_randomButton, &QPushButton::clicked, this, &GrooveBoxController::clickRandomButton);
    connect(clear, &QPushButton::clicked, this, &GrooveBoxController::clearTable);
    connect(m_speedSlider, &QSlider::valueChanged, this, &GrooveBoxController::slideSpeedSlider);
    connect(m_previewButton, &QPushButton::clicked, this, &GrooveBoxController::preview);
    connect(m_saveButton, &QPushButton::clicked, this, &GrooveBoxController::saveQTFile);
    connect(ok, &QPushButton::clicked, this, &GrooveBoxController::clickOKButton);
}

void GrooveBoxController::openOver()
{
    if (!m_loaded) {
        m_loaded = true;
        windowDidLoad();
    }
    open();
    activateWindow();
}

void GrooveBoxController::windowDidLoad()
{
    m_producer->cleanTmpFile();
    m_speed = GBPattern::kDefaultSpeed;
    const QSignalBlocker quiet(m_speedSlider);
    m_speedSlider->setValue(m_speed);
    initGBData();
    scrollToTop();
    m_randomButton->setDefault(true);
}

void GrooveBoxController::scrollToTop()
{
    m_scrollView->verticalScrollBar()->setValue(0);
    m_scrollView->horizontalScrollBar()->setValue(0);
}

void GrooveBoxController::initGBData()
{
    m_gbData.initGBData(m_matrix->steps());
    m_gbData.setSpeed(m_speed);
}

void GrooveBoxController::refreshCell()
{
    for (int row = 1; row < VyMatrix::kRows; ++row)
        for (int column = 1; column < VyMatrix::kColumns; ++column)
            m_matrix->setSelected(row, column, m_gbData.isOn(GBPattern::kFirstKey + row - 1, column - 1));
}

void GrooveBoxController::popupButtonSelected(int index)
{
    // A preset replaces the pattern and produces its sound by itself; the grid's own
    // changed mark is left as it is.
    if (m_gbData.presetTracks(index))
        m_regenerateTimer.start();
    else if (index == 0)
        m_producer->cleanTmpFile();
    refreshCell();
}

void GrooveBoxController::clickRandomButton()
{
    if (m_IsProcessData)
        return;
    m_IsProcessData = true;
    m_gbData.generateRandomData();
    refreshCell();
    m_regenerateTimer.start();
}

void GrooveBoxController::clearTable()
{
    m_gbData.resetGBData();
    refreshCell();
    m_producer->cleanTmpFile();
}

void GrooveBoxController::slideSpeedSlider(int value)
{
    m_speed = value;
    m_matrix->setIsChange(true);
}

void GrooveBoxController::callBackForGetData()
{
    m_regenerateTimer.stop();
    initGBData();
    m_requested = m_producer->produce(m_gbData);
    if (m_IsProcessData && m_randomRequest == 0)
        m_randomRequest = m_requested;
}

void GrooveBoxController::produced(int number, bool ok, const QString&)
{
    m_produced = number;
    if (!ok)
        QApplication::beep(); // the reason is in the log; Preview then finds no sound and says so
    if (m_randomRequest != 0 && number >= m_randomRequest) {
        m_randomRequest = 0;
        m_IsProcessData = false;
    }
    if (number < m_requested || m_regenerateTimer.isActive())
        return; // a newer pattern is on its way
    if (m_previewWaiting) {
        m_previewWaiting = false;
        playMid();
    }
    if (m_saveWaiting) {
        m_saveWaiting = false;
        saveQTFile();
    }
}

void GrooveBoxController::preview()
{
    if (m_isSoundPlaying) {
        stopPreview();
        return;
    }
    if (m_matrix->isChange()) {
        m_matrix->setIsChange(false);
        callBackForGetData();
    }
    // The sound of the newest pattern, once it is there.
    if (m_produced < m_requested || m_regenerateTimer.isActive()) {
        m_previewWaiting = true;
        return;
    }
    playMid();
}

void GrooveBoxController::playMid()
{
    const QString wav = m_producer->places().previewWav;
    if (!QFileInfo::exists(wav)) {
        showAlert(QStringLiteral("emm...May be you should click something in the table!"),
            QStringLiteral("Is so funny baby!"));
        return;
    }
    m_mySound = std::make_unique<SoundPlayer>();
    if (!m_mySound->open(wav, SoundPlayer::Source::ByCopy)) {
        m_mySound.reset();
        return;
    }
    connect(m_mySound.get(), &SoundPlayer::finished, this, &GrooveBoxController::stopPreview);
    m_previewButton->setText(kStop);
    m_mySound->play();
    m_isSoundPlaying = true;
}

void GrooveBoxController::stopPreview()
{
    if (m_mySound)
        m_mySound->stop();
    m_isSoundPlaying = false;
    m_previewButton->setText(kPreview);
}

QString GrooveBoxController::nextSavePath(const QString& folder)
{
    // One above the highest number present (the first is 1), so a take is never written over.
    const int number = std::max(1, CommonFunctions::checkFileExist(QStringLiteral("Groove Box.wav"), folder));
    return folder + QStringLiteral("/Groove Box %1.wav").arg(number);
}

void GrooveBoxController::saveQTFile()
{
    if (m_saveRender != 0)
        return; // a save is under way
    // The pattern on screen is saved, not an older one.
    if (m_matrix->isChange()) {
        m_matrix->setIsChange(false);
        callBackForGetData();
    }
    if (m_produced < m_requested || m_regenerateTimer.isActive()) {
        m_saveWaiting = true;
        return;
    }
    if (!QFileInfo::exists(m_producer->places().midiFile)) {
        showAlert(QStringLiteral("emm...May be you should click something in the table!"),
            QStringLiteral("Is so funny baby!"));
        return;
    }
    const QString folder = AppPlaces::grooveBoxFolder();
    if (!QDir().mkpath(folder)) {
        showAlert(QStringLiteral("The Groove Box could not save the sound."),
            QStringLiteral("The folder %1 cannot be made.").arg(folder));
        return;
    }
    m_saveRender = m_producer->renderTo(nextSavePath(folder));
}

void GrooveBoxController::rendered(int number, bool ok, const QString& error, const QString& path)
{
    if (number != m_saveRender)
        return;
    m_saveRender = 0;
    if (!ok) {
        // The sheet and the pattern stay, so the user can try again.
        showAlert(QStringLiteral("The Groove Box could not save the sound."), error);
        Q_EMIT saveEnded({}, error);
        return;
    }
    clickOKButton();
    tellAppLoadFile(path);
    Q_EMIT saveEnded(path, {});
}

void GrooveBoxController::clickOKButton()
{
    stopPreview();
    m_previewWaiting = false;
    m_saveWaiting = false;
    m_regenerateTimer.stop();
    QDialog::done(QDialog::Accepted);
    m_gbData.resetGBData();
    refreshCell();
    m_matrix->setIsChange(false);
    m_producer->cleanTmpFile();
}

void GrooveBoxController::reject()
{
    clickOKButton();
}

void GrooveBoxController::tellAppLoadFile(const QString& path)
{
    announceSavedFile(path, kGrooveBoxFile, true, this);
}

void GrooveBoxController::showAlert(const QString& message, const QString& informative)
{
    SheetAlert::show(this, QMessageBox::Information, message, informative);
}
