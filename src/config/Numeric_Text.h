#pragma once
// How the settings read numbers out of text, kept to the Windows version's
// rules so that stored values mean the same on both.

#include <QString>

#include <optional>

namespace bc {

// The value of a text that is a number as a whole: blanks around it, an
// optional sign, digits with "," thousands separators, a "." decimal point and
// an "e" exponent. "", ".", "-" and "1e" are not numbers.
std::optional<double> Numeric_Text_Value(const QString& text);

// The leading number of a text, 0 when there is none. Blanks anywhere are
// skipped ("1 2" is 12), "," ends the number, "&H" and "&O" start hex and
// octal numbers (of 16 bits when they fit, else 32).
double Leading_Number(const QString& text);

// Rounded to the nearest integer, halves to even; nothing when the result
// does not fit in a signed 32-bit integer.
std::optional<qint32> Round_To_Int32(double value);

} // namespace bc
