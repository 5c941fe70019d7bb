// Conversions between texts, numbers, truth values and bytes, and the bitwise
// or the web request builds its flag words with.
#pragma once

#include "core/text.h"

// The leading decimal number of `t` after folding full-width digits, signs,
// letters and blanks to ASCII: optional white space, sign, digits with an
// optional fraction and an optional exponent. 0 when `t` holds no number.
double ToNumber(const Text& t);

// A floating value stored into an integer: truncated toward zero to 64 bits,
// of which the low 32 remain. A value beyond 64 bits (or NaN) gives 0, as the
// processor's truncation of it does.
int TruncateToInteger(double value);

// Decimal, with a leading "-" when negative.
Text ToText(int value);

// "真" for true, "假" for false.
Text ToText(bool value);

// The bytes up to, not including, the first zero byte.
Text ToText(const Bytes& value);

// Bitwise or of all the arguments.
template <typename... Integers>
int BitOr(int first, Integers... rest) {
  return (first | ... | rest);
}
