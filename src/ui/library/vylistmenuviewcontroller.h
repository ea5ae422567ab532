#pragma once
// Drives the library list: builds the menu from the catalogue (and fills the search's
// data), shows an entry's files, and re-marks the open file's row. The menu is rebuilt on
// every "refreshListMenu"; "ShowChildItem" and "CallAppLoadItem" show a file list once
// the view is in a window. Without a library file the catalogue lists the music and
// videos folders, walked on the folder service's own thread; a walk that found changes
// rebuilds the menu when the menu is what is shown.
//
// Main thread only.

#include "core/medialibrary/desktopmedialibrary.h"
#include "core/medialibrary/listmenucatalogue.h"
#include "core/medialibrary/mediaiteminfo.h"

#include <QObject>
#include <QPointer>
#include <QScrollArea>
#include <QSize>

#include <optional>

class QWidget;
class VyiTunesSearchTool;
class VyListMenu;

class VyListMenuViewController : public QObject {
    Q_OBJECT

public:
    static constexpr int kWidth = 222;

    explicit VyListMenuViewController(QObject* parent = nullptr);
    ~VyListMenuViewController() override;

    // Puts the list into `father` at its top left, 222 wide and as high as `father`
    // (following its height), makes the program's music folders and starts answering
    // the requests to show files.
    void putInto(QWidget* father);
    void setSearchTool(VyiTunesSearchTool* tool) { m_searchTool = tool; }

    // Rebuilds the menu; mode 1.
    void setMenuItem();
    // Shows the last entry's files again and re-marks the rows.
    void setLastMenuItem();
    // Re-marks the rows with the open file.
    void refresh();
    // The open file (an object offering the file item's properties; null for none).
    void setCurrentItem(const QObject* item);
    void setVyListViewSize(const QSize& size);

    void showChildItem(const VyListMenuItem& item);
    void loadItemByName(const QString& name);

    [[nodiscard]] VyListMenu* listMenu() const { return m_list; }
    [[nodiscard]] QScrollArea* scrollView() const { return m_scroll; }
    [[nodiscard]] ListMenuCatalogue& catalogue() { return m_catalogue; }
    [[nodiscard]] DesktopMediaLibrary& desktop() { return m_desktop; }
    [[nodiscard]] const std::optional<VyListMenuItem>& lastMenuItem() const { return m_lastMenuItem; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void desktopWalkFinished(bool changed);

    VyListMenu* m_list = nullptr;
    QPointer<QScrollArea> m_scroll; // goes with the window it is put in
    VyiTunesSearchTool* m_searchTool = nullptr;
    ListMenuCatalogue m_catalogue;
    DesktopMediaLibrary m_desktop;
    std::optional<VyListMenuItem> m_lastMenuItem;
    bool m_inWindow = false;
    bool m_rebuildingForWalk = false;
};
