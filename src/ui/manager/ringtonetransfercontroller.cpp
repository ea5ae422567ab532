#include "ui/manager/ringtonetransfercontroller.h"

#include "core/environment/logging.h"
#include "core/notification/notificationcenter.h"
#include "core/phone/vyringtoneiphonetransfor.h"
#include "ui/alerts/sheetalert.h"
#include "ui/editor/showprocessviewcontroller.h"
#include "ui/manager/managernotes.h"
#include "ui/manager/managerworker.h"
#include "ui/manager/ringtonedatasource.h"
#include "ui/manager/ringtonemanagerdelegate.h"
#include "ui/manager/ringtonetableviews.h"
#include "ui/manager/transfersheet.h"

#include <QPushButton>

namespace {

const QString kResult = QStringLiteral("Transfer ringtone success:%1, faild:%2");

} // namespace

struct RingtoneTransferController::Run {
    bool isDrop = false;
    bool toPhone = false;
    RingtoneListView* target = nullptr;
    int insertRow = 0; // a drop's next row
    int direction = 0; // a drop's "Dirction"
    QList<int> inserted;
    int successes = 0;
    int failures = 0;
};

RingtoneTransferController::RingtoneTransferController(ManagerWorker& worker, RingtoneManagerDelegate& delegate,
    RingtoneListView* computerTable, RingtoneListView* phoneTable, QObject* parent)
    : QObject(parent)
    , m_worker(worker)
    , m_delegate(delegate)
    , m_computerTable(computerTable)
    , m_phoneTable(phoneTable)
{
}

RingtoneTransferController::~RingtoneTransferController() = default;

void RingtoneTransferController::move(bool toPhone)
{
    if (running())
        return;
    RingtoneListView* source = toPhone ? m_computerTable : m_phoneTable;
    QList<RingtoneInfo> ringtones;
    for (int row : source->selectedRowNumbers())
        if (const auto ringtone = source->dataSource()->record(row))
            ringtones.append(*ringtone);
    if (ringtones.isEmpty())
        return;
    auto run = std::make_unique<Run>();
    run->toPhone = toPhone;
    run->target = toPhone ? m_phoneTable : m_computerTable;
    start(std::move(run), ringtones);
}

void RingtoneTransferController::drop(RingtoneListView* table, const QList<RingtoneInfo>& ringtones, int row)
{
    if (running() || ringtones.isEmpty())
        return;
    auto run = std::make_unique<Run>();
    run->isDrop = true;
    run->toPhone = table == m_phoneTable;
    run->target = table;
    run->insertRow = row;
    run->direction = ringtones.first().isOnPhone(table->dataSource()->ringtoneTransfor() != nullptr
                             ? table->dataSource()->ringtoneTransfor()->mountPoint()
                             : QString())
        ? 1
        : 2;
    start(std::move(run), ringtones);
}

void RingtoneTransferController::start(std::unique_ptr<Run> run, const QList<RingtoneInfo>& ringtones)
{
    m_run = std::move(run);
    m_cancel = std::make_shared<std::atomic<bool>>(false);

    auto* sheet = new TransferSheet(m_delegate.sheetWindow());
    sheet->setAttribute(Qt::WA_DeleteOnClose);
    m_sheet = sheet;
    if (m_run->isDrop) {
        sheet->setButton(QStringLiteral("Ok"), true);
    } else {
        // While the move runs the button asks it to stop before the next ringtone.
        sheet->setButton(QStringLiteral("Cancel"), false);
        connect(sheet, &TransferSheet::pressed, this, [this, cancel = m_cancel] {
            if (running()) {
                cancel->store(true);
                m_sheet->button()->setEnabled(false);
            }
        });
    }
    connect(sheet, &QDialog::finished, this, [this, target = m_run->target] {
        target->highLight();
        Q_EMIT finished();
    });
    sheet->open();
    sheet->progressView()->startAnimation();

    const RingtoneDataSource::Copier copy = m_run->target->dataSource()->copier();
    m_worker.enqueue([this, ringtones, copy, cancel = m_cancel](std::stop_token stop, const ManagerWorker::Post& post) {
        const auto count = static_cast<int>(ringtones.size());
        for (int i = 0; i < count; ++i) {
            if (stop.stop_requested() || cancel->load()) {
                post([this, left = count - i] { ended(left); });
                return;
            }
            const RingtoneInfo& ringtone = ringtones.at(i);
            post([this, i, count, name = ringtone.ringtoneName] { starting(i, count, name); });
            RingtoneCopy::Result result = copy(ringtone);
            post([this, ringtone, result = std::move(result)] { arrived(ringtone, result); });
        }
        post([this] { ended(0); });
    });
}

void RingtoneTransferController::starting(int index, int count, const QString& name)
{
    if (m_sheet == nullptr)
        return;
    m_sheet->progressView()->setProgressRate(static_cast<float>(index + 1) / static_cast<float>(count));
    m_sheet->progressView()->setInfo(QStringLiteral("Transfering ringtone named %1").arg(name));
}

void RingtoneTransferController::arrived(const RingtoneInfo& ringtone, const RingtoneCopy::Result& result)
{
    Run& run = *m_run;
    RingtoneDataSource* target = run.target->dataSource();
    if (!result.copy) {
        ++run.failures;
        qCWarning(lcApp).noquote() << "Transfer of" << ringtone.filePath << "failed:" << result.error;
        if (result.sourceMissing) {
            target->showMissingFileAlert();
        } else if (!run.isDrop) {
            SheetAlert::show(m_delegate.sheetWindow(), QMessageBox::Critical,
                run.toPhone ? QStringLiteral("Fail to transfer ringtone from iTunes to iPhone")
                            : QStringLiteral("Fail to transfer ringtone from iPhone to iTunes"),
                run.toPhone ? QStringLiteral("Zirevove Vorurav fail to transfer the file from iTunes to iPhone, please "
                                             "try again.")
                            : QStringLiteral("Zirevove Vorurav fail to transfer the file from iPhone to iTunes, please "
                                             "try again."));
        }
        return;
    }
    ++run.successes;
    if (run.isDrop) {
        const int row = std::min(run.insertRow++, target->rowCount());
        target->insertRecord(row, *result.copy);
        run.inserted.append(row);
        return;
    }
    // A move appends the copy, selects it and makes it current.
    const int row = target->rowCount();
    target->insertRecord(row, *result.copy);
    run.target->selectRows({ row });
    run.target->highLight();
    // The selected copy is on the phone exactly when it was moved there.
    m_delegate.setCanDeleteRingtone(run.toPhone);
    m_delegate.setCurrentPlayRingtone(result.copy);
}

void RingtoneTransferController::ended(int notStarted)
{
    const std::unique_ptr<Run> run = std::move(m_run);
    if (run->isDrop) {
        NotificationCenter::defaultCenter().post(
            ManagerNote::ChangeDirctionBtnState, nullptr, { { QString(ManagerKey::Dirction), run->direction } });
        if (!run->inserted.isEmpty())
            run->target->selectRows(run->inserted);
        m_delegate.setCanDeleteRingtone(run->direction - 1 != 0);
    } else if (run->successes > 0) {
        const int rows = run->target->dataSource()->rowCount();
        QList<int> last;
        for (int row = rows - run->successes; row < rows; ++row)
            last.append(row);
        run->target->selectRows(last);
        run->target->highLight();
    }
    QString text = kResult.arg(run->successes).arg(run->failures);
    if (notStarted > 0)
        text += QStringLiteral("\nCancelled: %1 ringtone(s) were not transferred.").arg(notStarted);
    if (run->toPhone && run->successes > 0)
        text += QStringLiteral("\nThe iPhone may need a restart before new ringtones appear in its settings.");
    if (m_sheet == nullptr)
        return; // a drop's sheet the user already closed
    m_sheet->setInformativeText(text);
    m_sheet->setButton(run->isDrop ? QStringLiteral("Ok") : QStringLiteral("OK"), true);
    m_sheet->button()->setEnabled(true);
    m_sheet->progressView()->stopAnimation();
}
