#include "core/metadata/getfileinfousequicktime.h"

#include <QByteArray>
#include <QFile>

#include <array>
#include <string>
#include <taglib/mp4file.h>
#include <taglib/mp4item.h>
#include <taglib/mp4tag.h>

namespace {

// TagLib names MP4 atoms in Latin-1, so "\251alb" arrives as U+00A9 followed by "alb".
constexpr std::array<const char16_t*, 9> kKnownKeys { u"\u00a9nam", u"\u00a9ART", u"aART", u"\u00a9alb", u"\u00a9grp",
    u"\u00a9wrt", u"\u00a9gen", u"\u00a9cmt", u"\u00a9day" };

// At most `limit` bytes of UTF-8, never ending inside a character.
QString cutUtf8(const std::string& utf8, size_t limit)
{
    size_t length = utf8.size();
    if (length > limit) {
        length = limit;
        // Back up over continuation bytes (10xxxxxx) to the start of the cut character.
        while (length > 0 && (static_cast<unsigned char>(utf8[length]) & 0xC0) == 0x80)
            --length;
    }
    return QString::fromUtf8(utf8.data(), static_cast<qsizetype>(length));
}

} // namespace

GetFileInfoUseQuickTime::GetFileInfoUseQuickTime(const QString& filePath)
{
    const QByteArray nativePath = QFile::encodeName(filePath);
    TagLib::MP4::File file(nativePath.constData(), false);
    const TagLib::MP4::Tag* tag = file.isValid() ? file.tag() : nullptr;
    if (tag == nullptr)
        return;
    const TagLib::MP4::ItemMap& items = tag->itemMap();
    for (const char16_t* key : kKnownKeys) {
        const QString qtKey = QString::fromUtf16(key);
        const auto found = items.find(TagLib::String(qtKey.toStdWString()));
        if (found == items.end())
            continue;
        // Items that hold numbers or pictures give no strings and are left out.
        const TagLib::StringList strings = found->second.toStringList();
        if (strings.isEmpty())
            continue;
        m_keyAndValueDic.insert(qtKey, cutUtf8(strings.front().to8Bit(true), kMaxValueBytes));
    }
}

std::optional<QString> GetFileInfoUseQuickTime::getComposer() const
{
    return value(QStringLiteral("\u00a9ART"));
}

std::optional<QString> GetFileInfoUseQuickTime::getAlbum() const
{
    return value(QStringLiteral("\u00a9alb"));
}

std::optional<QString> GetFileInfoUseQuickTime::value(const QString& key) const
{
    const auto found = m_keyAndValueDic.constFind(key);
    if (found == m_keyAndValueDic.constEnd())
        return std::nullopt;
    return *found;
}
