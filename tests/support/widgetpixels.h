#pragma once
// What a widget paints, read back as pixels.

#include <QColor>
#include <QImage>

#include <gtest/gtest.h>

class QWidget;

// The widget rendered now, in ARGB32.
QImage grabbed(QWidget& widget);

// Colours within `tolerance` per channel: scaling and compositing round a little.
::testing::AssertionResult looksLike(QColor actual, QColor expected, int tolerance = 6);

// Images of the same size whose every pixel looksLike the other's; on failure, how many
// differ and where the first one is.
::testing::AssertionResult looksLike(const QImage& actual, const QImage& expected, int tolerance = 6);
