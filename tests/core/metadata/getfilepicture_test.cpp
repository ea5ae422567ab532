#include "core/metadata/getfilepicture.h"
#include "core/metadata/videothumbnail.h"
#include "media/decoderlib.h"
#include "media/utfconvert.h"
#include "support/fixtures.h"

#include <QBuffer>
#include <QByteArray>
#include <QColor>
#include <QFile>
#include <QImage>
#include <QLoggingCategory>
#include <QProcess>
#include <QStringList>

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

using namespace Qt::StringLiterals;

namespace {

QString qPath(const std::string& path)
{
    return QString::fromStdString(path);
}

// Collects every log line while it lives, with the media category's info lines enabled.
class LogCapture {
public:
    LogCapture()
    {
        s_lines.clear();
        QLoggingCategory::setFilterRules(u"sonabel.media.info=true"_s);
        m_previous = qInstallMessageHandler(
            [](QtMsgType, const QMessageLogContext&, const QString& message) { s_lines.append(message); });
    }
    ~LogCapture()
    {
        qInstallMessageHandler(m_previous);
        QLoggingCategory::setFilterRules(QString());
    }
    LogCapture(const LogCapture&) = delete;
    LogCapture& operator=(const LogCapture&) = delete;

    [[nodiscard]] const QStringList& lines() const { return s_lines; }

private:
    static inline QStringList s_lines;
    QtMessageHandler m_previous = nullptr;
};

bool runFfmpeg(const QStringList& arguments)
{
    QProcess process;
    process.start(
        u"ffmpeg"_s, QStringList { u"-nostdin"_s, u"-hide_banner"_s, u"-loglevel"_s, u"error"_s, u"-y"_s } + arguments);
    return process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit && process.exitCode() == 0;
}

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
        u"yuv420p"_s, qPath(file) });
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
    const QImage a = actual.convertToFormat(QImage::Format_RGB32);
    const QImage e = expected.convertToFormat(QImage::Format_RGB32);
    for (const QPoint p :
        { QPoint(0, 0), QPoint(5, 10), QPoint(20, 40), QPoint(32, 32), QPoint(50, 60), QPoint(63, 63) })
        EXPECT_EQ(a.pixel(p), e.pixel(p)) << "pixel " << p.x() << "," << p.y();
}

QImage genericPicture()
{
    return QImage(u":/AudioPic.png"_s);
}

QImage fixtureCover()
{
    return QImage(qPath(fixtures::path("cover.png")));
}

// --- Hand-made ID3v2 tags -------------------------------------------------------------

std::string bigEndian32(uint32_t n)
{
    return { static_cast<char>(n >> 24), static_cast<char>(n >> 16), static_cast<char>(n >> 8), static_cast<char>(n) };
}

std::string synchsafe32(uint32_t n)
{
    return { static_cast<char>((n >> 21) & 0x7f), static_cast<char>((n >> 14) & 0x7f),
        static_cast<char>((n >> 7) & 0x7f), static_cast<char>(n & 0x7f) };
}

struct Id3Frame {
    std::string id;
    std::string body; // everything after the frame header
};

// An ID3v2.3 or v2.4 tag holding `frames`, without padding.
std::string id3Tag(int version, const std::vector<Id3Frame>& frames)
{
    std::string body;
    for (const Id3Frame& frame : frames) {
        const auto size = static_cast<uint32_t>(frame.body.size());
        body += frame.id + (version == 4 ? synchsafe32(size) : bigEndian32(size)) + std::string(2, '\0') + frame.body;
    }
    return std::string("ID3") + static_cast<char>(version) + std::string(2, '\0')
        + synchsafe32(static_cast<uint32_t>(body.size())) + body;
}

std::string utf16(const QString& text, bool bigEndian)
{
    std::string bytes;
    for (const QChar c : text) {
        const auto hi = static_cast<char>(c.unicode() >> 8);
        const auto lo = static_cast<char>(c.unicode() & 0xff);
        bytes += bigEndian ? std::string { hi, lo } : std::string { lo, hi };
    }
    return bytes;
}

std::string utf8(const QString& text)
{
    return text.toUtf8().toStdString();
}

std::string latin1(const QString& text)
{
    return text.toLatin1().toStdString();
}

std::string textBody(char encoding, const std::string& bytes)
{
    return std::string(1, encoding) + bytes;
}

std::string apicBody(const std::string& mimeType, const std::string& data)
{
    // Latin-1 texts, picture type 3 (front cover), empty description.
    return std::string(1, '\0') + mimeType + std::string(1, '\0') + '\x03' + std::string(1, '\0') + data;
}

std::string pngBytes(QColor colour)
{
    QImage image(16, 16, QImage::Format_RGB32);
    image.fill(colour);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes.toStdString();
}

// tone.mp3's MPEG audio without the tag the encoder put in front of it.
std::string untaggedAudio()
{
    QFile file(qPath(fixtures::path("tone.mp3")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    const QByteArray bytes = file.readAll();
    if (!bytes.startsWith("ID3") || bytes.size() < 10)
        return bytes.toStdString();
    qsizetype size = 10;
    for (int i = 6; i < 10; ++i)
        size += static_cast<qsizetype>(static_cast<uint8_t>(bytes[i]) & 0x7f) << (7 * (9 - i));
    if ((static_cast<uint8_t>(bytes[5]) & 0x10) != 0)
        size += 10; // footer
    return bytes.mid(size).toStdString();
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
};

// --- Pictures -------------------------------------------------------------------------

TEST_F(GetFilePictureTest, Mp3WithAttachedPictureGivesThatPicture)
{
    const QString path = qPath(fixtures::path("tagged.mp3"));
    EXPECT_EQ(GetFilePicture::jugeFileKind(path), GetFilePicture::AudioFile); // the cover is no video

    const LogCapture log;
    GetFilePicture reader;
    const QImage image = reader.getFilePicture(path);
    ASSERT_FALSE(fixtureCover().isNull());
    expectSamePixels(image, fixtureCover());
    EXPECT_EQ(reader.filePath(), path);
    EXPECT_EQ(reader.image(), image);
    EXPECT_TRUE(log.lines().contains(u" done!"_s)) << log.lines().join(u'\n').toStdString();

    // The same file under a name that is not ASCII.
    const std::string renamed = m_dir.file("Über 曲.mp3");
    fixtures::copyFile(fixtures::path("tagged.mp3"), renamed);
    expectSamePixels(reader.getFilePicture(qPath(renamed)), fixtureCover());
    EXPECT_EQ(reader.getComposerAndAlbum().value(u"album"_s), u"Fixture Album"_s);
}

TEST_F(GetFilePictureTest, FileWithoutPictureGivesGenericPictureAndSaysSo)
{
    const QImage generic = genericPicture();
    ASSERT_FALSE(generic.isNull());
    EXPECT_EQ(generic.size(), QSize(120, 90));

    const QString path = qPath(fixtures::path("tone.mp3"));
    const LogCapture log;
    GetFilePicture reader;
    EXPECT_EQ(reader.getFilePicture(path), generic);
    EXPECT_TRUE(log.lines().contains(u"*** no picture frame found in \"%1\""_s.arg(path)))
        << log.lines().join(u'\n').toStdString();
    EXPECT_FALSE(log.lines().contains(u" done!"_s));

    const QString unicode = qPath(fixtures::path("Ünïcødé name – 曲.mp3"));
    EXPECT_EQ(reader.getFilePicture(unicode), generic);
    EXPECT_TRUE(log.lines().contains(u"*** no picture frame found in \"%1\""_s.arg(unicode)));
}

TEST_F(GetFilePictureTest, UnreadableFilesGiveGenericPicture)
{
    fixtures::writeFile(m_dir.file("random.mp3"), fixtures::randomBytes(64 * 1024, 5));
    fixtures::writeFile(m_dir.file("empty.m4a"), "");
    std::filesystem::create_directory(m_dir.file("folder.mov"));
    const QImage generic = genericPicture();
    for (const std::string& file : { m_dir.file("random.mp3"), m_dir.file("empty.m4a"), m_dir.file("folder.mov"),
             m_dir.file("missing.mp3"), fixtures::path("truncated.mp3") }) {
        SCOPED_TRACE(file);
        EXPECT_EQ(GetFilePicture::jugeFileKind(qPath(file)), GetFilePicture::AudioFile);
        GetFilePicture reader(u"unused"_s);
        EXPECT_EQ(reader.getFilePicture(qPath(file)), generic);
        EXPECT_EQ(reader.filePath(), qPath(file));
    }
}

TEST_F(GetFilePictureTest, MovieTypeFileGivesItsCoverArt)
{
    const QString path = qPath(fixtures::path("tagged.m4a"));
    EXPECT_EQ(GetFilePicture::jugeFileKind(path), GetFilePicture::AudioFile);
    GetFilePicture reader;
    expectSamePixels(reader.getFilePicture(path), fixtureCover());

    // Recognised by content, whatever the name says.
    const std::string renamed = m_dir.file("tagged.dat");
    fixtures::copyFile(fixtures::path("tagged.m4a"), renamed);
    expectSamePixels(reader.getFilePicture(qPath(renamed)), fixtureCover());
}

TEST_F(GetFilePictureTest, VideoGivesStretchedThumbnailOfFirstFrame)
{
    const QString path = qPath(fixtures::path("video.mp4"));
    EXPECT_EQ(GetFilePicture::jugeFileKind(path), GetFilePicture::VideoFile);
    EXPECT_EQ(GetFilePicture::jugeFileKind(qPath(fixtures::path("video-silent.mp4"))), GetFilePicture::VideoFile);
    GetFilePicture reader;
    EXPECT_EQ(reader.getFilePicture(path).size(), QSize(120, 90));

    const std::string wide = m_dir.file("wide.mp4");
    ASSERT_TRUE(makeWideVideo(wide));
    const QImage thumbnail = reader.getFilePicture(qPath(wide));
    ASSERT_EQ(thumbnail.size(), QSize(120, 90));
    // Red and blue reach every corner: stretched, neither cropped nor letterboxed, and
    // taken from the first frame rather than the green ones that follow.
    const QColor red(255, 0, 0);
    const QColor blue(0, 0, 255);
    for (const int y : { 1, 45, 88 }) {
        expectColour(thumbnail, 1, y, red);
        expectColour(thumbnail, 50, y, red);
        expectColour(thumbnail, 70, y, blue);
        expectColour(thumbnail, 118, y, blue);
    }
}

TEST_F(GetFilePictureTest, HandMadePictureFrames)
{
    const QImage generic = genericPicture();
    const std::string red = pngBytes(QColor(255, 0, 0));
    const std::string blue = pngBytes(QColor(0, 0, 255));
    {
        SCOPED_TRACE("the first of two pictures");
        const std::string file = mp3WithTag(
            "two.mp3", id3Tag(3, { { "APIC", apicBody("image/png", red) }, { "APIC", apicBody("image/png", blue) } }));
        GetFilePicture reader;
        const QImage image = reader.getFilePicture(qPath(file));
        ASSERT_EQ(image.size(), QSize(16, 16));
        EXPECT_EQ(image.pixelColor(8, 8), QColor(255, 0, 0));
    }
    {
        SCOPED_TRACE("a JPEG picture in an ID3v2.4 tag");
        QImage source(32, 24, QImage::Format_RGB32);
        source.fill(QColor(0, 200, 0));
        QByteArray jpeg;
        QBuffer buffer(&jpeg);
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(source.save(&buffer, "JPG"));
        const std::string file
            = mp3WithTag("jpeg.mp3", id3Tag(4, { { "APIC", apicBody("image/jpeg", jpeg.toStdString()) } }));
        GetFilePicture reader;
        const QImage image = reader.getFilePicture(qPath(file));
        ASSERT_EQ(image.size(), QSize(32, 24));
        expectColour(image, 16, 12, QColor(0, 200, 0));
    }
    {
        SCOPED_TRACE("picture data that is no image");
        const std::string file = mp3WithTag(
            "corrupt.mp3", id3Tag(3, { { "APIC", apicBody("image/jpeg", fixtures::randomBytes(3000, 9)) } }));
        const LogCapture log;
        GetFilePicture reader;
        EXPECT_EQ(reader.getFilePicture(qPath(file)), generic);
        EXPECT_FALSE(log.lines().contains(u" done!"_s));
    }
    {
        SCOPED_TRACE("a picture frame without data");
        const std::string file = mp3WithTag("nodata.mp3", id3Tag(3, { { "APIC", apicBody("image/png", "") } }));
        GetFilePicture reader;
        EXPECT_EQ(reader.getFilePicture(qPath(file)), generic);
    }
}

// --- Album and composer ---------------------------------------------------------------

TEST_F(GetFilePictureTest, ComposerAndAlbumOfFixtures)
{
    GetFilePicture tagged(qPath(fixtures::path("tagged.mp3")));
    const QMap<QString, QString> values = tagged.getComposerAndAlbum();
    EXPECT_EQ(values.keys(), (QStringList { u"album"_s, u"composer"_s }));
    EXPECT_EQ(values.value(u"album"_s), u"Fixture Album"_s);
    EXPECT_EQ(values.value(u"composer"_s), u"Fixture Composer"_s);

    // getFilePicture() moves the reader to the file it was asked about.
    EXPECT_EQ(tagged.getFilePicture(qPath(fixtures::path("tone.mp3"))).size(), QSize(120, 90));
    EXPECT_EQ(tagged.getComposerAndAlbum().value(u"album"_s), QString());

    fixtures::writeFile(m_dir.file("random.mp3"), fixtures::randomBytes(32 * 1024, 3));
    for (const std::string& file : { fixtures::path("tone.mp3"), fixtures::path("tagged.m4a"),
             fixtures::path("tone.wav"), m_dir.file("random.mp3"), m_dir.file("missing.mp3"), std::string() }) {
        SCOPED_TRACE(file);
        const QMap<QString, QString> empty = GetFilePicture(qPath(file)).getComposerAndAlbum();
        EXPECT_EQ(empty.keys(), (QStringList { u"album"_s, u"composer"_s }));
        EXPECT_EQ(empty.value(u"album"_s), QString());
        EXPECT_EQ(empty.value(u"composer"_s), QString());
    }
}

TEST_F(GetFilePictureTest, TextFramesAreDecodedAsTheyDeclareThemselves)
{
    const QString cafe = u"Caf\u00e9 Z\u00fcrich"_s;
    const QString zoe = u"Zo\u00eb \u0160imon"_s;
    const QString tokyo = u"\u6771\u4eac \u00c4rger"_s;
    const std::string bomBigEndian("\xfe\xff");
    const std::string bomLittleEndian("\xff\xfe");
    const QString longText = QString(2000, u'x') + u"end"_s;

    struct Case {
        const char* what;
        int version;
        std::vector<Id3Frame> frames;
        QString album;
        QString composer;
    };
    const std::vector<Case> cases = {
        { "UTF-16BE composer", 4, { { "TCOM", textBody(2, utf16(zoe, true)) } }, {}, zoe },
        { "Latin-1 album", 3, { { "TALB", textBody(0, latin1(cafe)) } }, cafe, {} },
        { "UTF-16 with a big-endian mark", 3, { { "TALB", textBody(1, bomBigEndian + utf16(tokyo, true)) } }, tokyo,
            {} },
        { "UTF-16 with a little-endian mark", 3, { { "TALB", textBody(1, bomLittleEndian + utf16(tokyo, false)) } },
            tokyo, {} },
        { "UTF-8", 4, { { "TALB", textBody(3, utf8(tokyo)) }, { "TCOM", textBody(3, utf8(cafe)) } }, tokyo, cafe },
        { "odd UTF-16 length", 3, { { "TALB", textBody(1, bomLittleEndian + utf16(u"Ab"_s, false) + "C") } }, u"Ab"_s,
            {} },
        { "trailing zeros", 3, { { "TCOM", textBody(0, std::string("Name") + std::string(3, '\0')) } }, {}, u"Name"_s },
        { "a text longer than any fixed buffer", 4, { { "TALB", textBody(0, latin1(longText)) } }, longText, {} },
        { "several values", 4, { { "TCOM", textBody(3, std::string("First") + '\0' + "Second") } }, {}, u"First"_s },
        { "unknown encoding", 4, { { "TALB", textBody(7, utf16(cafe, true)) } }, {}, {} },
        { "a later frame replaces an earlier one", 3,
            { { "TALB", textBody(0, "Old") }, { "TCOM", textBody(0, "Writer") }, { "TALB", textBody(0, "New") } },
            u"New"_s, u"Writer"_s },
        { "an unreadable later frame is skipped", 4,
            { { "TALB", textBody(0, "Kept") }, { "TALB", textBody(9, "Lost") } }, u"Kept"_s, {} },
        { "other frames are ignored", 3,
            { { "TIT2", textBody(0, "Title") }, { "TPE1", textBody(0, "Artist") },
                { "TCOM", textBody(0, "Composer") } },
            {}, u"Composer"_s },
    };
    int index = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const std::string file = mp3WithTag("case" + std::to_string(index++) + ".mp3", id3Tag(c.version, c.frames));
        const QMap<QString, QString> values = GetFilePicture(qPath(file)).getComposerAndAlbum();
        EXPECT_EQ(values.size(), 2);
        EXPECT_EQ(values.value(u"album"_s), c.album);
        EXPECT_EQ(values.value(u"composer"_s), c.composer);
    }
}

// --- Thumbnails -----------------------------------------------------------------------

TEST(VideoThumbnail, IsTheFirstFrameStretchedTo120By90)
{
    DecMgrInit();
    const VideoDecoder decoder = VDecCreate(WidePath(fixtures::path("video-silent.mp4")), 0, 0, 0);
    ASSERT_NE(decoder, nullptr);
    // Read past the start first: the thumbnail still comes from the first picture.
    for (int i = 0; i < 10; ++i)
        VDecGetVideoFrame(decoder);
    const QImage first = videoThumbnail(decoder);
    const QImage again = videoThumbnail(decoder);
    VDecDestroy(decoder);
    ASSERT_EQ(first.size(), QSize(kVideoThumbnailWidth, kVideoThumbnailHeight));
    EXPECT_EQ(first.format(), QImage::Format_RGB32);
    EXPECT_EQ(first, again);
}

TEST(VideoThumbnail, NoPictureGivesNullImage)
{
    DecMgrInit();
    EXPECT_TRUE(videoThumbnail(nullptr).isNull());
    // Audio files and covers give no video decoder at all.
    EXPECT_EQ(VDecCreate(WidePath(fixtures::path("tagged.mp3")), 0, 0, 0), nullptr);
}

} // namespace
