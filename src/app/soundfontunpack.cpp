#include "app/soundfontunpack.h"

#include "core/environment/logging.h"

int unPackSf2File(const char* source, const char* destination)
{
    qCInfo(lcApp).noquote() << QStringLiteral("the sound font is not unpacked in this build (%1 -> %2)")
                                   .arg(QString::fromUtf8(source), QString::fromUtf8(destination));
    return -1;
}
