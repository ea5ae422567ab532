#include "core/ringtones/ringtonecopy.h"

#include "core/phone/vyringtoneiphonetransfor.h"
#include "core/text/commonfunctions.h"

#include <QFileInfo>

namespace {

RingtoneCopy::Result missing(const RingtoneInfo& ringtone)
{
    RingtoneCopy::Result result;
    result.sourceMissing = true;
    result.error = QStringLiteral("%1 does not exist").arg(ringtone.filePath);
    return result;
}

} // namespace

RingtoneCopy::Result RingtoneCopy::toPhone(VyRingtoneiPhoneTransfor& link, const RingtoneInfo& ringtone)
{
    if (!QFileInfo(ringtone.filePath).isFile())
        return missing(ringtone);
    Result result;
    const PhoneTransferResult transfer = link.transferRingtone(ringtone.filePath);
    if (!transfer.registered) {
        result.error = transfer.error;
        return result;
    }
    result.copy = RingtoneInfo { QFileInfo(transfer.phoneName).completeBaseName(), ringtone.ringtoneLength,
        link.phonePath(transfer.phoneName) };
    return result;
}

RingtoneCopy::Result RingtoneCopy::toComputer(
    VyRingtoneiPhoneTransfor& link, const RingtoneInfo& ringtone, const QString& folder, const QStringList& takenNames)
{
    const QFileInfo source(ringtone.filePath);
    if (!source.isFile())
        return missing(ringtone);
    Result result;
    const QString title = VyRingtoneiPhoneTransfor::localTitleForName(ringtone.ringtoneName);
    if (title.isEmpty() || folder.isEmpty()) {
        result.error = QStringLiteral("\"%1\" cannot name a file").arg(ringtone.ringtoneName);
        return result;
    }
    const QString base = folder.endsWith(u'/') ? folder : folder + u'/';
    // The list may be older than the folder: a name on disk is skipped too.
    for (int number = CommonFunctions::freeNameNumber(takenNames, title); number < 10000; ++number) {
        const QString target = number == 0
            ? base + title + QStringLiteral(".m4r")
            : base + QStringLiteral("%1 %2.%3").arg(title).arg(number).arg(source.suffix());
        if (QFileInfo::exists(target))
            continue;
        if (!link.GetRingtone(source.fileName(), target)) {
            result.error = QStringLiteral("cannot copy %1 to %2").arg(ringtone.filePath, target);
            return result;
        }
        result.copy = RingtoneInfo { QFileInfo(target).completeBaseName(), ringtone.ringtoneLength, target };
        return result;
    }
    result.error = QStringLiteral("no free name for %1 in %2").arg(title, folder);
    return result;
}
