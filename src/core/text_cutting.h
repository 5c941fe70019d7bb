// Cutting, trimming, case folding and comparing texts. Positions and counts
// are clamped, never rejected: every input yields a result.
#pragma once

#include <optional>

#include "core/text.h"

// Three-way byte comparison (bytes as unsigned values); with `caseSensitive`
// false, A-Z and a-z compare equal to their other case.
int CompareText(const Text& a, const Text& b, bool caseSensitive);

// The first min(n, length) bytes; empty when n <= 0.
Text TextLeft(const Text& t, int n);

// The last min(n, length) bytes; empty when n <= 0.
Text TextRight(const Text& t, int n);

// Up to n bytes from the 1-based `start`; empty when start lies outside the
// text or n <= 0.
Text TextMid(const Text& t, int start, int n);

// `t` with up to n bytes at the 1-based `start` (clamped into the text)
// removed, and `r` inserted there when given. A negative n removes nothing.
Text ReplaceTextAt(const Text& t, int start, int n, const std::optional<Text>& r = std::nullopt);

// `t` without leading and trailing blanks: 0x20 and the full-width blank A1 A1.
// Double-byte aware; a lead byte with no second byte at the end is cut instead
// of the trailing blanks.
Text TrimBothEnds(const Text& t);

// `t` with A-Z made a-z; second bytes of two-byte characters stay as they are.
Text ToLowerCase(const Text& t);

// n blanks; empty when n < 1.
Text BlankText(int n);
