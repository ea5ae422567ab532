#include "support/widgetpixels.h"

#include <QWidget>

#include <cstdlib>

QImage grabbed(QWidget& widget)
{
    return widget.grab().toImage().convertToFormat(QImage::Format_ARGB32);
}

::testing::AssertionResult looksLike(QColor actual, QColor expected, int tolerance)
{
    if (std::abs(actual.red() - expected.red()) <= tolerance && std::abs(actual.green() - expected.green()) <= tolerance
        && std::abs(actual.blue() - expected.blue()) <= tolerance)
        return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "got " << actual.name().toStdString() << ", expected "
                                         << expected.name().toStdString();
}

::testing::AssertionResult looksLike(const QImage& actual, const QImage& expected, int tolerance)
{
    if (actual.size() != expected.size())
        return ::testing::AssertionFailure() << "size " << actual.width() << "x" << actual.height() << ", expected "
                                             << expected.width() << "x" << expected.height();
    int differing = 0;
    ::testing::AssertionResult first = ::testing::AssertionSuccess();
    for (int y = 0; y < actual.height(); ++y) {
        for (int x = 0; x < actual.width(); ++x) {
            ::testing::AssertionResult same = looksLike(actual.pixelColor(x, y), expected.pixelColor(x, y), tolerance);
            if (!same && differing++ == 0)
                first = ::testing::AssertionFailure() << "at (" << x << ", " << y << ") " << same.message();
        }
    }
    if (differing == 0)
        return ::testing::AssertionSuccess();
    return first << "; " << differing << " pixels differ";
}
