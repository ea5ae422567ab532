#pragma once
// One ringtone as the manager's two lists show it, on the computer or on the phone, and
// the records a drag between the lists carries.
//
// Plain values; safe to copy between threads.

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

struct RingtoneInfo {
    QString ringtoneName; // the file name without its extension
    QString ringtoneLength; // whole seconds and "s" ("30s"); empty when unknown
    QString filePath; // on the computer or under the phone's mount point

    // "Name" gives the name, "Length" the length, any other key the path.
    [[nodiscard]] const QString& getInfoByName(QStringView key) const;
    // A record under the phone's mount point (which ends in "/") is a phone ringtone.
    [[nodiscard]] bool isOnPhone(const QString& mountPoint) const;
    // The seconds at the start of the length text ("30s" is 30).
    [[nodiscard]] double seconds() const;

    // "%.0fs" of a length in seconds.
    [[nodiscard]] static QString lengthText(double seconds);

    friend bool operator==(const RingtoneInfo&, const RingtoneInfo&) = default;
};

namespace RingtoneInfoArchive {

// The drag-and-drop data type between the two lists.
inline constexpr auto kMimeType = "RingtoneInfoDataType";

// An array of records as a property list of dictionaries "Name", "Length", "Path".
[[nodiscard]] QByteArray archive(const QList<RingtoneInfo>& ringtones);
// Nothing when the data is not such an array; dictionaries missing a key read it empty.
[[nodiscard]] std::optional<QList<RingtoneInfo>> unarchive(const QByteArray& data);

} // namespace RingtoneInfoArchive

// Sorts ascending by the UTF-8 bytes of getInfoByName(key) (upper case before lower case;
// "100s" before "30s"), keeping the order of equal values.
void sortRingtones(QList<RingtoneInfo>& ringtones, QStringView key);
