#pragma once
// The picture the editor shows for a loaded file, and the album and composer of its
// ID3 tag.
//
// Picture sources, first match wins: a video's first frame (120 x 90 thumbnail); the
// cover art of an MPEG-4 or QuickTime file (the first `covr` picture); the first ID3v2
// attached picture (APIC); the generic ":/AudioPic.png". Pictures are decoded in
// memory, no scratch file is written.
//
// Threads: no shared state. One object is used by one thread at a time; separate
// objects may work on the same file from different threads at once.

#include <QImage>
#include <QMap>
#include <QString>

class GetFilePicture {
public:
    enum FileKind { VideoFile = 1, AudioFile = 2 };

    GetFilePicture() = default;
    explicit GetFilePicture(const QString& fileName)
        : m_filePath(fileName)
    {
    }

    // VideoFile when the decoder probes the file and its first program has a video
    // stream (cover pictures are not counted); AudioFile otherwise, unreadable files too.
    [[nodiscard]] static int jugeFileKind(const QString& path);

    // The picture for `path`, which becomes filePath(). Never null: the generic picture
    // is the last resort.
    QImage getFilePicture(const QString& path);

    // {"album", "composer"} from the ID3v2 TALB and TCOM frames of filePath(); a later
    // frame replaces an earlier one, values are empty strings when missing.
    [[nodiscard]] QMap<QString, QString> getComposerAndAlbum() const;

    [[nodiscard]] const QString& filePath() const { return m_filePath; }
    // The picture getFilePicture() produced last.
    [[nodiscard]] const QImage& image() const { return m_image; }

private:
    QString m_filePath;
    QImage m_image;
};
