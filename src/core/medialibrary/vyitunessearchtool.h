#pragma once
// The search behind the search field: finds files among everything the list menu knows
// by a text and a method ("All", "Artist", "Album", "Composer", "Song").
//
// Main thread only.

#include "core/medialibrary/mediaiteminfo.h"

class VyiTunesSearchTool {
public:
    [[nodiscard]] const QList<MediaItemInfo>& mediaInfoArray() const { return m_mediaInfoArray; }
    void setMediaInfoArray(QList<MediaItemInfo> items) { m_mediaInfoArray = std::move(items); }
    void resetSearchResult() { m_mediaInfoArray.clear(); }

    // The "Search" entry whose files match: each path once, sorted by file name; a single
    // kNoMatchingItems file when nothing matches.
    [[nodiscard]] VyListMenuItem search(const QString& text, const QString& method) const;
    // search(), posted as "ShowChildItem" {"MenuItem": the entry}.
    void searchMedia(const QString& text, const QString& method) const;

private:
    QList<MediaItemInfo> m_mediaInfoArray;
};
