// Where the Windows tables of code pages 936 and 950 differ from glibc's, so
// that the stand-in converts as the Windows calls do. The entries are the
// differences tools/code_page_table/compare.sh reports between the two sides.
#pragma once

#include <cstddef>

namespace platform {

// `count` consecutive double-byte codes from `firstCode`, counted in the code
// page's order of codes (lead byte, then the valid second bytes), that Windows
// reads as consecutive private-use units from `firstUnit` and glibc does not
// read at all. A `firstCode` below 0x100 is a single byte.
struct UserDefinedRun {
  unsigned short codePage;
  unsigned short firstCode;
  unsigned short count;
  char16_t firstUnit;
};

// A unit Windows writes as `code` (a single byte when below 0x100) where glibc
// writes no code (Windows' best fit) or, when `glibcHasAnother`, another one.
struct WindowsCode {
  unsigned short codePage;
  char16_t unit;
  unsigned short code;
  bool glibcHasAnother;
};

extern const UserDefinedRun kUserDefinedRuns[];
extern const std::size_t kUserDefinedRunCount;

// Ordered by code page, then unit.
extern const WindowsCode kWindowsCodes[];
extern const std::size_t kWindowsCodeCount;

}  // namespace platform
