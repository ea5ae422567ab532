#include "core/library/vysynctoitunes.h"

#include "core/environment/logging.h"
#include "core/library/librarybridge.h"

#include <QCoreApplication>
#include <QDesktopServices>
#include <QDirIterator>
#include <QFileInfo>
#include <QThread>
#include <QUrl>

namespace {

// The desktop's services belong to the main thread; a save worker hands the request over.
void openWithDefaultApplication(const QString& path)
{
    const QUrl url = QUrl::fromLocalFile(path);
    QCoreApplication* app = QCoreApplication::instance();
    if (app == nullptr || QThread::currentThread() == app->thread())
        QDesktopServices::openUrl(url);
    else
        QMetaObject::invokeMethod(
            app, [url] { QDesktopServices::openUrl(url); }, Qt::QueuedConnection);
}

} // namespace

QStringList VySyncToITunes::addFileToiTunesLibrary(const QStringList& paths, const QStringList& titles, bool isPlay)
{
    return copyingToITunesThreadMainMethod(paths, titles, isPlay);
}

int VySyncToITunes::duplicateCount(const QString& folder, const QString& baseName)
{
    if (baseName.isEmpty())
        return 0;
    int count = 0;
    const QDir root(folder);
    QDirIterator it(folder, QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        it.next();
        if (root.relativeFilePath(it.filePath()).contains(baseName))
            ++count;
    }
    return count;
}

QString VySyncToITunes::numberedTitle(const QString& title, int index, int duplicates)
{
    if (duplicates == 0)
        return title;
    return title + QStringLiteral(" %1").arg(index + duplicates);
}

QStringList VySyncToITunes::copyingToITunesThreadMainMethod(
    const QStringList& paths, const QStringList& titles, bool isPlay)
{
    QStringList added;
    if (paths.isEmpty())
        return added;
    // Counted in the folder the files really go to, so a new ringtone is never numbered
    // like one that is already there.
    const QString folder = LibraryBridge::ringtoneFolder(true);
    if (folder.isEmpty())
        return added;
    const int duplicates = duplicateCount(folder, QFileInfo(paths.first()).completeBaseName());
    for (qsizetype i = 0; i < paths.size() && i < titles.size(); ++i) {
        const QString suffix = QFileInfo(paths[i]).suffix();
        const auto taken = [&](const QString& title) {
            const QString name = LibraryBridge::fileNameForTitle(title);
            return !name.isEmpty() && QFileInfo::exists(folder + u'/' + name + u'.' + suffix);
        };
        QString title = numberedTitle(titles[i], static_cast<int>(i), duplicates);
        // Names the count did not foresee (a gap in the numbers) move on to a free one.
        for (int n = static_cast<int>(i) + std::max(duplicates, 1); taken(title); ++n)
            title = titles[i] + QStringLiteral(" %1").arg(n);
        const QString path = LibraryBridge::addFile(paths[i], title);
        if (!path.isEmpty())
            added.append(path);
    }
    if (isPlay && !added.isEmpty()) {
        if (qEnvironmentVariable("SONABEL_NO_EXTERNAL_OPEN") == u"1")
            qCInfo(lcFiles).noquote() << "Not opening" << added.first() << "(SONABEL_NO_EXTERNAL_OPEN)";
        else
            openWithDefaultApplication(added.first());
    }
    return added;
}
