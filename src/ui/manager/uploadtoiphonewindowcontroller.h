#pragma once
// The ringtone manager: the computer's ringtones and the phone's side by side. The user
// moves ringtones either way (buttons or drag and drop), deletes phone ringtones, plays the
// current ringtone with a seek bar, and ejects the phone. While the phone is gone an alert
// blocks the window until it comes back.
//
// Made once per run and reused; main thread. Every file operation runs on the worker.

#include "core/ringtones/ringtoneinfo.h"
#include "ui/manager/managerworker.h"
#include "ui/manager/ringtonemanagerdelegate.h"

#include <QIcon>
#include <QPointer>
#include <QWidget>

#include <memory>
#include <optional>

class QMessageBox;
class QPushButton;
class Ozk_iTunesTableView;
class PhoneRingtoneDataSource;
class ReadRingtoneWindowController;
class RingtoneListView;
class RingtonePlayerPane;
class RingtoneTableView;
class RingtoneTransferController;
class VyRingtoneiPhoneTransfor;
class iTunesRintoneDataSource;
struct Notification;

class UpLoadToiPhoneWindowController : public QWidget, public RingtoneManagerDelegate {
    Q_OBJECT

public:
    // `computerFolders`: where the computer's ringtones are (empty: the library's folders).
    UpLoadToiPhoneWindowController(
        VyRingtoneiPhoneTransfor* link, QWidget* mainWindow = nullptr, const QStringList& computerFolders = {});
    ~UpLoadToiPhoneWindowController() override;

    // Shows the window; the first time reads both lists and sweeps the phone's orphans,
    // later times read both lists again.
    void showWindow();

    // Actions.
    void clickTransferRingtoneiTunesToiPhone();
    void clickTransferRingtoneiPhoneToiTunes();
    void deleteRingtones();
    void clickUnmountiPhone();
    void refreshiTunesRingtones();
    void refreshPhoneRingtones();
    void doubleClickPlayRingtone();

    void setiPhoneMountState(bool mounted);

    // RingtoneManagerDelegate
    void setCanDeleteRingtone(bool canDelete) override;
    void setCurrentPlayRingtone(const std::optional<RingtoneInfo>& ringtone) override;
    void ringtonesDropped(RingtoneDataSource* target, const QList<RingtoneInfo>& ringtones, int row) override;
    [[nodiscard]] QWidget* sheetWindow() override { return this; }

    // For tests and the owner.
    [[nodiscard]] Ozk_iTunesTableView* iTunesTableView() const { return m_iTunesTableView; }
    [[nodiscard]] RingtoneTableView* iPhoneTableView() const { return m_iPhoneTableView; }
    [[nodiscard]] const std::optional<RingtoneInfo>& currentPlayRingtone() const;
    [[nodiscard]] RingtonePlayerPane* player() const { return m_player; }
    [[nodiscard]] QMessageBox* remountAlert() const { return m_remountAlter; }
    [[nodiscard]] RingtoneTransferController* transfers() const { return m_transfers; }
    [[nodiscard]] bool windowDidClosed() const { return m_windowDidClosed; }
    [[nodiscard]] bool workerBusy() const { return m_worker.busy(); }

Q_SIGNALS:
    // A list was read again (after a refresh, a load or a delete).
    void listsRead();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void buildWindow();
    void windowDidLoad();
    void refreshList(RingtoneListView* table, QPushButton* sender, std::function<void()> then = {});
    void handleDeviceDisconnected();
    void handleDeviceMount();
    void alertDidEnd(bool ok);
    void reCheckPoint();
    void showRemountAlert();
    void changeDirctionBtnState(const Notification& note);
    void windowShouldClose();
    [[nodiscard]] bool isPhoneRecord(const RingtoneInfo& ringtone) const;

    VyRingtoneiPhoneTransfor* m_link;
    QStringList m_computerFolders;
    bool m_loaded = false;

    Ozk_iTunesTableView* m_iTunesTableView = nullptr;
    RingtoneTableView* m_iPhoneTableView = nullptr;
    QPushButton* m_transToiPhoneBtn = nullptr;
    QPushButton* m_transToiTunesBtn = nullptr;
    QPushButton* m_iTunesReflashBtn = nullptr;
    QPushButton* m_iPhoneReflashBtn = nullptr;
    QPushButton* m_ejectBtn = nullptr;
    QPushButton* m_DeleteBtn = nullptr;
    QIcon m_connectImage, m_disconnectImage;
    RingtonePlayerPane* m_player = nullptr;
    PhoneRingtoneDataSource* m_phoneRingtoneDS = nullptr;
    iTunesRintoneDataSource* m_iTunesRintoneDS = nullptr;
    RingtoneTransferController* m_transfers = nullptr;
    ReadRingtoneWindowController* m_readSheet = nullptr;
    QPointer<QMessageBox> m_remountAlter;
    bool m_phoneCameBack = false; // the alert is being ended because the phone is back

    bool m_windowDidClosed = false;

    // Last: destroyed first, so no job outlives the widgets its results reach.
    ManagerWorker m_worker;
};
