#include "core/phone/phoneringtonedatabase.h"

#include "core/files/atomicfile.h"

#include <QFile>

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

bool PhoneRingtoneDatabase::addEntry(const QString& fileName, const QString& guid, const QString& name)
{
    plist_t dict = ringtones(true);
    if (dict == nullptr)
        return false;
    plist_t entry = plist_new_dict();
    plist_dict_set_item(entry, "GUID", plist_new_string(guid.toUtf8().constData()));
    plist_dict_set_item(entry, "Name", plist_new_string(name.toUtf8().constData()));
    plist_dict_set_item(dict, fileName.toUtf8().constData(), entry);
    return true;
}

bool PhoneRingtoneDatabase::save(const QString& path, QString* error) const
{
    if (!writable() || !m_root) {
        if (error != nullptr)
            *error = QStringLiteral("the phone's ringtone database cannot be read, so it is left as it is");
        return false;
    }
    const QByteArray data = m_format == Format::Binary ? plistio::toBinary(m_root.get()) : plistio::toXml(m_root.get());
    if (data.isEmpty()) {
        if (error != nullptr)
            *error = QStringLiteral("the ringtone database could not be encoded");
        return false;
    }
    return AtomicFile::writeData(path, data, AtomicFile::Existing::Replace, error);
}
