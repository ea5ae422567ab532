#include "ui/links/linkopener.h"

#include "core/environment/logging.h"

#include <QDesktopServices>

namespace {
QUrl s_lastOpened;
}

bool LinkOpener::open(const QUrl& url)
{
    if (url.isEmpty() || !url.isValid())
        return false;
    s_lastOpened = url;
    if (qEnvironmentVariable("SONABEL_NO_EXTERNAL_OPEN") == QStringLiteral("1")) {
        qCInfo(lcApp).noquote() << QStringLiteral("not opening %1 (SONABEL_NO_EXTERNAL_OPEN)").arg(url.toString());
        return true;
    }
    return QDesktopServices::openUrl(url);
}

QUrl LinkOpener::lastOpened()
{
    return s_lastOpened;
}
