#pragma once
// The font families our views name, drawn with free families a Debian desktop has:
// Helvetica with its metric twin, Geneva and Lucida Grande with a narrow sans, so labels
// laid out for those families keep their width instead of falling back to a wide sans.
//
// Installed once, on the main thread, right after the QApplication is made.

#include <QString>
#include <QStringList>

// Registers the substitutes with Qt's font matching.
void installFontSubstitutions();

// The installed families that stand in for `family`, best first (empty for one we do not map).
[[nodiscard]] QStringList fontSubstitutesFor(const QString& family);

// Whether `family` is drawn as itself or through one of its installed substitutes.
[[nodiscard]] bool fontFamilyDrawable(const QString& family);
