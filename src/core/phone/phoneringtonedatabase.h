#pragma once
// The phone's ringtone database ("iTunes_Control/iTunes/Ringtones.plist"): a property list
// whose "Ringtones" dictionary holds one entry ("GUID", "Name", and whatever else the phone
// keeps) per file in "iTunes_Control/Ringtones/", keyed by the file name.
//
// The database is read whole and written back whole, in the form it was read (phones keep
// it binary), so every key we do not know survives. A database that exists but cannot be
// read is never written over.

#include "core/plist/plistptr.h"

#include <QString>

#include <functional>
#include <mutex>

class PhoneRingtoneDatabase {
public:
    enum class State { Loaded, Missing, Unreadable };
    enum class Format { Xml, Binary };

    // Every read-change-write of a phone database in this process holds this lock.
    [[nodiscard]] static std::mutex& lock();

    // Reads the database at `path`. A missing file gives an empty binary database; a file
    // that is not a property-list dictionary gives State::Unreadable and no root.
    [[nodiscard]] static PhoneRingtoneDatabase load(const QString& path);

    [[nodiscard]] State state() const { return m_state; }
    [[nodiscard]] Format format() const { return m_format; }
    [[nodiscard]] bool writable() const { return m_state != State::Unreadable; }
    [[nodiscard]] const QString& error() const { return m_error; }

    // The "Ringtones" dictionary; null when unreadable. With `create`, a database without
    // one gets an empty one.
    [[nodiscard]] plist_t ringtones(bool create = false);
    [[nodiscard]] plist_t root() const { return m_root.get(); }

    // What an entry we add holds: "Name", "GUID", "Total Time" (milliseconds), "PID",
    // "Protected Content" (false) and "Media Kind" ("ringtone"; "tone" would make it an
    // alert tone).
    struct NewEntry {
        QString name;
        QString guid;
        qint64 totalTimeMs = 0;
        qint64 pid = 0;
    };
    // Adds or replaces the entry for `fileName`.
    bool addEntry(const QString& fileName, const NewEntry& entry);
    // Removes the entry for `fileName`; false when there is none.
    bool removeEntry(const QString& fileName);
    // The file name of the first entry whose "Name" is `name`; empty when there is none.
    [[nodiscard]] QString fileNameOf(const QString& name);

    // Writes the database to `path` through a temporary file in the same folder, in the
    // form it was read. Refuses an unreadable database.
    bool save(const QString& path, QString* error = nullptr) const;

private:
    State m_state = State::Missing;
    Format m_format = Format::Binary;
    PlistPtr m_root;
    QString m_error;
};

// Reads a string value of a dictionary; empty when missing or not a string.
[[nodiscard]] QString plistDictString(plist_t dict, const char* key);

// Calls `visit(key, value)` for each item of a dictionary, in its order.
void plistDictForEach(plist_t dict, const std::function<void(const QString&, plist_t)>& visit);
