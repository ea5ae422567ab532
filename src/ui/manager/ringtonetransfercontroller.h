#pragma once
// Moving ringtones between the manager's two lists, by the move buttons or by a drop. The
// copies run on the manager's worker, one ringtone after another; each result comes back to
// the main thread, which updates the destination list, and the transfer sheet shows the
// progress and then "Transfer ringtone success:%d, faild:%d".
//
// A move appends each copy to the end of the destination list and makes it current, and
// shows an alert for each ringtone that failed; its sheet's "Cancel" stops the move before
// the next ringtone. A drop inserts the copies at the drop row, one after another.
//
// Main thread.

#include "core/ringtones/ringtonecopy.h"
#include "core/ringtones/ringtoneinfo.h"
#include "ui/manager/transfersheet.h"

#include <QList>
#include <QObject>
#include <QPointer>

#include <atomic>
#include <memory>

class ManagerWorker;
class RingtoneListView;
class RingtoneManagerDelegate;

class RingtoneTransferController : public QObject {
    Q_OBJECT

public:
    RingtoneTransferController(ManagerWorker& worker, RingtoneManagerDelegate& delegate,
        RingtoneListView* computerTable, RingtoneListView* phoneTable, QObject* parent = nullptr);
    ~RingtoneTransferController() override;

    // The selection of the computer table to the phone (`toPhone`), or the other way.
    void move(bool toPhone);
    // Ringtones dropped on `table` at `row`.
    void drop(RingtoneListView* table, const QList<RingtoneInfo>& ringtones, int row);

    [[nodiscard]] bool running() const { return m_run != nullptr; }
    // The sheet of the last transfer, while it is open.
    [[nodiscard]] TransferSheet* sheet() const { return m_sheet; }

Q_SIGNALS:
    // The sheet of a transfer closed after the transfer ended.
    void finished();

private:
    struct Run;
    void start(std::unique_ptr<Run> run, const QList<RingtoneInfo>& ringtones);
    void starting(int index, int count, const QString& name);
    void arrived(const RingtoneInfo& ringtone, const RingtoneCopy::Result& result);
    void ended(int notStarted);

    ManagerWorker& m_worker;
    RingtoneManagerDelegate& m_delegate;
    RingtoneListView* m_computerTable;
    RingtoneListView* m_phoneTable;
    std::unique_ptr<Run> m_run;
    std::shared_ptr<std::atomic<bool>> m_cancel;
    QPointer<TransferSheet> m_sheet;
};
