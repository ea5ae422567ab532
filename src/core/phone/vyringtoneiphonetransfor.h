#pragma once
// The application's side of the phone link: whether the phone's media partition is mounted
// and usable, and the phone's ringtone store under the mount point ("iTunes_Control/
// Ringtones/" for the files, "iTunes_Control/iTunes/Ringtones.plist" for the database).
//
// Threads: the notification handlers run on the main thread; isMountSuccess(), the transfer,
// the listing and the fetch may be called from any thread. Every operation on the database
// (read, change, write back) holds one process-wide lock.

#include "core/phone/phonemount.h"

#include <QList>
#include <QObject>
#include <QString>
#include <QVariantMap>

#include <atomic>
#include <cstddef>
#include <functional>
#include <optional>
#include <plist/plist.h>
#include <random>
#include <thread>

class PhoneRingtoneDatabase;

// What a transfer did; the plain BOOL of TransforRingtonToiPhone is `copied`.
struct PhoneTransferResult {
    bool copied = false; // the ringtone file is on the phone under `phoneName`
    bool registered = false; // its entry is in the phone's database
    QString phoneName; // the file name used on the phone, extension included
    QString error; // why something failed, for logs and messages
};

// What a removal did.
struct PhoneRemoveResult {
    bool entryRemoved = false; // the entry is out of the phone's database
    bool fileRemoved = false; // and the file is off the phone
    bool notFound = false; // no entry has that "Name" (or that file name)
    QString fileName; // the phone file name of the entry
    QString error;
};

// What an eject did.
struct PhoneEjectResult {
    bool ejected = false; // nothing is mounted at the mount point any more
    QString error;
};

// What a copy off the phone did.
struct PhonePullResult {
    QString path; // the local file written; empty on failure
    QString error;
};

class VyRingtoneiPhoneTransfor : public QObject {
    Q_OBJECT

public:
    static constexpr std::size_t kNameBufferSize = 512;

    // `init`: the mount point (empty: the default one) and nothing else (no observers, no
    // clean-up); the store works on it, the link state stays down.
    explicit VyRingtoneiPhoneTransfor(const QString& mountPoint = {}, QObject* parent = nullptr);
    // `initWithMountPoint:`: keeps the mount point (a trailing "/" is added when missing),
    // unmounts and removes a mount folder left from an earlier run (an empty-directory
    // removal only), and observes "DeviceConnected", "DeviceDisconnected" and
    // "DeviceUnmounted" on the session bus and "DeviceUnmounted" in the process's
    // notification centre.
    static VyRingtoneiPhoneTransfor* initWithMountPoint(const QString& mountPoint, QObject* parent = nullptr);
    ~VyRingtoneiPhoneTransfor() override;

    [[nodiscard]] bool isMountSuccess() const { return m_mountSuccess.load(); }
    // The mount point, ending in "/".
    [[nodiscard]] QString mountPoint() const { return m_mountPoint; }
    [[nodiscard]] QString ringtoneFolder() const; // mount point + "iTunes_Control/Ringtones/"
    [[nodiscard]] QString databasePath() const; // mount point + "iTunes_Control/iTunes/Ringtones.plist"
    // The phone path of a ringtone file name.
    [[nodiscard]] QString phonePath(const QString& fileName) const { return ringtoneFolder() + fileName; }

    [[nodiscard]] QObject* delegate() const { return m_delegate.load(); }
    void setDelegate(QObject* delegate) { m_delegate.store(delegate); }

    // Copies one ringtone onto the phone and registers it; the phone file name goes into
    // `newName` (kNameBufferSize bytes) as NUL-terminated UTF-8. False for a null path, a
    // failed copy, or a name that does not fit the buffer (then nothing is copied).
    bool TransforRingtonToiPhone(const QString& localPath, char* newName);
    // The same with the whole outcome.
    PhoneTransferResult transferRingtone(const QString& localPath);

    // Dictionaries "name" and "path" in the database's key order. Nothing (not an empty
    // list) while the link is down; an empty list when the database is missing or unreadable.
    std::optional<QList<QVariantMap>> getFileNamesFromiPhone();
    // The same whatever the link state; `withLengths` adds "length", the file's length in
    // seconds from its header (0 when unreadable).
    QList<QVariantMap> listRingtones(bool withLengths = false);

    // Copies the phone ringtone `fileName` to `localPath` through a temporary name, never
    // over an existing file; with no `localPath`, into the ringtone library under the
    // name's title. True only when the ringtone reached its target.
    bool GetRingtone(const QString& fileName, const QString& localPath);

    // Copies the ringtone whose "Name" is `name` into `folder` as name + ".m4r", numbered
    // ("name 1.m4r", ...) past the names the folder already holds.
    PhonePullResult pullRingtone(const QString& name, const QString& folder);

    // Removes the ringtone whose "Name" is `name`: its entry (the database kept in its
    // form) and its file. Nothing is written when the database cannot be read.
    PhoneRemoveResult removeRingtone(const QString& name);
    // The same for the entry keyed by the phone file name `fileName`.
    PhoneRemoveResult removeRingtoneFile(const QString& fileName);

    // Deletes the files in the phone's ringtone folder that no database entry names: only
    // when the database was read and lists at least one entry, under the database lock in
    // the same step as the read, regular files only, never hidden ones. Our temporary
    // names are swept first (sweepLeftovers). The deleted file names, each logged.
    QStringList sweepOrphans();

    // Removes our temporary names (TemporaryNames) from the phone's ringtone folder and
    // database folder: what a copy or a database write cut off by a kill or a vanished
    // mount left there. Under the database lock, so never a write of this process in
    // progress. Also run by sweepOrphans() and, off the main thread, when the phone comes.
    QStringList sweepLeftovers();

    // Waits for running store operations, then unmounts the phone's media partition and
    // checks that nothing is mounted there any more. The link state is left to the
    // "DeviceUnmounted" notification the caller posts on success.
    PhoneEjectResult eject();

    // A local file title for an entry's "Name": a ".m4r" ending dropped, "/" removed;
    // empty for "", "." and "..".
    [[nodiscard]] static QString localTitleForName(const QString& name);
    // The length in seconds from the file's header; 0 when it cannot be read.
    [[nodiscard]] static double probeLength(const QString& path);

    // The number to append to `fileName`'s base name to make it free among the entries'
    // "Name" values; 0 when the name is free as it is.
    static int checkFileExistInPlist(const QString& fileName, plist_t ringtones);
    // A GUID as the database stores it: 16 decimal digits, zero-padded.
    static QString guidString(int value);
    // Whether an entry's "GUID" equals `guid`.
    static bool checkIndexExistInPlist(const QString& guid, plist_t ringtones);

    void HandleDeviceConnected();
    void HandleDeviceDisconnected();
    void HandleDeviceUmounted();

Q_SIGNALS:
    // The link came up or went down (emitted on the main thread, after the state changed).
    void mountStateChanged(bool mounted);

private Q_SLOTS:
    void onBusDeviceConnected();
    void onBusDeviceDisconnected();
    void onBusDeviceUnmounted();

private:
    void observe();
    [[nodiscard]] QString nextGuid(plist_t ringtones);
    // A random non-zero PID no entry has.
    [[nodiscard]] qint64 nextPid(plist_t ringtones);
    // Sets `result.fileName` to the entry to remove, or leaves it empty with the reason.
    using FindEntry = std::function<void(PhoneRingtoneDatabase&, PhoneRemoveResult&)>;
    PhoneRemoveResult removeEntryAndFile(const FindEntry& find);
    [[nodiscard]] QStringList sweepLeftoversLocked() const;
    void startLeftoverSweep();

    std::atomic<bool> m_mountSuccess { false };
    QString m_mountPoint;
    std::atomic<QObject*> m_delegate { nullptr };
    PhoneMount::BackgroundUnmount m_unmount; // the folder's clean-up after a disconnect
    std::mt19937_64 m_random; // guarded by the database lock
    std::atomic<bool> m_sweeping { false };
    std::thread m_leftoverSweep; // the sweep a connection started; joined by the destructor
};
