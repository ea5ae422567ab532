#include "core/environment/appplaces.h"
#include "core/environment/editingstate.h"
#include "core/environment/temporaryfolder.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

namespace {

void touch(const QString& path)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("x");
}

TEST(TemporaryFolder, IsMadeEmptyWithItsSubfoldersInAPrivateFolder)
{
    QTemporaryDir root;
    const TemporaryFolder::Result first = TemporaryFolder::prepare(root.path());
    ASSERT_TRUE(first.ok()) << first.error.toStdString();
    EXPECT_TRUE(first.path.endsWith(u"/VyRingToneTemp"));
    for (const char* sub : { "UploadToiTunesRingtone", "Record", "TrimFiles" })
        EXPECT_TRUE(QFileInfo(first.path + u'/' + QLatin1String(sub)).isDir()) << sub;

    const QByteArray base = QFile::encodeName(AppPlaces::privateTemporaryBase(root.path()));
    struct stat st { };
    ASSERT_EQ(::stat(base.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    // Whatever a crashed run left behind is gone at the next start.
    touch(first.path + QStringLiteral("/Record/take 1.mov"));
    const TemporaryFolder::Result second = TemporaryFolder::prepare(root.path());
    ASSERT_TRUE(second.ok());
    EXPECT_EQ(second.path, first.path);
    EXPECT_FALSE(QFileInfo::exists(first.path + QStringLiteral("/Record/take 1.mov")));
    EXPECT_TRUE(QFileInfo(first.path + QStringLiteral("/Record")).isDir());

    // Loose permissions on our own folder are tightened.
    ASSERT_EQ(::chmod(base.constData(), 0777), 0);
    ASSERT_TRUE(TemporaryFolder::prepare(root.path()).ok());
    ASSERT_EQ(::stat(base.constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);

    TemporaryFolder::remove(second.path);
    EXPECT_FALSE(QFileInfo::exists(second.path));
    EXPECT_FALSE(QFileInfo::exists(QFile::decodeName(base)));
}

// Something else in our folder's place is refused, and nothing is written into it.
TEST(TemporaryFolder, RefusesALinkAFileOrAnotherUsersFolderInItsPlace)
{
    for (const char* kind : { "link", "not a folder", "another user" }) {
        SCOPED_TRACE(kind);
        QTemporaryDir root;
        QTemporaryDir elsewhere;
        const QString base = AppPlaces::privateTemporaryBase(root.path());
        const QByteArray native = QFile::encodeName(base);
        if (kind[0] == 'l')
            ASSERT_TRUE(QFile::link(elsewhere.path(), base));
        else if (kind[0] == 'n')
            touch(base);
        else if (::mkdir(native.constData(), 0700) != 0 || ::chown(native.constData(), 65534, 65534) != 0)
            continue; // handing a folder to another user needs root
        const TemporaryFolder::Result r = TemporaryFolder::prepare(root.path());
        EXPECT_FALSE(r.ok());
        EXPECT_TRUE(r.error.contains(QLatin1String(kind))) << r.error.toStdString();
        EXPECT_TRUE(QDir(elsewhere.path()).isEmpty());
        EXPECT_TRUE(!QFileInfo(base).isDir() || QDir(base).isEmpty());
    }
}

TEST(TemporaryFolder, SetUpStoresThePathInTheEditingState)
{
    const TemporaryFolder::Result r = TemporaryFolder::setUp();
    ASSERT_TRUE(r.ok());
    EXPECT_EQ(gloableState()._tempFolderPath, r.path);
    TemporaryFolder::remove(r.path);
}

} // namespace
