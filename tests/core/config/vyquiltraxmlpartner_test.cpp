#include "core/config/stringobfuscation.h"
#include "core/config/vyquiltraxmlpartner.h"
#include "support/qtfixtures.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

const QString kRoot = QStringLiteral("config_root");

class XmlPartnerTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString path = dir.filePath(QStringLiteral("ProductConfig.xml"));
};

TEST_F(XmlPartnerTest, MissingFileIsCreatedWithAnEmptyRootAnotherRootIsRefused)
{
    auto reader = VyQuiltraXmlPartner::initWith(path, kRoot);
    ASSERT_TRUE(reader);
    EXPECT_EQ(readBytes(path),
        QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n"
                   "<config_root>\n</config_root>"));
    EXPECT_FALSE(reader->valueForKey(QStringLiteral("AutoUpdate")));
    EXPECT_FALSE(VyQuiltraXmlPartner::initWith(QString(), kRoot));
    EXPECT_FALSE(VyQuiltraXmlPartner::initWith(dir.filePath(QStringLiteral("no/such/folder/x.xml")), kRoot));
    // Another root is not ours, and is left as it is.
    ASSERT_TRUE(writeBytes(path, "<?xml version=\"1.0\"?><plist><dict/></plist>"));
    EXPECT_FALSE(VyQuiltraXmlPartner::initWith(path, kRoot));
    EXPECT_EQ(readBytes(path), QByteArray("<?xml version=\"1.0\"?><plist><dict/></plist>"));
}

TEST_F(XmlPartnerTest, ReadsByXPathAndDecodesOnlyUpperCaseUrlKeys)
{
    const QByteArray link = EncryptString("https://example.org/ringtones?a=1&b=2");
    ASSERT_TRUE(writeBytes(path,
        "<?xml version=\"1.0\"?>\n<config_root>\n  <AutoUpdate>YES</AutoUpdate>\n"
        "  <HomepageURL>"
            + link + "</HomepageURL>\n  <Homepageurl>" + link
            + "</Homepageurl>\n"
              "  <Links><Link1 kind=\"shop\">plain</Link1></Links>\n  <Blank> </Blank>\n</config_root>\n"));
    auto reader = VyQuiltraXmlPartner::initWith(path, kRoot);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->valueForKey(QStringLiteral("AutoUpdate")), QStringLiteral("YES"));
    EXPECT_EQ(
        reader->valueForKey(QStringLiteral("HomepageURL")), QStringLiteral("https://example.org/ringtones?a=1&b=2"));
    EXPECT_EQ(reader->valueForKey(QStringLiteral("Homepageurl")), QString::fromLatin1(link));
    EXPECT_EQ(reader->valueForKey(QStringLiteral("Links/Link1")), QStringLiteral("plain"));
    EXPECT_EQ(reader->attribute(QStringLiteral("kind"), QStringLiteral("Links/Link1")), QStringLiteral("shop"));
    EXPECT_FALSE(reader->attribute(QStringLiteral("colour"), QStringLiteral("Links/Link1")));
    EXPECT_EQ(reader->valueForKey(QStringLiteral("Blank")), QStringLiteral(" ")); // white space kept
    EXPECT_FALSE(reader->valueForKey(QStringLiteral("Missing")));
    EXPECT_FALSE(reader->valueForKey(QStringLiteral("][not xpath")));
}

TEST_F(XmlPartnerTest, WritingMakesMissingElementsAndSavesAtOnce)
{
    ASSERT_TRUE(writeBytes(path,
        "<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>\n<config_root>\n"
        "\t<AutoUpdate>YES</AutoUpdate>\n</config_root>\n"));
    auto reader = VyQuiltraXmlPartner::initWith(path, kRoot);
    ASSERT_TRUE(reader);
    EXPECT_TRUE(reader->setValue(QStringLiteral("NO"), QStringLiteral("ShowTimeTip")));
    EXPECT_TRUE(reader->setIntValue(42, QStringLiteral("Window/Width")));
    EXPECT_TRUE(reader->setValue(QStringLiteral("NO"), QStringLiteral("AutoUpdate")));
    EXPECT_FALSE(reader->setValue(QStringLiteral("x"), QStringLiteral("bad name")));
    EXPECT_FALSE(reader->setValue(QStringLiteral("x"), QString()));

    // A fresh reader sees what was written, in a file that still reads as ours.
    auto again = VyQuiltraXmlPartner::initWith(path, kRoot);
    ASSERT_TRUE(again);
    EXPECT_EQ(again->valueForKey(QStringLiteral("ShowTimeTip")), QStringLiteral("NO"));
    EXPECT_EQ(again->valueForKey(QStringLiteral("Window/Width")), QStringLiteral("42"));
    EXPECT_EQ(again->valueForKey(QStringLiteral("AutoUpdate")), QStringLiteral("NO"));
    const QByteArray text = readBytes(path);
    EXPECT_TRUE(text.startsWith("<?xml version=\"1.0\" encoding=\"UTF-8\" standalone=\"yes\"?>"));
    EXPECT_EQ(text.count("<AutoUpdate>"), 1);
    EXPECT_TRUE(text.contains("\n\t<ShowTimeTip>NO</ShowTimeTip>\n")); // pretty-printed
    // Saving twice gives the same bytes: the indentation does not pile up.
    ASSERT_TRUE(again->flush());
    EXPECT_EQ(readBytes(path), text);
}

TEST_F(XmlPartnerTest, DamagedFileIsReadAsAbsentAndMovedAsideBeforeAWrite)
{
    const QByteArray damaged("\x01\x02 not xml at all <<<");
    ASSERT_TRUE(writeBytes(path, damaged));
    auto reader = VyQuiltraXmlPartner::initWith(path, kRoot);
    ASSERT_TRUE(reader);
    EXPECT_TRUE(reader->isBroken());
    EXPECT_FALSE(reader->valueForKey(QStringLiteral("AutoUpdate")));
    EXPECT_EQ(readBytes(path), damaged); // opening changes nothing

    EXPECT_TRUE(reader->setValue(QStringLiteral("YES"), QStringLiteral("AutoUpdate")));
    EXPECT_EQ(readBytes(path + QStringLiteral(".broken")), damaged);
    EXPECT_EQ(reader->valueForKey(QStringLiteral("AutoUpdate")), QStringLiteral("YES"));
    auto fresh = VyQuiltraXmlPartner::initWith(path, kRoot);
    ASSERT_TRUE(fresh);
    EXPECT_FALSE(fresh->isBroken());
    EXPECT_EQ(fresh->valueForKey(QStringLiteral("AutoUpdate")), QStringLiteral("YES"));
}

TEST_F(XmlPartnerTest, TruncatedFileKeepsWhatParsedAndIsStillMovedAside)
{
    const QByteArray truncated("<?xml version=\"1.0\"?>\n<config_root>\n<AutoUpdate>NO</AutoUpdate>\n<ShowTi");
    ASSERT_TRUE(writeBytes(path, truncated));
    writeBytes(path + QStringLiteral(".broken"), "an older damaged copy");
    auto reader = VyQuiltraXmlPartner::initWith(path, kRoot);
    ASSERT_TRUE(reader);
    EXPECT_EQ(reader->valueForKey(QStringLiteral("AutoUpdate")), QStringLiteral("NO"));
    EXPECT_TRUE(reader->setValue(QStringLiteral("YES"), QStringLiteral("PlaySoundWhenStart")));
    // Nothing is lost: neither the damaged file nor the older copy beside it.
    EXPECT_EQ(readBytes(path + QStringLiteral(".broken.1")), truncated);
    EXPECT_EQ(readBytes(path + QStringLiteral(".broken")), QByteArray("an older damaged copy"));
    auto fresh = VyQuiltraXmlPartner::initWith(path, kRoot);
    ASSERT_TRUE(fresh);
    EXPECT_EQ(fresh->valueForKey(QStringLiteral("AutoUpdate")), QStringLiteral("NO"));
    EXPECT_EQ(fresh->valueForKey(QStringLiteral("PlaySoundWhenStart")), QStringLiteral("YES"));
}

TEST_F(XmlPartnerTest, WriteThatCannotHappenReturnsFalse)
{
    QTemporaryDir folder;
    const QString inside = folder.filePath(QStringLiteral("ProductConfig.xml"));
    auto reader = VyQuiltraXmlPartner::initWith(inside, kRoot);
    ASSERT_TRUE(reader);
    // The folder goes away (or turns read-only) behind the program's back.
    ASSERT_TRUE(QDir(folder.path()).removeRecursively());
    EXPECT_FALSE(reader->setValue(QStringLiteral("YES"), QStringLiteral("AutoUpdate")));
    EXPECT_EQ(reader->valueForKey(QStringLiteral("AutoUpdate")), QStringLiteral("YES")); // memory still answers
}

TEST(StringObfuscation, RoundTripsUtf8AndCutsLongLinksAt511Bytes)
{
    const QByteArray text = QStringLiteral("https://exämple.org/klingeltöne/曲?q=ü").toUtf8();
    const QByteArray stored = EncryptString(text);
    EXPECT_NE(stored, text);
    EXPECT_EQ(QByteArray::fromBase64(stored).size(), text.size());
    EXPECT_EQ(DecryptString(stored), text);

    const QByteArray longLink = "https://example.org/" + QByteArray(580, 'a');
    ASSERT_EQ(longLink.size(), 600);
    EXPECT_EQ(DecryptString(EncryptString(longLink)), longLink.left(511));
    EXPECT_EQ(DecryptString(QByteArray()), QByteArray());
}

} // namespace
