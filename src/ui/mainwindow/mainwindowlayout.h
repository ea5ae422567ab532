#pragma once
// The main window's widgets and where they sit: the list column (search field, list,
// collapsible video area) on the left, the bottom band with its buttons, and the editor
// area on the right. Builds them and nothing more: the window connects them.
//
// The window can be resized; its design size (kWidth x kHeight content) is the smallest.
// The list column keeps its width and grows in height, the editor area takes the rest of
// the width and height, and the bottom band stays at the bottom.
//
// Main thread only.

#include <QList>
#include <QPointer>
#include <QRect>

class PlayBackView;
class QLineEdit;
class QMainWindow;
class QMenu;
class QPushButton;
class QSplitter;
class QWidget;

class MainWindowLayout {
public:
    static constexpr int kWidth = 900;
    static constexpr int kHeight = 495;
    static constexpr int kBottomBorder = 30;
    static constexpr int kListWidth = 222;
    static constexpr int kEditorX = 221;

    // Builds the content into `window`, at least kWidth x kHeight.
    explicit MainWindowLayout(QMainWindow* window);

    // Where the editor and the drop view sit in the content view at its present size.
    [[nodiscard]] QRect editorArea() const;
    // Puts `view` into the editor area and keeps it there as the window is resized.
    void placeInEditorArea(QWidget* view);

    // The arrow shows what a click does (up opens the area, down closes it).
    void setVideoAreaOpen(bool open);
    // Ticks the search menu's item `tag` and clears the others.
    void checkSearchItem(int tag);

    QWidget* contentView = nullptr;
    QWidget* listViewFather = nullptr;
    QSplitter* bwSplitView = nullptr;
    QWidget* videoArea = nullptr;
    PlayBackView* playView = nullptr;
    QLineEdit* searchField = nullptr;
    QMenu* searchMenu = nullptr; // items carry their tag as data; 0 is the caption
    QPushButton* playViewBtn = nullptr;
    QPushButton* ringtoneMgrBtn = nullptr;
    QPushButton* grooveBoxBtn = nullptr;
    QWidget* listColumn = nullptr;
    QWidget* bottomBand = nullptr;

private:
    // Places the column, the band and the editor area's views for the content's size.
    void layoutContent();
    void buildLeftColumn();
    void buildBottomBand();
    void initSearchField();

    QList<QPointer<QWidget>> m_editorAreaViews;
};
