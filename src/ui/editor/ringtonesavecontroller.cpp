#include "ui/editor/ringtonesavecontroller.h"

#include "core/config/productconfig.h"
#include "core/convert/vyconverter.h"
#include "core/environment/editingstate.h"
#include "core/environment/logging.h"
#include "core/library/vysynctoitunes.h"
#include "core/notification/notificationcenter.h"
#include "core/phone/vyringtoneiphonetransfor.h"
#include "ui/editor/showprocessviewcontroller.h"
#include "ui/editor/vyaudioeditorviewcontroller.h"
#include "ui/mainwindow/mainwindownotes.h"
#include "ui/panels/mediapanels.h"
#include "ui/waveform/waveformview.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

const QString kRingtoneFilter = QStringLiteral("Ringtone (*.m4r)");
const QString kNoPhoneTitle = QStringLiteral("Found no iPhone connected ");
// The copy reached the phone but its ringtone database could not be read or written.
const QString kNotListedTitle = QStringLiteral("Ringtone copied, but not listed on the iPhone");
const QString kNotListedText = QStringLiteral(
    "The ringtone was copied to the iPhone, but the iPhone's ringtone list could not be updated, so the phone "
    "may not offer it. Connect the iPhone again and transfer the ringtone once more.");

} // namespace

RingtoneSaveController::RingtoneSaveController(VyAudioEditorViewController& editor)
    : QObject(&editor)
    , m_editor(editor)
{
    m_saveTimer.setSingleShot(true);
    m_saveTimer.setInterval(kSaveDelayMs);
    connect(&m_saveTimer, &QTimer::timeout, this, &RingtoneSaveController::saveFileTimerFunction);
}

RingtoneSaveController::~RingtoneSaveController()
{
    m_stopping.store(true);
    {
        const std::lock_guard lock(m_alertMutex);
        m_alertOpen = false;
    }
    m_alertClosed.notify_all();
    if (m_worker.joinable())
        m_worker.join();
}

QFileDialog* RingtoneSaveController::savePanel() const
{
    return m_savePanel.data();
}
QMessageBox* RingtoneSaveController::lastAlert() const
{
    return m_lastAlert.data();
}

bool RingtoneSaveController::stopWorkers(int limitMs)
{
    m_stopping.store(true);
    {
        const std::lock_guard lock(m_alertMutex);
        m_alertOpen = false;
    }
    m_alertClosed.notify_all();
    const QDeadlineTimer deadline(limitMs);
    while (m_saving.load() && !deadline.hasExpired())
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (m_saving.load())
        return false;
    if (m_worker.joinable())
        m_worker.join();
    return true;
}

void RingtoneSaveController::onMain(std::function<void()> work)
{
    QMetaObject::invokeMethod(this, std::move(work), Qt::QueuedConnection);
}

QMessageBox* RingtoneSaveController::showSheet(
    int icon, const QString& message, const QString& informative, QWidget* window, bool applicationModal)
{
    auto* box = new QMessageBox(static_cast<QMessageBox::Icon>(icon), QString(), message, QMessageBox::NoButton,
        window != nullptr ? window : m_editor.window());
    box->setInformativeText(informative);
    box->addButton(QStringLiteral("OK"), QMessageBox::AcceptRole);
    box->setWindowModality(applicationModal ? Qt::ApplicationModal : Qt::WindowModal);
    box->setAttribute(Qt::WA_DeleteOnClose);
    box->open();
    m_lastAlert = box;
    return box;
}

void RingtoneSaveController::uploadToiTunes()
{
    // Every early return clears the Save As flag the main window set, or the next Create
    // Ringtone would open a save panel.
    const auto refuse = [this] { m_isSaveAs = 0; };
    if (m_saving.load() || (m_progressDialog != nullptr && m_progressDialog->isVisible()))
        return refuse(); // one save at a time
    if (m_editor.moveDx() <= 0.0)
        return refuse(); // no waveform (nothing loaded, or a load under way): no part to save
    m_editor.session().endPreviewLoop();
    m_editor.setIsPreview(false);
    m_editor.waveformView()->writeTimeFields(m_editor.part());

    QCheckBox* transfer = m_editor.transferToIPhoneCkbx();
    if ((m_phoneLink == nullptr || !m_phoneLink->isMountSuccess()) && transfer->isChecked()) {
        showSheet(QMessageBox::Warning, kNoPhoneTitle,
            QStringLiteral("iPhone is disconnected now, please connect iPhone to the computer first."));
        transfer->setChecked(false);
        return refuse();
    }

    if (m_editor.getPlayerState() == PlayerState::Playing)
        m_editor.clickPauseSound();
    m_editor.setPreviewButtonImage(QStringLiteral("Preview.png"));
    m_editor.playBtn()->setEnabled(true);

    if (m_isSaveAs != 0) {
        if (m_savePanel == nullptr) {
            m_savePanel = new QFileDialog(m_editor.window());
            m_savePanel->setObjectName(QStringLiteral("savePanel"));
            m_savePanel->setOption(QFileDialog::DontUseNativeDialog);
            m_savePanel->setAcceptMode(QFileDialog::AcceptSave);
            m_savePanel->setFileMode(QFileDialog::AnyFile);
            m_savePanel->setDefaultSuffix(QStringLiteral("m4r"));
            m_savePanel->setWindowModality(Qt::WindowModal);
            connect(m_savePanel, &QFileDialog::finished, this, [this](int result) {
                const QStringList files = m_savePanel->selectedFiles();
                savePanelDidEnd(result, files.value(0));
            });
        }
        MediaPanels::prepare(m_savePanel, MediaPanels::Kind::SaveRingtone, { kRingtoneFilter });
        m_savePanel->selectFile(QFileInfo(m_editor.currentFileName()).completeBaseName() + QStringLiteral(".m4r"));
        m_savePanel->open();
        return;
    }

    makeNameSheet();
    m_saveFileNameTF->setText(m_editor.currentFileName());
    // Selected, so that typing a name replaces the offered one instead of adding to it.
    m_saveFileNameTF->selectAll();
    m_nameSheet->open();
    m_saveFileNameTF->setFocus();
}

void RingtoneSaveController::makeNameSheet()
{
    if (m_nameSheet != nullptr)
        return;
    m_nameSheet = new QDialog(m_editor.window());
    m_nameSheet->setObjectName(QStringLiteral("saveFileNameScr"));
    m_nameSheet->setWindowModality(Qt::WindowModal);
    m_saveFileNameTF = new QLineEdit(m_nameSheet);
    m_saveFileNameTF->setObjectName(QStringLiteral("saveFileNameTF"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, m_nameSheet);
    auto* layout = new QVBoxLayout(m_nameSheet);
    layout->addWidget(new QLabel(QStringLiteral("Ringtone name:"), m_nameSheet));
    layout->addWidget(m_saveFileNameTF);
    layout->addWidget(buttons);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (shouldCloseSheet())
            m_nameSheet->accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, m_nameSheet, &QDialog::reject);
}

bool RingtoneSaveController::shouldCloseSheet()
{
    if (SaveRules::outputPath(false, QStringLiteral("/"), m_saveFileNameTF->text()).isEmpty()) {
        QApplication::beep();
        return false;
    }
    m_saveTimer.start();
    return true;
}

void RingtoneSaveController::savePanelDidEnd(int returnCode, const QString& pickedPath)
{
    if (returnCode != QDialog::Accepted || pickedPath.isEmpty()) {
        m_isSaveAs = 0;
        return;
    }
    m_chooseName = pickedPath;
    m_saveTimer.start();
    MediaPanels::remember(MediaPanels::Kind::SaveRingtone, pickedPath);
}

void RingtoneSaveController::saveFileTimerFunction()
{
    if (m_saving.load())
        return;
    const PartFrame part = m_editor.part();
    const double moveDx = m_editor.moveDx();
    SaveRequest request;
    request.choices.startSeconds = moveDx > 0.0 ? part.x / (1000.0 * moveDx) : 0.0;
    request.choices.endSeconds = moveDx > 0.0 ? part.right() / (1000.0 * moveDx) : 0.0;
    request.choices.isSaveAs = m_isSaveAs != 0;
    request.choices.sourceFolder = gloableState()._tempFolderPath;
    request.choices.saveFileName
        = m_isSaveAs != 0 ? m_chooseName : (m_saveFileNameTF != nullptr ? m_saveFileNameTF->text() : QString());
    request.choices.fadeIn = m_editor.fadeInBtn()->isChecked();
    request.choices.fadeInTitle = m_editor.fadeInPoPupBtn()->currentText();
    request.choices.fadeOut = m_editor.fadeOutBtn()->isChecked();
    request.choices.fadeOutTitle = m_editor.fadeOutPoPupBtn()->currentText();
    request.choices.soundVolume = m_editor.session().soundVolume();
    request.sourceFile = gloableState()._sourceFileName;
    request.audioParm = m_editor.audioParm();
    request.transferToPhone = m_editor.transferToIPhoneCkbx()->isChecked();

    const double length = request.choices.endSeconds - request.choices.startSeconds;
    const bool tipIsNo = !ProductConfig::isYes(QStringLiteral("ShowTimeTip"));
    if (SaveRules::needsLengthWarning(request.transferToPhone, tipIsNo, length)) {
        QMessageBox* warning = showSheet(QMessageBox::Warning, QStringLiteral("Ringtone Length is over 40 seconds"),
            QStringLiteral("Ringtone exceeds 40 seconds is not supported by iTunes.  Please choose Zirevove Vorurav "
                           "to transfer it to iPhone directly."),
            nullptr, true);
        // The save goes on once the warning has been read.
        connect(warning, &QMessageBox::finished, this, [this, request] { startSave(request); });
        return;
    }
    startSave(request);
}

void RingtoneSaveController::startSave(SaveRequest request)
{
    if (m_saving.load())
        return;
    if (m_spvc == nullptr)
        m_spvc = new ShowProcessViewController;
    if (m_progressDialog == nullptr) {
        m_progressDialog = new QMessageBox(QMessageBox::NoIcon, QString(),
            QStringLiteral("Please view the ringtone making status from the following "
                           "progress bar."),
            QMessageBox::NoButton, m_editor.window());
        m_progressDialog->setObjectName(QStringLiteral("saveProgressDialog"));
        m_progressDialog->setInformativeText(QString());
        m_progressButton = m_progressDialog->addButton(QStringLiteral("Cancel"), QMessageBox::RejectRole);
        m_progressDialog->setWindowModality(Qt::WindowModal);
        if (auto* grid = qobject_cast<QGridLayout*>(m_progressDialog->layout()))
            grid->addWidget(m_spvc, grid->rowCount(), 0, 1, grid->columnCount());
    }
    m_progressButton->setText(QStringLiteral("Cancel"));
    m_spvc->setProgressRate(0.0f);
    m_spvc->setInfo(QString());
    m_spvc->setRevealPath(QString());

    if (m_worker.joinable())
        m_worker.join();
    m_stopping.store(false);
    m_saving.store(true);
    m_worker = std::thread([this, request] { saveFileThread(request); });
    m_progressDialog->open();
    m_spvc->startAnimation();
}

void RingtoneSaveController::setProgress(float fraction)
{
    onMain([this, fraction] {
        if (m_spvc != nullptr)
            m_spvc->setProgressRate(fraction);
    });
}

void RingtoneSaveController::alertAndWait(const QString& message, const QString& informative)
{
    {
        const std::lock_guard lock(m_alertMutex);
        m_alertOpen = true;
    }
    onMain([this, message, informative] {
        QMessageBox* box = showSheet(QMessageBox::Critical, message, informative, nullptr, true);
        connect(box, &QMessageBox::finished, this, [this] {
            {
                const std::lock_guard lock(m_alertMutex);
                m_alertOpen = false;
            }
            m_alertClosed.notify_all();
        });
    });
    std::unique_lock lock(m_alertMutex);
    m_alertClosed.wait(lock, [this] { return !m_alertOpen || m_stopping.load(); });
}

void RingtoneSaveController::saveFileThread(SaveRequest request)
{
    setProgress(0.1f);
    const SavePlan plan = SaveRules::plan(request.choices);
    setProgress(0.2f);
    setProgress(0.3f);
    // Nothing is removed beforehand: the encoder writes a temporary name and renames it
    // over the target only when complete, so a failed save leaves the user's file (or
    // the loaded source itself) as it was.
    setProgress(0.4f);

    bool converted = false;
    if (!plan.outputPath.isEmpty() && !m_stopping.load()) {
        VyConverter converter;
        converter.setAudioParm(request.audioParm);
        converted = converter.converte(
            request.sourceFile, QStringLiteral("M4R"), plan.outputPath, plan.saveAttribute(), plan.fadeInOutEffect());
    }
    setProgress(0.6f);
    const auto failSave = [this] {
        onMain([this] {
            // A failed Save As must not turn the next Create Ringtone into another one.
            m_isSaveAs = 0;
            Q_EMIT saveFinished(QString());
        });
        alertAndWait(QStringLiteral("Unexpected error!"), QStringLiteral("Please try again!"));
        m_saving.store(false);
    };
    if (!converted) {
        qCWarning(lcFiles).noquote() << "Making the ringtone" << plan.outputPath << "failed";
        failSave();
        return;
    }
    setProgress(0.7f);

    bool unlisted = false; // on the phone, but not in its ringtone list
    SavedPlace place { plan.outputPath, QString() };
    if (!request.choices.isSaveAs) {
        const QString title = QFileInfo(plan.outputPath).completeBaseName();
        const QStringList filed = VySyncToITunes().addFileToiTunesLibrary({ plan.outputPath }, { title }, true);
        if (filed.isEmpty()) {
            // The only copy is in the temporary folder, which goes at quit: not a success.
            qCWarning(lcFiles).noquote() << "Adding" << plan.outputPath << "to the ringtone library failed";
            failSave();
            return;
        }
        place.localPath = filed.first(); // numbered past the names already there
        setProgress(0.9f);
        if (request.transferToPhone) {
            const auto failTransfer = [this] {
                onMain([this] {
                    showSheet(QMessageBox::Critical, QStringLiteral("Fail to transfer ringtone to iPhone"),
                        QStringLiteral("Transferring ringtone to iPhone failed since the iPhone is "
                                       "disconnection accidently."));
                    m_editor.transferToIPhoneCkbx()->setChecked(false);
                    Q_EMIT saveFinished(QString());
                });
                m_saving.store(false);
            };
            if (m_phoneLink == nullptr || !m_phoneLink->isMountSuccess()) {
                failTransfer();
                return;
            }
            const QVariantMap record { { QStringLiteral("Name"), title }, { QStringLiteral("Length"), QString() },
                { QStringLiteral("Path"), plan.outputPath } };
            const QString path = plan.outputPath;
            bool registered = false;
            const std::optional<QVariantMap> copied = copyRingtoneToDest(record, &registered);
            if (!copied.has_value() && QFileInfo::exists(path)) {
                // The phone went away during the copy: say so rather than report success.
                failTransfer();
                return;
            }
            if (copied.has_value())
                place.phoneName = copied->value(QStringLiteral("Name")).toString();
            if (!registered)
                unlisted = true;
        }
    }
    finishOnMainThread(plan.outputPath, place);
    if (unlisted)
        onMain([this] { showSheet(QMessageBox::Warning, kNotListedTitle, kNotListedText); });
    m_saving.store(false);
}

void RingtoneSaveController::finishOnMainThread(const QString& outputPath, const SavedPlace& place)
{
    onMain([this, outputPath, place] {
        m_isSaveAs = 0;
        if (m_spvc != nullptr) {
            m_spvc->setProgressRate(1.0f);
            m_spvc->stopAnimation();
            m_spvc->setInfo(savedPlaceText(place));
            m_spvc->setRevealPath(place.localPath);
        }
        if (m_progressButton != nullptr)
            m_progressButton->setText(QStringLiteral("OK"));
        NotificationCenter::defaultCenter().post(MainWindowNote::BecomeKeyWindow);
        Q_EMIT saveFinished(outputPath);
    });
}

QString RingtoneSaveController::savedPlaceText(const SavedPlace& place)
{
    QStringList lines;
    if (!place.localPath.isEmpty()) {
        // The home folder as "~": the path stays whole but reads shorter.
        QString shown = QDir::cleanPath(QFileInfo(place.localPath).absoluteFilePath());
        const QString home = QDir::cleanPath(QDir::homePath());
        if (shown.startsWith(home + u'/'))
            shown = u'~' + shown.mid(home.size());
        lines << QStringLiteral("Saved to %1").arg(QDir::toNativeSeparators(shown));
    }
    if (!place.phoneName.isEmpty())
        lines << QStringLiteral("Copied to the iPhone as %1").arg(place.phoneName);
    return lines.join(u'\n');
}

std::optional<QVariantMap> RingtoneSaveController::copyRingtoneToDest(QVariantMap record, bool* registered)
{
    if (registered != nullptr)
        *registered = false;
    const QString path = record.value(QStringLiteral("Path")).toString();
    if (!QFileInfo::exists(path)) {
        onMain([this] {
            showSheet(QMessageBox::Critical, QStringLiteral("Cannot find the file"),
                QStringLiteral("File does not exist, please update your ringtone list first."), m_editor.window());
        });
        return std::nullopt;
    }
    if (m_phoneLink == nullptr)
        return std::nullopt;
    const PhoneTransferResult result = m_phoneLink->transferRingtone(path);
    if (!result.copied)
        return std::nullopt;
    if (registered != nullptr)
        *registered = result.registered;
    const QString& phoneName = result.phoneName;
    record.insert(QStringLiteral("Path"), m_phoneLink->phonePath(phoneName));
    record.insert(QStringLiteral("Name"), QFileInfo(phoneName).completeBaseName());
    return record;
}

void RingtoneSaveController::transferToIPhone()
{
    QCheckBox* transfer = m_editor.transferToIPhoneCkbx();
    if (!transfer->isChecked() || (m_phoneLink != nullptr && m_phoneLink->isMountSuccess()))
        return;
    m_editor.setPreviewButtonImage(QStringLiteral("Preview.png"));
    m_editor.setIsPreview(false);
    m_editor.playBtn()->setEnabled(true);
    showSheet(QMessageBox::Critical, kNoPhoneTitle,
        QStringLiteral("iPhone is disconnected, please connect iPhone to the computer first."));
    transfer->setChecked(false);
}
