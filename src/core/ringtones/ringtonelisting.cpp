#include "core/ringtones/ringtonelisting.h"

#include "core/phone/vyringtoneiphonetransfor.h"

QList<RingtoneInfo> RingtoneListing::listFolders(const QStringList&)
{
    return {};
}

std::optional<QList<RingtoneInfo>> RingtoneListing::listPhone(VyRingtoneiPhoneTransfor&)
{
    return std::nullopt;
}
