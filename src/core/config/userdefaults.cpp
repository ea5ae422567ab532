#include "core/config/userdefaults.h"

#include <QSettings>

namespace {

QSettings settings()
{
    return QSettings(QStringLiteral("Corvane"), QStringLiteral("Sonabel"));
}

} // namespace

namespace UserDefaults {

QString openFilePath()
{
    return settings().value(QStringLiteral("OpenFilePath")).toString();
}
void setOpenFilePath(const QString& folder)
{
    settings().setValue(QStringLiteral("OpenFilePath"), folder);
}
QString saveAsPath()
{
    return settings().value(QStringLiteral("SaveAsPath")).toString();
}
void setSaveAsPath(const QString& folder)
{
    settings().setValue(QStringLiteral("SaveAsPath"), folder);
}

} // namespace UserDefaults
