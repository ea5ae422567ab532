#include "core/medialibrary/imblibrarynode.h"

iMBLibraryNode::iMBLibraryNode(const QString& name, const QString& iconName)
    : m_name(name)
    , m_iconName(iconName)
{
}

void iMBLibraryNode::setAttribute(const QString& key, const QVariant& value)
{
    if (!key.isEmpty() && value.isValid())
        m_attributes.insert(key, value);
}

QString iMBLibraryNode::identifier() const
{
    const auto found = m_attributes.constFind(QStringLiteral("identifier"));
    return found != m_attributes.constEnd() ? found->toString() : m_name;
}

void iMBLibraryNode::setIdentifier(const QString& identifier)
{
    setAttribute(QStringLiteral("identifier"), identifier);
}

void iMBLibraryNode::setParserClassName(const QString& name)
{
    setAttribute(QStringLiteral("parserClassName"), name);
}

void iMBLibraryNode::setWatchedPath(const QString& path)
{
    setAttribute(QStringLiteral("watchedPath"), path);
}

qsizetype iMBLibraryNode::countOfItems() const
{
    const std::lock_guard lock(m_itemsMutex);
    return m_items.size();
}

iMBLibraryNode::Ptr iMBLibraryNode::objectInItemsAtIndex(qsizetype index) const
{
    const std::lock_guard lock(m_itemsMutex);
    return index >= 0 && index < m_items.size() ? m_items.at(index) : nullptr;
}

QList<iMBLibraryNode::Ptr> iMBLibraryNode::items() const
{
    const std::lock_guard lock(m_itemsMutex);
    return m_items;
}

void iMBLibraryNode::addItem(const Ptr& item)
{
    if (!item)
        return;
    item->m_parent = this;
    const std::lock_guard lock(m_itemsMutex);
    m_items.append(item);
}

void iMBLibraryNode::setAllItems(const QList<Ptr>& items)
{
    for (const Ptr& item : items)
        if (item)
            item->m_parent = this;
    const std::lock_guard lock(m_itemsMutex);
    m_items.clear();
    for (const Ptr& item : items)
        if (item)
            m_items.append(item);
}
