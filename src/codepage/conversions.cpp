#include "codepage/conversions.h"

#include <cstring>
#include <string>
#include <string_view>

namespace {

using Units = std::basic_string<char16_t, std::char_traits<char16_t>, HeapAllocator<char16_t>>;

// The units of `utf16`; the string's own terminator bounds a conversion that
// reads up to the first zero unit even when `utf16` lacks one.
Units UnitsOf(const Bytes& utf16) {
  Units units(utf16.Size() / 2, u'\0');
  if (!units.empty()) std::memcpy(units.data(), utf16.Data(), units.size() * 2);
  return units;
}

// Whether `utf16` is whole units that end with a zero unit.
bool EndsWithZeroUnit(const Bytes& utf16) {
  const std::string_view bytes = utf16.View();
  return bytes.size() >= 2 && bytes.size() % 2 == 0 &&
         bytes.substr(bytes.size() - 2) == std::string_view("\0\0", 2);
}

// Measures `text` read in `codePage`, takes room for that many UTF-16 units,
// the terminating zero unit included, from `allocate(count)`, and converts
// into it; allocates nothing when the measurement fails.
template <typename Allocate>
void ConvertToUnits(const Text& text, int codePage, Allocate allocate) {
  const auto page = static_cast<unsigned>(codePage);
  const int needed = platform::MultiByteToWideChar(page, 0, text.CStr(), -1, nullptr, 0);
  if (needed <= 0) return;
  char16_t* units = allocate(static_cast<std::size_t>(needed));
  platform::MultiByteToWideChar(page, 0, text.CStr(), -1, units, needed);
}

// The units up to the first zero unit of `units` in `codePage`.
Text TerminatedUnitsToMultiByte(const char16_t* units, int codePage) {
  const auto page = static_cast<unsigned>(codePage);
  const int needed =
      platform::WideCharToMultiByte(page, 0, units, -1, nullptr, 0, nullptr, nullptr);
  if (needed <= 0) return Text();
  Text::Storage bytes(static_cast<std::size_t>(needed), ' ');
  platform::WideCharToMultiByte(page, 0, units, -1, bytes.data(), needed, nullptr, nullptr);
  return Text(std::move(bytes));
}

}  // namespace

Text ConvertUtf8ToAnsi(const Text& utf8) {
  return Utf16ToMultiByte(MultiByteToUtf16(utf8), platform::kCodePageGbk);
}

Text ConvertBig5ToGbk(const Text& big5) { return MapToSimplified(Big5ToGbkText(big5)); }

Bytes MultiByteToUtf16(const Text& text, int codePage) {
  Bytes::Storage units;
  ConvertToUnits(text, codePage, [&units](std::size_t count) {
    units.resize(count * 2);
    // malloc aligns the storage for any unit.
    return reinterpret_cast<char16_t*>(units.data());
  });
  return Bytes(std::move(units));
}

std::u16string MultiByteToUnits(const Text& text, int codePage) {
  std::u16string units;
  ConvertToUnits(text, codePage, [&units](std::size_t count) {
    units.resize(count);
    return units.data();
  });
  if (!units.empty()) units.pop_back();  // the terminating zero unit
  return units;
}

Text Utf16ToMultiByte(const Bytes& utf16, int codePage) {
  // A value that ends with a zero unit, as MultiByteToUtf16 makes them, is
  // read in place: malloc aligns its storage for any unit, and a page is not
  // copied for nothing.
  if (EndsWithZeroUnit(utf16)) {
    return TerminatedUnitsToMultiByte(reinterpret_cast<const char16_t*>(utf16.Data()), codePage);
  }
  return TerminatedUnitsToMultiByte(UnitsOf(utf16).c_str(), codePage);
}

Text UnitsToMultiByte(const std::u16string& units, int codePage) {
  return TerminatedUnitsToMultiByte(units.c_str(), codePage);
}

// Goes on after a character GBK cannot hold, like the UTF-8 conversion: an
// empty default character would end the text there and lose the rest.
Text Big5ToGbkText(const Text& big5) {
  return Utf16ToMultiByte(MultiByteToUtf16(big5, platform::kCodePageBig5), platform::kCodePageGbk);
}

Text MapToSimplified(const Text& gbk) {
  const int length = TextLength(gbk);
  Text::Storage mapped(static_cast<std::size_t>(length), ' ');
  platform::LCMapStringA(platform::kLocaleChinesePrc, platform::kMapSimplifiedChinese, gbk.CStr(),
                         length, mapped.data(), length);
  return Text(std::move(mapped));
}

Bytes RepeatZeroByte(int n) {
  if (n <= 0) return Bytes();
  const Text::Storage zeros(static_cast<std::size_t>(n), '\0');
  return Bytes(std::string_view(zeros));
}

Text RepeatBlank(int n) {
  if (n <= 0) return Text();
  return Text(Text::Storage(static_cast<std::size_t>(n), ' '));
}
