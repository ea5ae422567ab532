#pragma once
// Album and artist from the metadata of MPEG-4 / QuickTime files (M4A, M4R, MP4, MOV
// and the like), for the editor's info panel.
//
// The reader collects the text items ©nam, ©ART, aART, ©alb, ©grp, ©wrt, ©gen, ©cmt
// and ©day (© is U+00A9) of the file's `ilst`; each value is the item's first string,
// cut to at most 255 UTF-8 bytes on a character boundary. A file that is not MPEG-4 or
// QuickTime, or cannot be read, gives an empty reader.
//
// Threads: reads the file once, in the constructor; afterwards the object is immutable
// and may be read from any thread.

#include <QMap>
#include <QString>

#include <optional>

class GetFileInfoUseQuickTime {
public:
    static constexpr int kMaxValueBytes = 255;

    explicit GetFileInfoUseQuickTime(const QString& filePath);

    // The value under ©ART: the info panel shows the artist as the composer.
    [[nodiscard]] std::optional<QString> getComposer() const;
    // The value under ©alb.
    [[nodiscard]] std::optional<QString> getAlbum() const;

    // Item key (as "©alb") to value, for every item collected.
    [[nodiscard]] const QMap<QString, QString>& keyAndValueDic() const { return m_keyAndValueDic; }

private:
    [[nodiscard]] std::optional<QString> value(const QString& key) const;

    QMap<QString, QString> m_keyAndValueDic;
};
