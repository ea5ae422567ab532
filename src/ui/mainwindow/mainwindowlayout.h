#pragma once
// The main window's widgets and where they sit: the list column (search field, list,
// collapsible video area) on the left, the bottom band with its buttons, and the editor
// area on the right. Builds them and nothing more: the window connects them.
//
// Main thread only.

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
    // Where the editor and the drop view sit in the content view.
    static constexpr QRect kEditorArea { kEditorX, 0, kWidth - kEditorX, kHeight - kBottomBorder };

    // Builds the content into `window`, which cannot be resized afterwards.
    explicit MainWindowLayout(QMainWindow* window);

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

private:
    void buildLeftColumn();
    void buildBottomBand();
    void initSearchField();
};
