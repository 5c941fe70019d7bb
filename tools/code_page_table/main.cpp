// Prints the UTF-16 units the platform's code-page service gives for every
// single-byte and double-byte code of code pages 936 and 950, and the bytes
// it gives for every UTF-16 unit outside the surrogates, one code a line, so
// that the Windows calls and the Linux stand-in can be compared. Each code is
// converted alone, by its length, with no terminator.
#include <cstdio>

#include "platform/code_pages.h"

namespace {

void PrintCode(unsigned codePage, const char* code, int length) {
  char16_t units[8] = {};
  const int count = platform::MultiByteToWideChar(codePage, 0, code, length, units, 8);
  std::printf("%u", codePage);
  for (int k = 0; k < length; ++k) std::printf(" %02X", static_cast<unsigned char>(code[k]));
  std::printf(" ->");
  for (int k = 0; k < count; ++k) std::printf(" %04X", static_cast<unsigned>(units[k]));
  std::printf("\n");
}

void PrintUnit(unsigned codePage, char16_t unit) {
  char bytes[8] = {};
  const int count =
      platform::WideCharToMultiByte(codePage, 0, &unit, 1, bytes, 8, nullptr, nullptr);
  std::printf("%u U+%04X ->", codePage, static_cast<unsigned>(unit));
  for (int k = 0; k < count; ++k) std::printf(" %02X", static_cast<unsigned char>(bytes[k]));
  std::printf("\n");
}

void PrintCodePage(unsigned codePage) {
  for (unsigned single = 0x01; single <= 0xFF; ++single) {
    const char code[1] = {static_cast<char>(single)};
    PrintCode(codePage, code, 1);
  }
  for (unsigned lead = 0x81; lead <= 0xFE; ++lead) {
    for (unsigned trail = 0x01; trail <= 0xFF; ++trail) {
      const char code[2] = {static_cast<char>(lead), static_cast<char>(trail)};
      PrintCode(codePage, code, 2);
    }
  }
  for (unsigned unit = 0x0001; unit <= 0xFFFF; ++unit) {
    if (unit >= 0xD800 && unit <= 0xDFFF) continue;
    PrintUnit(codePage, static_cast<char16_t>(unit));
  }
}

}  // namespace

int main() {
  PrintCodePage(platform::kCodePageGbk);
  PrintCodePage(platform::kCodePageBig5);
  return 0;
}
