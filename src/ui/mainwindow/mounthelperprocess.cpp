#include "ui/mainwindow/mounthelperprocess.h"

#include "core/environment/appplaces.h"
#include "core/environment/logging.h"
#include "core/environment/terminationwatch.h"
#include "core/phone/phonemount.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>

#include <unistd.h>

MountHelperProcess::MountHelperProcess(QString program, QString mountPoint, QObject* parent)
    : QObject(parent)
    , m_program(std::move(program))
    , m_mountPoint(std::move(mountPoint))
{
    m_checkTimer.setSingleShot(true);
    m_restartTimer.setSingleShot(true);
    connect(&m_checkTimer, &QTimer::timeout, this, [this] { checkForMountOk(); });
    connect(&m_restartTimer, &QTimer::timeout, this, &MountHelperProcess::startMountTask);
}

MountHelperProcess::~MountHelperProcess()
{
    stopHelper(true);
}

QString MountHelperProcess::defaultProgram()
{
    // Beside the executable in a build tree; in the private program folder once installed.
    const QString beside = AppPlaces::applicationFolder() + QStringLiteral("/vIrodeVovi");
    const QString installed
        = QDir::cleanPath(AppPlaces::applicationFolder() + QStringLiteral("/../libexec/corvane-sonabel/vIrodeVovi"));
    return !QFileInfo::exists(beside) && QFileInfo::exists(installed) ? installed : beside;
}

void MountHelperProcess::start()
{
    launch();
    m_checkTimer.start(kFirstCheckMs);
}

void MountHelperProcess::launch()
{
    stopHelper(false);
    ++m_launches;
    if (!QFileInfo(m_program).isExecutable()) {
        qCWarning(lcApp).noquote()
            << QStringLiteral("the phone mount helper %1 is missing; phone features are unavailable").arg(m_program);
        return;
    }
    m_task = new QProcess(this);
    m_task->setProcessChannelMode(QProcess::ForwardedChannels);
    m_task->setWorkingDirectory(QFileInfo(m_program).path());
    connect(
        m_task, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart)
                qCWarning(lcApp).noquote()
                    << QStringLiteral("the phone mount helper did not start: %1").arg(m_task->errorString());
        });
    // The helper must not outlive us, even when we are killed without a shutdown: it
    // then gets SIGTERM from the kernel and unmounts as on its own.
    m_task->setChildProcessModifier([parent = ::getpid()] { TerminationWatch::endWithParent(parent); });
    m_task->start(m_program, { QString::fromLatin1(kArgument) });
}

void MountHelperProcess::stopHelper(bool wait)
{
    if (m_task == nullptr)
        return;
    QProcess* task = std::exchange(m_task, nullptr);
    task->disconnect(this);
    if (task->state() == QProcess::NotRunning) {
        delete task;
        return;
    }
    task->terminate(); // the helper unmounts and exits on SIGTERM
    if (wait) {
        // Going away: the helper must not outlive us.
        if (!task->waitForFinished(3000)) {
            task->kill();
            task->waitForFinished(1000);
        }
        delete task;
        return;
    }
    // A restart does not hold up the window: the old helper ends on its own time.
    task->setParent(nullptr);
    connect(task, &QProcess::finished, task, &QObject::deleteLater);
    QTimer::singleShot(3000, task, [task] { task->kill(); });
}

bool MountHelperProcess::isHelperRunning() const
{
    return m_task != nullptr && m_task->state() != QProcess::NotRunning;
}

bool MountHelperProcess::checkForMountOk()
{
    const QString base = m_mountPoint + QStringLiteral("/iTunes_Control/");
    if (QFileInfo(base + QStringLiteral("Ringtones")).isDir() && QFileInfo(base + QStringLiteral("iTunes")).isDir())
        return true;
    qCInfo(lcApp) << "recheck mount ....";
    if (QFileInfo::exists(m_mountPoint))
        m_unmount.start(m_mountPoint);
    if (isHelperRunning())
        m_restartTimer.start(kRestartMs);
    return false;
}

void MountHelperProcess::startMountTask()
{
    launch();
}
