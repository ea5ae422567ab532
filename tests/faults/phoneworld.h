#pragma once
// What the fault and kill tests read back from a phone's media partition (the real folder
// under the mount): the database's entries, the files under real names and the hidden ones.

#include "core/files/temporarynames.h"
#include "core/phone/phoneringtonedatabase.h"
#include "core/phone/phonetestsupport.h"

#include <QDir>
#include <QMap>
#include <QStringList>

#include <optional>

struct PhoneState {
    std::optional<QMap<QString, QString>> entries; // file name -> "Name"; none when unreadable
    QStringList ringtones; // files under real names in the ringtone folder
    QStringList hidden; // hidden names in the ringtone and database folders
    QStringList strangers; // hidden names that are not our temporary names

    [[nodiscard]] static PhoneState read(const PhonePartitionFixture& phone)
    {
        PhoneState state;
        PhoneRingtoneDatabase database = PhoneRingtoneDatabase::load(phone.databasePath());
        if (database.state() == PhoneRingtoneDatabase::State::Loaded) {
            QMap<QString, QString> entries;
            plistDictForEach(database.ringtones(),
                [&](const QString& key, plist_t entry) { entries.insert(key, plistDictString(entry, "Name")); });
            state.entries = entries;
        }
        const QDir ringtones(phone.root() + QStringLiteral("/iTunes_Control/Ringtones"));
        state.ringtones = ringtones.entryList(QDir::Files, QDir::Name);
        for (const QString& name : phone.filesOnPhone()) {
            if (!name.startsWith(u'.'))
                continue;
            state.hidden.append(name);
            if (!TemporaryNames::isOurs(name))
                state.strangers.append(name);
        }
        return state;
    }
};
