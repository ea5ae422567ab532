#pragma once
// The manager's two tables. Each reports the row the user makes current to its data source,
// applies its click rule afterwards, drags its selected records, and takes drops only from
// the other table.
//
// Main thread.

#include <QTableView>

class RingtoneDataSource;
class RingtoneManagerDelegate;

class RingtoneListView : public QTableView {
    Q_OBJECT

public:
    explicit RingtoneListView(QWidget* parent = nullptr);

    // The source must be set before any event reaches the table.
    void setDataSource(RingtoneDataSource* source);
    [[nodiscard]] RingtoneDataSource* dataSource() const { return m_source; }
    void setManagerDelegate(RingtoneManagerDelegate* delegate) { m_Delegate = delegate; }

    // The rows of the selection, ascending.
    [[nodiscard]] QList<int> selectedRowNumbers() const;
    // Selects `rows` (nothing else) and makes the last one current without reporting it.
    void selectRows(const QList<int>& rows);
    // highLight: the table takes the keyboard focus.
    void highLight();

protected:
    void mousePressEvent(QMouseEvent* event) override;
    void currentChanged(const QModelIndex& current, const QModelIndex& previous) override;
    void selectionChanged(const QItemSelection& selected, const QItemSelection& deselected) override;
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

    // What a click leaves behind: the Delete button and, with no selection, the move buttons.
    virtual void afterClick() = 0;
    [[nodiscard]] RingtoneManagerDelegate* managerDelegate() const { return m_Delegate; }
    void postNoDirection();

private:
    [[nodiscard]] bool acceptsDrag(const QDropEvent* event) const;
    void reportSelectedCurrentRow();

    RingtoneDataSource* m_source = nullptr;
    RingtoneManagerDelegate* m_Delegate = nullptr;
    bool m_quietCurrent = false;
    int m_reportedRow = -1; // the row last reported as selected
};

// The phone's table: a click leaves Delete enabled exactly when a row is selected.
class RingtoneTableView : public RingtoneListView {
    Q_OBJECT

public:
    using RingtoneListView::RingtoneListView;

protected:
    void afterClick() override;
};

// The computer's table: its ringtones cannot be deleted from here.
class Ozk_iTunesTableView : public RingtoneListView {
    Q_OBJECT

public:
    using RingtoneListView::RingtoneListView;

protected:
    void afterClick() override;
};
