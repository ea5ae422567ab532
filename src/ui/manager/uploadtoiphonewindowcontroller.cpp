#include "ui/manager/uploadtoiphonewindowcontroller.h"

#include "core/environment/logging.h"
#include "core/notification/notificationcenter.h"
#include "core/phone/phonesignals.h"
#include "core/phone/vyringtoneiphonetransfor.h"
#include "ui/alerts/sheetalert.h"
#include "ui/manager/managernotes.h"
#include "ui/manager/readringtonewindowcontroller.h"
#include "ui/manager/ringtonedatasource.h"
#include "ui/manager/ringtoneplayerpane.h"
#include "ui/manager/ringtonetableviews.h"
#include "ui/manager/ringtonetransfercontroller.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QMessageBox>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace {

const QString kEject = QStringLiteral("Eject");
const QString kRemount = QStringLiteral("Remount");

QPushButton* toolButton(QWidget* parent, const char* name, const QIcon& icon, const QString& tip)
{
    auto* button = new QPushButton(icon, QString(), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setToolTip(tip);
    button->setAccessibleName(tip);
    button->setFocusPolicy(Qt::TabFocus);
    return button;
}

} // namespace

UpLoadToiPhoneWindowController::UpLoadToiPhoneWindowController(
    VyRingtoneiPhoneTransfor* link, QWidget* mainWindow, const QStringList& computerFolders)
    : QWidget(mainWindow, Qt::Window)
    , m_link(link)
    , m_computerFolders(computerFolders)
{
    setObjectName(QStringLiteral("UpLoadToiPhone"));
    setWindowTitle(QStringLiteral("Zirevove Vorurav"));
    m_connectImage = QIcon(QStringLiteral(":/iPhoneConnect.png"));
    m_disconnectImage = QIcon(QStringLiteral(":/iPhoneDisconnect.png"));
    buildWindow();

    // The link's own state change, so the link is already up or down when the alert acts.
    if (m_link != nullptr)
        connect(m_link, &VyRingtoneiPhoneTransfor::mountStateChanged, this, [this](bool mounted) {
            setiPhoneMountState(mounted);
            if (mounted)
                handleDeviceMount();
            else
                handleDeviceDisconnected();
        });
    NotificationCenter::defaultCenter().addObserver(this, ManagerNote::ChangeDirctionBtnState, nullptr,
        [this](const Notification& note) { changeDirctionBtnState(note); });
}

UpLoadToiPhoneWindowController::~UpLoadToiPhoneWindowController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
}

void UpLoadToiPhoneWindowController::buildWindow()
{
    m_iTunesTableView = new Ozk_iTunesTableView(this);
    m_iTunesTableView->setObjectName(QStringLiteral("iTunesTableView"));
    m_iPhoneTableView = new RingtoneTableView(this);
    m_iPhoneTableView->setObjectName(QStringLiteral("iPhoneTableView"));
    m_phoneRingtoneDS = new PhoneRingtoneDataSource(m_link, this, this);
    m_iTunesRintoneDS = m_computerFolders.isEmpty()
        ? new iTunesRintoneDataSource(m_link, this, this)
        : new iTunesRintoneDataSource(m_link, this, m_computerFolders, this);
    for (auto [table, source] :
        { std::pair<RingtoneListView*, RingtoneDataSource*> { m_iTunesTableView, m_iTunesRintoneDS },
            { m_iPhoneTableView, m_phoneRingtoneDS } }) {
        table->setDataSource(source);
        table->setManagerDelegate(this);
        connect(
            table, &QAbstractItemView::doubleClicked, this, &UpLoadToiPhoneWindowController::doubleClickPlayRingtone);
    }
    m_transfers = new RingtoneTransferController(m_worker, *this, m_iTunesTableView, m_iPhoneTableView, this);

    QStyle* look = style();
    m_iTunesReflashBtn = toolButton(this, "iTunesReflashBtn", look->standardIcon(QStyle::SP_BrowserReload),
        QStringLiteral("Read the computer's ringtones again"));
    m_iPhoneReflashBtn = toolButton(this, "iPhoneReflashBtn", look->standardIcon(QStyle::SP_BrowserReload),
        QStringLiteral("Read the iPhone's ringtones again"));
    m_transToiPhoneBtn = toolButton(this, "transToiPhoneBtn", look->standardIcon(QStyle::SP_ArrowRight),
        QStringLiteral("Copy the selected ringtones to the iPhone"));
    m_transToiTunesBtn = toolButton(this, "transToiTunesBtn", look->standardIcon(QStyle::SP_ArrowLeft),
        QStringLiteral("Copy the selected ringtones to the computer"));
    m_DeleteBtn = toolButton(this, "m_DeleteBtn", look->standardIcon(QStyle::SP_TrashIcon),
        QStringLiteral("Delete the selected ringtones from the iPhone"));
    m_DeleteBtn->setText(QStringLiteral("Delete"));
    m_ejectBtn = toolButton(this, "ejectBtn", m_connectImage, QStringLiteral("Eject the iPhone"));
    m_ejectBtn->setText(kEject);
    for (QPushButton* button : { m_transToiPhoneBtn, m_transToiTunesBtn, m_DeleteBtn })
        button->setEnabled(false);

    auto* computerTitle = new QLabel(QStringLiteral("iTunes Ringtones"), this);
    auto* phoneTitle = new QLabel(QStringLiteral("iPhone Ringtones"), this);
    auto* computerBar = new QHBoxLayout;
    computerBar->addWidget(computerTitle, 1);
    computerBar->addWidget(m_iTunesReflashBtn);
    auto* phoneBar = new QHBoxLayout;
    phoneBar->addWidget(phoneTitle, 1);
    phoneBar->addWidget(m_DeleteBtn);
    phoneBar->addWidget(m_iPhoneReflashBtn);
    auto* computerSide = new QVBoxLayout;
    computerSide->addLayout(computerBar);
    computerSide->addWidget(m_iTunesTableView);
    auto* phoneSide = new QVBoxLayout;
    phoneSide->addLayout(phoneBar);
    phoneSide->addWidget(m_iPhoneTableView);
    auto* moves = new QVBoxLayout;
    moves->addStretch();
    moves->addWidget(m_transToiPhoneBtn);
    moves->addWidget(m_transToiTunesBtn);
    moves->addStretch();
    auto* lists = new QHBoxLayout;
    lists->addLayout(computerSide, 1);
    lists->addLayout(moves);
    lists->addLayout(phoneSide, 1);

    m_player = new RingtonePlayerPane(this);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(m_player, 1);
    bottom->addWidget(m_ejectBtn);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(lists, 1);
    layout->addLayout(bottom);
    resize(780, 500);

    connect(m_transToiPhoneBtn, &QPushButton::clicked, this,
        &UpLoadToiPhoneWindowController::clickTransferRingtoneiTunesToiPhone);
    connect(m_transToiTunesBtn, &QPushButton::clicked, this,
        &UpLoadToiPhoneWindowController::clickTransferRingtoneiPhoneToiTunes);
    connect(m_DeleteBtn, &QPushButton::clicked, this, &UpLoadToiPhoneWindowController::deleteRingtones);
    connect(m_ejectBtn, &QPushButton::clicked, this, &UpLoadToiPhoneWindowController::clickUnmountiPhone);
    connect(m_iTunesReflashBtn, &QPushButton::clicked, this, &UpLoadToiPhoneWindowController::refreshiTunesRingtones);
    connect(m_iPhoneReflashBtn, &QPushButton::clicked, this, &UpLoadToiPhoneWindowController::refreshPhoneRingtones);
}

void UpLoadToiPhoneWindowController::showWindow()
{
    m_windowDidClosed = false;
    setiPhoneMountState(m_link != nullptr && m_link->isMountSuccess());
    show();
    raise();
    activateWindow();
    if (!m_loaded) {
        m_loaded = true;
        windowDidLoad();
        return;
    }
    refreshiTunesRingtones();
    refreshPhoneRingtones();
}

void UpLoadToiPhoneWindowController::windowDidLoad()
{
    m_readSheet = new ReadRingtoneWindowController(this);
    m_readSheet->showOver();
    m_readSheet->startAnimation();
    const RingtoneDataSource::Lister phone = m_phoneRingtoneDS->lister();
    const RingtoneDataSource::Lister computer = m_iTunesRintoneDS->lister();
    VyRingtoneiPhoneTransfor* link = m_link;
    m_worker.enqueue([this, phone, computer, link](std::stop_token, const ManagerWorker::Post& post) {
        RingtoneDataSource::Listing phoneList = phone();
        RingtoneDataSource::Listing computerList = computer();
        // A file on the phone that its database does not list is swept once the lists are read.
        if (phoneList && link != nullptr)
            link->sweepOrphans();
        post([this, phoneList = std::move(phoneList), computerList = std::move(computerList)] {
            m_phoneRingtoneDS->applyListing(phoneList);
            m_iTunesRintoneDS->applyListing(computerList);
            m_readSheet->stopAnimation();
            m_readSheet->closeSheet();
            Q_EMIT listsRead();
        });
    });
}

void UpLoadToiPhoneWindowController::refreshList(
    RingtoneListView* table, QPushButton* sender, std::function<void()> then)
{
    if (sender != nullptr)
        sender->setEnabled(false);
    RingtoneDataSource* source = table->dataSource();
    const RingtoneDataSource::Lister list = source->lister();
    m_worker.enqueue(
        [this, list, source, sender, then = std::move(then)](std::stop_token, const ManagerWorker::Post& post) {
            RingtoneDataSource::Listing listing = list();
            post([this, source, sender, then, listing = std::move(listing)] {
                source->applyListing(listing);
                if (sender != nullptr)
                    sender->setEnabled(true);
                if (then)
                    then();
                Q_EMIT listsRead();
            });
        });
}

void UpLoadToiPhoneWindowController::refreshiTunesRingtones()
{
    refreshList(m_iTunesTableView, m_iTunesReflashBtn);
}

void UpLoadToiPhoneWindowController::refreshPhoneRingtones()
{
    refreshList(m_iPhoneTableView, m_iPhoneReflashBtn);
}

void UpLoadToiPhoneWindowController::clickTransferRingtoneiTunesToiPhone()
{
    m_transfers->move(true);
}

void UpLoadToiPhoneWindowController::clickTransferRingtoneiPhoneToiTunes()
{
    m_transfers->move(false);
}

void UpLoadToiPhoneWindowController::ringtonesDropped(
    RingtoneDataSource* target, const QList<RingtoneInfo>& ringtones, int row)
{
    m_transfers->drop(target == m_phoneRingtoneDS ? static_cast<RingtoneListView*>(m_iPhoneTableView)
                                                  : static_cast<RingtoneListView*>(m_iTunesTableView),
        ringtones, row);
}

void UpLoadToiPhoneWindowController::deleteRingtones()
{
    QStringList files;
    QStringList names;
    for (int row : m_iPhoneTableView->selectedRowNumbers())
        if (const auto ringtone = m_phoneRingtoneDS->record(row)) {
            files.append(QFileInfo(ringtone->filePath).fileName());
            names.append(ringtone->ringtoneName);
        }
    if (files.isEmpty() || m_link == nullptr)
        return;
    m_DeleteBtn->setEnabled(false);
    m_player->stopRingtone();
    VyRingtoneiPhoneTransfor* link = m_link;
    m_worker.enqueue([this, link, files, names](std::stop_token, const ManagerWorker::Post& post) {
        // One by one, stopping at the first that fails.
        QString failed;
        for (qsizetype i = 0; i < files.size() && failed.isEmpty(); ++i) {
            const PhoneRemoveResult result = link->removeRingtoneFile(files.at(i));
            if (!result.entryRemoved || !result.fileRemoved) {
                qCWarning(lcPhone).noquote() << "Deleting" << files.at(i) << "failed:" << result.error;
                failed = names.at(i);
            }
        }
        post([this, failed] {
            if (failed.isEmpty()) {
                refreshList(m_iPhoneTableView, m_iPhoneReflashBtn, [this] {
                    setCurrentPlayRingtone(m_phoneRingtoneDS->record(m_iPhoneTableView->currentIndex().row()));
                });
                return;
            }
            QMessageBox* box
                = SheetAlert::show(this, QMessageBox::Critical, QStringLiteral("Fail to deleting ringtone"),
                    QStringLiteral(
                        "Deleting process fail accidently in some occasion when delete ringtone named %1, please "
                        "try again.")
                        .arg(failed),
                    { QStringLiteral("OK"), QStringLiteral("Quit") });
            connect(box, &QMessageBox::finished, this,
                [this, box] { alertDidEnd(box->buttonRole(box->clickedButton()) == QMessageBox::AcceptRole); });
        });
    });
}

void UpLoadToiPhoneWindowController::clickUnmountiPhone()
{
    if (m_link == nullptr)
        return;
    if (!m_link->isMountSuccess()) {
        // "Remount": the application looks for the phone again.
        NotificationCenter::defaultCenter().post(QStringLiteral("RemountiPhone"));
        return;
    }
    m_player->stopRingtone();
    QMessageBox* box = SheetAlert::show(this, QMessageBox::Warning, QStringLiteral("Try to eject iPhone now?"),
        QStringLiteral("Please make sure all the transfer has been finished before ejecting iPhone."),
        { QStringLiteral("OK"), QStringLiteral("Cancel") });
    connect(box, &QMessageBox::finished, this, [this, box] {
        if (box->buttonRole(box->clickedButton()) != QMessageBox::AcceptRole)
            return;
        m_ejectBtn->setEnabled(false);
        VyRingtoneiPhoneTransfor* link = m_link;
        // After every job already asked for: a running move finishes first.
        m_worker.enqueue([this, link](std::stop_token, const ManagerWorker::Post& post) {
            const PhoneEjectResult result = link->eject();
            post([this, result] {
                m_ejectBtn->setEnabled(true);
                if (!result.ejected) {
                    SheetAlert::show(this, QMessageBox::Critical, QStringLiteral("The iPhone could not be ejected"),
                        QStringLiteral("%1\nClose anything that is using the iPhone and try again.").arg(result.error));
                    return;
                }
                // Closed first, so the link going down shows no alert.
                windowShouldClose();
                NotificationCenter::defaultCenter().post(QString::fromLatin1(PhoneSignals::kDeviceUnmounted));
                close();
            });
        });
    });
}

void UpLoadToiPhoneWindowController::setiPhoneMountState(bool mounted)
{
    m_ejectBtn->setText(mounted ? kEject : kRemount);
    m_ejectBtn->setIcon(mounted ? m_connectImage : m_disconnectImage);
    m_ejectBtn->setToolTip(mounted ? QStringLiteral("Eject the iPhone") : QStringLiteral("Look for the iPhone again"));
}

void UpLoadToiPhoneWindowController::handleDeviceDisconnected()
{
    if (m_windowDidClosed)
        return;
    showRemountAlert();
    m_ejectBtn->setIcon(m_disconnectImage);
}

void UpLoadToiPhoneWindowController::showRemountAlert()
{
    if (m_remountAlter == nullptr) {
        m_remountAlter = SheetAlert::show(this, QMessageBox::Critical,
            QStringLiteral("Connection with iPhone withdraws accidently"),
            QStringLiteral("Please reconnect iPhone to use Zirevove Vorurav function."),
            { QStringLiteral("OK"), QStringLiteral("Quit") });
        m_remountAlter->setObjectName(QStringLiteral("remountAlter"));
        // Made once and reused: it only hides when it ends.
        m_remountAlter->setAttribute(Qt::WA_DeleteOnClose, false);
        connect(m_remountAlter, &QMessageBox::finished, this, [this] {
            if (m_phoneCameBack)
                return; // nothing to ask the user
            alertDidEnd(m_remountAlter->buttonRole(m_remountAlter->clickedButton()) == QMessageBox::AcceptRole);
        });
    } else if (!m_remountAlter->isVisible()) {
        m_remountAlter->open();
    }
    // Nothing to go back to until the phone is back.
    m_remountAlter->buttons().constFirst()->setEnabled(false);
}

void UpLoadToiPhoneWindowController::handleDeviceMount()
{
    if (m_remountAlter != nullptr && m_remountAlter->isVisible()) {
        m_phoneCameBack = true;
        m_remountAlter->done(0);
        m_phoneCameBack = false;
    }
    m_ejectBtn->setIcon(m_connectImage);
    if (!m_windowDidClosed && m_loaded)
        refreshPhoneRingtones();
}

void UpLoadToiPhoneWindowController::alertDidEnd(bool ok)
{
    if (ok)
        reCheckPoint();
    else
        close();
}

void UpLoadToiPhoneWindowController::reCheckPoint()
{
    if (m_link != nullptr && m_link->isMountSuccess()) {
        m_ejectBtn->setIcon(m_connectImage);
        refreshPhoneRingtones();
        return;
    }
    showRemountAlert();
}

void UpLoadToiPhoneWindowController::changeDirctionBtnState(const Notification& note)
{
    if (note.userInfo.value(QString(ManagerKey::Dirction)).toInt() == 1) {
        m_transToiTunesBtn->setEnabled(false);
        m_transToiPhoneBtn->setEnabled(true);
        return;
    }
    m_transToiTunesBtn->setEnabled(false);
    m_transToiPhoneBtn->setEnabled(false);
    m_player->stopRingtone();
    setCurrentPlayRingtone(std::nullopt);
}

void UpLoadToiPhoneWindowController::setCanDeleteRingtone(bool canDelete)
{
    m_DeleteBtn->setEnabled(canDelete);
}

const std::optional<RingtoneInfo>& UpLoadToiPhoneWindowController::currentPlayRingtone() const
{
    return m_player->ringtone();
}

bool UpLoadToiPhoneWindowController::isPhoneRecord(const RingtoneInfo& ringtone) const
{
    return m_link != nullptr && ringtone.isOnPhone(m_link->mountPoint());
}

void UpLoadToiPhoneWindowController::setCurrentPlayRingtone(const std::optional<RingtoneInfo>& ringtone)
{
    const bool onPhone = ringtone && isPhoneRecord(*ringtone);
    if (ringtone) {
        m_transToiTunesBtn->setEnabled(onPhone);
        m_transToiPhoneBtn->setEnabled(!onPhone);
    }
    m_player->setRingtone(ringtone, onPhone);
}

void UpLoadToiPhoneWindowController::doubleClickPlayRingtone()
{
    auto* table = qobject_cast<RingtoneListView*>(sender());
    if (table != nullptr && table->selectedRowNumbers().size() == 1)
        m_player->playRingtone();
}

void UpLoadToiPhoneWindowController::windowShouldClose()
{
    m_player->stopForClose();
    m_windowDidClosed = true;
}

void UpLoadToiPhoneWindowController::closeEvent(QCloseEvent* event)
{
    windowShouldClose();
    event->accept();
}
