// Code-page conversions of downloaded pages into GBK text (code page 936):
// from UTF-8, and from Big5 (code page 950) with traditional characters mapped
// to simplified ones. Both pass through UTF-16 and keep no state.
#pragma once

#include <string>

#include "core/text.h"
#include "platform/code_pages.h"

// The UTF-8 text `utf8` in GBK (code page 936 itself, not the system ANSI
// code page). A character GBK cannot hold becomes GBK's default character.
Text ConvertUtf8ToAnsi(const Text& utf8);

// The Big5 text `big5` in GBK, traditional characters mapped to simplified.
Text ConvertBig5ToGbk(const Text& big5);

// `text` read in `codePage` as UTF-16 units, little-endian, with the
// terminating zero unit; empty when the conversion fails.
Bytes MultiByteToUtf16(const Text& text, int codePage = platform::kCodePageUtf8);

// The UTF-16 units of `utf16` up to its first zero unit in `codePage`; a
// character the code page cannot hold becomes its default character.
Text Utf16ToMultiByte(const Bytes& utf16, int codePage = platform::kCodePageAnsi);

// The same two conversions for a caller that holds its units as a string:
// no terminating zero unit in the result, and none needed in the argument.
std::u16string MultiByteToUnits(const Text& text, int codePage);
Text UnitsToMultiByte(const std::u16string& units, int codePage);

// The Big5 text `big5` in GBK, characters unchanged. A character GBK cannot
// hold becomes GBK's default character and the text goes on after it.
Text Big5ToGbkText(const Text& big5);

// The GBK text `gbk` with traditional characters mapped to simplified ones,
// always as long as `gbk`: blanks make up for what the mapping did not write.
Text MapToSimplified(const Text& gbk);

// `n` zero bytes; empty for `n` of 0 or less.
Bytes RepeatZeroByte(int n);

// `n` blanks; empty for `n` of 0 or less.
Text RepeatBlank(int n);
