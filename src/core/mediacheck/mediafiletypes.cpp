#include "core/mediacheck/mediafiletypes.h"

namespace {

QStringList upper(std::initializer_list<const char*> names)
{
    QStringList list;
    for (const char* name : names)
        list << QString::fromLatin1(name).toUpper();
    return list;
}

} // namespace

namespace MediaFileTypes {

const QStringList& openPanelFileTypes()
{
    static const QStringList types = upper({ "M4R", "M4V", "WMA", "WAV", "M4A", "AAC", "AC3", "OGG", "MP3", "AVI",
        "WMV", "DivX", "MP4", "AVC", "AVCHD", "MKV", "MOV", "XviD", "3GP", "MPEG" });
    return types;
}

const QStringList& dropFileTypes()
{
    static const QStringList types = openPanelFileTypes() + QStringList { QStringLiteral("FLV") };
    return types;
}

bool isVideoType(const QString& ending)
{
    static const QStringList video
        = upper({ "M4V", "AVI", "WMV", "DivX", "MP4", "AVC", "AVCHD", "MKV", "MOV", "XviD", "3GP", "MPEG", "FLV" });
    return video.contains(ending, Qt::CaseInsensitive);
}

} // namespace MediaFileTypes
