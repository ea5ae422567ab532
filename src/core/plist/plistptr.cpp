#include "core/plist/plistptr.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace plistio {

PlistPtr parse(const QByteArray& data)
{
    if (data.isEmpty() || data.size() > std::numeric_limits<uint32_t>::max())
        return nullptr;
    plist_t node = nullptr;
    plist_from_memory(data.constData(), static_cast<uint32_t>(data.size()), &node);
    PlistPtr root(node);
    // libplist's key accessors abort the process on a key holding a NUL byte, which only a
    // binary list can carry (its strings have a length): such a list is not read at all.
    if (root && data.startsWith("bplist00")) {
        const QByteArray xml = toXml(root.get());
        if (xml.isEmpty() || xml.contains('\0'))
            return nullptr;
    }
    return root;
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

namespace {

bool dictionariesEqual(plist_t a, plist_t b)
{
    if (plist_dict_get_size(a) != plist_dict_get_size(b))
        return false;
    plist_dict_iter ia = nullptr;
    plist_dict_iter ib = nullptr;
    plist_dict_new_iter(a, &ia);
    plist_dict_new_iter(b, &ib);
    bool same = true;
    for (;;) {
        char* ka = nullptr;
        char* kb = nullptr;
        plist_t va = nullptr;
        plist_t vb = nullptr;
        plist_dict_next_item(a, ia, &ka, &va);
        plist_dict_next_item(b, ib, &kb, &vb);
        const bool end = va == nullptr || vb == nullptr;
        same = end ? va == vb : ka != nullptr && kb != nullptr && std::strcmp(ka, kb) == 0 && equal(va, vb);
        std::free(ka);
        std::free(kb);
        if (end || !same)
            break;
    }
    std::free(ia);
    std::free(ib);
    return same;
}

} // namespace

bool equal(plist_t a, plist_t b)
{
    if (a == nullptr || b == nullptr)
        return a == b;
    const plist_type type = plist_get_node_type(a);
    if (type != plist_get_node_type(b))
        return false;
    switch (type) {
    case PLIST_DICT: return dictionariesEqual(a, b);
    case PLIST_ARRAY: {
        const uint32_t count = plist_array_get_size(a);
        if (count != plist_array_get_size(b))
            return false;
        for (uint32_t i = 0; i < count; ++i) {
            if (!equal(plist_array_get_item(a, i), plist_array_get_item(b, i)))
                return false;
        }
        return true;
    }
    case PLIST_REAL: {
        double x = 0;
        double y = 0;
        plist_get_real_val(a, &x);
        plist_get_real_val(b, &y);
        return x == y || (std::isnan(x) && std::isnan(y));
    }
    default: return plist_compare_node_value(a, b) != 0;
    }
}

} // namespace plistio
