#include "core/environment/temporaryfolder.h"

#include "core/environment/appplaces.h"
#include "core/environment/editingstate.h"
#include "core/environment/logging.h"

#include <QDir>
#include <QFile>

#include <cerrno>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString systemError(int err)
{
    return QString::fromLocal8Bit(std::strerror(err));
}

// Makes `base` a private directory of ours, or says why it cannot be one.
QString securePrivateFolder(const QString& base)
{
    const QByteArray native = QFile::encodeName(base);
    if (::mkdir(native.constData(), 0700) != 0 && errno != EEXIST)
        return QStringLiteral("Cannot create the folder %1: %2").arg(base, systemError(errno));

    struct stat st { };
    if (::lstat(native.constData(), &st) != 0)
        return QStringLiteral("Cannot inspect the folder %1: %2").arg(base, systemError(errno));
    if (S_ISLNK(st.st_mode))
        return QStringLiteral("The temporary folder %1 is a link; refusing to use it.").arg(base);
    if (!S_ISDIR(st.st_mode))
        return QStringLiteral("The temporary folder %1 is not a folder; refusing to use it.").arg(base);
    if (st.st_uid != ::geteuid())
        return QStringLiteral("The temporary folder %1 belongs to another user; refusing to use it.").arg(base);
    if ((st.st_mode & 0077) != 0 && ::chmod(native.constData(), 0700) != 0)
        return QStringLiteral("Cannot make the folder %1 private: %2").arg(base, systemError(errno));
    return {};
}

// Removes whatever is at `path` without following a link.
void removeEntry(const QString& path)
{
    const QByteArray native = QFile::encodeName(path);
    struct stat st { };
    if (::lstat(native.constData(), &st) != 0)
        return;
    if (S_ISDIR(st.st_mode))
        QDir(path).removeRecursively(); // removes links inside, never their targets
    else
        ::unlink(native.constData());
}

} // namespace

TemporaryFolder::Result TemporaryFolder::prepare(const QString& tempRoot)
{
    const QString root = tempRoot.isEmpty() ? QDir::tempPath() : tempRoot;
    QDir().mkpath(root);
    const QString base = AppPlaces::privateTemporaryBase(root);
    if (QString problem = securePrivateFolder(base); !problem.isEmpty()) {
        qCCritical(lcFiles).noquote() << problem;
        return { {}, problem };
    }

    const QString folder = base + u'/' + QLatin1String(AppPlaces::kTemporaryFolderName);
    removeEntry(folder);
    QDir dir;
    for (const QString& path :
        { folder, AppPlaces::uploadFolder(folder), AppPlaces::recordFolder(folder), AppPlaces::trimFolder(folder) }) {
        if (!dir.mkdir(path)) {
            const QString problem = QStringLiteral("Cannot create the temporary folder %1.").arg(path);
            qCCritical(lcFiles).noquote() << problem;
            return { {}, problem };
        }
    }
    return { folder, {} };
}

void TemporaryFolder::remove(const QString& tempFolderPath)
{
    if (tempFolderPath.isEmpty())
        return;
    qCInfo(lcApp).noquote() << QStringLiteral("Delete the temperory file,_tempFolderPath is:%1").arg(tempFolderPath);
    removeEntry(tempFolderPath);
    // The private folder goes too when nothing else of ours is left in it.
    const QString base = QFileInfo(tempFolderPath).path();
    if (QFileInfo(base).fileName().startsWith(u"corvane-sonabel-"))
        QDir().rmdir(base);
    qCInfo(lcApp).noquote() << QStringLiteral("Delete  temperory files.....successful");
}

TemporaryFolder::Result TemporaryFolder::setUp()
{
    EditingState& state = gloableState();
    state._waveformPointsCount = 0.0f;
    state._sourceFileName.clear();
    Result result = prepare();
    state._tempFolderPath = result.path;
    return result;
}
