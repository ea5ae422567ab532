#include "core/medialibrary/itunesrecentdatabases.h"

#include "core/library/librarybridge.h"

#include <QFileInfo>
#include <QSettings>
#include <QUrl>

namespace {

const QString kKey = QStringLiteral("iTunesRecentDatabases");

QSettings settings()
{
    return QSettings(QStringLiteral("Corvane"), QStringLiteral("Sonabel"));
}

} // namespace

namespace iTunesRecentDatabases {

QStringList urls()
{
    const QSettings store = settings();
    if (store.contains(kKey))
        return store.value(kKey).toStringList();
    QStringList found;
    for (const QString& name : { QStringLiteral("iTunes Music Library.xml"), QStringLiteral("iTunes Library.xml") }) {
        const QString path = LibraryBridge::libraryFolder() + u'/' + name;
        if (QFileInfo::exists(path))
            found << QUrl::fromLocalFile(path).toString(QUrl::FullyEncoded);
    }
    return found;
}

void setUrls(const QStringList& urls)
{
    settings().setValue(kKey, urls);
}

QString localPath(const QString& url)
{
    // Library files hold tens of thousands of these, so the common forms are read by hand:
    // "file:" [ "//" ("" | "localhost") ] "/" path, the path percent-encoded UTF-8.
    if (!url.startsWith(QLatin1String("file:"), Qt::CaseInsensitive))
        return {};
    QStringView rest = QStringView(url).mid(5);
    if (rest.startsWith(u"//")) {
        rest = rest.mid(2);
        const qsizetype slash = rest.indexOf(u'/');
        if (slash < 0)
            return {};
        const QStringView host = rest.left(slash);
        if (!host.isEmpty() && host.compare(u"localhost", Qt::CaseInsensitive) != 0)
            return {};
        rest = rest.mid(slash);
    }
    if (!rest.startsWith(u'/'))
        return {};
    for (qsizetype i = 0; i < rest.size(); ++i) {
        if (rest[i] == u'?' || rest[i] == u'#') { // a query or fragment is not part of the path
            rest = rest.left(i);
            break;
        }
    }
    if (!rest.contains(u'%'))
        return rest.toString();
    return QString::fromUtf8(QByteArray::fromPercentEncoding(rest.toUtf8()));
}

QStringList files()
{
    QStringList paths;
    for (const QString& url : urls()) {
        const QString path = localPath(url);
        const QFileInfo info(path);
        if (!path.isEmpty() && info.isFile() && info.isReadable())
            paths << path;
    }
    return paths;
}

} // namespace iTunesRecentDatabases
