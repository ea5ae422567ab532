#include "fuzz/fuzzsupport.h"

#include "media/medialog.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <cstdio>
#include <cstdlib>

namespace fuzz {

void quietLogs()
{
    qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString&) {});
    medialog::setSink([](medialog::Level, std::string_view) {});
}

const QString& scratchFolder()
{
    static QTemporaryDir folder(QDir::tempPath() + QStringLiteral("/sonabel-fuzz-XXXXXX"));
    static const QString path = folder.path();
    return path;
}

QString writeScratch(const QString& name, const uint8_t* data, size_t size)
{
    const QString path = scratchFolder() + u'/' + name;
    QFile file(path);
    check(file.open(QIODevice::WriteOnly | QIODevice::Truncate), "cannot write the scratch file");
    file.write(reinterpret_cast<const char*>(data), static_cast<qint64>(size));
    return path;
}

void clearScratch()
{
    QDir folder(scratchFolder());
    for (const QString& entry : folder.entryList(QDir::Files | QDir::Hidden | QDir::System))
        folder.remove(entry);
}

void check(bool condition, const char* what)
{
    if (condition)
        return;
    std::fprintf(stderr, "fuzz check failed: %s\n", what);
    std::abort();
}

} // namespace fuzz
