#include "ui/library/vylistmenuviewcontroller.h"

#include "core/medialibrary/vyitunessearchtool.h"
#include "core/medialibrary/vylistmenuassitant.h"
#include "core/notification/notificationcenter.h"
#include "ui/library/librarynotes.h"
#include "ui/library/vylistmenu.h"
#include "ui/mainwindow/mainwindownotes.h"

#include <QEvent>
#include <QFile>
#include <QScrollArea>
#include <QScrollBar>

VyListMenuViewController::VyListMenuViewController(QObject* parent)
    : QObject(parent)
    , m_catalogue([](const QString& name) { return QFile::exists(QStringLiteral(":/") + name); })
{
    m_scroll = new QScrollArea;
    m_scroll->setObjectName(QStringLiteral("menuscrv"));
    m_scroll->setFrameShape(QFrame::NoFrame);
    m_scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_scroll->setWidgetResizable(false);
    m_scroll->resize(kWidth, 400);
    m_list = new VyListMenu;
    m_list->resize(kWidth, 400);
    m_list->setScrollView(m_scroll);
    m_scroll->setWidget(m_list);
    m_scroll->viewport()->installEventFilter(this);

    m_catalogue.setDesktopLibrary(&m_desktop);
    connect(&m_desktop, &DesktopMediaLibrary::walkFinished, this, &VyListMenuViewController::desktopWalkFinished);
    NotificationCenter::defaultCenter().addObserver(
        this, MainWindowNote::RefreshListMenu, nullptr, [this](const Notification&) { setMenuItem(); });
}

VyListMenuViewController::~VyListMenuViewController()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    if (m_scroll != nullptr && m_scroll->parent() == nullptr)
        delete m_scroll;
}

void VyListMenuViewController::putInto(QWidget* father)
{
    m_scroll->setParent(father);
    m_scroll->setGeometry(0, 0, kWidth, father->height());
    father->installEventFilter(this);
    m_scroll->show();
    if (m_inWindow)
        return;
    m_inWindow = true;
    VyListMenuAssitant::createMyMusicFolder();
    NotificationCenter& center = NotificationCenter::defaultCenter();
    center.addObserver(this, LibraryNote::ShowChildItem, nullptr, [this](const Notification& n) {
        const QVariant item = n.userInfo.value(LibraryKey::MenuItem);
        if (item.canConvert<VyListMenuItem>())
            showChildItem(item.value<VyListMenuItem>());
    });
    center.addObserver(this, LibraryNote::CallAppLoadItem, nullptr,
        [this](const Notification& n) { loadItemByName(n.userInfo.value(LibraryKey::MenuItemName).toString()); });
}

void VyListMenuViewController::setMenuItem()
{
    if (m_searchTool != nullptr)
        m_searchTool->resetSearchResult();
    ListMenuContent content = m_catalogue.build();
    if (m_searchTool != nullptr)
        m_searchTool->setMediaInfoArray(std::move(content.searchData));
    content.searchData.clear();
    m_list->setMenuContent(content);
    m_scroll->verticalScrollBar()->setValue(0);
    // Without a library file the folders are listed; their walk brings them in later. A
    // rebuild for a walk that just ended reads that walk and starts no new one.
    if (!m_catalogue.hadLibraryFile() && !m_rebuildingForWalk)
        m_desktop.refresh();
}

void VyListMenuViewController::desktopWalkFinished(bool changed)
{
    if (!changed || ListMenuMode::current() != 1)
        return;
    m_rebuildingForWalk = true; // the post is delivered before it returns
    NotificationCenter::defaultCenter().post(MainWindowNote::RefreshListMenu);
    m_rebuildingForWalk = false;
}

void VyListMenuViewController::setLastMenuItem()
{
    if (m_lastMenuItem)
        m_list->didShowMenuItem(*m_lastMenuItem);
    refresh();
}

void VyListMenuViewController::refresh()
{
    m_list->didrefreshChildView();
}

void VyListMenuViewController::setCurrentItem(const QObject* item)
{
    m_list->setOpenItem(item);
}

void VyListMenuViewController::setVyListViewSize(const QSize& size)
{
    m_scroll->resize(size);
    m_list->resize(size.width(), m_list->height());
    m_list->updateHeight();
}

void VyListMenuViewController::showChildItem(const VyListMenuItem& item)
{
    m_lastMenuItem = item;
    m_list->didShowMenuItem(item);
    m_scroll->verticalScrollBar()->setValue(0);
}

void VyListMenuViewController::loadItemByName(const QString& name)
{
    if (const VyListMenuItem* item = m_list->searchItemByName(name))
        showChildItem(VyListMenuItem(*item));
}

bool VyListMenuViewController::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::Resize) {
        if (watched == m_scroll->parent())
            m_scroll->setGeometry(0, 0, kWidth, static_cast<QWidget*>(watched)->height());
        else if (watched == m_scroll->viewport())
            m_list->updateHeight();
    }
    return QObject::eventFilter(watched, event);
}
