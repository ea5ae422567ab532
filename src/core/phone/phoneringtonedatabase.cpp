#include "core/phone/phoneringtonedatabase.h"

#include "core/files/atomicfile.h"

#include <QFile>

#include <algorithm>
#include <cstdlib>

namespace {

constexpr auto kRingtonesKey = "Ringtones";
constexpr char kBinaryMagic[] = "bplist00";

} // namespace

QString plistDictString(plist_t dict, const char* key)
{
    if (dict == nullptr || plist_get_node_type(dict) != PLIST_DICT)
        return {};
    plist_t node = plist_dict_get_item(dict, key);
    if (node == nullptr || plist_get_node_type(node) != PLIST_STRING)
        return {};
    uint64_t length = 0;
    const char* value = plist_get_string_ptr(node, &length);
    return QString::fromUtf8(value, static_cast<qsizetype>(length));
}

void plistDictForEach(plist_t dict, const std::function<void(const QString&, plist_t)>& visit)
{
    if (dict == nullptr || plist_get_node_type(dict) != PLIST_DICT)
        return;
    plist_dict_iter iter = nullptr;
    plist_dict_new_iter(dict, &iter);
    for (;;) {
        char* key = nullptr;
        plist_t value = nullptr;
        plist_dict_next_item(dict, iter, &key, &value);
        if (key == nullptr || value == nullptr) {
            std::free(key);
            break;
        }
        const QString name = QString::fromUtf8(key);
        std::free(key);
        visit(name, value);
    }
    std::free(iter);
}

std::mutex& PhoneRingtoneDatabase::lock()
{
    static std::mutex mutex;
    return mutex;
}

PhoneRingtoneDatabase PhoneRingtoneDatabase::load(const QString& path)
{
    PhoneRingtoneDatabase database;
    QFile file(path);
    if (!file.exists()) {
        database.m_state = State::Missing;
        database.m_format = Format::Binary; // what the phone itself keeps
        database.m_root.reset(plist_new_dict());
        return database;
    }
    if (!file.open(QIODevice::ReadOnly)) {
        database.m_state = State::Unreadable;
        database.m_error = QStringLiteral("cannot read %1: %2").arg(path, file.errorString());
        return database;
    }
    const QByteArray data = file.readAll();
    PlistPtr root = plistio::parse(data);
    if (!root || plist_get_node_type(root.get()) != PLIST_DICT) {
        database.m_state = State::Unreadable;
        database.m_error = QStringLiteral("%1 is not a readable ringtone database").arg(path);
        return database;
    }
    database.m_state = State::Loaded;
    database.m_format = data.startsWith(kBinaryMagic) ? Format::Binary : Format::Xml;
    database.m_root = std::move(root);
    return database;
}

plist_t PhoneRingtoneDatabase::ringtones(bool create)
{
    if (!m_root)
        return nullptr;
    plist_t dict = plist_dict_get_item(m_root.get(), kRingtonesKey);
    if (dict != nullptr && plist_get_node_type(dict) == PLIST_DICT)
        return dict;
    if (!create)
        return nullptr;
    // A "Ringtones" that is not a dictionary cannot hold entries; it is replaced.
    plist_dict_set_item(m_root.get(), kRingtonesKey, plist_new_dict());
    return plist_dict_get_item(m_root.get(), kRingtonesKey);
}

bool PhoneRingtoneDatabase::addEntry(const QString& fileName, const NewEntry& entry)
{
    plist_t dict = ringtones(true);
    if (dict == nullptr)
        return false;
    plist_t node = plist_new_dict();
    plist_dict_set_item(node, "GUID", plist_new_string(entry.guid.toUtf8().constData()));
    plist_dict_set_item(node, "Name", plist_new_string(entry.name.toUtf8().constData()));
    // The property list integer is 64 bits either way; a negative PID is written as such.
    plist_dict_set_item(
        node, "Total Time", plist_new_uint(static_cast<uint64_t>(std::max<qint64>(entry.totalTimeMs, 0))));
    plist_dict_set_item(node, "PID", plist_new_uint(static_cast<uint64_t>(entry.pid)));
    plist_dict_set_item(node, "Protected Content", plist_new_bool(0));
    plist_dict_set_item(node, "Media Kind", plist_new_string("ringtone"));
    plist_dict_set_item(dict, fileName.toUtf8().constData(), node);
    return true;
}

bool PhoneRingtoneDatabase::removeEntry(const QString& fileName)
{
    plist_t dict = ringtones();
    const QByteArray key = fileName.toUtf8();
    if (dict == nullptr || plist_dict_get_item(dict, key.constData()) == nullptr)
        return false;
    plist_dict_remove_item(dict, key.constData());
    return true;
}

QString PhoneRingtoneDatabase::fileNameOf(const QString& name)
{
    QString found;
    plistDictForEach(ringtones(), [&](const QString& key, plist_t entry) {
        if (found.isEmpty() && plistDictString(entry, "Name") == name)
            found = key;
    });
    return found;
}

bool PhoneRingtoneDatabase::save(const QString& path, QString* error) const
{
    if (!writable() || !m_root) {
        if (error != nullptr)
            *error = QStringLiteral("the phone's ringtone database cannot be read, so it is left as it is");
        return false;
    }
    const QByteArray data = m_format == Format::Binary ? plistio::toBinary(m_root.get()) : plistio::toXml(m_root.get());
    // What libplist could not encode (a key that is not UTF-8 in a binary database) would
    // be cut or dropped, entries of the phone's with it: refuse rather than lose them.
    if (data.isEmpty() || !plistio::equal(plistio::parse(data).get(), m_root.get())) {
        if (error != nullptr)
            *error = QStringLiteral("the ringtone database could not be encoded");
        return false;
    }
    return AtomicFile::writeData(path, data, AtomicFile::Existing::Replace, error);
}
