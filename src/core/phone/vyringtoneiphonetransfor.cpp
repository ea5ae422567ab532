#include "core/phone/vyringtoneiphonetransfor.h"

#include "core/environment/appplaces.h"
#include "core/environment/logging.h"
#include "core/files/atomicfile.h"
#include "core/files/temporarynames.h"
#include "core/library/librarybridge.h"
#include "core/notification/notificationcenter.h"
#include "core/phone/phonemount.h"
#include "core/phone/phoneringtonedatabase.h"
#include "core/phone/phonesignals.h"
#include "core/ringtones/ringtoneinfo.h"
#include "core/text/commonfunctions.h"
#include "media/vyrtmediafiledecoder.h"

#include <QDBusConnection>
#include <QDBusError>
#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSet>

#include <chrono>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

const QString kRingtonesFolder = QStringLiteral("iTunes_Control/Ringtones/");
const QString kDatabaseFile = QStringLiteral("iTunes_Control/iTunes/Ringtones.plist");
const QString kDeviceUnmounted = QString::fromLatin1(PhoneSignals::kDeviceUnmounted);

QString withSeparator(const QString& path)
{
    return path.endsWith(u'/') ? path : path + u'/';
}

// The first free local path for `title` in `folder`: "title.m4r", then "title 1.m4r", ...
QString numberedPath(const QString& folder, const QString& title, int number)
{
    return withSeparator(folder) + (number == 0 ? title : QStringLiteral("%1 %2").arg(title).arg(number))
        + QStringLiteral(".m4r");
}

} // namespace

VyRingtoneiPhoneTransfor::VyRingtoneiPhoneTransfor(const QString& mountPoint, QObject* parent)
    : QObject(parent)
    , m_mountPoint(withSeparator(mountPoint.isEmpty() ? AppPlaces::mountPointWithSeparator() : mountPoint))
    , m_random(static_cast<std::mt19937_64::result_type>(
          std::chrono::high_resolution_clock::now().time_since_epoch().count()))
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
    if (m_leftoverSweep.joinable())
        m_leftoverSweep.join();
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
    startLeftoverSweep();
    Q_EMIT mountStateChanged(true);
}

void VyRingtoneiPhoneTransfor::HandleDeviceDisconnected()
{
    qCInfo(lcPhone) << "Device disconnected now";
    m_mountSuccess.store(false);
    m_unmount.start(m_mountPoint); // a clean-up still running covers this one too
    Q_EMIT mountStateChanged(false);
}

void VyRingtoneiPhoneTransfor::HandleDeviceUmounted()
{
    qCInfo(lcPhone) << "Device umounted now";
    m_mountSuccess.store(false);
    Q_EMIT mountStateChanged(false);
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
    QStringList names;
    plistDictForEach(ringtones, [&](const QString&, plist_t entry) { names.append(plistDictString(entry, "Name")); });
    return CommonFunctions::freeNameNumber(names, QFileInfo(fileName).completeBaseName());
}

bool VyRingtoneiPhoneTransfor::checkIndexExistInPlist(const QString& guid, plist_t ringtones)
{
    bool found = false;
    plistDictForEach(ringtones, [&](const QString&, plist_t entry) {
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

qint64 VyRingtoneiPhoneTransfor::nextPid(plist_t ringtones)
{
    QSet<qint64> taken;
    plistDictForEach(ringtones, [&](const QString&, plist_t entry) {
        plist_t pid = plist_get_node_type(entry) == PLIST_DICT ? plist_dict_get_item(entry, "PID") : nullptr;
        uint64_t value = 0;
        if (pid != nullptr && plist_get_node_type(pid) == PLIST_UINT) {
            plist_get_uint_val(pid, &value);
            taken.insert(static_cast<qint64>(value));
        }
    });
    std::uniform_int_distribution<qint64> values(
        std::numeric_limits<qint64>::min(), std::numeric_limits<qint64>::max());
    for (;;) {
        const qint64 pid = values(m_random);
        if (pid != 0 && !taken.contains(pid))
            return pid;
    }
}

double VyRingtoneiPhoneTransfor::probeLength(const QString& path)
{
    // The container's header only: no decoding, so a long list stays quick.
    const MediaFileInfoPtr info = VyRTMediaFileDecoder::getMediaFileInfo(QFile::encodeName(path).toStdString());
    return info && info->duration > 0.0 ? info->duration : 0.0;
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
    // Probed before taking the lock: other store operations need not wait for it.
    const auto totalTimeMs = static_cast<qint64>(std::llround(probeLength(localPath) * 1000.0));
    if (totalTimeMs == 0)
        qCWarning(lcPhone).noquote() << "Cannot read the length of" << localPath << "; its entry says 0 ms";
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

    // Only now that the file is complete on the phone does its entry go in.
    database.addEntry(result.phoneName,
        { QFileInfo(result.phoneName).completeBaseName(), nextGuid(ringtones), totalTimeMs, nextPid(ringtones) });
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

QList<QVariantMap> VyRingtoneiPhoneTransfor::listRingtones(bool withLengths)
{
    QList<QVariantMap> list;
    {
        const std::lock_guard lock(PhoneRingtoneDatabase::lock());
        qCInfo(lcPhone) << "getFileNamesFromiPhone:Copy Ringtones.plist to tmp ....";
        PhoneRingtoneDatabase database = PhoneRingtoneDatabase::load(databasePath());
        if (database.state() != PhoneRingtoneDatabase::State::Loaded) {
            qCInfo(lcPhone) << "Copy Ringtones.plist to tmp error....";
            return list;
        }
        plistDictForEach(database.ringtones(), [&](const QString& key, plist_t entry) {
            list.append(QVariantMap { { QStringLiteral("name"), plistDictString(entry, "Name") },
                { QStringLiteral("path"), phonePath(key) } });
        });
    }
    // The files are probed outside the lock: a transfer need not wait for a long list.
    if (withLengths)
        for (QVariantMap& ringtone : list)
            ringtone.insert(QStringLiteral("length"), probeLength(ringtone.value(QStringLiteral("path")).toString()));
    return list;
}

QString VyRingtoneiPhoneTransfor::localTitleForName(const QString& name)
{
    QString title = name;
    if (title.endsWith(QStringLiteral(".m4r"), Qt::CaseInsensitive))
        title.chop(4);
    return LibraryBridge::fileNameForTitle(title);
}

bool VyRingtoneiPhoneTransfor::GetRingtone(const QString& fileName, const QString& localPath)
{
    const QString source = phonePath(fileName);
    // One copy: into the ringtone library when no target is given, else to the target,
    // which the manager places in the library's ringtone folder.
    if (localPath.isEmpty()) {
        const QString title = localTitleForName(QFileInfo(fileName).completeBaseName());
        return !title.isEmpty() && !LibraryBridge::addFile(source, title).isEmpty();
    }
    QString why;
    // Through a temporary name, and never over a file already at the target.
    if (!AtomicFile::writeCopy(source, localPath, AtomicFile::Existing::Keep, &why)) {
        qCWarning(lcPhone).noquote() << "Copying" << source << "to" << localPath << "failed:" << why;
        return false;
    }
    return true;
}

PhonePullResult VyRingtoneiPhoneTransfor::pullRingtone(const QString& name, const QString& folder)
{
    PhonePullResult result;
    QString fileName;
    {
        const std::lock_guard lock(PhoneRingtoneDatabase::lock());
        PhoneRingtoneDatabase database = PhoneRingtoneDatabase::load(databasePath());
        fileName = database.fileNameOf(name);
    }
    if (fileName.isEmpty()) {
        result.error = QStringLiteral("there is no ringtone named \"%1\" on the phone").arg(name);
        return result;
    }
    const QString title = localTitleForName(name);
    if (title.isEmpty()) {
        result.error = QStringLiteral("\"%1\" cannot name a file").arg(name);
        return result;
    }
    if (!QFileInfo::exists(phonePath(fileName))) {
        result.error = QStringLiteral("the phone has no file %1").arg(fileName);
        return result;
    }
    for (int number = 0; number < 10000; ++number) {
        const QString target = numberedPath(folder, title, number);
        if (QFileInfo::exists(target))
            continue;
        if (GetRingtone(fileName, target)) {
            result.path = target;
            return result;
        }
        if (!QFileInfo::exists(target)) // not a name taken meanwhile: the copy itself failed
            break;
    }
    result.error = QStringLiteral("cannot copy %1 into %2").arg(fileName, folder);
    return result;
}

PhoneRemoveResult VyRingtoneiPhoneTransfor::removeRingtone(const QString& name)
{
    return removeEntryAndFile([&name](PhoneRingtoneDatabase& database, PhoneRemoveResult& result) {
        result.fileName = database.fileNameOf(name);
        if (result.fileName.isEmpty())
            result.error = QStringLiteral("there is no ringtone named \"%1\" on the phone").arg(name);
    });
}

PhoneRemoveResult VyRingtoneiPhoneTransfor::removeRingtoneFile(const QString& fileName)
{
    return removeEntryAndFile([&fileName](PhoneRingtoneDatabase& database, PhoneRemoveResult& result) {
        plist_t ringtones = database.ringtones();
        if (ringtones != nullptr && plist_dict_get_item(ringtones, fileName.toUtf8().constData()) != nullptr)
            result.fileName = fileName;
        else
            result.error = QStringLiteral("the phone's ringtone database has no entry for %1").arg(fileName);
    });
}

PhoneRemoveResult VyRingtoneiPhoneTransfor::removeEntryAndFile(const FindEntry& find)
{
    PhoneRemoveResult result;
    const std::lock_guard lock(PhoneRingtoneDatabase::lock());
    PhoneRingtoneDatabase database = PhoneRingtoneDatabase::load(databasePath());
    if (database.state() != PhoneRingtoneDatabase::State::Loaded) {
        // Nothing is written after a failed read, so no entry is lost.
        result.error = database.state() == PhoneRingtoneDatabase::State::Missing
            ? QStringLiteral("the phone has no ringtone database")
            : database.error();
        return result;
    }
    find(database, result);
    if (result.fileName.isEmpty()) {
        result.notFound = true;
        return result;
    }
    database.removeEntry(result.fileName);
    QString why;
    if (!database.save(databasePath(), &why)) {
        result.error = why;
        return result;
    }
    result.entryRemoved = true;
    // The entry goes first: a file left without one is only an orphan, while an entry
    // without its file would show a ringtone that cannot play. A key naming anything but a
    // plain file in the ringtone folder is not followed.
    const QString path = phonePath(result.fileName);
    const bool plainName = QFileInfo(result.fileName).fileName() == result.fileName && result.fileName != u"."
        && result.fileName != u"..";
    result.fileRemoved = plainName && (!QFileInfo::exists(path) || QFile::remove(path));
    if (!result.fileRemoved)
        result.error = QStringLiteral("the entry is gone, but the file %1 could not be deleted").arg(path);
    return result;
}

QStringList VyRingtoneiPhoneTransfor::sweepOrphans()
{
    QStringList deleted;
    const std::lock_guard lock(PhoneRingtoneDatabase::lock());
    // Our unfinished writes go whatever the database says (each is logged, not listed).
    (void)sweepLeftoversLocked();
    PhoneRingtoneDatabase database = PhoneRingtoneDatabase::load(databasePath());
    plist_t ringtones = database.ringtones();
    // An empty or unreadable database would make every ringtone look orphaned.
    if (database.state() != PhoneRingtoneDatabase::State::Loaded || ringtones == nullptr
        || plist_dict_get_size(ringtones) == 0)
        return deleted;
    const QFileInfoList files = QDir(ringtoneFolder()).entryInfoList(QDir::Files | QDir::NoSymLinks, QDir::Name);
    for (const QFileInfo& file : files) {
        const QString name = file.fileName();
        if (name.startsWith(u'.') || plist_dict_get_item(ringtones, name.toUtf8().constData()) != nullptr)
            continue;
        if (QFile::remove(file.filePath())) {
            qCInfo(lcPhone).noquote() << "Deleted" << name << "from the phone: no database entry names it";
            deleted.append(name);
        } else {
            qCWarning(lcPhone).noquote() << "Could not delete the orphaned ringtone" << file.filePath();
        }
    }
    return deleted;
}

QStringList VyRingtoneiPhoneTransfor::sweepLeftovers()
{
    const std::lock_guard lock(PhoneRingtoneDatabase::lock());
    return sweepLeftoversLocked();
}

QStringList VyRingtoneiPhoneTransfor::sweepLeftoversLocked() const
{
    return TemporaryNames::sweep(ringtoneFolder()) + TemporaryNames::sweep(QFileInfo(databasePath()).path());
}

void VyRingtoneiPhoneTransfor::startLeftoverSweep()
{
    // One at a time; a connection while one runs is covered by it.
    if (m_sweeping.exchange(true))
        return;
    if (m_leftoverSweep.joinable())
        m_leftoverSweep.join(); // already done: the flag was down
    m_leftoverSweep = std::thread([this] {
        sweepLeftovers();
        m_sweeping.store(false);
    });
}

PhoneEjectResult VyRingtoneiPhoneTransfor::eject()
{
    PhoneEjectResult result;
    // Transfers, removals and listings hold the lock: none is cut off mid-write.
    const std::lock_guard lock(PhoneRingtoneDatabase::lock());
    QString folder = m_mountPoint;
    folder.chop(1);
    if (PhoneMount::unmount(folder) && !PhoneMount::isMounted(folder)) {
        result.ejected = true;
        qCInfo(lcPhone).noquote() << "Ejected the phone at" << folder;
    } else {
        result.error
            = QStringLiteral("the phone at %1 could not be ejected: a program may still be using it").arg(folder);
        qCWarning(lcPhone).noquote() << result.error;
    }
    return result;
}
