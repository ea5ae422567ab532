#pragma once
// The Groove Box grid: a header row ("Instrument", then b, "e", "+", "a" for each of the 16
// beats) over 47 instrument rows, each a name cell and 64 step cells. A click on a step
// cell flips it and marks the grid changed; a step that is on shows "punch.png".
//
// Rows and columns count as the grid shows them: row 0 is the header, column 0 the names,
// so step cells are rows 1-47 by columns 1-64. Main thread.

#include <QList>
#include <QPixmap>
#include <QStringList>
#include <QWidget>

class VyMatrix : public QWidget {
    Q_OBJECT

public:
    static constexpr int kRows = 48;
    static constexpr int kColumns = 65;
    static constexpr int kCellWidth = 18;
    static constexpr int kCellHeight = 16;
    static constexpr int kNameWidth = 130;

    explicit VyMatrix(QWidget* parent = nullptr);

    // The 47 instrument names, top to bottom.
    void setInstrumentNames(const QStringList& names);
    [[nodiscard]] QString cellText(int row, int column) const;

    [[nodiscard]] bool isSelected(int row, int column) const;
    // Sets a step cell without marking the grid changed (a preset, the model).
    void setSelected(int row, int column, bool on);
    // Every step row, top to bottom, 1 where a step is on.
    [[nodiscard]] QList<QList<int>> steps() const;

    [[nodiscard]] bool isChange() const { return m_isChange; }
    void setIsChange(bool changed) { m_isChange = changed; }

    // The cell under a point, or (-1, -1).
    [[nodiscard]] QPoint cellAt(const QPoint& point) const;
    [[nodiscard]] QRect cellRect(int row, int column) const;

    [[nodiscard]] QSize sizeHint() const override;

Q_SIGNALS:
    // The user flipped a step.
    void cellClicked(int row, int column);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    bool event(QEvent* event) override;

private:
    QStringList m_names;
    QStringList m_header;
    QList<QList<bool>> m_on; // 47 rows of 64 steps
    QPixmap m_punch;
    bool m_isChange = false;
};
