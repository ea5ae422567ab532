#include "core/ringtones/ringtonelisting.h"

#include "core/phone/vyringtoneiphonetransfor.h"

#include <QDir>
#include <QFileInfo>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

namespace {

const QString kName = QStringLiteral("Name");

// Fills in every record's length. Header reads wait on the disk or the phone link more
// than on the processor, so a few run at once.
void probeLengths(QList<RingtoneInfo>& ringtones)
{
    RingtoneInfo* const records = ringtones.data();
    const auto count = static_cast<std::size_t>(ringtones.size());
    std::atomic<std::size_t> next { 0 };
    auto work = [&] {
        for (std::size_t i = next++; i < count; i = next++) {
            const double seconds = VyRingtoneiPhoneTransfor::probeLength(records[i].filePath);
            if (seconds > 0.0)
                records[i].ringtoneLength = RingtoneInfo::lengthText(seconds);
        }
    };
    constexpr std::size_t kProbesAtOnce = 4;
    constexpr std::size_t kFilesPerProbe = 8; // fewer files are not worth a thread
    const std::size_t probes = std::clamp<std::size_t>(count / kFilesPerProbe, 1, kProbesAtOnce);
    std::vector<std::thread> helpers;
    helpers.reserve(probes - 1);
    for (std::size_t i = 1; i < probes; ++i)
        helpers.emplace_back(work);
    work();
    for (std::thread& helper : helpers)
        helper.join();
}

} // namespace

QList<RingtoneInfo> RingtoneListing::listFolders(const QStringList& folders)
{
    QList<RingtoneInfo> ringtones;
    for (const QString& folder : folders) {
        if (folder.isEmpty()) // not the working directory
            continue;
        const QDir dir(folder);
        // Files and links to files; hidden names are left out by the missing QDir::Hidden.
        const QFileInfoList files = dir.entryInfoList(QDir::Files, QDir::Unsorted);
        const QString prefix = folder.endsWith(u'/') ? folder : folder + u'/';
        for (const QFileInfo& file : files)
            ringtones.append({ file.completeBaseName(), {}, prefix + file.fileName() });
    }
    probeLengths(ringtones);
    sortRingtones(ringtones, kName);
    return ringtones;
}

std::optional<QList<RingtoneInfo>> RingtoneListing::listPhone(VyRingtoneiPhoneTransfor& link)
{
    if (!link.isMountSuccess())
        return std::nullopt;
    QList<RingtoneInfo> ringtones;
    for (const QVariantMap& entry : link.listRingtones()) {
        QString name = entry.value(QStringLiteral("name")).toString();
        if (name.size() > 4 && name.endsWith(QStringLiteral(".m4r"), Qt::CaseInsensitive))
            name.chop(4);
        ringtones.append({ name, {}, entry.value(QStringLiteral("path")).toString() });
    }
    probeLengths(ringtones);
    sortRingtones(ringtones, kName);
    return ringtones;
}
