#include "ui/mainwindow/mediaimportcheck.h"

#include "core/metadata/getfilepicture.h"

#include <QImage>

MediaImportCheck::MediaImportCheck(QObject* parent)
    : QObject(parent)
{
}

MediaImportCheck::~MediaImportCheck()
{
    cancel();
}

MediaImportVerdict MediaImportCheck::checkNow(const QString& path)
{
    MediaImportVerdict result;
    result.path = path;
    const MediaFileCheck check = MediaFileCheck::check(path);
    result.verdict = check.verdict();
    result.message = check.message();
    if (!check.accepted())
        return result;
    result.duration = check.duration();
    if (GetFilePicture::jugeFileKind(path) == GetFilePicture::VideoFile) {
        result.hasPicture = true;
    } else {
        // A cover picture counts; the generic picture does not.
        GetFilePicture picture;
        const QImage image = picture.getFilePicture(path);
        static const QImage generic(QStringLiteral(":/AudioPic.png"));
        result.hasPicture = !image.isNull() && image != generic;
    }
    return result;
}

void MediaImportCheck::start(const QString& path)
{
    cancel();
    const int job = m_job.load();
    m_running = true;
    m_worker = std::thread([this, path, job] {
        const MediaImportVerdict verdict = checkNow(path);
        QMetaObject::invokeMethod(
            this, [this, job, verdict] { deliver(job, verdict); }, Qt::QueuedConnection);
    });
}

void MediaImportCheck::cancel()
{
    m_job.fetch_add(1);
    m_running = false;
    if (m_worker.joinable())
        m_worker.join();
}

void MediaImportCheck::deliver(int job, const MediaImportVerdict& verdict)
{
    if (job != m_job.load())
        return;
    if (m_worker.joinable())
        m_worker.join(); // it has handed its verdict over and is ending
    m_running = false;
    Q_EMIT finished(verdict);
}
