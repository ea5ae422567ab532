#pragma once
// A folder laid out as a phone's media partition, with helpers to write and read its
// ringtone database.

#include "core/plist/plistptr.h"
#include "support/qtfixtures.h"

#include <QByteArray>
#include <QDir>
#include <QString>
#include <QTemporaryDir>

#include <utility>
#include <vector>

class PhonePartitionFixture {
public:
    PhonePartitionFixture()
    {
        QDir(root()).mkpath(QStringLiteral("iTunes_Control/Ringtones"));
        QDir(root()).mkpath(QStringLiteral("iTunes_Control/iTunes"));
    }

    [[nodiscard]] QString root() const { return m_dir.path() + QStringLiteral("/phone"); }
    [[nodiscard]] QString mountPoint() const { return root() + u'/'; }
    [[nodiscard]] QString databasePath() const
    {
        return root() + QStringLiteral("/iTunes_Control/iTunes/Ringtones.plist");
    }
    [[nodiscard]] QString ringtonePath(const QString& name) const
    {
        return root() + QStringLiteral("/iTunes_Control/Ringtones/") + name;
    }
    [[nodiscard]] QString scratch(const QString& name) const { return m_dir.path() + u'/' + name; }

    // A local "ringtone" of `size` bytes of a repeating pattern.
    QString makeLocalFile(const QString& name, qsizetype size = 100000) const
    {
        QByteArray data(size, Qt::Uninitialized);
        for (qsizetype i = 0; i < size; ++i)
            data[i] = static_cast<char>(i * 31 % 251);
        const QString path = scratch(name);
        writeBytes(path, data);
        return path;
    }

    // A database whose "Ringtones" holds entries (file name, "Name"), with GUIDs 1, 2, ...
    using Entries = std::vector<std::pair<const char*, const char*>>;
    static PlistPtr database(const Entries& entries)
    {
        PlistPtr root(plist_new_dict());
        plist_t ringtones = plist_new_dict();
        int guid = 1;
        for (const auto& [file, name] : entries) {
            plist_t entry = plist_new_dict();
            plist_dict_set_item(
                entry, "GUID", plist_new_string(QString::asprintf("%.16d", guid++).toUtf8().constData()));
            plist_dict_set_item(entry, "Name", plist_new_string(name));
            plist_dict_set_item(ringtones, file, entry);
        }
        plist_dict_set_item(root.get(), "Ringtones", ringtones);
        return root;
    }

    void writeDatabase(plist_t root, bool binary) const
    {
        writeBytes(databasePath(), binary ? plistio::toBinary(root) : plistio::toXml(root));
    }

    [[nodiscard]] PlistPtr readDatabase() const { return plistio::parse(readBytes(databasePath())); }

    // Files in the phone's ringtone folder and database folder, hidden ones included.
    [[nodiscard]] QStringList filesOnPhone() const
    {
        return entries(root() + QStringLiteral("/iTunes_Control/Ringtones"))
            + entries(root() + QStringLiteral("/iTunes_Control/iTunes"));
    }

private:
    QTemporaryDir m_dir;
};
