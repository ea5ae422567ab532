#pragma once
// Which desktop library files the list reads: the setting "iTunesRecentDatabases", a list
// of file URLs ("file://localhost/home/ann/Music/iTunes/iTunes%20Library.xml" or
// "file:///..."). Unset, it is the library files of ~/Music/iTunes that exist.

#include <QStringList>

namespace iTunesRecentDatabases {

// The URLs as stored, or the default when the setting was never written.
[[nodiscard]] QStringList urls();
// Stores `urls` (an empty list is kept as empty: no library).
void setUrls(const QStringList& urls);
// A URL's fully decoded local path ("file://localhost/a%20b" gives "/a b"); empty for text
// that is not a file URL.
[[nodiscard]] QString localPath(const QString& url);
// The readable files behind urls(), in order.
[[nodiscard]] QStringList files();

} // namespace iTunesRecentDatabases
