#include "ui/library/vylistmenu.h"

#include "core/notification/notificationcenter.h"
#include "ui/artwork/artwork.h"
#include "ui/library/librarynotes.h"
#include "ui/library/listnavigationview.h"
#include "ui/library/vylistmenuchilditem.h"
#include "ui/links/filereveal.h"
#include "ui/mainwindow/mainwindownotes.h"

#include <QContextMenuEvent>
#include <QHash>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QRandomGenerator>
#include <QScrollArea>
#include <QScrollBar>
#include <QToolTip>

#include <algorithm>

namespace {

int s_listMode = 1;

// An entry's circle colour: any hue, strong enough to stand out on the light background.
QColor randomCircleColor()
{
    QRandomGenerator* random = QRandomGenerator::global();
    return QColor::fromHsvF(static_cast<float>(random->generateDouble()),
        static_cast<float>(0.45 + 0.45 * random->generateDouble()),
        static_cast<float>(0.55 + 0.35 * random->generateDouble()));
}

const QPixmap& listIcon(const QString& name, qreal ratio)
{
    static QHash<QString, QPixmap> cache;
    auto found = cache.find(name);
    if (found == cache.end())
        found = cache.insert(name, artwork(QStringLiteral(":/") + name, ratio));
    return *found;
}

} // namespace

namespace ListMenuMode {
int current()
{
    return s_listMode;
}
void set(int mode)
{
    s_listMode = mode;
}
} // namespace ListMenuMode

VyListMenu::VyListMenu(QWidget* parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("VyListMenu"));
    setAccessibleName(QStringLiteral("Library"));
    setToolTip(QStringLiteral("Your songs, videos and ringtones: click a list to see its files, a file to open it"));
    setMouseTracking(true);
    m_image = artwork(QStringLiteral(":/LeftBackGround.png"), devicePixelRatioF());
    m_NavigationView = new ListNavigationView(this);
    m_NavigationView->hide();

    m_hoverTimer.setSingleShot(true);
    m_hoverTimer.setInterval(50);
    connect(&m_hoverTimer, &QTimer::timeout, this, &VyListMenu::becomeOver);
    m_scrollDelay.setSingleShot(true);
    m_scrollDelay.setInterval(500);
    connect(&m_scrollDelay, &QTimer::timeout, this, &VyListMenu::startTitleScroll);
    m_scrollTimer.setInterval(200);
    connect(&m_scrollTimer, &QTimer::timeout, this, &VyListMenu::scrollTitle);
}

VyListMenu::~VyListMenu() = default;

QFont VyListMenu::menuFont()
{
    QFont font(QStringLiteral("Geneva"));
    font.setPixelSize(11);
    return font;
}

QFont VyListMenu::titleFont()
{
    QFont font(QStringLiteral("Geneva"));
    font.setPixelSize(12);
    return font;
}

void VyListMenu::clearRows()
{
    m_hoverTimer.stop();
    m_scrollDelay.stop();
    m_scrollTimer.stop();
    m_hovered = -1;
    m_showStrPos = 0;
    if (m_contextMenu != nullptr)
        m_contextMenu->close();
    m_rows.clear();
    m_entries.clear();
    // A click's handlers may still hold an item of the rows going away.
    if (m_items != nullptr)
        m_items->deleteLater();
    m_items = nullptr;
}

void VyListMenu::addHeader(const QString& title, int y)
{
    Row row;
    row.kind = RowKind::Header;
    row.rect = QRect(0, y, width(), kHeaderHeight);
    row.title = title;
    m_rows.push_back(row);
}

void VyListMenu::addEntries(const QList<VyListMenuItem>& items, int& y)
{
    for (const VyListMenuItem& item : items) {
        Row row;
        row.kind = RowKind::Entry;
        row.rect = QRect(kEntryIndent, y, width() - kEntryIndent, kItemHeight);
        row.title = item.itemTitle;
        row.icon = item.itemIcon;
        row.circleColor = randomCircleColor();
        row.entry = static_cast<int>(m_entries.size());
        m_entries.push_back(&item);
        m_rows.push_back(row);
        y += kItemHeight;
    }
}

void VyListMenu::setMenuContent(const ListMenuContent& content)
{
    clearRows();
    m_content = content;
    m_showsFiles = false;
    m_NavigationView->hide();

    addHeader(QStringLiteral("LIBRARY"), -8);
    int y = 20;
    addEntries(m_content.libraryItemList, y);
    const std::pair<const char*, const QList<VyListMenuItem>*> sections[] = {
        { "GENIUS", &m_content.geniusItemList },
        { "PLAYLISTS", &m_content.playListsItemList },
        { "CUSTOM", &m_content.myMusicItemList },
    };
    for (const auto& [title, items] : sections) {
        addHeader(QLatin1String(title), y);
        y += kHeaderHeight;
        addEntries(*items, y);
    }
    updateHeight();
    update();
    ListMenuMode::set(1);
}

void VyListMenu::didShowMenuItem(const VyListMenuItem& item)
{
    clearRows();
    m_showsFiles = true;
    m_NavigationView->setGeometry(QRect(QPoint(0, 0), ListNavigationView::kSize));
    m_NavigationView->setLocation(item.itemTitle);
    m_NavigationView->show();

    m_items = new QObject(this);
    m_rows.reserve(static_cast<size_t>(item.itemChild.size()));
    int y = kFirstFileY;
    int number = 1;
    for (const MediaItemInfo& child : item.itemChild) {
        Row row;
        row.kind = RowKind::File;
        row.rect = QRect(0, y, width(), kItemHeight);
        row.title = child.name;
        row.item = new VyListMenuChildItem(child.name, number++, child.path, item.itemTitle, m_items);
        m_rows.push_back(row);
        y += kItemHeight;
    }
    m_fileListBottom = y;
    updateHeight();
    didrefreshChildView();
    ListMenuMode::set(0);
}

void VyListMenu::setOpenItem(const QObject* item)
{
    delete m_openItem;
    m_openItem = VyListMenuChildItem::copyOf(item, this);
}

void VyListMenu::didrefreshChildView()
{
    for (size_t i = 0; i < m_rows.size(); ++i) {
        Row& row = m_rows[i];
        if (row.kind != RowKind::File)
            continue;
        if (static_cast<int>(i) != m_hovered) {
            row.isOver = false;
            row.hasChoosed = false;
        }
        if (m_openItem != nullptr && row.item->isEqualTo(m_openItem)) {
            row.isOver = true;
            row.hasChoosed = true;
        }
    }
    update();
}

int VyListMenu::visibleHeight() const
{
    if (m_menuscrv != nullptr)
        return m_menuscrv->viewport()->height();
    return parentWidget() != nullptr ? parentWidget()->height() : height();
}

void VyListMenu::updateHeight()
{
    int h = 0;
    if (m_showsFiles) {
        h = m_fileListBottom + 32;
        if (h < 448)
            h = 450;
    } else {
        h = static_cast<int>(m_entries.size()) * kItemHeight + 100;
        if (h < 448)
            h = visibleHeight() + 2;
    }
    resize(width(), h);
    // A short list is made a few points taller than the view: no scroll bar for that
    // blank margin (the wheel still moves it).
    if (m_menuscrv != nullptr)
        m_menuscrv->setVerticalScrollBarPolicy(
            h > visibleHeight() + kItemHeight ? Qt::ScrollBarAsNeeded : Qt::ScrollBarAlwaysOff);
}

const VyListMenuItem* VyListMenu::itemIn(const QString& list, const QString& name) const
{
    const QList<VyListMenuItem>* items = &m_content.myMusicItemList;
    if (list == QStringLiteral("Library"))
        items = &m_content.libraryItemList;
    else if (list == QStringLiteral("Genius"))
        items = &m_content.geniusItemList;
    else if (list == QStringLiteral("Playlists"))
        items = &m_content.playListsItemList;
    for (const VyListMenuItem& item : *items) {
        if (item.itemTitle == name)
            return &item;
    }
    return nullptr;
}

const VyListMenuItem* VyListMenu::searchItemByName(const QString& name) const
{
    return itemIn(QStringLiteral("Custom"), name);
}

int VyListMenu::rowAt(int y) const
{
    if (m_showsFiles) {
        if (y < kFirstFileY)
            return -1;
        const qsizetype index = (y - kFirstFileY) / kItemHeight;
        return index < static_cast<qsizetype>(m_rows.size()) ? static_cast<int>(index) : -1;
    }
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].kind == RowKind::Entry && y >= m_rows[i].rect.top() && y <= m_rows[i].rect.bottom())
            return static_cast<int>(i);
    }
    return -1;
}

void VyListMenu::mouseMoveEvent(QMouseEvent* event)
{
    const int row = rowAt(event->position().toPoint().y());
    if (row != m_hovered) {
        leaveRow();
        hoverRow(row);
    }
    QWidget::mouseMoveEvent(event);
}

void VyListMenu::leaveEvent(QEvent* event)
{
    leaveRow();
    QWidget::leaveEvent(event);
}

void VyListMenu::hoverRow(int row)
{
    m_hovered = row;
    m_showStrPos = 0;
    if (row < 0)
        return;
    m_hoverTimer.start();
    if (m_rows[static_cast<size_t>(row)].kind == RowKind::File)
        m_scrollDelay.start();
}

void VyListMenu::leaveRow()
{
    m_hoverTimer.stop();
    m_scrollDelay.stop();
    m_scrollTimer.stop();
    if (m_hovered >= 0 && m_hovered < static_cast<int>(m_rows.size())) {
        Row& row = m_rows[static_cast<size_t>(m_hovered)];
        const bool open = row.item != nullptr && m_openItem != nullptr && row.item->isEqualTo(m_openItem);
        if (!open)
            row.isOver = false;
        update(row.rect);
    }
    m_hovered = -1;
    m_showStrPos = 0;
}

void VyListMenu::becomeOver()
{
    if (m_hovered < 0)
        return;
    m_rows[static_cast<size_t>(m_hovered)].isOver = true;
    if (m_showsFiles)
        didrefreshChildView();
    else
        update(m_rows[static_cast<size_t>(m_hovered)].rect);
}

void VyListMenu::startTitleScroll()
{
    if (m_hovered < 0)
        return;
    const Row& row = m_rows[static_cast<size_t>(m_hovered)];
    if (QFontMetrics(titleFont()).horizontalAdvance(row.title) > row.rect.width() - 30)
        m_scrollTimer.start();
}

void VyListMenu::scrollTitle()
{
    if (m_hovered < 0) {
        m_scrollTimer.stop();
        return;
    }
    const Row& row = m_rows[static_cast<size_t>(m_hovered)];
    m_showStrPos = m_showStrPos + 1 >= row.title.size() ? 0 : m_showStrPos + 1;
    update(row.rect);
}

void VyListMenu::mousePressEvent(QMouseEvent* event)
{
    const int index = rowAt(event->position().toPoint().y());
    if (index < 0 || event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    // The handlers may rebuild the rows: work from a copy.
    const Row row = m_rows[static_cast<size_t>(index)];
    if (row.kind == RowKind::Entry)
        clickEntry(row);
    else if (row.kind == RowKind::File)
        clickFile(row, 1);
}

void VyListMenu::mouseDoubleClickEvent(QMouseEvent* event)
{
    // The first click of the pair has opened the file already.
    event->accept();
}

void VyListMenu::clickEntry(const Row& row)
{
    window()->setFocus();
    const VyListMenuItem* item = m_entries[static_cast<size_t>(row.entry)];
    if (item->itemChild.isEmpty())
        return;
    NotificationCenter::defaultCenter().post(
        LibraryNote::ShowChildItem, nullptr, { { LibraryKey::MenuItem, QVariant::fromValue(*item) } });
}

void VyListMenu::clickFile(const Row& row, int clickCount)
{
    if (row.item->itemPath() == kNoMatchingItems)
        return; // the search's "nothing found" row
    NotificationCenter::defaultCenter().post(MainWindowNote::LoadChildItemInAudioEditView, nullptr,
        {
            { LoadKey::ChildItem, QVariant::fromValue<QObject*>(row.item) },
            { QStringLiteral("ClickCount"), QString::number(clickCount) },
            { LoadKey::IsLocal, QStringLiteral("NO") },
            { LoadKey::CurrentView, QVariant::fromValue<QObject*>(row.item) },
        });
}

void VyListMenu::contextMenuEvent(QContextMenuEvent* event)
{
    const int index = rowAt(event->pos().y());
    if (index < 0)
        return;
    const Row& row = m_rows[static_cast<size_t>(index)];
    if (row.kind != RowKind::File || !(row.isOver || row.hasChoosed) || row.item->itemPath() == kNoMatchingItems)
        return;
    openContextMenu(row, event->globalPos());
    event->accept();
}

bool VyListMenu::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    // A row's whole title, when it was cut short.
    const auto* help = static_cast<QHelpEvent*>(event);
    const int index = rowAt(help->pos().y());
    const Row* row = index >= 0 ? &m_rows[static_cast<size_t>(index)] : nullptr;
    if (row != nullptr && row->kind != RowKind::Header
        && QFontMetrics(row->kind == RowKind::File ? titleFont() : menuFont()).horizontalAdvance(row->title)
            > titleWidth(*row))
        QToolTip::showText(help->globalPos(), row->title, this);
    else
        QToolTip::hideText();
    return true;
}

void VyListMenu::openContextMenu(const Row& row, const QPoint& globalPos)
{
    if (m_contextMenu != nullptr)
        m_contextMenu->close();
    auto* menu = new QMenu(this);
    menu->setObjectName(QStringLiteral("revealMenu"));
    menu->setAttribute(Qt::WA_DeleteOnClose);
    const QString path = row.item->itemPath();
    menu->addAction(QStringLiteral("Reveal in Finder"), menu, [path] { FileReveal::reveal(path); });
    m_contextMenu = menu;
    menu->popup(globalPos);
}

void VyListMenu::paintEvent(QPaintEvent* event)
{
    QPainter painter(this);
    const QRect exposed = event->rect();
    // The background stays put behind the rows: stretched over the visible part.
    QRect visible = visibleRegion().boundingRect();
    if (visible.isEmpty())
        visible = exposed;
    if (!m_image.isNull())
        painter.drawPixmap(visible, m_image);
    else
        painter.fillRect(exposed, QColor(0xdf, 0xe4, 0xea));

    painter.setRenderHint(QPainter::Antialiasing);
    if (m_showsFiles) {
        const int first = std::max(0, (exposed.top() - kFirstFileY) / kItemHeight);
        const int last = std::min(static_cast<int>(m_rows.size()) - 1, (exposed.bottom() - kFirstFileY) / kItemHeight);
        for (int i = first; i <= last; ++i)
            paintRow(painter, m_rows[static_cast<size_t>(i)], i);
        return;
    }
    for (size_t i = 0; i < m_rows.size(); ++i) {
        if (m_rows[i].rect.intersects(exposed))
            paintRow(painter, m_rows[i], static_cast<int>(i));
    }
}

int VyListMenu::titleWidth(const Row& row)
{
    return row.kind == RowKind::File ? row.rect.width() - 40 : row.rect.width() - 56;
}

void VyListMenu::paintRow(QPainter& painter, const Row& row, int index) const
{
    const QRect r = row.rect;
    switch (row.kind) {
    case RowKind::Header: {
        QFont font = titleFont();
        font.setBold(true);
        painter.setFont(font);
        painter.setPen(QColor(0x6c, 0x76, 0x84));
        // The first header reaches above the view: its text sits in the visible part.
        const QRect text = r.top() < 0 ? QRect(10, 0, r.width() - 10, r.bottom()) : r.adjusted(10, 0, 0, 0);
        painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter, row.title);
        return;
    }
    case RowKind::Entry: {
        if (row.isOver) {
            painter.setPen(QPen(QColor(0x9a, 0xa3, 0xae), 1));
            painter.setBrush(QColor(255, 255, 255, 90));
            painter.drawRoundedRect(QRectF(r).adjusted(0.5, 1.5, -6.5, -1.5), 8, 8);
        }
        const QPixmap& icon = listIcon(row.icon, devicePixelRatioF());
        if (!icon.isNull())
            painter.drawPixmap(QRect(r.left() + 4, r.top() + 3, 16, 16), icon);
        painter.setFont(menuFont());
        painter.setPen(QColor(0x22, 0x2a, 0x35));
        painter.drawText(r.adjusted(26, 0, -30, 0), Qt::AlignLeft | Qt::AlignVCenter,
            QFontMetrics(menuFont()).elidedText(row.title, Qt::ElideRight, titleWidth(row)));
        painter.setPen(Qt::NoPen);
        painter.setBrush(row.circleColor);
        painter.drawEllipse(QRectF(r.right() - 24, r.center().y() - 3.5, 7, 7));
        return;
    }
    case RowKind::File: {
        if (row.hasChoosed) {
            painter.setPen(QPen(QColor(0x7d, 0x8a, 0x99), 1));
            painter.setBrush(QColor(0xc4, 0xd3, 0xe6));
            painter.drawRoundedRect(QRectF(r).adjusted(3.5, 1.5, -3.5, -1.5), 8, 8);
        } else if (row.isOver) {
            painter.setPen(QPen(QColor(0x9a, 0xa3, 0xae), 1));
            painter.setBrush(QColor(255, 255, 255, 90));
            painter.drawRoundedRect(QRectF(r).adjusted(3.5, 1.5, -3.5, -1.5), 8, 8);
        }
        const QIcon icon = row.item->thumbnail();
        if (!icon.isNull())
            icon.paint(&painter, QRect(r.left() + 10, r.top() + 3, 16, 16));
        painter.setFont(titleFont());
        painter.setPen(QColor(0x22, 0x2a, 0x35));
        const QString title = index == m_hovered ? row.title.mid(m_showStrPos) : row.title;
        const QRect text = r.adjusted(32, 0, -8, 0);
        painter.drawText(text, Qt::AlignLeft | Qt::AlignVCenter,
            QFontMetrics(titleFont()).elidedText(title, Qt::ElideRight, text.width()));
        return;
    }
    }
}
