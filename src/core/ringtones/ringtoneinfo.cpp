#include "core/ringtones/ringtoneinfo.h"

#include "core/phone/phoneringtonedatabase.h"
#include "core/plist/plistptr.h"
#include "core/text/leadingnumber.h"

#include <algorithm>
#include <cstring>
#include <utility>

namespace {

const QString kName = QStringLiteral("Name");
const QString kLength = QStringLiteral("Length");
const QString kPath = QStringLiteral("Path");

} // namespace

const QString& RingtoneInfo::getInfoByName(QStringView key) const
{
    if (key == kName)
        return ringtoneName;
    if (key == kLength)
        return ringtoneLength;
    return filePath;
}

bool RingtoneInfo::isOnPhone(const QString& mountPoint) const
{
    return !mountPoint.isEmpty() && filePath.startsWith(mountPoint);
}

double RingtoneInfo::seconds() const
{
    return leadingDouble(ringtoneLength);
}

QString RingtoneInfo::lengthText(double seconds)
{
    return QString::asprintf("%.0fs", seconds);
}

QByteArray RingtoneInfoArchive::archive(const QList<RingtoneInfo>& ringtones)
{
    PlistPtr array(plist_new_array());
    for (const RingtoneInfo& ringtone : ringtones) {
        plist_t dict = plist_new_dict();
        plist_dict_set_item(dict, "Name", plist_new_string(ringtone.ringtoneName.toUtf8().constData()));
        plist_dict_set_item(dict, "Length", plist_new_string(ringtone.ringtoneLength.toUtf8().constData()));
        plist_dict_set_item(dict, "Path", plist_new_string(ringtone.filePath.toUtf8().constData()));
        plist_array_append_item(array.get(), dict);
    }
    return plistio::toBinary(array.get());
}

std::optional<QList<RingtoneInfo>> RingtoneInfoArchive::unarchive(const QByteArray& data)
{
    const PlistPtr array = plistio::parse(data);
    if (!array || plist_get_node_type(array.get()) != PLIST_ARRAY)
        return std::nullopt;
    QList<RingtoneInfo> ringtones;
    const uint32_t count = plist_array_get_size(array.get());
    for (uint32_t i = 0; i < count; ++i) {
        plist_t dict = plist_array_get_item(array.get(), i);
        if (plist_get_node_type(dict) != PLIST_DICT)
            return std::nullopt;
        ringtones.append(
            { plistDictString(dict, "Name"), plistDictString(dict, "Length"), plistDictString(dict, "Path") });
    }
    return ringtones;
}

void sortRingtones(QList<RingtoneInfo>& ringtones, QStringView key)
{
    // The byte keys are made once; comparing QStrings by their UTF-16 units would put
    // characters above U+FFFF before some BMP ones.
    std::vector<std::pair<QByteArray, RingtoneInfo>> keyed;
    keyed.reserve(static_cast<std::size_t>(ringtones.size()));
    for (RingtoneInfo& ringtone : ringtones)
        keyed.emplace_back(ringtone.getInfoByName(key).toUtf8(), std::move(ringtone));
    std::stable_sort(keyed.begin(), keyed.end(),
        [](const auto& a, const auto& b) { return std::strcmp(a.first.constData(), b.first.constData()) < 0; });
    ringtones.clear();
    for (auto& [bytes, ringtone] : keyed)
        ringtones.append(std::move(ringtone));
}
