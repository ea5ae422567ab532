#include "core/metadata/getfilepicture.h"

#include "core/environment/logging.h"
#include "core/metadata/videothumbnail.h"
#include "media/utfconvert.h"
#include "media/vyrtmediafiledecoder.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QFile>

#include <memory>
#include <taglib/attachedpictureframe.h>
#include <taglib/id3v2frame.h>
#include <taglib/id3v2tag.h>
#include <taglib/mp4coverart.h>
#include <taglib/mp4file.h>
#include <taglib/mp4tag.h>
#include <taglib/mpegfile.h>
#include <taglib/textidentificationframe.h>
#include <utility>

namespace {

struct VideoDecoderDeleter {
    void operator()(VideoDecoderImpl* decoder) const { VDecDestroy(decoder); }
};
using VideoDecoderPtr = std::unique_ptr<VideoDecoderImpl, VideoDecoderDeleter>;

QImage imageFromBytes(const TagLib::ByteVector& bytes)
{
    QImage image;
    if (!bytes.isEmpty())
        image.loadFromData(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    return image;
}

QImage videoFrameThumbnail(const QByteArray& nativePath)
{
    const VideoDecoderPtr decoder(VDecCreate(WidePath(nativePath.toStdString()), 0, 0, 0));
    return videoThumbnail(decoder.get());
}

// The first cover of an MPEG-4 / QuickTime file (M4A, M4R, MP4, MOV, ...), recognised by
// its content rather than its name.
QImage movieArtwork(const QByteArray& nativePath)
{
    TagLib::MP4::File file(nativePath.constData(), false);
    const TagLib::MP4::Tag* tag = file.isValid() ? file.tag() : nullptr;
    if (tag == nullptr || !tag->contains("covr"))
        return {};
    const TagLib::MP4::CoverArtList covers = tag->item("covr").toCoverArtList();
    return covers.isEmpty() ? QImage() : imageFromBytes(covers.front().data());
}

// The file opened for its ID3v2 tag, or none when it does not start with one. Looking only
// at the start spares TagLib's search for MPEG frames through the whole of a long WAV or
// FLAC file.
std::unique_ptr<TagLib::MPEG::File> openId3v2(const QString& path, const QByteArray& nativePath)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.read(3) != "ID3")
        return nullptr;
    auto mpeg = std::make_unique<TagLib::MPEG::File>(nativePath.constData(), false);
    return mpeg->isOpen() ? std::move(mpeg) : nullptr;
}

// The first attached picture of the file's ID3v2 tag.
QImage id3Picture(const QString& path, const QByteArray& nativePath)
{
    const std::unique_ptr<TagLib::MPEG::File> file = openId3v2(path, nativePath);
    TagLib::ID3v2::Tag* tag = file != nullptr ? file->ID3v2Tag() : nullptr;
    const TagLib::ID3v2::FrameList frames = tag != nullptr ? tag->frameList("APIC") : TagLib::ID3v2::FrameList();
    const auto* picture
        = frames.isEmpty() ? nullptr : dynamic_cast<const TagLib::ID3v2::AttachedPictureFrame*>(frames.front());
    if (picture == nullptr) {
        qCInfo(lcMedia, "*** no picture frame found in \"%s\"", qUtf8Printable(path));
        return {};
    }
    const TagLib::ByteVector data = picture->picture();
    if (data.isEmpty())
        return {};
    QImage image = imageFromBytes(data);
    if (image.isNull())
        qCInfo(lcMedia, "the picture frame of \"%s\" holds no readable image", qUtf8Printable(path));
    else
        qCInfo(lcMedia, " done!");
    return image;
}

// ID3v2 text encodings; TagLib decodes any other byte as UTF-16 as well, so such a frame
// would yield garbage instead of being recognised as unreadable.
bool isId3TextEncoding(TagLib::String::Type encoding)
{
    return encoding == TagLib::String::Latin1 || encoding == TagLib::String::UTF16
        || encoding == TagLib::String::UTF16BE || encoding == TagLib::String::UTF8;
}

QString toQString(const TagLib::String& text)
{
    return QString::fromStdString(text.to8Bit(true));
}

} // namespace

int GetFilePicture::jugeFileKind(const QString& path)
{
    const MediaFileInfoPtr info = VyRTMediaFileDecoder::getMediaFileInfo(QFile::encodeName(path).toStdString());
    const bool video = info != nullptr && info->programCount > 0 && info->programs[0].videoStreamCount != 0;
    return video ? VideoFile : AudioFile;
}

QImage GetFilePicture::getFilePicture(const QString& path)
{
    m_filePath = path;
    const QByteArray nativePath = QFile::encodeName(path);
    QImage image;
    if (jugeFileKind(path) == VideoFile)
        image = videoFrameThumbnail(nativePath);
    if (image.isNull())
        image = movieArtwork(nativePath);
    if (image.isNull())
        image = id3Picture(path, nativePath);
    if (image.isNull())
        image = QImage(QStringLiteral(":/AudioPic.png"));
    m_image = image;
    return m_image;
}

QMap<QString, QString> GetFilePicture::getComposerAndAlbum() const
{
    const QString albumKey = QStringLiteral("album");
    const QString composerKey = QStringLiteral("composer");
    QMap<QString, QString> result { { albumKey, QString() }, { composerKey, QString() } };

    const std::unique_ptr<TagLib::MPEG::File> file = openId3v2(m_filePath, QFile::encodeName(m_filePath));
    const TagLib::ID3v2::Tag* tag = file != nullptr ? file->ID3v2Tag() : nullptr;
    if (tag == nullptr)
        return result;

    for (const TagLib::ID3v2::Frame* frame : tag->frameList()) {
        const TagLib::ByteVector id = frame->frameID();
        const QString* key = id == "TALB" ? &albumKey : id == "TCOM" ? &composerKey : nullptr;
        const auto* text = dynamic_cast<const TagLib::ID3v2::TextIdentificationFrame*>(frame);
        if (key == nullptr || text == nullptr || !isId3TextEncoding(text->textEncoding()))
            continue;
        // Several values are separated by zero characters; the first one is the text shown.
        const TagLib::StringList values = text->fieldList();
        result[*key] = values.isEmpty() ? QString() : toQString(values.front());
    }
    return result;
}
