#include "core/environment/appplaces.h"
#include "core/environment/editingstate.h"

#include <QDir>

#include <gtest/gtest.h>

#include <thread>

namespace {

TEST(EditingState, ResetClearsEverySharedValue)
{
    EditingState& s = gloableState();
    s._tempFolderPath = QStringLiteral("/tmp/x/VyRingToneTemp");
    s._sourceFileName = QStringLiteral("/music/a.mp3");
    s._waveformPointsCount = 1200.0f;
    s._moveDx = 0.2;
    s._pointClearance = 1.0;
    s.publishPointArray(std::make_shared<WaveformPoints>(1200));

    GloableVar::resetGloableVariable();
    EXPECT_TRUE(s._tempFolderPath.isEmpty());
    EXPECT_TRUE(s._sourceFileName.isEmpty());
    EXPECT_EQ(s._waveformPointsCount.load(), 0.0f);
    EXPECT_EQ(s._moveDx.load(), 0.0);
    EXPECT_EQ(s._pointClearance.load(), 0.0);
    EXPECT_EQ(s._cgPointArray(), nullptr);
}

TEST(EditingState, PointArrayIsPublishedWholeAcrossThreads)
{
    EditingState& s = gloableState();
    std::jthread writer([&s] {
        for (int n = 1; n <= 200; ++n) {
            auto points = std::make_shared<WaveformPoints>(static_cast<size_t>(n));
            for (auto& p : *points)
                p.x = static_cast<float>(n);
            s.publishPointArray(points);
            s._waveformPointsCount = static_cast<float>(n);
        }
    });
    for (int i = 0; i < 2000; ++i) {
        if (auto points = s._cgPointArray()) {
            // Every point of one array comes from the same publication.
            const float n = static_cast<float>(points->size());
            for (const WaveformPoint& p : *points)
                ASSERT_EQ(p.x, n);
        }
    }
    writer.join();
    EXPECT_EQ(s._cgPointArray()->size(), 200u);
    GloableVar::resetGloableVariable();
}

TEST(AppPlaces, MountPointFollowsTheEnvironment)
{
    const QByteArray saved = qgetenv("SONABEL_MOUNT_POINT");
    qputenv("SONABEL_MOUNT_POINT", "/tmp/phone//.SonabelMedia/");
    EXPECT_EQ(AppPlaces::mountPoint(), QStringLiteral("/tmp/phone/.SonabelMedia"));
    EXPECT_EQ(AppPlaces::mountPointWithSeparator(), QStringLiteral("/tmp/phone/.SonabelMedia/"));
    qunsetenv("SONABEL_MOUNT_POINT");
    const QByteArray savedRuntime = qgetenv("XDG_RUNTIME_DIR");
    qputenv("XDG_RUNTIME_DIR", "/run/user/1234");
    if (!QDir(QStringLiteral("/Volumes")).exists()) {
        EXPECT_EQ(AppPlaces::mountPoint(), QStringLiteral("/run/user/1234/.SonabelMedia"));
    }
    qputenv("XDG_RUNTIME_DIR", savedRuntime);
    if (!saved.isNull())
        qputenv("SONABEL_MOUNT_POINT", saved);
}

} // namespace
