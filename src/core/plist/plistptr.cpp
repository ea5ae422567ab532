#include "core/plist/plistptr.h"

#include <limits>

namespace plistio {

PlistPtr parse(const QByteArray& data)
{
    if (data.isEmpty() || data.size() > std::numeric_limits<uint32_t>::max())
        return nullptr;
    plist_t node = nullptr;
    plist_from_memory(data.constData(), static_cast<uint32_t>(data.size()), &node);
    return PlistPtr(node);
}

QByteArray toXml(plist_t node)
{
    char* buffer = nullptr;
    uint32_t length = 0;
    plist_to_xml(node, &buffer, &length);
    QByteArray out(buffer, static_cast<qsizetype>(length));
    plist_to_xml_free(buffer);
    return out;
}

QByteArray toBinary(plist_t node)
{
    char* buffer = nullptr;
    uint32_t length = 0;
    plist_to_bin(node, &buffer, &length);
    QByteArray out(buffer, static_cast<qsizetype>(length));
    plist_to_bin_free(buffer);
    return out;
}

} // namespace plistio
