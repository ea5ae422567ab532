#pragma once
// Gathers the list menu's entries and the search data: the fixed entries, the desktop
// library's tracks, playlists and videos (from its library files), the ringtone folders'
// files, the Recorder folder's files, and, when there is no library file, the audio and
// video files under the user's music and videos folders.
//
// build() is synchronous and cheap once the library files were read: they are parsed again
// only when their size or modification time changed.
//
// build() on one thread at a time (the main thread in the program).

#include "core/medialibrary/mediaiteminfo.h"

#include <QStringList>

#include <functional>
#include <memory>
#include <optional>

class DesktopMediaLibrary;

class ListMenuCatalogue {
public:
    // Whether the program has artwork of that name ("List_Workout.png"); playlists without
    // their own get "List_Others.png".
    using ImageExists = std::function<bool(const QString& name)>;

    explicit ListMenuCatalogue(ImageExists hasImage = {});
    ~ListMenuCatalogue();

    // The library files to read instead of the preference's (the command line's --itunes).
    void setLibraryFiles(std::optional<QStringList> files);
    // The folder walk used when no library file can be read; none by default.
    void setDesktopLibrary(const DesktopMediaLibrary* desktop);

    [[nodiscard]] ListMenuContent build();

    // True when the last build found a readable library file.
    [[nodiscard]] bool hadLibraryFile() const;

    // How many times the library files were parsed (the cache's own count).
    [[nodiscard]] int parseCount() const;

private:
    struct Cache;
    ImageExists m_hasImage;
    std::optional<QStringList> m_files;
    const DesktopMediaLibrary* m_desktop = nullptr;
    std::unique_ptr<Cache> m_cache;
};
