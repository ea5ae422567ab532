#pragma once
// Conversions between times and the strings the editor, the trim dialog and the
// recorder show, the next free numbered file name, and picture scaling helpers.
// Time strings are two-digit, zero-padded fields separated by ":"; hours are not
// limited to 24 and take as many digits as they need.
// Everything here is stateless and safe to call from any thread.

#include <QtCore/qcontainerfwd.h>

struct VideoDecoderImpl;

class QImage;
class QString;

// Seconds as a double to "HH:MM:SS", rounding to the nearest second (half rounds up).
// Values outside the int range clamp to it; NaN reads as 0.
[[nodiscard]] QString GetTimeString(double seconds);

class CommonFunctions {
public:
    CommonFunctions() = delete;

    // Milliseconds to "HH:MM:SS". The leftover milliseconds round to the nearest second,
    // with exactly 500 rounding down (1500 ms is 00:00:01, 1501 ms is 00:00:02).
    [[nodiscard]] static QString mSecondsToNSString(int milliseconds);

    // accuracy 1: the milliseconds as a plain number ("75000"); accuracy 2: "MM:SS" with
    // the minutes within the hour; any other accuracy: "HH:MM:SS".
    [[nodiscard]] static QString secondsToShortString(int seconds, int accuracy);

    // "H:M:S" (pieces may also be separated by "." or "/") to milliseconds. Never fails:
    // a missing or non-numeric piece counts as 0, anything after the seconds (such as a
    // fraction) is ignored, and a result beyond the int range clamps to it.
    [[nodiscard]] static int stringToMseconds(const QString& time);

    // "HH:MM:SS.ff" to its four pieces: hours, minutes, seconds, fraction. Always four
    // strings; a piece the text does not have is an empty string.
    [[nodiscard]] static QStringList divideString(const QString& time);

    // True when every character is an ASCII decimal digit; an empty string counts as true.
    [[nodiscard]] static bool isStringInt(const QString& text);

    // The number to append to `name` (as "<base> <n>.<ext>") so that it does not clash
    // with an entry of `folder`: one more than the largest "<base> <n>" seen; else 1 when
    // "<base>" itself exists; else 0 (the plain name is free). Entries are compared
    // without their extensions. An empty or unreadable folder gives 0.
    [[nodiscard]] static int checkFileExist(const QString& name, const QString& folder);
    // The same rule over names already without extensions: the number to append to `name`
    // (after a blank) to make it free among `names`.
    [[nodiscard]] static int freeNameNumber(const QStringList& names, const QString& name);

    // The size of `image` scaled to fit a viewWidth x viewHeight box, aspect kept; one
    // side always equals the box's. A null image or an empty box gives 0 x 0. Either
    // output pointer may be null.
    static void resetImage(const QImage& image, int viewWidth, int viewHeight, int* newWidth, int* newHeight);

    // A new 120 x 90 thumbnail with the picture stretched over all of it (aspect not
    // kept). A null picture gives a transparent 120 x 90 image.
    [[nodiscard]] static QImage NSImageFromCGImageRef(const QImage& image);

    // A copy of the image in 32-bit ARGB; a null image gives a null image.
    [[nodiscard]] static QImage nsimageToCGImage(const QImage& image);

    // A 120 x 90 thumbnail of the decoder's first picture; null when it has none.
    [[nodiscard]] static QImage getImgFromVedio(VideoDecoderImpl* decoder);

    static constexpr int kThumbnailWidth = 120;
    static constexpr int kThumbnailHeight = 90;
};
