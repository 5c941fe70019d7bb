// Code-page services: the three system calls the conversions of codepage/ are
// built on, with the arguments and the measure-then-convert contract of the
// Windows calls of the same names, so that both sides behave alike:
// - a length of -1 reads the input up to and including its terminating zero,
//   and the terminator is converted and counted like any other unit;
// - a null output (or an output size of 0) asks only for the size needed;
// - an output too small for the result, an unknown code page, locale or flag
//   is a failure: the result is 0.
#pragma once

namespace platform {

inline constexpr unsigned kCodePageAnsi = 0;  // CP_ACP, the system ANSI code page
inline constexpr unsigned kCodePageGbk = 936;
inline constexpr unsigned kCodePageBig5 = 950;
inline constexpr unsigned kCodePageUtf8 = 65001;  // CP_UTF8

inline constexpr unsigned long kLocaleChinesePrc = 0x0804;          // 2052
inline constexpr unsigned long kMapSimplifiedChinese = 0x02000000;  // LCMAP_SIMPLIFIED_CHINESE

// Converts `multiByteLength` bytes of `multiByte` in `codePage` to UTF-16 in
// `wide`, which holds `wideLength` units. Bytes that are no character of the
// code page become the code page's default Unicode character. Returns the
// number of units written, or needed when `wide` is null.
int MultiByteToWideChar(unsigned codePage, unsigned long flags, const char* multiByte,
                        int multiByteLength, char16_t* wide, int wideLength);

// Converts `wideLength` UTF-16 units to `codePage` in `multiByte`, which holds
// `multiByteLength` bytes. A character the code page cannot hold becomes
// `defaultChar` when one is given (its first character; the empty text gives a
// zero byte), otherwise the code page's own default character. Returns the
// number of bytes written, or needed when `multiByte` is null.
// `usedDefaultChar`, when given, tells whether a default character was put in.
int WideCharToMultiByte(unsigned codePage, unsigned long flags, const char16_t* wide,
                        int wideLength, char* multiByte, int multiByteLength,
                        const char* defaultChar, int* usedDefaultChar);

// Maps `sourceLength` bytes of system ANSI text by `flags` under `locale` into
// `destination`, which holds `destinationLength` bytes. Returns the number of
// bytes written, or needed when `destination` is null.
int LCMapStringA(unsigned long locale, unsigned long flags, const char* source, int sourceLength,
                 char* destination, int destinationLength);

}  // namespace platform
