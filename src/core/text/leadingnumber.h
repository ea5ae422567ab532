#pragma once
// Reading the number at the start of a text: leading white space is skipped, then an
// optional sign and digits (for the floating variants also a fraction and an
// exponent); whatever follows is ignored, and text without a number reads as 0.
// So "3s" is 3, "30s" is 30, "9.2.1" is 9.2 and "abc" is 0. The stored files, the
// fade titles and typed times all hold numbers followed by other text, and are read
// this way wherever a number is taken out of text.
//
// Only ASCII digits count, and the decimal point is always "." whatever the locale.
// Pure functions, safe from any thread.

#include <QStringView>

// The leading integer. Out-of-range values clamp to INT_MAX / INT_MIN.
// `consumed`, when given, receives how many characters the number took including the
// skipped white space (0 when there was no number).
[[nodiscard]] int leadingInt(QStringView text, qsizetype* consumed = nullptr);

// The leading floating-point number: [sign] digits [. digits] [e|E [sign] digits];
// ".5" and "5." are numbers, an "e" without digits after it is not part of the number.
// Overflow gives +/- infinity, underflow 0.
[[nodiscard]] double leadingDouble(QStringView text, qsizetype* consumed = nullptr);

// leadingDouble narrowed to float.
[[nodiscard]] float leadingFloat(QStringView text, qsizetype* consumed = nullptr);
