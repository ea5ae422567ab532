#include "core/phone/vyringtoneiphonetransfor.h"

#include "core/environment/appplaces.h"
#include "core/environment/logging.h"
#include "core/files/atomicfile.h"
#include "core/library/vysynctoitunes.h"
#include "core/notification/notificationcenter.h"
#include "core/phone/phonemount.h"
#include "core/phone/phoneringtonedatabase.h"
#include "core/phone/phonesignals.h"
#include "core/text/leadingnumber.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDateTime>
#include <QFile>
#include <QFileInfo>

#include <chrono>
#include <cstring>

namespace {

const QString kRingtonesFolder = QStringLiteral("iTunes_Control/Ringtones/");
const QString kDatabaseFile = QStringLiteral("iTunes_Control/iTunes/Ringtones.plist");
const QString kDeviceUnmounted = QString::fromLatin1(PhoneSignals::kDeviceUnmounted);

QString withSeparator(const QString& path)
{
    return path.endsWith(u'/') ? path : path + u'/';
}

// Dictionary keys and string values of a plist dictionary, in its order.
template <typename Visit> void forEachEntry(plist_t dict, Visit visit)
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

} // namespace

VyRingtoneiPhoneTransfor::VyRingtoneiPhoneTransfor(const QString& mountPoint, QObject* parent)
    : QObject(parent)
    , m_mountPoint(withSeparator(mountPoint.isEmpty() ? AppPlaces::mountPointWithSeparator() : mountPoint))
    , m_random(
          static_cast<std::mt19937::result_type>(std::chrono::high_resolution_clock::now().time_since_epoch().count()))
{
}

VyRingtoneiPhoneTransfor* VyRingtoneiPhoneTransfor::initWithMountPoint(const QString& mountPoint, QObject* parent)
{
    auto* link = new VyRingtoneiPhoneTransfor(mountPoint, parent);
    // A mount left by an earlier run: unmount it and remove the folder if it is then empty.
    if (QFileInfo::exists(link->m_mountPoint) || PhoneMount::isMounted(link->m_mountPoint))
        PhoneMount::unmountAndRemove(link->m_mountPoint);
    link->observe();
    return link;
}

VyRingtoneiPhoneTransfor::~VyRingtoneiPhoneTransfor()
{
    NotificationCenter::defaultCenter().removeObserver(this);
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (bus.isConnected()) {
        const QString path = QString::fromLatin1(PhoneSignals::kPath);
        const QString interface = QString::fromLatin1(PhoneSignals::kInterface);
        bus.disconnect({}, path, interface, QString::fromLatin1(PhoneSignals::kDeviceConnected), this,
            SLOT(onBusDeviceConnected()));
        bus.disconnect({}, path, interface, QString::fromLatin1(PhoneSignals::kDeviceDisconnected), this,
            SLOT(onBusDeviceDisconnected()));
        bus.disconnect({}, path, interface, kDeviceUnmounted, this, SLOT(onBusDeviceUnmounted()));
    }
}

void VyRingtoneiPhoneTransfor::observe()
{
    NotificationCenter::defaultCenter().addObserver(
        this, kDeviceUnmounted, nullptr, [this](const Notification&) { HandleDeviceUmounted(); });
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        qCWarning(lcPhone) << "No session bus: the phone link is unavailable";
        return;
    }
    const QString path = QString::fromLatin1(PhoneSignals::kPath);
    const QString interface = QString::fromLatin1(PhoneSignals::kInterface);
    const bool connected = bus.connect({}, path, interface, QString::fromLatin1(PhoneSignals::kDeviceConnected), this,
                               SLOT(onBusDeviceConnected()))
        && bus.connect({}, path, interface, QString::fromLatin1(PhoneSignals::kDeviceDisconnected), this,
            SLOT(onBusDeviceDisconnected()))
        && bus.connect({}, path, interface, kDeviceUnmounted, this, SLOT(onBusDeviceUnmounted()));
    if (!connected)
        qCWarning(lcPhone) << "Cannot follow the phone helper's signals:" << bus.lastError().message();
}

void VyRingtoneiPhoneTransfor::onBusDeviceConnected()
{
    HandleDeviceConnected();
}
void VyRingtoneiPhoneTransfor::onBusDeviceDisconnected()
{
    HandleDeviceDisconnected();
}
void VyRingtoneiPhoneTransfor::onBusDeviceUnmounted()
{
    HandleDeviceUmounted();
}

void VyRingtoneiPhoneTransfor::HandleDeviceConnected()
{
    qCInfo(lcPhone) << "Device connected now.";
    m_mountSuccess.store(true);
}

void VyRingtoneiPhoneTransfor::HandleDeviceDisconnected()
{
    qCInfo(lcPhone) << "Device disconnected now";
    m_mountSuccess.store(false);
    m_unmount.start(m_mountPoint); // a clean-up still running covers this one too
}

void VyRingtoneiPhoneTransfor::HandleDeviceUmounted()
{
    qCInfo(lcPhone) << "Device umounted now";
    m_mountSuccess.store(false);
}

QString VyRingtoneiPhoneTransfor::ringtoneFolder() const
{
    return m_mountPoint + kRingtonesFolder;
}
QString VyRingtoneiPhoneTransfor::databasePath() const
{
    return m_mountPoint + kDatabaseFile;
}

int VyRingtoneiPhoneTransfor::checkFileExistInPlist(const QString& fileName, plist_t ringtones)
{
    if (ringtones == nullptr || plist_dict_get_size(ringtones) == 0)
        return 0;
    const QString base = QFileInfo(fileName).completeBaseName();
    const QString prefix = base + u' ';
    bool exact = false;
    int largest = 0;
    forEachEntry(ringtones, [&](const QString&, plist_t entry) {
        const QString name = plistDictString(entry, "Name");
        if (name == base) {
            exact = true;
        } else if (name.size() > base.size() + 1 && name.startsWith(prefix)) {
            largest = std::max(largest, leadingInt(QStringView(name).mid(prefix.size())));
        }
    });
    if (largest != 0)
        return largest + 1;
    return exact ? 1 : 0;
}

bool VyRingtoneiPhoneTransfor::checkIndexExistInPlist(const QString& guid, plist_t ringtones)
{
    bool found = false;
    forEachEntry(ringtones, [&](const QString&, plist_t entry) {
        if (!found && plistDictString(entry, "GUID") == guid)
            found = true;
    });
    return found;
}

QString VyRingtoneiPhoneTransfor::guidString(int value)
{
    // What "%016.16d" prints (the precision already pads with zeros).
    return QString::asprintf("%.16d", value);
}

QString VyRingtoneiPhoneTransfor::nextGuid(plist_t ringtones)
{
    std::uniform_int_distribution<int> values(0, 0x7fffffff);
    for (;;) {
        const QString guid = guidString(values(m_random));
        if (!checkIndexExistInPlist(guid, ringtones))
            return guid;
    }
}

bool VyRingtoneiPhoneTransfor::TransforRingtonToiPhone(const QString& localPath, char* newName)
{
    if (localPath.isEmpty() || newName == nullptr)
        return false;
    const PhoneTransferResult result = transferRingtone(localPath);
    const QByteArray name = result.phoneName.toUtf8();
    if (result.copied && static_cast<std::size_t>(name.size()) < kNameBufferSize)
        std::memcpy(newName, name.constData(), static_cast<std::size_t>(name.size()) + 1);
    return result.copied;
}

PhoneTransferResult VyRingtoneiPhoneTransfor::transferRingtone(const QString& localPath)
{
    PhoneTransferResult result;
    if (localPath.isEmpty()) {
        result.error = QStringLiteral("no ringtone file was given");
        return result;
    }
    const std::lock_guard lock(PhoneRingtoneDatabase::lock());

    qCInfo(lcPhone) << "Copy Ringtones.plist to tmp ....";
    PhoneRingtoneDatabase database = PhoneRingtoneDatabase::load(databasePath());
    if (database.state() != PhoneRingtoneDatabase::State::Loaded)
        qCInfo(lcPhone) << "Copy Ringtones.plist to tmp error....";
    if (!database.writable())
        qCWarning(lcPhone).noquote() << database.error();

    plist_t ringtones = database.ringtones(database.writable());
    const QFileInfo local(localPath);
    const int number = checkFileExistInPlist(local.fileName(), ringtones);
    result.phoneName = number == 0
        ? local.fileName()
        : QStringLiteral("%1 %2.%3").arg(local.completeBaseName()).arg(number).arg(local.suffix());
    if (static_cast<std::size_t>(result.phoneName.toUtf8().size()) >= kNameBufferSize) {
        result.error = QStringLiteral("the name %1 is too long for the phone").arg(result.phoneName);
        qCWarning(lcPhone).noquote() << result.error;
        return result;
    }

    qCInfo(lcPhone).noquote() << "Copying ringtone file to"
                              << m_mountPoint + QStringLiteral("iTunes_Control/Ringtones");
    QString why;
    result.copied = AtomicFile::writeCopy(localPath, phonePath(result.phoneName), AtomicFile::Existing::Replace, &why);
    if (!result.copied) {
        // No entry for a file that is not there.
        result.error = why;
        qCWarning(lcPhone).noquote() << "Copying the ringtone to the phone failed:" << why;
        return result;
    }
    if (!database.writable()) {
        result.error = QStringLiteral("the ringtone was copied, but the phone's ringtone database cannot be read, "
                                      "so it was not registered");
        return result;
    }

    database.addEntry(result.phoneName, nextGuid(ringtones), QFileInfo(result.phoneName).completeBaseName());
    result.registered = database.save(databasePath(), &why);
    if (!result.registered) {
        result.error = why;
        qCWarning(lcPhone).noquote() << QStringLiteral(
            "Copy Ringtone file (Ringtones.plist) to %1/iTunes_Control/iTunes/Ringtones.plist erorr!")
                                            .arg(m_mountPoint)
                                     << why;
    }
    return result;
}

std::optional<QList<QVariantMap>> VyRingtoneiPhoneTransfor::getFileNamesFromiPhone()
{
    if (!isMountSuccess())
        return std::nullopt;
    return listRingtones();
}

QList<QVariantMap> VyRingtoneiPhoneTransfor::listRingtones()
{
    QList<QVariantMap> list;
    const std::lock_guard lock(PhoneRingtoneDatabase::lock());
    qCInfo(lcPhone) << "getFileNamesFromiPhone:Copy Ringtones.plist to tmp ....";
    PhoneRingtoneDatabase database = PhoneRingtoneDatabase::load(databasePath());
    if (database.state() != PhoneRingtoneDatabase::State::Loaded) {
        qCInfo(lcPhone) << "Copy Ringtones.plist to tmp error....";
        return list;
    }
    forEachEntry(database.ringtones(), [&](const QString& key, plist_t entry) {
        list.append(QVariantMap {
            { QStringLiteral("name"), plistDictString(entry, "Name") }, { QStringLiteral("path"), phonePath(key) } });
    });
    return list;
}

bool VyRingtoneiPhoneTransfor::GetRingtone(const QString& fileName, const QString& localPath)
{
    const QString source = phonePath(fileName);
    VySyncToITunes().addFileToiTunesLibrary({ source }, { QFileInfo(fileName).completeBaseName() }, false);
    if (!localPath.isEmpty() && !QFileInfo::exists(localPath))
        copyFile(source, localPath);
    return true;
}

bool VyRingtoneiPhoneTransfor::copyFile(const QString& sourcePath, const QString& destinationPath)
{
    QFile source(sourcePath);
    if (!source.open(QIODevice::ReadOnly))
        return false;
    // An empty source writes nothing, so the destination is not even created or emptied.
    if (source.size() <= 0)
        return false;
    QFile destination(destinationPath);
    if (!destination.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return false;
    const qint64 copied = AtomicFile::streamCopy(source, destination);
    return copied == source.size() && destination.flush();
}
