// Revealing a file asks the desktop's file manager on the session bus to show it.
#include "ui/links/filereveal.h"

#include <QDBusConnection>
#include <QObject>
#include <QStringList>
#include <QTest>

#include <gtest/gtest.h>

namespace {

// Stands in for the desktop's file manager and keeps what it was asked to show.
class FileManagerStandIn : public QObject {
    Q_OBJECT
    Q_CLASSINFO("D-Bus Interface", "org.freedesktop.FileManager1")

public:
    QStringList shown;
    QString startupId;

public Q_SLOTS:
    void ShowItems(const QStringList& uris, const QString& id)
    {
        shown = uris;
        startupId = id;
    }
};

} // namespace

TEST(FileReveal, AsksTheFileManagerToShowTheFile)
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        GTEST_SKIP() << "no session bus";
    FileManagerStandIn manager;
    ASSERT_TRUE(
        bus.registerObject(QStringLiteral("/org/freedesktop/FileManager1"), &manager, QDBusConnection::ExportAllSlots));
    ASSERT_TRUE(bus.registerService(QStringLiteral("org.freedesktop.FileManager1")));
    const QByteArray quiet = qgetenv("SONABEL_NO_EXTERNAL_OPEN");
    qunsetenv("SONABEL_NO_EXTERNAL_OPEN");

    EXPECT_TRUE(FileReveal::reveal(QStringLiteral("/music/My Song.mp3")));
    QTRY_VERIFY_WITH_TIMEOUT(!manager.shown.isEmpty(), 5000);
    EXPECT_EQ(manager.shown, QStringList { QStringLiteral("file:///music/My%20Song.mp3") });
    EXPECT_TRUE(manager.startupId.isEmpty());

    qputenv("SONABEL_NO_EXTERNAL_OPEN", quiet);
    bus.unregisterService(QStringLiteral("org.freedesktop.FileManager1"));
    bus.unregisterObject(QStringLiteral("/org/freedesktop/FileManager1"));
}

#include "filereveal_test.moc"
