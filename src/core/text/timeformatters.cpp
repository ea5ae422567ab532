#include "core/text/timeformatters.h"

#include "core/text/commonfunctions.h"
#include "core/text/leadingnumber.h"

#include <QCoreApplication>
#include <QString>
#include <QStringList>
#include <QVariant>

namespace {

constexpr int kMaxTypedMinutes = 60;
constexpr int kMaxSeconds = 59;
constexpr int kMaxCommittedMinutes = 59;
constexpr qsizetype kMaxFieldLength = 2;

bool isNumberType(const QVariant& value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Double:
    case QMetaType::Float: return true;
    default: return false;
    }
}

bool isSpaceOnly(QStringView text)
{
    for (const QChar c : text) {
        if (!c.isSpace())
            return false;
    }
    return true;
}

} // namespace

QString VyMediaTimeFormatter::stringForObjectValue(const QVariant& value)
{
    if (value.typeId() == QMetaType::QString)
        return value.toString();
    return QString();
}

QString VyMediaTimeFormatter::normalizedString(const QString& text)
{
    QStringList pieces = text.split(u':');
    while (pieces.size() < 3)
        pieces << QStringLiteral("00");
    for (qsizetype i = 0; i < 3; ++i) {
        if (pieces.at(i).size() < 2)
            pieces[i].prepend(u'0');
    }
    if (leadingInt(pieces.at(1)) > kMaxCommittedMinutes)
        pieces[1] = QStringLiteral("59");
    return pieces.at(0) + u':' + pieces.at(1) + u':' + pieces.at(2);
}

bool VyMediaTimeFormatter::isPartialStringValid(const QString& text)
{
    const QStringList pieces = text.split(u':');
    if (pieces.size() != 3)
        return false;
    for (const QString& piece : pieces) {
        if (piece.size() > kMaxFieldLength || !CommonFunctions::isStringInt(piece))
            return false;
    }
    return leadingInt(pieces.at(2)) <= kMaxSeconds && leadingInt(pieces.at(1)) <= kMaxTypedMinutes;
}

QString PlayTimeFormatter::stringForObjectValue(const QVariant& value)
{
    if (!isNumberType(value))
        return QString();
    const float asFloat = value.toFloat();
    return QString::asprintf("$%.2f", double(asFloat));
}

bool PlayTimeFormatter::getObjectValue(const QString& text, double* value, QString* errorDescription)
{
    QStringView rest(text);
    while (!rest.isEmpty() && rest.front().isSpace())
        rest = rest.sliced(1);
    if (rest.startsWith(u'$'))
        rest = rest.sliced(1);

    qsizetype consumed = 0;
    const float parsed = leadingFloat(rest, &consumed);
    if (consumed == 0 || !isSpaceOnly(rest.sliced(consumed))) {
        if (errorDescription)
            *errorDescription = QCoreApplication::translate("PlayTimeFormatter", "Couldn’t convert  to float");
        return false;
    }
    if (value)
        *value = double(parsed);
    return true;
}
