#pragma once
// One list of the desktop library (a standard list, a folder or a playlist) as the library
// readers produce it: a name, an icon name, attributes (among them "identifier" and the
// list's "Tracks" or "Movies") and child lists. A node owns its children; children may be
// read from one thread while another adds to them.

#include <QList>
#include <QString>
#include <QVariantMap>

#include <memory>
#include <mutex>

class iMBLibraryNode {
public:
    using Ptr = std::shared_ptr<iMBLibraryNode>;

    iMBLibraryNode() = default;
    iMBLibraryNode(const QString& name, const QString& iconName);
    iMBLibraryNode(const iMBLibraryNode&) = delete;
    iMBLibraryNode& operator=(const iMBLibraryNode&) = delete;

    [[nodiscard]] QString name() const { return m_name; }
    void setName(const QString& name) { m_name = name; }
    [[nodiscard]] QString iconName() const { return m_iconName; }
    void setIconName(const QString& iconName) { m_iconName = iconName; }

    [[nodiscard]] QVariantMap attributes() const { return m_attributes; }
    [[nodiscard]] QVariant attribute(const QString& key) const { return m_attributes.value(key); }
    // Ignored when the key is empty or the value invalid.
    void setAttribute(const QString& key, const QVariant& value);

    // The "identifier" attribute, or the name when there is none.
    [[nodiscard]] QString identifier() const;
    void setIdentifier(const QString& identifier);
    void setParserClassName(const QString& name);
    void setWatchedPath(const QString& path);

    // The parent the node was added to; null for a root. Valid while the parent lives.
    [[nodiscard]] iMBLibraryNode* parent() const { return m_parent; }

    [[nodiscard]] qsizetype countOfItems() const;
    // Null when `index` is out of range.
    [[nodiscard]] Ptr objectInItemsAtIndex(qsizetype index) const;
    [[nodiscard]] QList<Ptr> items() const;
    void addItem(const Ptr& item);
    void setAllItems(const QList<Ptr>& items);

private:
    QString m_name;
    QString m_iconName;
    QVariantMap m_attributes;
    iMBLibraryNode* m_parent = nullptr;
    mutable std::mutex m_itemsMutex; // guards m_items
    QList<Ptr> m_items;
};
