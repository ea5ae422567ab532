#include "core/metadata/getfilepicture.h"
#include "core/metadata/videothumbnail.h"
#include "media/decoderlib.h"
#include "media/utfconvert.h"
#include "support/fixtures.h"
#include "support/qtfixtures.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QImage>
#include <QStringList>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <tuple>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

// A 320 x 120 video (8:3) whose first frames are red on the left half and blue on the
// right half, and green from 0.5 s on: a thumbnail shows which frame it took and
// whether it was stretched, cropped or letterboxed.
bool makeWideVideo(const std::string& file)
{
    const QString picture = u"color=c=black:s=320x120:r=25:d=2,format=gbrp,"
                            "geq=r='if(lt(T\\,0.5)\\,if(lt(X\\,160)\\,255\\,0)\\,0)'"
                            ":g='if(gte(T\\,0.5)\\,255\\,0)'"
                            ":b='if(lt(T\\,0.5)\\,if(gte(X\\,160)\\,255\\,0)\\,0)'"_s;
    return runFfmpeg({ u"-f"_s, u"lavfi"_s, u"-i"_s, picture, u"-c:v"_s, u"mpeg4"_s, u"-q:v"_s, u"2"_s, u"-pix_fmt"_s,
        u"yuv420p"_s, q(file) });
}

// Channels within a tolerance: lossy video and smooth scaling move colours a little.
void expectColour(const QImage& image, int x, int y, QColor expected)
{
    SCOPED_TRACE(testing::Message() << "pixel " << x << "," << y);
    const QColor actual = image.pixelColor(x, y);
    EXPECT_NEAR(actual.red(), expected.red(), 40);
    EXPECT_NEAR(actual.green(), expected.green(), 40);
    EXPECT_NEAR(actual.blue(), expected.blue(), 40);
}

void expectSamePixels(const QImage& actual, const QImage& expected)
{
    ASSERT_EQ(actual.size(), expected.size());
    EXPECT_EQ(actual.convertToFormat(QImage::Format_RGB32), expected.convertToFormat(QImage::Format_RGB32));
}

// Four big-endian bytes of 8 bits, or of 7 bits for the "synchsafe" sizes of ID3v2.4.
std::string size32(uint32_t n, int bits)
{
    std::string bytes;
    for (int i = 3; i >= 0; --i)
        bytes += static_cast<char>((n >> (bits * i)) & ((1u << bits) - 1));
    return bytes;
}

using Id3Frame = std::pair<std::string, std::string>; // the id, and everything after the frame header

// An ID3v2.3 or v2.4 tag holding `frames`, without padding.
std::string id3Tag(int version, const std::vector<Id3Frame>& frames)
{
    std::string body;
    for (const auto& [id, frame] : frames)
        body += id + size32(static_cast<uint32_t>(frame.size()), version == 4 ? 7 : 8) + std::string(2, '\0') + frame;
    return std::string("ID3") + static_cast<char>(version) + std::string(2, '\0')
        + size32(static_cast<uint32_t>(body.size()), 7) + body;
}

Id3Frame text(const char* id, char encoding, const std::string& bytes)
{
    return { id, std::string(1, encoding) + bytes };
}

std::string apicBody(const std::string& mimeType, const std::string& data)
{
    // Latin-1 texts, picture type 3 (front cover), empty description.
    return std::string(1, '\0') + mimeType + std::string(1, '\0') + '\x03' + std::string(1, '\0') + data;
}

std::string imageBytes(QColor colour, QSize size, const char* format)
{
    QImage image(size, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes.toStdString();
}

// tone.mp3's MPEG audio without the tag the encoder put in front of it.
std::string untaggedAudio()
{
    const QByteArray bytes = readBytes(fixture("tone.mp3"));
    if (!bytes.startsWith("ID3") || bytes.size() < 10)
        return bytes.toStdString();
    qsizetype size = 10;
    for (int i = 6; i < 10; ++i)
        size += static_cast<qsizetype>(static_cast<uint8_t>(bytes[i]) & 0x7f) << (7 * (9 - i));
    if ((static_cast<uint8_t>(bytes[5]) & 0x10) != 0)
        size += 10; // footer
    return bytes.mid(size).toStdString();
}

// The album and composer the reader finds, after checking that both keys are there.
QStringList albumAndComposer(const GetFilePicture& reader)
{
    const QMap<QString, QString> values = reader.getComposerAndAlbum();
    EXPECT_EQ(values.keys(), (QStringList { u"album"_s, u"composer"_s }));
    return values.values();
}

class GetFilePictureTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() { DecMgrInit(); }

    // A copy of tone.mp3 whose only tag is `tag`.
    std::string mp3WithTag(const std::string& name, const std::string& tag) const
    {
        const std::string file = m_dir.file(name);
        fixtures::writeFile(file, tag + untaggedAudio());
        return file;
    }

    fixtures::ScratchDir m_dir;
    const QImage m_generic { u":/AudioPic.png"_s };
    const QImage m_cover { fixture("cover.png") };
};

// An MP3's attached picture, a movie-type file's cover art, whatever the file's name says.
TEST_F(GetFilePictureTest, TaggedAudioGivesItsPicture)
{
    // The file, a copy's name, and whether the picture and the album come from an ID3 tag.
    for (const auto& [file, renamed, id3] :
        { std::tuple { "tagged.mp3", "Über 曲.mp3", true }, { "tagged.m4a", "tagged.dat", false } }) {
        SCOPED_TRACE(file);
        const QString path = fixture(file);
        GetFilePicture reader;
        expectSamePixels(reader.getFilePicture(path), m_cover);

        const std::string copy = m_dir.file(renamed);
        fixtures::copyFile(fixtures::path(file), copy);
        expectSamePixels(reader.getFilePicture(q(copy)), m_cover);
        EXPECT_EQ(reader.getComposerAndAlbum().value(u"album"_s), id3 ? u"Fixture Album"_s : QString());
    }
}

TEST_F(GetFilePictureTest, FileWithoutPictureOrUnreadableGivesTheGenericPicture)
{
    ASSERT_EQ(m_generic.size(), QSize(120, 90));
    fixtures::writeFile(m_dir.file("random.mp3"), fixtures::randomBytes(64 * 1024, 5));
    std::filesystem::create_directory(m_dir.file("folder.mov"));
    // Picture data that is no image, and a picture frame without data.
    const std::string corrupt
        = mp3WithTag("corrupt.mp3", id3Tag(3, { { "APIC", apicBody("image/jpeg", fixtures::randomBytes(3000, 9)) } }));
    const std::string noData = mp3WithTag("nodata.mp3", id3Tag(3, { { "APIC", apicBody("image/png", "") } }));
    for (const std::string& file : { fixtures::path("tone.mp3"), m_dir.file("random.mp3"), m_dir.file("folder.mov"),
             fixtures::path("truncated.mp3"), corrupt, noData }) {
        SCOPED_TRACE(file);
        EXPECT_EQ(GetFilePicture(u"unused"_s).getFilePicture(q(file)), m_generic);
    }
}

// Red and blue reach every corner: stretched, neither cropped nor letterboxed, and taken from
// the first picture rather than the green ones that follow, also from a decoder that has read on.
TEST_F(GetFilePictureTest, VideoGivesItsFirstPictureStretchedTo120By90)
{
    const std::string wide = m_dir.file("wide.mp4");
    ASSERT_TRUE(makeWideVideo(wide));
    EXPECT_EQ(GetFilePicture::jugeFileKind(q(wide)), GetFilePicture::VideoFile);
    const VideoDecoder decoder = VDecCreate(WidePath(wide), 0, 0, 0);
    ASSERT_NE(decoder, nullptr);
    for (int i = 0; i < 20; ++i) // past the red and blue pictures
        VDecGetVideoFrame(decoder);
    for (const QImage& thumbnail : { GetFilePicture().getFilePicture(q(wide)), videoThumbnail(decoder) }) {
        ASSERT_EQ(thumbnail.size(), QSize(kVideoThumbnailWidth, kVideoThumbnailHeight));
        for (const int y : { 1, 45, 88 }) {
            expectColour(thumbnail, 1, y, QColor(255, 0, 0));
            expectColour(thumbnail, 50, y, QColor(255, 0, 0));
            expectColour(thumbnail, 70, y, QColor(0, 0, 255));
            expectColour(thumbnail, 118, y, QColor(0, 0, 255));
        }
    }
    VDecDestroy(decoder);
    EXPECT_TRUE(videoThumbnail(nullptr).isNull());
}

TEST_F(GetFilePictureTest, TheFirstOfTwoPicturesIsShown)
{
    const std::string red = imageBytes(QColor(255, 0, 0), QSize(16, 16), "PNG");
    const std::string blue = imageBytes(QColor(0, 0, 255), QSize(16, 16), "PNG");
    const QImage image = GetFilePicture().getFilePicture(q(mp3WithTag(
        "two.mp3", id3Tag(3, { { "APIC", apicBody("image/png", red) }, { "APIC", apicBody("image/png", blue) } }))));
    ASSERT_EQ(image.size(), QSize(16, 16));
    EXPECT_EQ(image.pixelColor(8, 8), QColor(255, 0, 0));
}

TEST_F(GetFilePictureTest, ComposerAndAlbumOfFixtures)
{
    GetFilePicture tagged(fixture("tagged.mp3"));
    EXPECT_EQ(albumAndComposer(tagged), (QStringList { u"Fixture Album"_s, u"Fixture Composer"_s }));
    // getFilePicture() moves the reader to the file it was asked about.
    EXPECT_EQ(tagged.getFilePicture(fixture("tone.mp3")).size(), QSize(120, 90));
    EXPECT_EQ(albumAndComposer(tagged), QStringList(2));

    // No ID3 tag: another kind of tag, or no file.
    for (const std::string& file : { fixtures::path("tagged.m4a"), m_dir.file("missing.mp3"), std::string() }) {
        SCOPED_TRACE(file);
        EXPECT_EQ(albumAndComposer(GetFilePicture(q(file))), QStringList(2));
    }
}

// Which text frames count and which value is shown; the decoding of each ID3 text
// encoding is the tag library's.
TEST_F(GetFilePictureTest, AlbumAndComposerComeFromTheirFramesOnly)
{
    const QString cafe = u"Caf\u00e9 Z\u00fcrich"_s;
    const QString tokyo = u"\u6771\u4eac \u00c4rger"_s;
    const std::tuple<const char*, std::vector<Id3Frame>, QString, QString> cases[] = {
        { "non-ASCII text",
            { text("TALB", 3, tokyo.toUtf8().toStdString()), text("TCOM", 0, cafe.toLatin1().toStdString()) }, tokyo,
            cafe },
        { "several values: the first", { text("TCOM", 3, std::string("First") + '\0' + "Second") }, {}, u"First"_s },
        { "unknown encoding", { text("TALB", 7, "Cafe") }, {}, {} },
        { "a later frame replaces an earlier one",
            { text("TALB", 0, "Old"), text("TCOM", 0, "Writer"), text("TALB", 0, "New") }, u"New"_s, u"Writer"_s },
        { "an unreadable later frame is skipped", { text("TALB", 0, "Kept"), text("TALB", 9, "Lost") }, u"Kept"_s, {} },
        { "other frames are ignored",
            { text("TIT2", 0, "Title"), text("TPE1", 0, "Artist"), text("TCOM", 0, "Composer") }, {}, u"Composer"_s },
    };
    int index = 0;
    for (const auto& [what, frames, album, composer] : cases) {
        SCOPED_TRACE(what);
        const std::string file = mp3WithTag("case" + std::to_string(index++) + ".mp3", id3Tag(4, frames));
        EXPECT_EQ(albumAndComposer(GetFilePicture(q(file))), (QStringList { album, composer }));
    }
}

} // namespace
