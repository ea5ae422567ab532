#include "core/text/commonfunctions.h"

#include "core/metadata/videothumbnail.h"
#include "core/text/leadingnumber.h"

#include <QDir>
#include <QImage>
#include <QRegularExpression>
#include <QString>
#include <QStringList>

#include <climits>
#include <cmath>

namespace {

QString hoursMinutesSeconds(int seconds)
{
    return QString::asprintf("%02d:%02d:%02d", seconds / 3600, (seconds % 3600) / 60, seconds % 60);
}

// The name without its last extension. A leading dot starts a hidden name, not an
// extension, so ".hidden" stays as it is.
QString withoutExtension(const QString& name)
{
    const qsizetype dot = name.lastIndexOf(u'.');
    return dot > 0 ? name.left(dot) : name;
}

} // namespace

QString GetTimeString(double seconds)
{
    // Converting an out-of-range double to int is undefined; clamp first.
    const double rounded = seconds + 0.5;
    int s = 0;
    if (std::isnan(rounded))
        s = 0;
    else if (rounded >= double(INT_MAX))
        s = INT_MAX;
    else if (rounded <= double(INT_MIN))
        s = INT_MIN;
    else
        s = static_cast<int>(rounded); // truncates toward zero
    const int hours = s / 3600;
    const int minutes = static_cast<int>((double(s) - 3600.0 * hours) / 60.0);
    return QString::asprintf("%02d:%02d:%02d", hours, minutes, s % 60);
}

QString CommonFunctions::mSecondsToNSString(int milliseconds)
{
    int seconds = milliseconds / 1000;
    const int rest = milliseconds - 1000 * seconds;
    if (rest > 500)
        ++seconds;
    return hoursMinutesSeconds(seconds);
}

QString CommonFunctions::secondsToShortString(int seconds, int accuracy)
{
    switch (accuracy) {
    case 1:
        // 64-bit so that large values do not overflow.
        return QString::number(qint64(seconds) * 1000);
    case 2: return QString::asprintf("%02d:%02d", (seconds % 3600) / 60, seconds % 60);
    default: return hoursMinutesSeconds(seconds);
    }
}

int CommonFunctions::stringToMseconds(const QString& time)
{
    static const QRegularExpression separators(QStringLiteral("[:./]"));
    const QStringList pieces = time.split(separators);
    const auto piece
        = [&pieces](qsizetype index) -> qint64 { return index < pieces.size() ? leadingInt(pieces.at(index)) : 0; };
    const qint64 ms = (piece(0) * 3600 + piece(1) * 60 + piece(2)) * 1000;
    return int(qBound(qint64(INT_MIN), ms, qint64(INT_MAX)));
}

QStringList CommonFunctions::divideString(const QString& time)
{
    const QStringList pieces = time.split(u':');
    QStringList result { pieces.value(0), pieces.value(1) };
    const QStringList seconds = pieces.value(2).split(u'.');
    // value() gives an empty string for a piece the text does not have.
    result << seconds.value(0) << seconds.value(1);
    return result;
}

bool CommonFunctions::isStringInt(const QString& text)
{
    for (const QChar c : text) {
        if (c.unicode() < u'0' || c.unicode() > u'9')
            return false;
    }
    return true;
}

int CommonFunctions::checkFileExist(const QString& name, const QString& folder)
{
    QStringList names;
    for (const QString& entry :
        QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot))
        names.append(withoutExtension(entry));
    return freeNameNumber(names, withoutExtension(name));
}

int CommonFunctions::freeNameNumber(const QStringList& names, const QString& name)
{
    const QString prefix = name + u' ';
    bool plainExists = false;
    int largest = 0;
    for (const QString& taken : names) {
        if (taken == name)
            plainExists = true;
        else if (taken.size() > prefix.size() && taken.startsWith(prefix))
            largest = qMax(largest, leadingInt(QStringView(taken).sliced(prefix.size())));
    }
    if (largest > 0)
        return largest == INT_MAX ? INT_MAX : largest + 1;
    return plainExists ? 1 : 0;
}

void CommonFunctions::resetImage(const QImage& image, int viewWidth, int viewHeight, int* newWidth, int* newHeight)
{
    int width = 0;
    int height = 0;
    // Guards: no division by zero and no float-to-int conversion of inf or NaN.
    if (!image.isNull() && viewWidth > 0 && viewHeight > 0) {
        const float w = float(image.width());
        const float h = float(image.height());
        const float rw = w / float(viewWidth);
        const float rh = h / float(viewHeight);
        if (rw > rh) {
            width = viewWidth;
            height = static_cast<int>(h / rw);
        } else {
            height = viewHeight;
            width = static_cast<int>(w / rh);
        }
    }
    if (newWidth)
        *newWidth = width;
    if (newHeight)
        *newHeight = height;
}

QImage CommonFunctions::NSImageFromCGImageRef(const QImage& image)
{
    if (image.isNull()) {
        QImage blank(kThumbnailWidth, kThumbnailHeight, QImage::Format_ARGB32_Premultiplied);
        blank.fill(Qt::transparent);
        return blank;
    }
    return image.scaled(kThumbnailWidth, kThumbnailHeight, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
}

QImage CommonFunctions::nsimageToCGImage(const QImage& image)
{
    if (image.isNull())
        return {};
    return image.convertToFormat(QImage::Format_ARGB32);
}

QImage CommonFunctions::getImgFromVedio(VideoDecoderImpl* decoder)
{
    return videoThumbnail(decoder);
}
