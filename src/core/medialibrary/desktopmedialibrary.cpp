#include "core/medialibrary/desktopmedialibrary.h"

#include "core/library/librarybridge.h"
#include "core/mediacheck/mediafiletypes.h"
#include "core/medialibrary/vylistmenuassitant.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QHash>
#include <QSet>
#include <QStandardPaths>

#include <atomic>
#include <mutex>
#include <taglib/fileref.h>
#include <taglib/tag.h>
#include <taglib/tpropertymap.h>
#include <thread>

namespace {

struct Tags {
    qint64 size = -1;
    qint64 modified = 0;
    QString artist;
    QString album;
    QString composer;
};

QString fromTagLib(const TagLib::String& text)
{
    return QString::fromStdString(text.to8Bit(true));
}

Tags readTags(const QString& path)
{
    Tags tags;
    const TagLib::FileRef file(QFile::encodeName(path).constData(), false);
    if (file.isNull())
        return tags;
    if (const TagLib::Tag* tag = file.tag()) {
        tags.artist = fromTagLib(tag->artist());
        tags.album = fromTagLib(tag->album());
    }
    const TagLib::PropertyMap properties = file.file()->properties();
    const auto composer = properties.find("COMPOSER");
    if (composer != properties.end() && !composer->second.isEmpty())
        tags.composer = fromTagLib(composer->second.front());
    return tags;
}

} // namespace

struct DesktopMediaLibrary::State {
    std::atomic_bool stop { false };

    std::mutex resultMutex; // guards music, movies
    QList<MediaItemInfo> music;
    QList<MediaItemInfo> movies;

    std::mutex walkMutex; // one walk at a time; guards tags
    QHash<QString, Tags> tags; // by path, with the size and time they were read at

    std::mutex controlMutex; // guards running, again
    bool running = false;
    bool again = false;

    std::jthread worker; // started and joined on the object's thread only

    // Walks both folders; false when stopped before the end. `changed` tells whether the
    // files differ from the last walk's.
    bool walk(bool& changed);
};

bool DesktopMediaLibrary::State::walk(bool& changed)
{
    const std::lock_guard walking(walkMutex);
    QList<MediaItemInfo> foundMusic;
    QList<MediaItemInfo> foundMovies;
    QHash<QString, Tags> seenTags;
    const QSet<QString> skipped { QDir::cleanPath(VyListMenuAssitant::getMusicFolder()),
        QDir::cleanPath(LibraryBridge::libraryFolder()) };
    QSet<QString> visited; // folders, by their canonical path

    const auto visit = [&](const auto& self, const QString& folder, bool videosFolder) -> void {
        const QString canonical = QFileInfo(folder).canonicalFilePath();
        if (canonical.isEmpty() || visited.contains(canonical))
            return;
        visited.insert(canonical);
        const QFileInfoList entries
            = QDir(folder).entryInfoList(QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
        for (const QFileInfo& entry : entries) {
            if (stop)
                return;
            const QString path = entry.filePath();
            if (entry.isDir()) {
                if (!entry.isSymLink() && !skipped.contains(QDir::cleanPath(path)))
                    self(self, path, videosFolder);
                continue;
            }
            const QString suffix = entry.suffix();
            if (!MediaFileTypes::dropFileTypes().contains(suffix, Qt::CaseInsensitive))
                continue;
            const bool video = MediaFileTypes::isVideoType(suffix);
            const qint64 size = entry.size();
            const qint64 modified = entry.lastModified().toMSecsSinceEpoch();
            Tags fileTags = tags.value(path);
            if (fileTags.size != size || fileTags.modified != modified) {
                fileTags = readTags(path);
                fileTags.size = size;
                fileTags.modified = modified;
            }
            seenTags.insert(path, fileTags);
            const bool asVideo = videosFolder || video;
            (asVideo ? foundMovies : foundMusic)
                .append(MediaItemInfo::withTags(asVideo ? QString(kVideoKind) : QString(kAudioKind), fileTags.artist,
                    fileTags.album, fileTags.composer, path));
        }
    };
    const QString musicFolder = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    const QString moviesFolder = QStandardPaths::writableLocation(QStandardPaths::MoviesLocation);
    // A home folder standing in for a missing music or videos folder is not walked.
    if (!musicFolder.isEmpty() && QDir(musicFolder) != QDir::home())
        visit(visit, musicFolder, false);
    if (!moviesFolder.isEmpty() && QDir(moviesFolder) != QDir::home())
        visit(visit, moviesFolder, true);
    if (stop)
        return false;
    tags = std::move(seenTags);
    const std::lock_guard lock(resultMutex);
    changed = foundMusic != music || foundMovies != movies;
    music = std::move(foundMusic);
    movies = std::move(foundMovies);
    return true;
}

DesktopMediaLibrary::DesktopMediaLibrary(QObject* parent)
    : QObject(parent)
    , m_state(std::make_shared<State>())
{
}

DesktopMediaLibrary::~DesktopMediaLibrary()
{
    m_state->stop = true;
    if (m_state->worker.joinable())
        m_state->worker.join();
}

void DesktopMediaLibrary::refresh()
{
    State& state = *m_state;
    {
        const std::lock_guard lock(state.controlMutex);
        if (state.running) {
            state.again = true;
            return;
        }
        state.running = true;
    }
    if (state.worker.joinable())
        state.worker.join(); // a finished walk's thread
    state.worker = std::jthread([&state, this] {
        for (;;) {
            bool changed = false;
            if (!state.walk(changed))
                return;
            // Delivered on the object's thread; dropped if the object goes first.
            QMetaObject::invokeMethod(
                this, [this, changed] { Q_EMIT walkFinished(changed); }, Qt::QueuedConnection);
            const std::lock_guard lock(state.controlMutex);
            if (!state.again || state.stop) {
                state.running = false;
                return;
            }
            state.again = false;
        }
    });
}

void DesktopMediaLibrary::walkNow()
{
    bool changed = false;
    if (m_state->walk(changed))
        Q_EMIT walkFinished(changed);
}

QList<MediaItemInfo> DesktopMediaLibrary::music() const
{
    const std::lock_guard lock(m_state->resultMutex);
    return m_state->music;
}

QList<MediaItemInfo> DesktopMediaLibrary::movies() const
{
    const std::lock_guard lock(m_state->resultMutex);
    return m_state->movies;
}
