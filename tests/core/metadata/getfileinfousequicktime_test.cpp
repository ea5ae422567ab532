#include "core/metadata/getfileinfousequicktime.h"
#include "support/fixtures.h"
#include "support/qtfixtures.h"

#include <QStringList>

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

using namespace Qt::StringLiterals;

namespace {

class GetFileInfoUseQuickTimeTest : public ::testing::Test {
protected:
    // A one-second AAC file in an M4A container carrying exactly the tags given as
    // ffmpeg metadata names and values.
    [[nodiscard]] std::string makeM4a(const std::string& name, const QStringList& metadata) const
    {
        QStringList arguments { u"-i"_s, fixture("tone.wav"), u"-t"_s, u"1"_s, u"-map_metadata"_s, u"-1"_s,
            u"-fflags"_s, u"+bitexact"_s, u"-c:a"_s, u"aac"_s };
        for (const QString& entry : metadata)
            arguments << u"-metadata"_s << entry;
        const std::string file = m_dir.file(name);
        QString error;
        EXPECT_TRUE(runFfmpeg(arguments << u"-f"_s << u"ipod"_s << q(file), &error)) << error.toStdString();
        return file;
    }

    fixtures::ScratchDir m_dir;
};

TEST_F(GetFileInfoUseQuickTimeTest, ReadsAlbumAndArtistAsComposer)
{
    const GetFileInfoUseQuickTime reader(fixture("tagged.m4a"));
    EXPECT_EQ(reader.getAlbum(), u"Fixture Album"_s);
    // The composer shown is the artist item, not the composer (©wrt) item.
    EXPECT_EQ(reader.getComposer(), u"Fixture Artist"_s);
    EXPECT_EQ(reader.keyAndValueDic().value(u"\u00a9wrt"_s), u"Fixture Composer"_s);
    EXPECT_FALSE(reader.keyAndValueDic().contains(u"covr"_s));

    // Recognised by content, whatever the name says.
    const std::string renamed = m_dir.file("tagged.mp3");
    fixtures::copyFile(fixtures::path("tagged.m4a"), renamed);
    EXPECT_EQ(GetFileInfoUseQuickTime(q(renamed)).getAlbum(), u"Fixture Album"_s);

    // A composer item alone is no composer.
    const GetFileInfoUseQuickTime composerOnly(q(makeM4a("composer.m4a", { u"composer=Somebody"_s })));
    EXPECT_EQ(composerOnly.keyAndValueDic().value(u"\u00a9wrt"_s), u"Somebody"_s);
    EXPECT_EQ(composerOnly.getComposer(), std::nullopt);
    EXPECT_EQ(composerOnly.getAlbum(), std::nullopt);
}

TEST_F(GetFileInfoUseQuickTimeTest, CollectsOnlyTheKnownTextItems)
{
    const std::string file = makeM4a("all.m4a",
        { u"title=T"_s, u"artist=A"_s, u"album_artist=AA"_s, u"album=Al"_s, u"grouping=G"_s, u"composer=W"_s,
            u"genre=Ge"_s, u"comment=C"_s, u"date=2001"_s, u"track=3/9"_s, u"lyrics=L"_s });
    const GetFileInfoUseQuickTime reader(q(file));
    const QMap<QString, QString> expected {
        { u"\u00a9nam"_s, u"T"_s },
        { u"\u00a9ART"_s, u"A"_s },
        { u"aART"_s, u"AA"_s },
        { u"\u00a9alb"_s, u"Al"_s },
        { u"\u00a9grp"_s, u"G"_s },
        { u"\u00a9wrt"_s, u"W"_s },
        { u"\u00a9gen"_s, u"Ge"_s },
        { u"\u00a9cmt"_s, u"C"_s },
        { u"\u00a9day"_s, u"2001"_s },
    };
    EXPECT_EQ(reader.keyAndValueDic(), expected); // no track number, lyrics or encoder
}

TEST_F(GetFileInfoUseQuickTimeTest, ValuesAreCutAt255BytesOnCharacterBoundaries)
{
    const QString ascii(300, u'a');
    const QString twoByte(200, u'\u00e9'); // 400 bytes
    const QString fourByte = u"a"_s + u"\U0001F600"_s.repeated(100); // 1 + 400 bytes
    const QString title = u"Short \u00e9"_s;
    const std::string file = makeM4a(
        "long.m4a", { u"album="_s + ascii, u"artist="_s + twoByte, u"comment="_s + fourByte, u"title="_s + title });
    const GetFileInfoUseQuickTime reader(q(file));
    EXPECT_EQ(reader.getAlbum(), QString(255, u'a'));
    EXPECT_EQ(reader.getComposer(), QString(127, u'\u00e9')); // 254 bytes: the 128th would need 256
    const QString comment = reader.keyAndValueDic().value(u"\u00a9cmt"_s);
    EXPECT_EQ(comment, fourByte.left(1 + 2 * 63)); // 1 + 63 x 4 = 253 bytes, 63 surrogate pairs
    EXPECT_EQ(reader.keyAndValueDic().value(u"\u00a9nam"_s), title);
}

TEST_F(GetFileInfoUseQuickTimeTest, UntaggedAndOtherFilesGiveNothing)
{
    fixtures::writeFile(m_dir.file("random.m4a"), fixtures::randomBytes(64 * 1024, 21));
    // An "ftyp" box and nothing else: MPEG-4 by its first bytes, but no movie.
    fixtures::writeFile(m_dir.file("header.m4a"),
        std::string("\0\0\0\x14"
                    "ftypM4A \0\0\0\0M4A ",
            20));
    std::filesystem::create_directory(m_dir.file("folder.mov"));
    for (const std::string& file : { makeM4a("untagged.m4a", {}), fixtures::path("tagged.mp3"),
             fixtures::path("tone.flac"), m_dir.file("random.m4a"), m_dir.file("header.m4a"), m_dir.file("folder.mov"),
             m_dir.file("missing.m4a"), std::string() }) {
        SCOPED_TRACE(file);
        const GetFileInfoUseQuickTime reader(q(file));
        EXPECT_EQ(reader.getComposer(), std::nullopt);
        EXPECT_EQ(reader.getAlbum(), std::nullopt);
        EXPECT_TRUE(reader.keyAndValueDic().isEmpty());
    }
}

} // namespace
