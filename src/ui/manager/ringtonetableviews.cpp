#include "ui/manager/ringtonetableviews.h"

#include "core/notification/notificationcenter.h"
#include "core/ringtones/ringtoneinfo.h"
#include "ui/manager/managernotes.h"
#include "ui/manager/ringtonedatasource.h"
#include "ui/manager/ringtonemanagerdelegate.h"

#include <QDropEvent>
#include <QHeaderView>
#include <QMimeData>
#include <QMouseEvent>

#include <set>

RingtoneListView::RingtoneListView(QWidget* parent)
    : QTableView(parent)
{
    setSelectionBehavior(QAbstractItemView::SelectRows);
    setAccessibleName(QStringLiteral("Ringtones"));
    setToolTip(QStringLiteral("Ringtones: drag them onto the other list to copy them there"));
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDragDropMode(QAbstractItemView::DragDrop);
    setDefaultDropAction(Qt::CopyAction);
    setDropIndicatorShown(true);
    setShowGrid(false);
    setAlternatingRowColors(true);
    setWordWrap(false);
    verticalHeader()->hide();
    verticalHeader()->setDefaultSectionSize(20);
    horizontalHeader()->setHighlightSections(false);
    horizontalHeader()->setSectionsClickable(true);
}

void RingtoneListView::setDataSource(RingtoneDataSource* source)
{
    m_source = source;
    setModel(source);
    // Row numbers change meaning: the next selection is reported whatever its number.
    connect(source, &QAbstractItemModel::modelReset, this, [this] { m_reportedRow = -1; });
    connect(source, &QAbstractItemModel::rowsInserted, this, [this] { m_reportedRow = -1; });
    horizontalHeader()->setSectionResizeMode(0, QHeaderView::Stretch);
    horizontalHeader()->setSectionResizeMode(1, QHeaderView::ResizeToContents);
    // A header click sorts by that column, always ascending.
    connect(horizontalHeader(), &QHeaderView::sectionClicked, this, [this](int section) {
        if (m_source != nullptr && section >= 0 && section < RingtoneDataSource::kColumns.size())
            m_source->sortByKey(RingtoneDataSource::kColumns.at(section));
    });
}

QList<int> RingtoneListView::selectedRowNumbers() const
{
    std::set<int> rows;
    if (selectionModel() != nullptr)
        for (const QModelIndex& index : selectionModel()->selectedRows())
            rows.insert(index.row());
    return { rows.begin(), rows.end() };
}

void RingtoneListView::selectRows(const QList<int>& rows)
{
    if (selectionModel() == nullptr || model() == nullptr)
        return;
    m_quietCurrent = true;
    QItemSelection selection;
    for (int row : rows)
        if (row >= 0 && row < model()->rowCount())
            selection.select(model()->index(row, 0), model()->index(row, model()->columnCount() - 1));
    selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
    if (!rows.isEmpty())
        selectionModel()->setCurrentIndex(model()->index(rows.last(), 0), QItemSelectionModel::NoUpdate);
    m_quietCurrent = false;
    m_reportedRow = rows.isEmpty() ? -1 : rows.last();
    if (!rows.isEmpty())
        scrollTo(model()->index(rows.last(), 0));
}

void RingtoneListView::highLight()
{
    // Focus within the window only: a sheet open over it keeps the keyboard.
    setFocus(Qt::OtherFocusReason);
}

void RingtoneListView::currentChanged(const QModelIndex& current, const QModelIndex& previous)
{
    QTableView::currentChanged(current, previous);
    reportSelectedCurrentRow();
}

void RingtoneListView::selectionChanged(const QItemSelection& selected, const QItemSelection& deselected)
{
    QTableView::selectionChanged(selected, deselected);
    reportSelectedCurrentRow();
}

void RingtoneListView::reportSelectedCurrentRow()
{
    // Only a row the user selects, once: a click moves the current index before it selects,
    // and the table also moves it on its own (focus, a reload) without selecting anything.
    const int row = currentIndex().row();
    if (row < 0 || selectionModel() == nullptr || !selectionModel()->isRowSelected(row, {})) {
        m_reportedRow = -1;
        return;
    }
    if (m_quietCurrent || m_source == nullptr || row == m_reportedRow)
        return;
    m_reportedRow = row;
    m_source->tableViewShouldSelectRow(row);
}

void RingtoneListView::mousePressEvent(QMouseEvent* event)
{
    QTableView::mousePressEvent(event);
    afterClick();
}

void RingtoneListView::postNoDirection()
{
    NotificationCenter::defaultCenter().post(
        ManagerNote::ChangeDirctionBtnState, nullptr, { { ManagerKey::Dirction, 0 } });
}

void RingtoneTableView::afterClick()
{
    const bool selected = !selectedRowNumbers().isEmpty();
    if (managerDelegate() != nullptr)
        managerDelegate()->setCanDeleteRingtone(selected);
    if (!selected)
        postNoDirection();
}

void Ozk_iTunesTableView::afterClick()
{
    if (managerDelegate() != nullptr)
        managerDelegate()->setCanDeleteRingtone(false);
    if (selectedRowNumbers().isEmpty())
        postNoDirection();
}

void RingtoneListView::startDrag(Qt::DropActions supportedActions)
{
    const QList<int> rows = selectedRowNumbers();
    if (rows.isEmpty())
        return;
    if (rows.size() == 1) {
        // A single dragged row becomes the selected, focused, current one.
        selectRows(rows);
        highLight();
        if (m_Delegate != nullptr && m_source != nullptr)
            m_Delegate->setCurrentPlayRingtone(m_source->record(rows.first()));
    }
    QTableView::startDrag(supportedActions);
}

bool RingtoneListView::acceptsDrag(const QDropEvent* event) const
{
    return m_source != nullptr && m_source->isFromOtherSide(event->mimeData());
}

void RingtoneListView::dragEnterEvent(QDragEnterEvent* event)
{
    if (!acceptsDrag(event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void RingtoneListView::dragMoveEvent(QDragMoveEvent* event)
{
    if (!acceptsDrag(event)) {
        event->ignore();
        return;
    }
    event->setDropAction(Qt::CopyAction);
    event->accept();
}

void RingtoneListView::dropEvent(QDropEvent* event)
{
    if (!acceptsDrag(event) || m_source == nullptr || m_Delegate == nullptr) {
        event->ignore();
        return;
    }
    const auto ringtones
        = RingtoneInfoArchive::unarchive(event->mimeData()->data(QString::fromLatin1(RingtoneInfoArchive::kMimeType)));
    if (!ringtones || ringtones->isEmpty()) {
        event->ignore();
        return;
    }
    const QModelIndex at = indexAt(event->position().toPoint());
    const int row = at.isValid() ? at.row() : model()->rowCount();
    event->setDropAction(Qt::CopyAction);
    event->accept();
    m_Delegate->ringtonesDropped(m_source, *ringtones, row);
}
