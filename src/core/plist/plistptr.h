#pragma once
// Owning handles for libplist nodes and the buffers it hands out.

#include <QByteArray>

#include <memory>
#include <plist/plist.h>

struct PlistDeleter {
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistPtr = std::unique_ptr<void, PlistDeleter>;

namespace plistio {

// Parses XML or binary property-list data; null when it is neither, or when a key or a
// string holds a NUL byte.
PlistPtr parse(const QByteArray& data);
// The node as an XML property list.
QByteArray toXml(plist_t node);
// The node as a binary property list.
QByteArray toBinary(plist_t node);
// Equal type and value all the way down (dictionaries key by key in order; a real NaN
// equals a real NaN). libplist's writers lose what they cannot encode, such as a string
// that is not UTF-8 in the binary form, so a writer that must keep everything compares
// its encoded form read back with what it encoded.
bool equal(plist_t a, plist_t b);

} // namespace plistio
