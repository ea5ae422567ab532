#include "ui/library/vylistmenuchilditem.h"

#include "core/medialibrary/mediaiteminfo.h"

#include <QFileIconProvider>
#include <QHash>
#include <QMimeDatabase>

VyListMenuChildItem::VyListMenuChildItem(QString title, int number, QString path, QString fatherTitle, QObject* parent)
    : QObject(parent)
    , m_title(std::move(title))
    , m_number(number)
    , m_path(std::move(path))
    , m_fatherTitle(std::move(fatherTitle))
{
}

VyListMenuChildItem* VyListMenuChildItem::copyOf(const QObject* item, QObject* parent)
{
    if (item == nullptr)
        return nullptr;
    return new VyListMenuChildItem(item->property("itemTitle").toString(), item->property("itemNumber").toInt(),
        item->property("itemPath").toString(), item->property("fatherItemTitle").toString(), parent);
}

QIcon VyListMenuChildItem::thumbnail() const
{
    if (!m_thumbnailLooked) {
        m_thumbnailLooked = true;
        if (m_path != kNoMatchingItems)
            m_thumbnail = fileTypeIcon(m_path);
    }
    return m_thumbnail;
}

bool VyListMenuChildItem::isEqualTo(const QObject* other) const
{
    return same(this, other);
}

bool VyListMenuChildItem::same(const QObject* a, const QObject* b)
{
    if (a == nullptr || b == nullptr)
        return false;
    // Our own items compare without the property look-ups: a file list re-marks
    // thousands of rows whenever the mouse enters one.
    const auto* x = qobject_cast<const VyListMenuChildItem*>(a);
    const auto* y = qobject_cast<const VyListMenuChildItem*>(b);
    if (x != nullptr && y != nullptr) {
        return x->m_path == y->m_path && x->m_fatherTitle == y->m_fatherTitle && x->m_number == y->m_number
            && x->m_title == y->m_title;
    }
    for (const char* name : { "itemPath", "fatherItemTitle", "itemTitle" }) {
        if (a->property(name).toString() != b->property(name).toString())
            return false;
    }
    return a->property("itemNumber").toInt() == b->property("itemNumber").toInt();
}

QIcon fileTypeIcon(const QString& path)
{
    static QHash<QString, QIcon> byType;
    // By the name only: reading thousands of files' first bytes would stall the list.
    const QMimeType type = QMimeDatabase().mimeTypeForFile(path, QMimeDatabase::MatchExtension);
    auto found = byType.constFind(type.name());
    if (found != byType.constEnd())
        return *found;
    QIcon icon = QIcon::fromTheme(type.iconName(), QIcon::fromTheme(type.genericIconName()));
    if (icon.isNull())
        icon = QFileIconProvider().icon(QFileIconProvider::File);
    byType.insert(type.name(), icon);
    return icon;
}
