#pragma once
// The library list's view: either the menu of entries under their section headers, or
// the files of one entry below a navigation bar. Rows are records painted by this one
// widget, not widgets of their own: a file list may hold tens of thousands of files.
// Hit-testing goes by y; one hover timer and one title-scroll timer serve the row under
// the mouse.
//
// Main thread only.

#include "core/medialibrary/mediaiteminfo.h"

#include <QColor>
#include <QFont>
#include <QMenu>
#include <QPixmap>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <QWidget>

#include <optional>
#include <vector>

class ListNavigationView;

class QScrollArea;
class VyListMenuChildItem;

// Which of its two lists the library list shows: 1 the menu of entries, 0 a file list.
// One for the process; the main window's refresh reads it.
namespace ListMenuMode {
[[nodiscard]] int current();
void set(int mode);
} // namespace ListMenuMode

class VyListMenu : public QWidget {
    Q_OBJECT

public:
    static constexpr int kItemHeight = 22;
    static constexpr int kHeaderHeight = 25;
    static constexpr int kEntryIndent = 12;
    static constexpr int kFirstFileY = 31;

    enum class RowKind { Header, Entry, File };
    struct Row {
        RowKind kind = RowKind::File;
        QRect rect;
        QString title;
        QString icon; // entries: the artwork's name
        QColor circleColor; // entries
        int entry = -1; // entries: index into the entries shown
        VyListMenuChildItem* item = nullptr; // files
        bool isOver = false;
        bool hasChoosed = false;
    };

    explicit VyListMenu(QWidget* parent = nullptr);
    ~VyListMenu() override;

    // The view it scrolls in; the height rules read its visible height.
    void setScrollView(QScrollArea* scroll) { m_menuscrv = scroll; }

    // Lays out the four sections' entries; mode 1.
    void setMenuContent(const ListMenuContent& content);
    // Shows `item`'s files under the navigation bar; mode 0.
    void didShowMenuItem(const VyListMenuItem& item);
    // Clears and re-sets the marks: the open file's rows are chosen.
    void didrefreshChildView();
    // The file now open in the editor (any object with the file item's properties).
    void setOpenItem(const QObject* item);
    // Applies the height rule again (the visible height changed).
    void updateHeight();

    // The entry of that title in the section named "Library", "Genius", "Playlists", or
    // else in CUSTOM.
    [[nodiscard]] const VyListMenuItem* itemIn(const QString& list, const QString& name) const;
    [[nodiscard]] const VyListMenuItem* searchItemByName(const QString& name) const;

    [[nodiscard]] const std::vector<Row>& rows() const { return m_rows; }
    [[nodiscard]] int rowAt(int y) const; // -1 for none
    [[nodiscard]] bool showsFiles() const { return m_showsFiles; }
    [[nodiscard]] ListNavigationView* navigationView() const { return m_NavigationView; }
    // The row under the mouse (-1 for none) and how many characters its title is scrolled by.
    [[nodiscard]] int hoveredRow() const { return m_hovered; }
    [[nodiscard]] int scrollPosition() const { return m_showStrPos; }
    [[nodiscard]] QMenu* contextMenu() const { return m_contextMenu; }
    [[nodiscard]] static QFont menuFont();
    [[nodiscard]] static QFont titleFont();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    bool event(QEvent* event) override;

private:
    void clearRows();
    void addHeader(const QString& title, int y);
    void addEntries(const QList<VyListMenuItem>& items, int& y);
    void hoverRow(int row);
    void leaveRow();
    void becomeOver();
    void startTitleScroll();
    void scrollTitle();
    void clickEntry(const Row& row);
    void clickFile(const Row& row, int clickCount);
    void openContextMenu(const Row& row, const QPoint& globalPos);
    [[nodiscard]] int visibleHeight() const;
    void paintRow(QPainter& painter, const Row& row, int index) const;
    // How wide a row's title may be drawn.
    [[nodiscard]] static int titleWidth(const Row& row);

    ListMenuContent m_content;
    std::vector<const VyListMenuItem*> m_entries; // the entries laid out, by Row::entry
    std::vector<Row> m_rows;
    QObject* m_items = nullptr; // parent of the file items shown
    bool m_showsFiles = false;
    int m_fileListBottom = kFirstFileY;
    ListNavigationView* m_NavigationView = nullptr;
    QPointer<QScrollArea> m_menuscrv;
    QPixmap m_image;
    VyListMenuChildItem* m_openItem = nullptr; // a copy of the file now open

    int m_hovered = -1;
    QTimer m_hoverTimer; // 0.05 s, then the row is over
    QTimer m_scrollDelay; // 0.5 s, then a long title starts to scroll
    QTimer m_scrollTimer; // 0.2 s a character
    int m_showStrPos = 0;
    QPointer<QMenu> m_contextMenu;
};
