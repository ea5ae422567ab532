#include "ui/panels/mediapanels.h"

#include "core/config/userdefaults.h"
#include "core/mediacheck/mediafiletypes.h"

#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QSettings>
#include <QStandardPaths>

namespace {

// The library-file panel's folder sits beside the two folders the user defaults keep.
const QString kLibraryFileKey = QStringLiteral("LibraryFilePath");

QSettings settings()
{
    return QSettings(QStringLiteral("Corvane"), QStringLiteral("Sonabel"));
}

QString remembered(MediaPanels::Kind kind)
{
    switch (kind) {
    case MediaPanels::Kind::OpenMedia: return UserDefaults::openFilePath();
    case MediaPanels::Kind::SaveRingtone: return UserDefaults::saveAsPath();
    case MediaPanels::Kind::LibraryFile: return settings().value(kLibraryFileKey).toString();
    }
    return {};
}

bool isFolder(const QString& path)
{
    return !path.isEmpty() && QFileInfo(path).isDir();
}

} // namespace

namespace MediaPanels {

QString startFolder(Kind kind)
{
    const QString last = remembered(kind);
    if (isFolder(last))
        return last;
    const QString music = QStandardPaths::writableLocation(QStandardPaths::MusicLocation);
    if (isFolder(music))
        return music;
    return QDir::homePath();
}

void remember(Kind kind, const QString& path)
{
    if (path.isEmpty())
        return;
    const QString folder = QFileInfo(path).absolutePath();
    switch (kind) {
    case Kind::OpenMedia: UserDefaults::setOpenFilePath(folder); break;
    case Kind::SaveRingtone: UserDefaults::setSaveAsPath(folder); break;
    case Kind::LibraryFile: settings().setValue(kLibraryFileKey, folder); break;
    }
}

QString mediaFilter()
{
    // The panels match names without regard to case, so one pattern an ending will do.
    QStringList patterns;
    for (const QString& type : MediaFileTypes::openPanelFileTypes())
        patterns << QStringLiteral("*.") + type.toLower();
    return QStringLiteral("Audio and video files (%1)").arg(patterns.join(u' '));
}

QString allFilesFilter()
{
    return QStringLiteral("All files (*)");
}

void prepare(QFileDialog* panel, Kind kind, const QStringList& filters)
{
    panel->setNameFilters(filters);
    if (!filters.isEmpty())
        panel->selectNameFilter(filters.first());
    panel->setDirectory(startFolder(kind));
}

} // namespace MediaPanels
