#pragma once
// One file row's item in the library list: what the editor is asked to load, and what
// tells the list which row is the open file. Other windows hand the editor items of their
// own (a recording, a Groove Box rhythm) that offer the same properties; equality is
// judged through the properties so both kinds compare.
//
// Main thread only.

#include <QIcon>
#include <QObject>
#include <QString>

class VyListMenuChildItem : public QObject {
    Q_OBJECT
    Q_PROPERTY(QString itemTitle READ itemTitle CONSTANT)
    Q_PROPERTY(int itemNumber READ itemNumber CONSTANT)
    Q_PROPERTY(QString itemPath READ itemPath CONSTANT)
    Q_PROPERTY(QString fatherItemTitle READ fatherItemTitle WRITE setFatherItemTitle)
    Q_PROPERTY(QIcon thumbnail READ thumbnail)

public:
    // `number` counts from 1 in its list; 0 for an item made outside the list.
    VyListMenuChildItem(QString title, int number, QString path, QString fatherTitle, QObject* parent = nullptr);
    // A copy of any object offering the properties above (a missing number counts as 0).
    static VyListMenuChildItem* copyOf(const QObject* item, QObject* parent);

    [[nodiscard]] QString itemTitle() const { return m_title; }
    [[nodiscard]] int itemNumber() const { return m_number; }
    [[nodiscard]] QString itemPath() const { return m_path; }
    [[nodiscard]] QString fatherItemTitle() const { return m_fatherTitle; }
    void setFatherItemTitle(const QString& title) { m_fatherTitle = title; }
    // The file's icon by its type, looked up when first asked (a list may hold thousands
    // of files); none for the search's placeholder.
    [[nodiscard]] QIcon thumbnail() const;

    // Path, parent title, number and title all equal.
    [[nodiscard]] bool isEqualTo(const QObject* other) const;
    [[nodiscard]] static bool same(const QObject* a, const QObject* b);

private:
    QString m_title;
    int m_number = 0;
    QString m_path;
    QString m_fatherTitle;
    mutable QIcon m_thumbnail;
    mutable bool m_thumbnailLooked = false;
};

// The icon of a file by its type, from the desktop's icon theme or, lacking one, Qt's
// generic file icon. Cached by type.
[[nodiscard]] QIcon fileTypeIcon(const QString& path);
