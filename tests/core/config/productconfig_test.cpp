#include "core/config/productconfig.h"
#include "core/config/userdefaults.h"
#include "support/productconfigsandbox.h"
#include "support/qtfixtures.h"

#include <QFileInfo>

#include <gtest/gtest.h>

namespace {

using ProductConfigTest = ProductConfigSandbox;

TEST_F(ProductConfigTest, ShippedFileGivesTheDefaultsAndTheLinks)
{
    ASSERT_TRUE(QFileInfo::exists(ProductConfig::shippedPath())) << ProductConfig::shippedPath().toStdString();
    EXPECT_EQ(ProductConfig::getValueForKey(QStringLiteral("Version")), QStringLiteral(SONABEL_VERSION));
    EXPECT_FALSE(ProductConfig::isYes(QStringLiteral("PlaySoundWhenStart")));
    EXPECT_TRUE(ProductConfig::isYes(QStringLiteral("AutoUpdate")));
    for (const char* key : { "DisableUpdate", "DisableTwitter", "DisableExtra", "Apple" })
        EXPECT_FALSE(ProductConfig::isSwitchOn(QLatin1String(key))) << key;
    EXPECT_EQ(ProductConfig::getValueForKey(QStringLiteral("HomepageURL")),
        QStringLiteral("file:///usr/share/doc/corvane-sonabel/README.md")); // stored obfuscated
    EXPECT_FALSE(ProductConfig::getValueForKey(QStringLiteral("SkipVersion")));
}

TEST_F(ProductConfigTest, UserChoicesGoToTheUsersCopyOnly)
{
    const QByteArray shippedBefore = readBytes(ProductConfig::shippedPath());
    EXPECT_TRUE(ProductConfig::setValue(QStringLiteral("NO"), QStringLiteral("AutoUpdate")));
    EXPECT_TRUE(ProductConfig::setValue(QStringLiteral("YES"), QStringLiteral("ShowTimeTip")));
    EXPECT_TRUE(ProductConfig::setValue(QStringLiteral("9.9"), QStringLiteral("SkipVersion")));
    EXPECT_TRUE(QFileInfo::exists(ProductConfig::userPath()));

    ProductConfig::reload();
    EXPECT_FALSE(ProductConfig::isYes(QStringLiteral("AutoUpdate")));
    EXPECT_TRUE(ProductConfig::isYes(QStringLiteral("ShowTimeTip")));
    EXPECT_EQ(ProductConfig::getValueForKey(QStringLiteral("SkipVersion")), QStringLiteral("9.9"));
    // A user key the copy lacks still comes from the shipped defaults.
    EXPECT_EQ(ProductConfig::getValueForKey(QStringLiteral("PlaySoundWhenStart")), QStringLiteral("NO"));

    // Product keys are never the user's: not writable, and never read from the copy.
    EXPECT_FALSE(ProductConfig::setValue(QStringLiteral("0.0.1"), QStringLiteral("Version")));
    ASSERT_TRUE(writeBytes(ProductConfig::userPath(),
        readBytes(ProductConfig::userPath()).replace("</config_root>", "<Version>0.0.1</Version></config_root>")));
    ProductConfig::reload();
    EXPECT_EQ(ProductConfig::getValueForKey(QStringLiteral("Version")), QStringLiteral(SONABEL_VERSION));

    EXPECT_EQ(readBytes(ProductConfig::shippedPath()), shippedBefore);
}

TEST(UserDefaults, RemembersBothFolders)
{
    UserDefaults::setOpenFilePath(QStringLiteral("/music/in"));
    UserDefaults::setSaveAsPath(QStringLiteral("/music/out"));
    EXPECT_EQ(UserDefaults::openFilePath(), QStringLiteral("/music/in"));
    EXPECT_EQ(UserDefaults::saveAsPath(), QStringLiteral("/music/out"));
}

} // namespace
