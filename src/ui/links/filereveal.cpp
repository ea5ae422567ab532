#include "ui/links/filereveal.h"

#include "core/environment/logging.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDesktopServices>
#include <QFileInfo>
#include <QUrl>

namespace {

QString s_lastRevealed;

void openFolder(const QString& path)
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(QFileInfo(path).absolutePath()));
}

} // namespace

bool FileReveal::reveal(const QString& path)
{
    if (path.isEmpty())
        return false;
    s_lastRevealed = path;
    if (qEnvironmentVariable("SONABEL_NO_EXTERNAL_OPEN") == QStringLiteral("1")) {
        qCInfo(lcApp).noquote() << QStringLiteral("not revealing %1 (SONABEL_NO_EXTERNAL_OPEN)").arg(path);
        return true;
    }
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        openFolder(path);
        return true;
    }
    QDBusMessage call = QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("/org/freedesktop/FileManager1"), QStringLiteral("org.freedesktop.FileManager1"),
        QStringLiteral("ShowItems"));
    call << QStringList { QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded) } << QString();
    auto* watcher = new QDBusPendingCallWatcher(bus.asyncCall(call), QCoreApplication::instance());
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, watcher, [path](QDBusPendingCallWatcher* done) {
        if (done->isError()) {
            qCInfo(lcApp).noquote() << QStringLiteral("no file manager to show %1 (%2); opening its folder")
                                           .arg(path, done->error().message());
            openFolder(path);
        }
        done->deleteLater();
    });
    return true;
}

QString FileReveal::lastRevealed()
{
    return s_lastRevealed;
}
