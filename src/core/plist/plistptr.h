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

// Parses XML or binary property-list data; null when it is neither.
PlistPtr parse(const QByteArray& data);
// The node as an XML property list.
QByteArray toXml(plist_t node);
// The node as a binary property list.
QByteArray toBinary(plist_t node);

} // namespace plistio
